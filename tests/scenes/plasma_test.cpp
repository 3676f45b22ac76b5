#include "scenes/plasma.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "gfx/image.h"
#include "support/headless.h"

namespace {

class PlasmaPass : public ::testing::Test {
protected:
    HeadlessScreen screen;
    std::unique_ptr<Plasma> plasma = std::make_unique<Plasma>(screen.surface(), nullptr);

    Uint32 word(int x, int y) const {
        return reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(screen.surface()->pixels) +
                                               y * screen.surface()->pitch)[x];
    }
    std::vector<Uint32> pixels() const {
        const Uint32* p = static_cast<const Uint32*>(screen.surface()->pixels);
        return std::vector<Uint32>(p, p + 640 * 480);
    }
    // The wave table as its definition gives it, made here rather than read from the scene:
    // trunc(sin(i × 360/512 degrees, with 0.0174532 per degree) × 1024).
    static std::vector<int> wave_table() {
        std::vector<int> t(512);
        for (int i = 0; i < 512; ++i) t[i] = static_cast<int>(std::sin(i * 0.703125 * 0.0174532) * 1024);
        return t;
    }
    const std::vector<int> wave = wave_table();

    // The four waves summed for pixel (x, y) of a pass starting at phases p1 (columns) and p3
    // (rows); the other two phases stay 0.
    int sum(int p1, int p3, int x, int y) const {
        return wave[(p3 + y) & 511] + wave[(3 + 3 * x) & 511] + wave[(p1 + 5 + 5 * x) & 511] +
               wave[(3 * y) & 511];
    }
};

TEST_F(PlasmaPass, SineTableMatchesItsCheckValues) {
    const int at[] = {0, 1, 2, 3, 5, 128, 256, 384, 511};
    const int value[] = {0, 12, 25, 37, 62, 1023, 0, -1023, -12};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(plasma->sine_table[at[i]], value[i]) << at[i];
    for (int i = 0; i < 512; ++i) ASSERT_EQ(plasma->sine_table[i], wave[i]) << i;
    EXPECT_EQ(*std::max_element(plasma->sine_table, plasma->sine_table + 512), 1023);
    EXPECT_EQ(*std::min_element(plasma->sine_table, plasma->sine_table + 512), -1023);
    EXPECT_EQ(plasma->col_phase1, 0);
    EXPECT_EQ(plasma->row_phase1, 0);
}

TEST_F(PlasmaPass, FirstPassWritesTheSumsAsRawWords) {
    screen.fill(1, 2, 3);
    plasma->render(16);
    EXPECT_EQ(word(0, 0), 140u);             // sum 99
    EXPECT_EQ(word(1, 0), 153u);             // sum 200
    EXPECT_EQ(word(0, 1), 146u);             // sum 148
    EXPECT_EQ(word(639, 479), 0xFFFFFFD5u);  // sum -1362: -43 as a two's-complement word
    EXPECT_EQ(sum(0, 0, 493, 32), -207);
    EXPECT_EQ(word(493, 32), 102u);  // -207 / 8 rounded down is -26
    EXPECT_EQ(plasma->col_phase1, 9);
    EXPECT_EQ(plasma->row_phase1, 8);
    EXPECT_EQ(plasma->col_phase2, 0);
    EXPECT_EQ(plasma->row_phase2, 0);
}

TEST_F(PlasmaPass, EveryPixelFollowsTheWaveSumRoundedDown) {
    int negative_uneven = 0;
    for (int pass = 0; pass < 3; ++pass) {
        const int p1 = plasma->col_phase1, p3 = plasma->row_phase1;
        plasma->render(16);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                const int s = sum(p1, p3, x, y);
                if (s < 0 && s % 8 != 0) ++negative_uneven;
                const int value = static_cast<int>(std::floor(s / 8.0)) + 128;  // rounded down
                ASSERT_EQ(word(x, y), static_cast<Uint32>(value))
                    << x << "," << y << " pass " << pass;
            }
    }
    EXPECT_GT(negative_uneven, 0);
}

TEST_F(PlasmaPass, SecondPassHasMovedByNineAndEightEntries) {
    plasma->render(16);
    plasma->render(16);
    EXPECT_EQ(word(0, 0), 167u);  // sum 312
    EXPECT_EQ(plasma->col_phase1, 18);
    EXPECT_EQ(plasma->row_phase1, 16);
}

