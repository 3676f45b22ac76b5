#include "scenes/reveal_worm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "gfx/image.h"
#include "support/headless.h"

namespace {

// The hidden picture's colour at image pixel (x, y): unique over a 1280 × 480 picture.
Uint32 hidden(int x, int y) {
    return rgb(static_cast<Uint8>(x), static_cast<Uint8>(y),
               static_cast<Uint8>(16 * (x >> 8) + (y >> 8) + 1));
}

// Writes Media/fd.jpg as a w × h picture of hidden() colours (a 24-bit PNG, which SDL_image loads
// with the same layout as a JPEG) and loads it.
SDL_Surface* load_fd(const MediaDir& media, int w, int h) {
    std::vector<Uint32> px(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px[static_cast<size_t>(y) * w + x] = hidden(x, y);
    media.write_png("fd.jpg", w, h, px);
    return load_image("Media/fd.jpg");
}

Uint32& word_at(SDL_Surface* s, int x, int y) {
    return reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch)[x];
}

constexpr Uint32 GREY = rgb(100, 100, 100);

class RevealWormPass : public ::testing::Test {
protected:
    MediaDir media;
    HeadlessScreen screen;
    SDL_Surface* fd = nullptr;

    void SetUp() override {
        fd = load_fd(media, 1280, 480);
        ASSERT_NE(fd, nullptr);
        screen.fill(100, 100, 100);
    }
    void TearDown() override { SDL_FreeSurface(fd); }

    std::vector<Uint32> pixels() const {
        const Uint32* p = static_cast<const Uint32*>(screen.surface()->pixels);
        return std::vector<Uint32>(p, p + 640 * 480);
    }
    // Every pixel of the w × h rectangle at (x0, y0) shows the hidden picture 640 columns on.
    ::testing::AssertionResult reveals(int x0, int y0, int w, int h) const {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                if (screen.rgb(x, y) != hidden(x + 640, y))
                    return ::testing::AssertionFailure() << "(" << x << ", " << y << ")";
        return ::testing::AssertionSuccess();
    }
};

TEST(RevealWormTables, MatchTheirCheckValues) {
    HeadlessScreen screen;
    auto worm = std::make_unique<RevealWorm>(screen.surface(), nullptr);
    const int px[] = {0, 64, 128, 192, 256}, px_v[] = {312, 556, 312, 67, 311};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(worm->path_x[px[i]], px_v[i]) << px[i];
    const int py[] = {0, 128, 256, 384}, py_v[] = {232, 381, 232, 82};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(worm->path_y[py[i]], py_v[i]) << py[i];
    const int wb[] = {0, 20, 256, 512, 768}, wb_v[] = {0, 1, 14, 0, -14};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(worm->wobble[wb[i]], wb_v[i]) << wb[i];
    // The factor just below pi/180 keeps every peak one short of its amplitude.
    EXPECT_EQ(*std::min_element(worm->path_x, worm->path_x + 512), 67);
    EXPECT_EQ(*std::max_element(worm->path_x, worm->path_x + 512), 556);
    EXPECT_EQ(*std::min_element(worm->path_y, worm->path_y + 512), 82);
    EXPECT_EQ(*std::max_element(worm->path_y, worm->path_y + 512), 381);
    EXPECT_EQ(*std::min_element(worm->wobble, worm->wobble + 1024), -14);
    EXPECT_EQ(*std::max_element(worm->wobble, worm->wobble + 1024), 14);
    EXPECT_EQ(worm->phase, 0);
    EXPECT_EQ(worm->screen_pixels, screen.surface()->pixels);
}

TEST(RevealWormTables, ShapeIsSymmetricFromZeroToFour) {
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c) {
            EXPECT_EQ(worm_shape[r][c], worm_shape[15 - r][c]);
            EXPECT_EQ(worm_shape[r][c], worm_shape[r][15 - c]);
        }
    EXPECT_EQ(worm_shape[0][0], 0);
    EXPECT_EQ(worm_shape[7][7], 4);
    EXPECT_EQ(worm_shape[3][7], 3);
    EXPECT_EQ(worm_shape[0][7], 1);
}

