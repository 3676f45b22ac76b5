#include "scenes/greetings_swing.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/headless.h"
#include "support/text_fixtures.h"

namespace {

constexpr Uint32 BACKGROUND = rgb(40, 40, 90);
constexpr Uint32 SIGN = rgb(200, 60, 30);
constexpr Uint32 BLACK = rgb(0, 0, 0);

class GreetingsSwingPass : public ::testing::Test {
protected:
    MediaDir media;
    HeadlessScreen screen;
    SDL_Surface* background = nullptr;
    SDL_Surface* sign = nullptr;

    void SetUp() override {
        media.write_glyph_sheet("alpb.png", 25, 31);
        background = make_rgb_surface(640, 480, BACKGROUND);
    }
    void TearDown() override {
        SDL_FreeSurface(background);
        SDL_FreeSurface(sign);
    }

    // The left edge of the sign in screen row y, searched in [from, to): the first sign pixel.
    int sign_left(int y, int from, int to) const {
        for (int x = from; x < to; ++x)
            if (screen.rgb(x, y) == SIGN) return x;
        return -1;
    }
    std::vector<Uint32> pixels() const {
        const Uint32* p = static_cast<const Uint32*>(screen.surface()->pixels);
        return std::vector<Uint32>(p, p + 640 * 480);
    }
};

TEST_F(GreetingsSwingPass, AtRestSignsHangOnTheirLinesWithTheGreetingsBelow) {
    sign = make_rgb_surface(120, 60, SIGN);
    FakeClock clock(0);  // every sine 0: each sign at anchor_x + base
    GreetingsSwing greetings(clock, screen.surface(), background, sign);
    greetings.render(16);
    EXPECT_EQ(clock.reads, 4);

    EXPECT_EQ(screen.rgb(639, 479), BACKGROUND);
    // Sign 1 at (110, 100); its line from (100, 0) towards (120, 105), whose end the sign covers.
    EXPECT_EQ(screen.rgb(110, 100), SIGN);
    EXPECT_EQ(screen.rgb(109, 100), BACKGROUND);
    EXPECT_EQ(screen.rgb(229, 159), SIGN);
    EXPECT_EQ(screen.rgb(100, 0), BLACK);
    EXPECT_EQ(screen.rgb(104, 21), BLACK);
    EXPECT_EQ(screen.rgb(116, 84), BLACK);
    EXPECT_EQ(screen.rgb(99, 0), BACKGROUND);
    // The other signs: (230, 200), (280, 100) over sign 1's band, (330, 300).
    EXPECT_EQ(screen.rgb(230, 200), SIGN);
    EXPECT_EQ(screen.rgb(229, 230), BACKGROUND);
    EXPECT_EQ(screen.rgb(280, 130), SIGN);
    EXPECT_EQ(screen.rgb(330, 300), SIGN);
    EXPECT_EQ(screen.rgb(329, 330), BACKGROUND);
    EXPECT_EQ(screen.rgb(200, 0), BLACK);
    EXPECT_EQ(screen.rgb(250, 0), BLACK);
    EXPECT_EQ(screen.rgb(300, 0), BLACK);

    // Greetings hang sign_h = 60 px under the signs' tops, 15 px per character; "#" and w draw
    // the blank cell and still take their place. Probed clear of the later signs' lines.
    EXPECT_EQ(text_mismatches(screen, "n1ghtc4p", 110, 160, 15, 0, 4, 15), "");
    EXPECT_EQ(text_mismatches(screen, "brodda", 230, 260, 15, 0, 4, 15), "");
    EXPECT_EQ(text_mismatches(screen, "#quietnightswitholdtoads", 280, 160, 15, 0, 4, 15), "");
    EXPECT_EQ(text_mismatches(screen, "#mooncraterclub", 330, 360, 15, 0, 4, 15), "");
    EXPECT_EQ(cell_at(screen, 284, 175), NO_GLYPH);             // "#"
    EXPECT_EQ(cell_at(screen, 280 + 15 * 12 + 4, 175), NO_GLYPH);  // the w of "switholdtoads"
    EXPECT_EQ(cell_at(screen, 280 + 15 * 13 + 4, 175), 8);      // the i after it
}

// Each sign takes a tick reading of its own, in table order; the reading is widened to double and
// multiplied by the float k. Expected swings worked out independently (30 × sin(t × k)).
struct SwingCase {
    Uint32 start, step;
    int x[4];  // anchor_x + swing of signs 1 to 4
};

TEST_F(GreetingsSwingPass, EachSignSwingsOnItsOwnTickReading) {
    const SwingCase cases[] = {
        // Sign 1 at t = 315: 30 × sin = -0.25, truncated toward zero to 0, not -1: x = 110.
        // Signs 2-4 read 1315, 2315, 3315: swings 48, 34, 49.
        {315, 1000, {110, 248, 284, 349}},
        // Far into the tick range the float k shows: with k = 0.01, 1/150, 0.004 in double the
        // swings would be 38, 8, 57, 57 instead of 37, 19, 46, 46.
        {3000000000u, 1, {137, 219, 296, 346}},
    };
    sign = make_rgb_surface(20, 60, SIGN);  // narrow, so signs 1 and 3 never touch
    for (const SwingCase& c : cases) {
        FakeClock clock(c.start, c.step);
        GreetingsSwing greetings(clock, screen.surface(), background, sign);
        greetings.render(16);
        EXPECT_EQ(clock.reads, 4);
        EXPECT_EQ(sign_left(130, 0, 240), c.x[0]) << c.start;
        EXPECT_EQ(sign_left(230, 0, 640), c.x[1]) << c.start;
        EXPECT_EQ(sign_left(130, 240, 640), c.x[2]) << c.start;
        EXPECT_EQ(sign_left(330, 0, 640), c.x[3]) << c.start;
        // Each greeting follows its own sign.
        EXPECT_EQ(cell_at(screen, c.x[0] + 4, 175), 13) << c.start;  // n
        EXPECT_EQ(cell_at(screen, c.x[1] + 4, 275), 1) << c.start;   // b
        EXPECT_EQ(cell_at(screen, c.x[3] + 19, 375), 12) << c.start;  // m
    }
}

TEST_F(GreetingsSwingPass, DeltaDoesNotChangeThePicture) {
    sign = make_rgb_surface(120, 60, SIGN);
    FakeClock clock(777, 0);
    GreetingsSwing greetings(clock, screen.surface(), background, sign);
    greetings.render(0);
    const std::vector<Uint32> first = pixels();
    screen.fill(1, 2, 3);
    greetings.render(5000);
    EXPECT_TRUE(first == pixels());
}

TEST_F(GreetingsSwingPass, WithoutPicturesTheLinesAndGreetingsStillShow) {
    screen.fill(9, 9, 9);
    FakeClock clock(0);
    GreetingsSwing greetings(clock, screen.surface(), nullptr, nullptr);
    greetings.render(16);
    // No sign: sign_h is 0, so each greeting starts at its sign's top edge.
    EXPECT_EQ(text_mismatches(screen, "n1ghtc4p", 110, 100, 15, 0, 4, 15), "");
    EXPECT_EQ(text_mismatches(screen, "#mooncraterclub", 330, 300, 15, 0, 4, 15), "");
    EXPECT_EQ(screen.rgb(116, 84), BLACK);  // line 1, no sign over its lower end
    EXPECT_EQ(screen.rgb(639, 0), rgb(9, 9, 9));
}

}  // namespace