TEST_F(PlasmaPass, LeavesTheIndexesWhereTheLastRowLeftThem) {
    plasma->render(16);
    EXPECT_EQ(plasma->row, 480);
    EXPECT_EQ(plasma->column, 640);
    // Last row: indexes 479 and 3 × 479 mod 512 = 413, then +1 and +3.
    EXPECT_EQ(plasma->row_index1, 480);
    EXPECT_EQ(plasma->row_index2, 416);
    // Last column: (5 + 5 × 639) mod 512 = 128 and (3 + 3 × 639) mod 512 = 384, then +5 and +3.
    EXPECT_EQ(plasma->col_index1, 133);
    EXPECT_EQ(plasma->col_index2, 387);
    const Uint32* end = static_cast<const Uint32*>(screen.surface()->pixels) + 640 * 480;
    EXPECT_EQ(plasma->pixel_cursor, end);
}

TEST_F(PlasmaPass, MovesByTheSameStepsWhateverTheDelta) {
    Plasma other(screen.surface(), nullptr);
    plasma->render(1);
    plasma->render(50000);
    const std::vector<Uint32> slow = pixels();
    other.render(16);
    other.render(16);
    EXPECT_EQ(pixels(), slow);
}

TEST_F(PlasmaPass, SixteenBitPhasesWrapWithoutDisturbingTheIndexes) {
    Plasma reference(screen.surface(), nullptr);
    reference.col_phase1 = 32767 & 511;
    reference.row_phase1 = 32766 & 511;
    reference.render(16);
    reference.render(16);
    const std::vector<Uint32> expected = pixels();

    plasma->col_phase1 = 32767;
    plasma->row_phase1 = 32766;
    plasma->render(16);
    EXPECT_EQ(plasma->col_phase1, -32760);  // 32776 wrapped at 65536
    EXPECT_EQ(plasma->row_phase1, -32762);
    plasma->render(16);
    EXPECT_EQ(pixels(), expected);
}

TEST_F(PlasmaPass, TvFrameIsDrawnOverThePlasma) {
    MediaDir media;
    // A dark frame with a keyed window over columns 100..539, rows 100..379.
    std::vector<Uint32> px(640 * 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            px[y * 640 + x] =
                (x >= 100 && x < 540 && y >= 100 && y < 380) ? rgb(129, 255, 129) : rgb(20, 20, 20);
    media.write_png("tv.jpg", 640, 480, px);
    SDL_Surface* tv = load_image("Media/tv.jpg");
    ASSERT_NE(tv, nullptr);
    set_colour_key(tv);
    Plasma with_frame(screen.surface(), tv);
    with_frame.render(16);
    EXPECT_EQ(screen.rgb(0, 0), rgb(20, 20, 20));
    EXPECT_EQ(screen.rgb(639, 479), rgb(20, 20, 20));
    EXPECT_EQ(word(100, 100), static_cast<Uint32>((sum(0, 0, 100, 100) >> 3) + 128));
    EXPECT_EQ(word(539, 379), static_cast<Uint32>((sum(0, 0, 539, 379) >> 3) + 128));
    SDL_FreeSurface(tv);
}

TEST(PlasmaSurface, RowsAreAPitchApart) {
    HeadlessScreen screen;
    std::vector<Uint32> memory(650 * 480, 0xDEADBEEF);
    SDL_Surface* wide =
        SDL_CreateRGBSurfaceFrom(memory.data(), 640, 480, 32, 2600, 0xFF0000, 0xFF00, 0xFF, 0);
    ASSERT_NE(wide, nullptr);
    Plasma plasma(wide, nullptr);
    plasma.render(16);
    EXPECT_EQ(memory[0], 140u);
    EXPECT_EQ(memory[1], 153u);
    EXPECT_EQ(memory[650], 146u);
    EXPECT_EQ(memory[479 * 650 + 639], 0xFFFFFFD5u);
    for (int y = 0; y < 480; ++y)
        for (int x = 640; x < 650; ++x)
            ASSERT_EQ(memory[y * 650 + x], 0xDEADBEEFu) << x << "," << y;
    SDL_FreeSurface(wide);
}

TEST(PlasmaSurface, OtherSurfacesAreLeftAloneAndThePhasesStillMove) {
    HeadlessScreen screen;
    SDL_Surface* s16 = SDL_CreateRGBSurface(SDL_SWSURFACE, 64, 48, 16, 0xF800, 0x07E0, 0x001F, 0);
    ASSERT_NE(s16, nullptr);
    SDL_FillRect(s16, nullptr, 0x4321);
    Plasma plasma(s16, nullptr);
    plasma.render(16);
    EXPECT_EQ(static_cast<Uint16*>(s16->pixels)[0], 0x4321);
    EXPECT_EQ(plasma.col_phase1, 9);
    Plasma none(nullptr, nullptr);
    none.render(16);
    EXPECT_EQ(none.row_phase1, 8);
    SDL_FreeSurface(s16);
}

}  // namespace
