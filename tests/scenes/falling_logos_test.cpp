#include "scenes/falling_logos.h"

#include <gtest/gtest.h>

#include "support/headless.h"
#include "support/text_fixtures.h"

namespace {
constexpr Uint32 BACKGROUND = rgb(50, 50, 50);
constexpr Uint32 UPPER = rgb(200, 20, 10);
constexpr Uint32 LOWER = rgb(10, 20, 200);
}  // namespace

class FallingLogosPass : public ::testing::Test {
protected:
    MediaDir media;
    HeadlessScreen screen;
    SDL_Surface* upper = make_rgb_surface(640, 131, UPPER);
    SDL_Surface* lower = make_rgb_surface(640, 150, LOWER);
    std::optional<SmallFont> caption_font;  // the shell's slot, empty until a test fills it
    FallingLogos logos{screen.surface(), upper, lower, caption_font};

    void SetUp() override { media.write_glyph_sheet("alpb.png", 25, 31); }
    void TearDown() override {
        SDL_FreeSurface(upper);
        SDL_FreeSurface(lower);
    }
    // One pass as the main loop runs it: background first.
    void pass(int delta) {
        screen.fill(50, 50, 50);
        logos.render(delta);
    }
    int cell_at(int x, int y) const { return ::cell_at(screen, x, y); }
    // The rows of column 600 (clear of the captions) showing `colour`, as [first, last].
    std::pair<int, int> rows_of(Uint32 colour) const {
        int first = -1, last = -1;
        for (int y = 0; y < 480; ++y)
            if (screen.rgb(600, y) == colour) {
                if (first < 0) first = y;
                last = y;
            }
        return {first, last};
    }
};

TEST_F(FallingLogosPass, FirstShortPassTruncatesTowardZero) {
    pass(16);
    EXPECT_DOUBLE_EQ(logos.top_pos, 2.04);
    EXPECT_EQ(logos.top_y, 2);
    EXPECT_DOUBLE_EQ(logos.bottom_pos, -0.392);
    EXPECT_EQ(logos.bottom_y, 0);  // −0.392 truncates to 0, not −1
    // Upper logo at y = −129: its last two rows show. Lower logo at y = 500: nothing shows.
    EXPECT_EQ(rows_of(UPPER), std::make_pair(0, 1));
    EXPECT_EQ(rows_of(LOWER), std::make_pair(-1, -1));
}

TEST_F(FallingLogosPass, LongPassOvershootsAndTheNextSetsBothBack) {
    pass(3000);
    EXPECT_EQ(logos.top_y, 196);
    EXPECT_EQ(logos.bottom_y, -260);
    EXPECT_EQ(rows_of(UPPER), std::make_pair(65, 195));
    EXPECT_EQ(rows_of(LOWER), std::make_pair(240, 389));

    pass(16);
    EXPECT_EQ(logos.top_pos, 131.0);
    EXPECT_EQ(logos.bottom_pos, -174.0);
    EXPECT_EQ(rows_of(UPPER), std::make_pair(0, 130));
    EXPECT_EQ(rows_of(LOWER), std::make_pair(326, 475));

    for (int delta : {16, 500, 0, 33}) {
        pass(delta);
        EXPECT_EQ(rows_of(UPPER), std::make_pair(0, 130)) << delta;
        EXPECT_EQ(rows_of(LOWER), std::make_pair(326, 475)) << delta;
    }
}

TEST_F(FallingLogosPass, StopTestsLookAtThePreviousPass) {
    // 130 and −173 are not yet past the bounds: both logos move on.
    logos.top_pos = 130.5;
    logos.top_y = 130;
    logos.bottom_pos = -173.5;
    logos.bottom_y = -173;
    pass(16);
    EXPECT_DOUBLE_EQ(logos.top_pos, 131.54);
    EXPECT_EQ(logos.top_y, 131);
    EXPECT_DOUBLE_EQ(logos.bottom_pos, -174.892);
    EXPECT_EQ(logos.bottom_y, -174);
    // 131 and −174 are: set back to the resting places.
    pass(16);
    EXPECT_EQ(logos.top_pos, 131.0);
    EXPECT_EQ(logos.bottom_pos, -174.0);
    EXPECT_EQ(rows_of(UPPER), std::make_pair(0, 130));
    EXPECT_EQ(rows_of(LOWER), std::make_pair(326, 475));
}

TEST_F(FallingLogosPass, CaptionsOverlapAndTheLogosCoverThem) {
    caption_font.emplace();
    pass(16);
    // "everybody likes qrv" at (25, 150): 'e' (cell 4) of character 2 at x = 55.
    EXPECT_EQ(cell_at(62, 160), 4);
    EXPECT_EQ(cell_at(25 + 7, 160), 4);
    EXPECT_EQ(cell_at(40 + 7, 160), 21);  // 'v'
    // "from god and his angles" at (55, 170) covers the bottom of line 1: 'f' is cell 5.
    EXPECT_EQ(cell_at(62, 175), 5);
    EXPECT_EQ(cell_at(82, 185), 17);  // 'r'
    // "to satan and his chords" at (75, 190) covers the bottom of line 2: 't' is cell 19.
    EXPECT_EQ(cell_at(82, 195), 19);
    EXPECT_EQ(cell_at(75 + 22 * 15 + 12, 200), 18);  // the last 's'
    EXPECT_EQ(screen.rgb(600, 160), BACKGROUND);

    pass(3000);  // upper logo now over rows 65..195
    EXPECT_EQ(screen.rgb(62, 160), UPPER);
    EXPECT_EQ(screen.rgb(82, 195), UPPER);
    EXPECT_EQ(cell_at(82, 200), 19);
}

TEST_F(FallingLogosPass, NoCaptionsBeforeTheFontAndNoLogosWhenAbsent) {
    FallingLogos bare(screen.surface(), nullptr, nullptr, caption_font);
    screen.fill(50, 50, 50);
    bare.render(16);
    for (int y = 0; y < 480; y += 5)
        for (int x = 0; x < 640; x += 5) ASSERT_EQ(screen.rgb(x, y), BACKGROUND) << x << "," << y;
    EXPECT_EQ(bare.top_y, 2);
    caption_font.emplace();  // the slot is read at every pass
    bare.render(16);
    EXPECT_EQ(cell_at(62, 160), 4);
}
