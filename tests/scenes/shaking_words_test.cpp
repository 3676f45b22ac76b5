#include "scenes/shaking_words.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/headless.h"
#include "support/text_fixtures.h"

namespace {

constexpr Uint32 BACKGROUND = rgb(20, 90, 20);
constexpr Uint32 LEFT = rgb(30, 160, 90);
constexpr Uint32 RIGHT = rgb(180, 120, 60);

// The jitter a pass should use, replayed on the standard generator: sge_Random(-10, 10) is
// -10 + rand() % 21, one rand() per value.
struct Replay {
    int v[8];  // item 1 y, item 1 x, item 2 y, item 2 x, item 3 y, item 3 x, item 4 y, item 4 x
    int next;  // the rand() value after them
};
Replay replay(unsigned seed, int passes_before) {
    std::srand(seed);
    for (int i = 0; i < 8 * passes_before; ++i) std::rand();
    Replay r;
    for (int& v : r.v) v = -10 + std::rand() % 21;
    r.next = std::rand();
    return r;
}

class ShakingWordsPass : public ::testing::Test {
protected:
    MediaDir media;
    HeadlessScreen screen;
    SDL_Surface* background = nullptr;
    SDL_Surface* left = nullptr;
    SDL_Surface* right = nullptr;

    void SetUp() override {
        media.write_glyph_sheet("alp.png", 50, 100);
        background = make_rgb_surface(640, 480, BACKGROUND);
        left = make_rgb_surface(200, 250, LEFT);
        right = make_rgb_surface(150, 200, RIGHT);
    }
    void TearDown() override {
        SDL_FreeSurface(background);
        SDL_FreeSurface(left);
        SDL_FreeSurface(right);
    }

    // The two words, each in one column with its own jitter: character i 35 px below the one
    // before, probed in the part of its cell the next cell leaves uncovered.
    void expect_words(const Replay& r) const {
        const int x3 = 352 + r.v[5], y3 = 140 + r.v[4];
        const int x4 = 392 + r.v[7], y4 = 140 + r.v[6];
        // Word 1 left of where word 2 can reach (from x = 383); word 2 anywhere on its cells.
        EXPECT_EQ(text_mismatches(screen, "biaaatch", x3, y3, 0, 35, 6, 15), "");
        EXPECT_EQ(text_mismatches(screen, "shaddapp", x4, y4, 0, 35, 25, 15), "");
        // Word 1's first cell starts exactly at its corner: key border, then the glyph.
        EXPECT_EQ(cell_at(screen, x3 + 1, y3 + 1), 1);
        EXPECT_EQ(screen.rgb(x3, y3 + 20), BACKGROUND);
        EXPECT_EQ(screen.rgb(x3 + 10, y3), BACKGROUND);
        EXPECT_EQ(cell_at(screen, x4 + 1, y4 + 1), 18);
    }
    void expect_pictures(const Replay& r) const {
        // Left picture at (-30 + dx, 100 + dy), 200 × 250: its left 30 or so columns off screen.
        const int lx = -30 + r.v[1], ly = 100 + r.v[0];
        EXPECT_EQ(screen.rgb(0, ly), LEFT);
        EXPECT_EQ(screen.rgb(50, ly - 1), BACKGROUND);
        EXPECT_EQ(screen.rgb(lx + 199, 200), LEFT);
        EXPECT_EQ(screen.rgb(lx + 200, 200), BACKGROUND);
        EXPECT_EQ(screen.rgb(0, ly + 249), LEFT);
        EXPECT_EQ(screen.rgb(0, ly + 250), BACKGROUND);
        // Right picture at (438 + dx, 123 + dy), 150 × 200; probed clear of the words.
        const int rx = 438 + r.v[3], ry = 123 + r.v[2];
        EXPECT_EQ(screen.rgb(550, ry), RIGHT);
        EXPECT_EQ(screen.rgb(550, ry - 1), BACKGROUND);
        EXPECT_EQ(screen.rgb(rx + 149, 250), RIGHT);
        EXPECT_EQ(screen.rgb(rx + 150, 250), BACKGROUND);
        EXPECT_EQ(screen.rgb(550, ry + 199), RIGHT);
        EXPECT_EQ(screen.rgb(550, ry + 200), BACKGROUND);
    }
};

TEST_F(ShakingWordsPass, EightDrawsPerPassYBeforeXItemByItem) {
    const unsigned seed = 244243;
    ShakingWords words(screen.surface(), background, left, right);
    std::srand(seed);
    for (int pass = 0; pass < 3; ++pass) {
        words.render(16);
        const Replay r = replay(seed, pass);
        std::srand(seed);  // back to where the scene's generator stands after `pass + 1` passes
        for (int i = 0; i < 8 * (pass + 1); ++i) std::rand();
        expect_pictures(r);
        expect_words(r);
    }
}

TEST_F(ShakingWordsPass, EachPassTakesExactlyEightValues) {
    const unsigned seed = 97;
    ShakingWords words(screen.surface(), background, left, right);
    std::srand(seed);
    words.render(16);
    words.render(0);
    const int after = std::rand();  // the 17th value: two passes took 16
    EXPECT_EQ(after, replay(seed, 1).next);
}

TEST_F(ShakingWordsPass, MissingPicturesStillTakeTheirJitter) {
    const unsigned seed = 5;
    ShakingWords words(screen.surface(), nullptr, nullptr, nullptr);
    screen.fill(20, 90, 20);
    std::srand(seed);
    words.render(16);
    const int after = std::rand();
    const Replay r = replay(seed, 0);
    EXPECT_EQ(after, r.next);
    expect_words(r);
    EXPECT_EQ(screen.rgb(0, 200), BACKGROUND);
    EXPECT_EQ(screen.rgb(550, 200), BACKGROUND);
}

}  // namespace
