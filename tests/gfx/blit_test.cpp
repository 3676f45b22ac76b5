#include "gfx/blit.h"

#include <gtest/gtest.h>

#include "gfx/sprite_set.h"
#include "support/headless.h"

namespace {
constexpr Uint32 BLACK = 0;

// A strip w px wide and h high whose column x is coloured frame_colour(x / frame_w).
SDL_Surface* make_strip(int w, int h, int frame_w) {
    SDL_Surface* s = make_rgb_surface(w, h, 0);
    for (int x = 0; x < w; ++x) {
        SDL_Rect col{static_cast<Sint16>(x), 0, 1, static_cast<Uint16>(h)};
        const Uint32 c = frame_colour(x / frame_w);
        SDL_FillRect(s, &col, SDL_MapRGB(s->format, c >> 16, (c >> 8) & 0xFF, c & 0xFF));
    }
    return s;
}

// The leftmost and rightmost non-black columns of row y, or -1.
std::pair<int, int> drawn_span(const HeadlessScreen& screen, int y) {
    int first = -1, last = -1;
    for (int x = 0; x < 640; ++x)
        if (screen.rgb(x, y) != BLACK) {
            if (first < 0) first = x;
            last = x;
        }
    return {first, last};
}
}  // namespace

class Blit : public ::testing::Test {
protected:
    HeadlessScreen screen;
    void SetUp() override { screen.fill(0, 0, 0); }
};

TEST_F(Blit, AtNegativePositionDrawsTheVisiblePartOnly) {
    SDL_Surface* image = make_rgb_surface(100, 50, rgb(9, 8, 7));
    blit_at(screen.surface(), image, -30, -10);
    EXPECT_EQ(drawn_span(screen, 0), std::make_pair(0, 69));
    EXPECT_EQ(screen.rgb(0, 39), rgb(9, 8, 7));
    EXPECT_EQ(screen.rgb(0, 40), BLACK);
    SDL_FreeSurface(image);
}

TEST_F(Blit, AtOrBeyondTheFarEdgesDrawsNothing) {
    SDL_Surface* image = make_rgb_surface(100, 50, rgb(9, 8, 7));
    blit_at(screen.surface(), image, 640, 0);
    blit_at(screen.surface(), image, 0, 480);
    blit_at(screen.surface(), image, 30000, 30000);
    blit_at(screen.surface(), nullptr, 0, 0);
    for (int y = 0; y < 480; y += 5) ASSERT_EQ(drawn_span(screen, y).first, -1) << y;
    SDL_FreeSurface(image);
}

TEST_F(Blit, CellCopiesOneRectangleAndEmptyCellsDrawNothing) {
    SDL_Surface* strip = make_strip(100, 20, 10);
    blit_cell(screen.surface(), strip, 200, 100, 10, 20, 30, 0);
    EXPECT_EQ(drawn_span(screen, 110), std::make_pair(200, 209));
    EXPECT_EQ(screen.rgb(205, 119), frame_colour(3));
    EXPECT_EQ(screen.rgb(205, 120), BLACK);

    screen.fill(0, 0, 0);
    blit_cell(screen.surface(), strip, 200, 100, 0, 20, 30, 0);
    blit_cell(screen.surface(), strip, 200, 100, 10, 0, 30, 0);
    blit_cell(screen.surface(), strip, 200, 100, -5, 20, 30, 0);
    EXPECT_EQ(drawn_span(screen, 110).first, -1);
    SDL_FreeSurface(strip);
}

TEST_F(Blit, FrameOfA130PixelStripWithFourFramesIs32Wide) {
    SDL_Surface* strip = make_strip(130, 20, 32);  // columns 128, 129 would be "frame 4"
    draw_frame(screen.surface(), 0, strip, 4, 10, 10);
    EXPECT_EQ(drawn_span(screen, 15), std::make_pair(10, 41));
    EXPECT_EQ(screen.rgb(10, 15), frame_colour(0));

    screen.fill(0, 0, 0);
    draw_frame(screen.surface(), 3, strip, 4, 10, 10);
    EXPECT_EQ(drawn_span(screen, 15), std::make_pair(10, 41));
    EXPECT_EQ(screen.rgb(41, 15), frame_colour(3));  // source column 127; 128, 129 never drawn
    SDL_FreeSurface(strip);
}

