#include "scenes/credits.h"

#include <gtest/gtest.h>

#include <climits>

#include "support/headless.h"
#include "support/text_fixtures.h"

namespace {

constexpr Uint32 BACKGROUND = rgb(90, 40, 40);
constexpr int SPRITE_W = 32, SPRITE_H = 40;  // one frame of the fixture strip `bi`

const char* const LINES[6] = {"morvik - programming", "morvik - sound", "morvik - graphics",
                              "morvik - 3d",          "morvik - ascii", "morvik = me"};

class CreditsPass : public ::testing::Test {
protected:
    MediaDir media;
    HeadlessScreen screen;
    SDL_Surface* background = nullptr;

    void SetUp() override {
        media.write_glyph_sheet("alpb.png", 25, 31);
        media.write_strip("bi.png", SPRITE_W, SPRITE_H, 9);
        background = make_rgb_surface(640, 480, BACKGROUND);
    }
    void TearDown() override { SDL_FreeSurface(background); }

    // The frame shown by a sprite whose top-left corner is (x, y), or -1.
    int frame_at(int x, int y) const {
        for (int f = 0; f < 9; ++f)
            if (screen.rgb(x, y) == frame_colour(f)) return f;
        return -1;
    }
    // Whether a sprite's top-left corner is exactly at (x, y).
    bool sprite_corner_at(int x, int y, int frame) const {
        const Uint32 c = frame_colour(frame);
        return screen.rgb(x, y) == c && screen.rgb(x + SPRITE_W - 1, y + SPRITE_H - 1) == c &&
               screen.rgb(x - 1, y) != c && screen.rgb(x, y - 1) != c &&
               screen.rgb(x + SPRITE_W, y) != c && screen.rgb(x, y + SPRITE_H) != c;
    }
    bool any_line_shown(const int (&ys)[6]) const {
        for (int l = 0; l < 6; ++l)
            if (cell_at(screen, 4, ys[l] + 15) == 12) return true;  // the m of "morvik"
        return false;
    }
};

// Nine readings in the order osc1 .. osc9, 13 ms apart from t = 1000. Worked out independently:
// osc1 210, osc2 330, osc3 381, osc4 388 (the others only place lines), which puts the six
// sprites where none touches another.
TEST_F(CreditsPass, SpritesFollowTheirOscillators) {
    SpriteSet current;
    FakeClock clock(1000, 13);
    Credits credits(clock, screen.surface(), current, background);
    credits.render(16);
    EXPECT_EQ(clock.reads, 9);
    const int corners[6][2] = {{210, 330}, {330, 210}, {210, 381}, {381, 210}, {330, 381}, {388, 388}};
    for (const auto& c : corners) EXPECT_TRUE(sprite_corner_at(c[0], c[1], 0)) << c[0] << "," << c[1];
    EXPECT_EQ(screen.rgb(0, 0), BACKGROUND);
    EXPECT_EQ(cell_at(screen, 4, 279 + 15), -1);  // 16 ms run: no line 1 (osc7 = 279) yet
}

TEST_F(CreditsPass, LinesAppearOnlyOnceMoreThanFiveSecondsHaveRun) {
    SpriteSet current;
    // Readings 29 ms apart from t = 25596 put the lines at y = 270, 302, 218, 121, 342, 159
    // (osc7, osc8, osc9, osc4, osc5, osc6): no two overlap. osc7's 10 × sin is -0.64 there,
    // which truncates toward zero: line 1 is at 270, not 269.
    const int ys[6] = {270, 302, 218, 121, 342, 159};
    FakeClock clock;
    Credits credits(clock, screen.surface(), current, background);
    auto pass = [&](int delta) {
        clock.now = 25596;
        clock.step = 29;
        credits.render(delta);
    };
    pass(2500);
    EXPECT_FALSE(any_line_shown(ys));
    pass(2500);  // exactly 5000 ms: still nothing
    EXPECT_FALSE(any_line_shown(ys));
    pass(0);
    EXPECT_FALSE(any_line_shown(ys));
    pass(1);  // 5001 ms
    for (int l = 0; l < 6; ++l)
        EXPECT_EQ(text_mismatches(screen, LINES[l], 0, ys[l], 15, 0, 4, 15), "") << "line " << l + 1;
    // Blanks and "=" draw the blank cell; "-" its own.
    EXPECT_EQ(cell_at(screen, 6 * 15 + 4, ys[0] + 15), NO_GLYPH);
    EXPECT_EQ(cell_at(screen, 7 * 15 + 4, ys[0] + 15), 44);
    EXPECT_EQ(cell_at(screen, 7 * 15 + 4, ys[5] + 15), NO_GLYPH);
    // Line 1's cell starts at y = 270: its key-coloured top row there, glyph from 271.
    EXPECT_EQ(cell_at(screen, 5, 271), 12);
    EXPECT_NE(cell_at(screen, 5, 270), 12);
    // The lines stay on every later pass, whatever its delta.
    pass(0);
    EXPECT_EQ(text_mismatches(screen, LINES[3], 0, ys[3], 15, 0, 4, 15), "");
}

TEST_F(CreditsPass, FrameTickerStepsOncePerPassAndWrapsToOne) {
    SpriteSet current;
    FakeClock clock;
    Credits credits(clock, screen.surface(), current, background);
    auto frame_after = [&](int delta) {
        clock.now = 1000;  // sprite 6 at (388, 388), clear of the others
        clock.step = 13;
        credits.render(delta);
        return frame_at(400, 400);
    };
    EXPECT_EQ(frame_after(16), 0);
    EXPECT_EQ(frame_after(84), 0);   // 100 ms summed: not more than 100
    EXPECT_EQ(frame_after(1), 1);    // 101
    EXPECT_EQ(frame_after(250), 2);  // one step however long the pass; the excess is dropped...
    EXPECT_EQ(frame_after(100), 2);  // ...so 100 more is not enough
    EXPECT_EQ(frame_after(1), 3);
    for (int f = 4; f <= 8; ++f) EXPECT_EQ(frame_after(101), f);
    EXPECT_EQ(frame_after(101), 1);  // after 8 comes 1, never 0 or 9
    EXPECT_EQ(frame_after(101), 2);
    // Passes of absurd length neither overflow the sums nor step more than once.
    EXPECT_EQ(frame_after(INT_MAX), 3);
    EXPECT_EQ(frame_after(INT_MAX), 4);
}

TEST_F(CreditsPass, MissingPicturesLeaveTheRestDrawn) {
    SpriteSet current;  // every strip but bi is missing
    screen.fill(7, 7, 7);
    FakeClock clock(1000, 13);
    Credits credits(clock, screen.surface(), current, nullptr);
    credits.render(5001);
    EXPECT_EQ(screen.rgb(639, 0), rgb(7, 7, 7));
    EXPECT_TRUE(sprite_corner_at(388, 388, 1));
    // A set without bi draws no sprite.
    SDL_Surface* const strip = current.strips[bi];
    current.strips[bi] = nullptr;
    screen.fill(7, 7, 7);
    clock.now = 1000;
    credits.render(16);
    EXPECT_EQ(screen.rgb(400, 400), rgb(7, 7, 7));
    current.strips[bi] = strip;
}

}  // namespace
