#include "scenes/fade_in.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/headless.h"

namespace {

// Left half (10, 100, 230), right half (255, 204, 205): bytes right at and just above the
// threshold of the second pass below.
SDL_Surface* make_opening() {
    SDL_Surface* s = make_rgb_surface(640, 480, rgb(255, 204, 205));
    SDL_Rect left{0, 0, 320, 480};
    SDL_FillRect(s, &left, SDL_MapRGB(s->format, 10, 100, 230));
    return s;
}

bool whole_screen_is(const HeadlessScreen& screen, Uint32 colour) {
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            if (screen.rgb(x, y) != colour) return false;
    return true;
}

}  // namespace

class FadeInPass : public ::testing::Test {
protected:
    HeadlessScreen screen;
    SDL_Surface* opening = make_opening();
    void TearDown() override { SDL_FreeSurface(opening); }
};

TEST_F(FadeInPass, ConstructionDrawsTheOpeningAndSnapshotsIt) {
    FadeIn fade(screen.surface(), opening);
    EXPECT_EQ(screen.rgb(0, 0), rgb(10, 100, 230));
    EXPECT_EQ(screen.rgb(639, 479), rgb(255, 204, 205));
    EXPECT_EQ(fade.size, 4 * 480 * 640);
    EXPECT_EQ(fade.level, 256.0);
    EXPECT_EQ(fade.threshold, 256);
    const Uint8* pixels = static_cast<const Uint8*>(screen.surface()->pixels);
    EXPECT_TRUE(std::equal(pixels, pixels + fade.size, fade.snapshot.get()));
    EXPECT_TRUE(std::all_of(fade.work.get(), fade.work.get() + fade.size, [](Uint8 b) { return b == 0; }));
}

TEST_F(FadeInPass, FirstPassIsBlackAndTheSecondUsesItsThreshold) {
    FadeIn fade(screen.surface(), opening);
    // First pass at elapsed 1000: nothing exceeds 256, the whole screen goes black.
    fade.render(1000);
    EXPECT_TRUE(whole_screen_is(screen, rgb(0, 0, 0)));
    EXPECT_DOUBLE_EQ(fade.level, 204.8);
    EXPECT_EQ(fade.threshold, 204);

    // Second pass at 2500 subtracts 204: 255 shows as 51, 204 (equal) as 0, 205 (one above) as 1.
    screen.fill(7, 7, 7);
    fade.render(1500);
    EXPECT_EQ(screen.rgb(400, 10), rgb(51, 0, 1));
    EXPECT_EQ(screen.rgb(639, 479), rgb(51, 0, 1));
    EXPECT_EQ(screen.rgb(0, 0), rgb(0, 0, 26));
    EXPECT_EQ(screen.rgb(319, 479), rgb(0, 0, 26));
    EXPECT_DOUBLE_EQ(fade.level, 128.0);
    EXPECT_EQ(fade.threshold, 128);
}

TEST_F(FadeInPass, ZeroDeltaKeepsTheLevel) {
    FadeIn fade(screen.surface(), opening);
    fade.render(1000);
    fade.render(0);
    EXPECT_DOUBLE_EQ(fade.level, 204.8);
    EXPECT_EQ(fade.threshold, 204);
    EXPECT_EQ(screen.rgb(400, 10), rgb(51, 0, 1));
    fade.render(0);
    EXPECT_EQ(screen.rgb(400, 10), rgb(51, 0, 1));
}

TEST_F(FadeInPass, LevelStopsAtZeroAndThePictureComesBackWhole) {
    FadeIn fade(screen.surface(), opening);
    fade.render(6000);
    EXPECT_EQ(fade.level, 0.0);
    EXPECT_EQ(fade.threshold, 0);
    fade.render(16);
    EXPECT_EQ(fade.level, 0.0);
    EXPECT_EQ(screen.rgb(0, 0), rgb(10, 100, 230));
    EXPECT_EQ(screen.rgb(320, 0), rgb(255, 204, 205));
    const Uint8* pixels = static_cast<const Uint8*>(screen.surface()->pixels);
    EXPECT_TRUE(std::equal(pixels, pixels + fade.size, fade.snapshot.get()));
}

TEST(FadeInRows, FollowsTheRowsOfAScreenWithGapsAndLeavesTheGaps) {
    HeadlessScreen display;  // blit_at needs a display; the scene works on `screen` below
    // 24 bits per pixel, 5 px wide: 15 bytes of picture per row, rows padded to 16.
    SDL_Surface* screen = SDL_CreateRGBSurface(SDL_SWSURFACE, 5, 3, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    ASSERT_NE(screen, nullptr);
    ASSERT_GT(screen->pitch, 15);
    Uint8* pixels = static_cast<Uint8*>(screen->pixels);
    for (int y = 0; y < 3; ++y)
        for (int i = 0; i < screen->pitch; ++i)
            pixels[y * screen->pitch + i] = i < 15 ? static_cast<Uint8>(100 + 10 * y + i) : 0xAB;

    FadeIn fade(screen, nullptr);
    EXPECT_EQ(fade.size, 3 * 5 * 3);
    for (int y = 0; y < 3; ++y)
        for (int i = 0; i < 15; ++i) EXPECT_EQ(fade.snapshot[y * 15 + i], 100 + 10 * y + i);

    fade.render(5000);  // black, and the level is down to 0
    for (int y = 0; y < 3; ++y)
        for (int i = 0; i < screen->pitch; ++i)
            EXPECT_EQ(pixels[y * screen->pitch + i], i < 15 ? 0 : 0xAB) << y << "," << i;
    fade.render(16);  // the whole picture
    for (int y = 0; y < 3; ++y)
        for (int i = 0; i < screen->pitch; ++i)
            EXPECT_EQ(pixels[y * screen->pitch + i], i < 15 ? 100 + 10 * y + i : 0xAB) << y << "," << i;
    SDL_FreeSurface(screen);
}

TEST(FadeInRows, NoScreenDrawsNothing) {
    FadeIn fade(nullptr, nullptr);
    fade.render(16);
    fade.present();
    EXPECT_EQ(fade.size, 0);
}