TEST_F(RevealWormPass, FirstPassDarkensAtTheCentreAndRevealsTwoTrailBlocks) {
    RevealWorm worm(screen.surface(), fd);
    worm.render(16);
    EXPECT_EQ(worm.phase, 2);

    // Head block at (312, 232): grey 0x646464 less weight × 0x101010.
    EXPECT_EQ(screen.rgb(312, 232), GREY);                      // weight 0
    EXPECT_EQ(screen.rgb(312 + 7, 232), rgb(84, 84, 84));       // weight 1
    EXPECT_EQ(screen.rgb(312 + 7, 232 + 3), rgb(52, 52, 52));   // weight 3
    EXPECT_EQ(screen.rgb(312 + 8, 232 + 8), rgb(36, 36, 36));   // weight 4
    EXPECT_EQ(screen.rgb(312 + 15, 232 + 7), rgb(84, 84, 84));  // weight 1, the block's last column
    EXPECT_EQ(screen.rgb(311, 232 + 7), GREY);
    EXPECT_EQ(screen.rgb(328, 232 + 7), GREY);
    EXPECT_EQ(screen.rgb(312 + 7, 231), GREY);
    EXPECT_EQ(screen.rgb(312 + 7, 248), GREY);

    // Trail blocks at path indexes 385 (corner (295, 72)) and 386 (corner (289, 72)): together
    // columns 289..310, rows 72..87, and nothing around them.
    EXPECT_TRUE(reveals(289, 72, 22, 16));
    EXPECT_EQ(screen.rgb(289, 72), hidden(929, 72));
    EXPECT_EQ(screen.rgb(310, 87), hidden(950, 87));
    EXPECT_EQ(screen.rgb(288, 72), GREY);
    EXPECT_EQ(screen.rgb(311, 72), GREY);
    EXPECT_EQ(screen.rgb(289, 71), GREY);
    EXPECT_EQ(screen.rgb(310, 88), GREY);
    EXPECT_EQ(worm.block_x, 289);  // the last block done
    EXPECT_EQ(worm.block_y, 72);
}

// The head pass on one word under one weight: the whole word less weight × 0x101010, clamped to 0
// when it would go negative as a 32-bit signed number.
Uint32 darken(HeadlessScreen& screen, Uint32 word, int row, int column) {
    RevealWorm worm(screen.surface(), nullptr);
    word_at(screen.surface(), 312 + column, 232 + row) = word;
    worm.render(16);
    return word_at(screen.surface(), 312 + column, 232 + row);
}

TEST(RevealWormHead, SubtractsWholeWordsWithBorrow) {
    HeadlessScreen screen;
    EXPECT_EQ(darken(screen, 0x00FF0000, 3, 7), 0x00CECFD0u);  // weight 3: the borrow runs down
    EXPECT_EQ(darken(screen, 0x000000FF, 7, 7), 0u);           // weight 4: below zero, black
    EXPECT_EQ(darken(screen, 0x00202020, 0, 7), 0x00101010u);  // weight 1
    EXPECT_EQ(darken(screen, 0x00FF0000, 7, 8), 0x00BEBFC0u);  // weight 4
    EXPECT_EQ(darken(screen, 0x00ABCDEF, 0, 0), 0x00ABCDEFu);  // weight 0: unchanged
    EXPECT_EQ(darken(screen, 0x80FFFFFF, 0, 0), 0u);           // top bit set: negative, black
    EXPECT_EQ(darken(screen, 0xFFFFFFFF, 2, 6), 0u);
    EXPECT_EQ(darken(screen, 0x00404040, 7, 7), 0u);  // exactly zero is kept
}

TEST(RevealWormHead, WrapsAs32BitArithmeticDoesJustAboveTheLowestWord) {
    // A word less than weight × 0x101010 above 0x80000000 (the most negative 32-bit value) wraps
    // round to a large positive one, which is kept; only a result that is negative as a 32-bit
    // number turns black.
    HeadlessScreen screen;
    EXPECT_EQ(darken(screen, 0x80000000, 0, 7), 0x7FEFEFF0u);  // weight 1
    EXPECT_EQ(darken(screen, 0x80404000, 7, 7), 0x7FFFFFC0u);  // weight 4
    EXPECT_EQ(darken(screen, 0x8040403F, 7, 8), 0x7FFFFFFFu);  // weight 4: the last to wrap
    EXPECT_EQ(darken(screen, 0x80404040, 7, 7), 0u);           // weight 4: 0x80000000, negative
    EXPECT_EQ(darken(screen, 0x80202020, 2, 6), 0u);           // weight 2: 0x80000000, negative
    EXPECT_EQ(darken(screen, 0x80202019, 2, 6), 0x7FFFFFF9u);  // weight 2
}

