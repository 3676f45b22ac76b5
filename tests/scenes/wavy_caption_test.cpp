#include "scenes/wavy_caption.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/headless.h"
#include "support/text_fixtures.h"

namespace {

constexpr const char* CAPTION = "psajkadelic, huh?";
constexpr Uint32 TILE = rgb(60, 120, 180);
constexpr Uint32 CORNER = rgb(250, 250, 0);
constexpr Uint32 BEFORE = rgb(3, 3, 3);

class WavyCaptionPass : public ::testing::Test {
protected:
    MediaDir media;
    HeadlessScreen screen;
    SDL_Surface* tile = nullptr;

    void SetUp() override {
        media.write_glyph_sheet("alp.png", 50, 100);
        screen.fill(3, 3, 3);
    }
    void TearDown() override { SDL_FreeSurface(tile); }

    // A tile of one colour with a marked top-left pixel.
    void make_tile(int w, int h) {
        tile = make_rgb_surface(w, h, TILE);
        SDL_Rect corner{0, 0, 1, 1};
        SDL_FillRect(tile, &corner, SDL_MapRGB(tile->format, 250, 250, 0));
    }
    std::vector<Uint32> pixels() const {
        const Uint32* p = static_cast<const Uint32*>(screen.surface()->pixels);
        return std::vector<Uint32>(p, p + 640 * 480);
    }
};

TEST_F(WavyCaptionPass, AtRestTheCaptionSpansFrom25To634) {
    make_tile(320, 240);
    FakeClock clock(0);
    WavyCaption caption(clock, screen.surface(), tile);
    caption.render(16);
    EXPECT_EQ(clock.reads, 2);
    // Four 320 × 240 tiles cover the screen exactly.
    EXPECT_EQ(screen.rgb(0, 0), CORNER);
    EXPECT_EQ(screen.rgb(0, 240), CORNER);
    EXPECT_EQ(screen.rgb(320, 0), CORNER);
    EXPECT_EQ(screen.rgb(320, 240), CORNER);
    EXPECT_EQ(screen.rgb(639, 479), TILE);
    // Character i at x = 25 + 35 i, y = 140; the comma and the blank draw the blank cell.
    EXPECT_EQ(text_mismatches(screen, CAPTION, 25, 140, 35, 0, 10, 50), "");
    EXPECT_EQ(cell_at(screen, 25 + 35 * 11 + 10, 190), NO_GLYPH);
    EXPECT_EQ(cell_at(screen, 25 + 35 * 12 + 10, 190), NO_GLYPH);
    // The "?" (index 16) from x = 585 to 634: its glyph to 633, its key column at 634.
    EXPECT_EQ(cell_at(screen, 633, 190), 41);
    EXPECT_EQ(screen.rgb(634, 190), TILE);
    EXPECT_EQ(screen.rgb(25, 190), TILE);
    EXPECT_EQ(cell_at(screen, 26, 141), 15);
    EXPECT_EQ(screen.rgb(26, 140), TILE);
    EXPECT_EQ(cell_at(screen, 26, 238), 15);
    EXPECT_EQ(screen.rgb(26, 239), TILE);
}

TEST_F(WavyCaptionPass, TilesByTheTilesOwnSize) {
    make_tile(100, 70);
    FakeClock clock(0);
    WavyCaption caption(clock, screen.surface(), tile);
    caption.render(16);
    EXPECT_EQ(screen.rgb(0, 0), CORNER);
    EXPECT_EQ(screen.rgb(0, 70), CORNER);
    EXPECT_EQ(screen.rgb(100, 0), CORNER);
    EXPECT_EQ(screen.rgb(100, 70), CORNER);
    EXPECT_EQ(screen.rgb(199, 139), TILE);
    EXPECT_EQ(screen.rgb(200, 0), BEFORE);
    EXPECT_EQ(screen.rgb(0, 140), BEFORE);
    // A tile larger than the screen is cut by the blit.
    SDL_FreeSurface(tile);
    make_tile(700, 500);
    WavyCaption big(clock, screen.surface(), tile);
    clock.now = 0;
    big.render(16);
    EXPECT_EQ(screen.rgb(639, 479), TILE);
    EXPECT_EQ(screen.rgb(0, 0), CORNER);
}

// caption_x from the first reading, caption_y from the second. Expected values worked out
// independently from 46 × sin(t × 0.005f) and 44 × sin(t × 0.01f).
TEST_F(WavyCaptionPass, XFromTheFirstReadingYFromTheSecond) {
    make_tile(320, 240);
    // t = 629: 46 × sin = -0.157, truncated toward zero: x = 25, not 24. t = 729: y = 177.
    FakeClock clock(629, 100);
    WavyCaption caption(clock, screen.surface(), tile);
    caption.render(16);
    EXPECT_EQ(cell_at(screen, 26, 178), 15);
    EXPECT_EQ(screen.rgb(25, 178), TILE);
    EXPECT_EQ(screen.rgb(26, 177), TILE);
    EXPECT_EQ(text_mismatches(screen, CAPTION, 25, 177, 35, 0, 10, 50), "");
}

TEST_F(WavyCaptionPass, AtTheSwingsEndsTheCaptionIsCutByTheScreenEdges) {
    make_tile(320, 240);
    FakeClock clock;
    WavyCaption caption(clock, screen.surface(), tile);
    // Where sin(t × k) comes out as exactly -1 the caption starts 21 px off the left edge: the
    // "p" shows in columns 0 to 14 (14 being the key column of the "s" drawn over it).
    clock.now = 194638948;
    caption.render(16);
    EXPECT_EQ(cell_at(screen, 0, 190), 15);
    EXPECT_EQ(cell_at(screen, 14, 190), 15);
    EXPECT_EQ(cell_at(screen, 15, 190), 18);
    EXPECT_EQ(text_mismatches(screen, CAPTION, -21, 140, 35, 0, 10, 50), "");
    // And where it is exactly +1 the caption starts at 71: the "?" from 631, cut at 639.
    clock.now = 100290007;
    caption.render(16);
    EXPECT_EQ(cell_at(screen, 631, 190), 7);
    EXPECT_EQ(cell_at(screen, 632, 190), 41);
    EXPECT_EQ(cell_at(screen, 639, 190), 41);
}

TEST_F(WavyCaptionPass, DeltaDoesNotChangeThePicture) {
    make_tile(320, 240);
    FakeClock clock(12345, 0);
    WavyCaption caption(clock, screen.surface(), tile);
    caption.render(0);
    const std::vector<Uint32> first = pixels();
    screen.fill(9, 9, 9);
    caption.render(77777);
    EXPECT_TRUE(first == pixels());
}

TEST_F(WavyCaptionPass, WithoutATileTheCaptionFloatsOverWhatWasThere) {
    FakeClock clock(0);
    WavyCaption caption(clock, screen.surface(), nullptr);
    caption.render(16);
    EXPECT_EQ(screen.rgb(0, 0), BEFORE);
    EXPECT_EQ(text_mismatches(screen, CAPTION, 25, 140, 35, 0, 10, 50), "");
}

}  // namespace