TEST_F(Blit, FramePastTheEndAndDegenerateStripsDrawNothing) {
    SDL_Surface* strip = make_strip(128, 20, 32);
    draw_frame(screen.surface(), 4, strip, 4, 10, 10);  // n = k
    draw_frame(screen.surface(), 0, strip, 0, 10, 10);  // no frames
    draw_frame(screen.surface(), 0, strip, -3, 10, 10);
    draw_frame(screen.surface(), 0, nullptr, 4, 10, 10);
    SDL_Surface* narrow = make_strip(3, 20, 1);  // narrower than its 4 frames: width 0
    draw_frame(screen.surface(), 0, narrow, 4, 10, 10);
    draw_frame(screen.surface(), 2, narrow, 4, 10, 10);
    EXPECT_EQ(drawn_span(screen, 15).first, -1);
    SDL_FreeSurface(strip);
    SDL_FreeSurface(narrow);
}

// The three operations draw on the surface they are handed, which need not be the display: the
// display stays as it was, and a null surface draws nothing anywhere.
TEST_F(Blit, DrawsOnTheSurfaceHandedInAndNowhereElse) {
    SDL_Surface* target = make_rgb_surface(64, 48, 0);
    SDL_Surface* image = make_rgb_surface(10, 10, rgb(9, 8, 7));
    SDL_Surface* strip = make_strip(40, 5, 10);
    blit_at(target, image, 2, 3);
    blit_cell(target, strip, 30, 30, 10, 5, 20, 0);
    draw_frame(target, 3, strip, 4, 50, 40);
    blit_at(nullptr, image, 0, 0);
    blit_cell(nullptr, strip, 0, 0, 10, 5, 0, 0);
    draw_frame(nullptr, 0, strip, 4, 0, 0);
    EXPECT_EQ(rgb_at(target, 2, 3), rgb(9, 8, 7));
    EXPECT_EQ(rgb_at(target, 11, 12), rgb(9, 8, 7));
    EXPECT_EQ(rgb_at(target, 12, 13), BLACK);
    EXPECT_EQ(rgb_at(target, 30, 30), frame_colour(2));
    EXPECT_EQ(rgb_at(target, 50, 40), frame_colour(3));
    for (int y = 0; y < 480; y += 3) ASSERT_EQ(drawn_span(screen, y).first, -1) << y;
    SDL_FreeSurface(strip);
    SDL_FreeSurface(image);
    SDL_FreeSurface(target);
}

TEST(SpriteSetLoading, LoadsEveryStripInOrder) {
    MediaDir media;
    media.write_all();
    HeadlessScreen screen;
    SpriteSet set;
    for (int i = 0; i < STRIP_COUNT; ++i) {
        ASSERT_NE(set.strips[i], nullptr) << i;
        EXPECT_EQ(set.strips[i]->w, 32 * frames_in[i]) << i;
        EXPECT_FALSE(set.strips[i]->flags & SDL_SRCCOLORKEY) << i;
    }
    EXPECT_EQ(set[wm], set.strips[7]);
}

TEST(SpriteSetLoading, AMissingStripStaysEmptyAndDrawsNothing) {
    MediaDir media;
    media.write_strip("sm.png", 10, 10, 10);
    HeadlessScreen screen;
    screen.fill(0, 0, 0);
    SpriteSet set;
    EXPECT_NE(set[sm], nullptr);
    EXPECT_EQ(set[wm], nullptr);
    draw_frame(screen.surface(), 0, set[wm], 5, 0, 0);
    EXPECT_EQ(screen.rgb(0, 0), BLACK);
}