TEST_F(RevealWormPass, DarkeningAddsUpWhereHeadsOverlap) {
    RevealWorm worm(screen.surface(), nullptr);
    worm.render(16);
    worm.render(16);
    // Second head at path index 2: (path_x[2] + wobble[2], path_y[2] + wobble[2]).
    const int x2 = worm.path_x[2] + worm.wobble[2], y2 = worm.path_y[2] + worm.wobble[2];
    ASSERT_EQ(x2, 324);
    ASSERT_EQ(y2, 235);
    // (327, 239): weight 1 in the first block (row 7, column 15), 2 in the second (row 4,
    // column 3): 100 - 3 × 16.
    EXPECT_EQ(screen.rgb(327, 239), rgb(52, 52, 52));
}

TEST_F(RevealWormPass, SixtyFourthPassRepaintsTheFirstHeadBlock) {
    RevealWorm worm(screen.surface(), fd);
    for (int pass = 0; pass < 63; ++pass) worm.render(16);
    EXPECT_EQ(worm.phase, 126);
    EXPECT_EQ(screen.rgb(312 + 8, 232 + 8), rgb(36, 36, 36));  // still darkened
    worm.render(16);
    EXPECT_TRUE(reveals(312, 232, 16, 16));
}

TEST_F(RevealWormPass, MovesTwoPathStepsPerPassWhateverTheDelta) {
    RevealWorm slow(screen.surface(), fd);
    slow.render(1);
    slow.render(100000);
    const std::vector<Uint32> after_slow = pixels();
    screen.fill(100, 100, 100);
    RevealWorm fast(screen.surface(), fd);
    fast.render(16);
    fast.render(16);
    EXPECT_EQ(pixels(), after_slow);
    EXPECT_EQ(slow.phase, 4);
}

TEST_F(RevealWormPass, RowsAreAPitchApart) {
    // A 640 × 480 surface whose rows are 2600 bytes (650 words) apart.
    std::vector<Uint32> memory(650 * 480, 0x00646464);
    SDL_Surface* wide =
        SDL_CreateRGBSurfaceFrom(memory.data(), 640, 480, 32, 2600, 0xFF0000, 0xFF00, 0xFF, 0);
    ASSERT_NE(wide, nullptr);
    RevealWorm worm(wide, fd);
    worm.render(16);
    EXPECT_EQ(memory[(232 + 8) * 650 + 312 + 8], 0x00242424u);  // weight 4
    EXPECT_EQ(memory[(232 + 8) * 640 + 312 + 8], 0x00646464u);  // where 640 words a row would be
    EXPECT_EQ(memory[72 * 650 + 289], hidden(929, 72));
    EXPECT_EQ(memory[87 * 650 + 310], hidden(950, 87));
    SDL_FreeSurface(wide);
}

TEST(RevealWormPicture, ReadsNothingBeyondASmallPicture) {
    MediaDir media;
    HeadlessScreen screen;
    screen.fill(100, 100, 100);
    // 937 columns: the first pass's trail reads columns 929..950, of which 929..936 exist.
    SDL_Surface* fd = load_fd(media, 937, 100);
    ASSERT_NE(fd, nullptr);
    RevealWorm worm(screen.surface(), fd);
    worm.render(16);
    for (int y = 72; y < 88; ++y) {
        for (int x = 289; x <= 296; ++x)
            EXPECT_EQ(screen.rgb(x, y), hidden(x + 640, y)) << x << "," << y;
        for (int x = 297; x <= 310; ++x) EXPECT_EQ(screen.rgb(x, y), 0u) << x << "," << y;
    }
    EXPECT_EQ(screen.rgb(311, 72), GREY);
    SDL_FreeSurface(fd);
}

TEST(RevealWormPicture, MissingPictureLeavesTheTrailOut) {
    HeadlessScreen screen;
    screen.fill(100, 100, 100);
    RevealWorm worm(screen.surface(), nullptr);
    worm.render(16);
    EXPECT_EQ(screen.rgb(289, 72), GREY);
    EXPECT_EQ(screen.rgb(310, 87), GREY);
    EXPECT_EQ(screen.rgb(312 + 8, 232 + 8), rgb(36, 36, 36));  // the head still darkens
}

TEST(RevealWormPicture, LeavesSurfacesOtherThan32BitAlone) {
    HeadlessScreen screen;
    SDL_Surface* s16 = SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 16, 0xF800, 0x07E0, 0x001F, 0);
    ASSERT_NE(s16, nullptr);
    SDL_FillRect(s16, nullptr, 0x1234);
    RevealWorm worm(s16, nullptr);
    worm.render(16);
    EXPECT_EQ(worm.phase, 2);
    EXPECT_EQ(worm.screen_pixels, nullptr);
    EXPECT_EQ(reinterpret_cast<Uint16*>(static_cast<Uint8*>(s16->pixels) + 240 * s16->pitch)[320],
              0x1234);
    SDL_FreeSurface(s16);
}

}  // namespace
