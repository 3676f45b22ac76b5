#include "scenes/bezier_web.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gfx/image.h"
#include "support/headless.h"

namespace {

constexpr Uint32 CURVE = rgb(248, 225, 170);
constexpr Uint32 BACKGROUND = rgb(10, 20, 30);

class BezierWebPass : public ::testing::Test {
protected:
    HeadlessScreen screen;
    FakeClock clock;
    SDL_Surface* background = make_rgb_surface(640, 480, BACKGROUND);

    ~BezierWebPass() override { SDL_FreeSurface(background); }

    std::vector<Uint32> pixels() const {
        const Uint32* p = static_cast<const Uint32*>(screen.surface()->pixels);
        return std::vector<Uint32>(p, p + 640 * 480);
    }
    // The end points of curve i (0-based): (o_i, o_i+1) and (o_i+6, o_i+7), indexes wrapping.
    static void expect_end_points(const HeadlessScreen& s, const int (&o)[8]) {
        for (int i = 0; i < 8; ++i) {
            const int x1 = o[i], y1 = o[(i + 1) % 8], x4 = o[(i + 6) % 8], y4 = o[(i + 7) % 8];
            if (x1 >= 0 && x1 < 640 && y1 >= 0 && y1 < 480) {
                EXPECT_EQ(s.rgb(x1, y1), CURVE) << "curve " << i + 1 << " start";
            }
            if (x4 >= 0 && x4 < 640 && y4 >= 0 && y4 < 480) {
                EXPECT_EQ(s.rgb(x4, y4), CURVE) << "curve " << i + 1 << " end";
            }
        }
    }
};

TEST_F(BezierWebPass, AtTickZeroEveryOscillatorSitsAtItsCentre) {
    BezierWeb web(clock, screen.surface(), background, nullptr, nullptr);
    int o[8];
    web.read_oscillators(o);
    const int centres[8] = {240, 250, 240, 250, 240, 250, 230, 270};
    EXPECT_TRUE(std::equal(o, o + 8, centres));
    EXPECT_EQ(clock.reads, 8);
}

TEST_F(BezierWebPass, EachOscillatorReadsItsOwnTick) {
    clock.now = 31000;
    clock.step = 1;  // o1 at 31000, ..., o8 at 31007: o5 and o7 share a rate but not a tick
    BezierWeb web(clock, screen.surface(), background, nullptr, nullptr);
    int o[8];
    web.read_oscillators(o);
    const int expected[8] = {293, 370, 123, 388, 319, 371, 257, 262};
    EXPECT_TRUE(std::equal(o, o + 8, expected));

    clock.now = 40000;
    clock.step = 250;
    web.read_oscillators(o);
    const int later[8] = {397, 263, 140, 120, 473, 384, 265, 268};
    EXPECT_TRUE(std::equal(o, o + 8, later));
}

TEST_F(BezierWebPass, DrawsTheBackgroundThenCurvesEndingAtTheOscillatorValues) {
    screen.fill(200, 0, 200);
    BezierWeb web(clock, screen.surface(), background, nullptr, nullptr);
    web.render(16);
    EXPECT_EQ(clock.reads, 8);
    const int at_zero[8] = {240, 250, 240, 250, 240, 250, 230, 270};
    expect_end_points(screen, at_zero);
    EXPECT_EQ(screen.rgb(240, 250), CURVE);
    EXPECT_EQ(screen.rgb(230, 270), CURVE);  // curve 1's end: (o7, o8)
    EXPECT_EQ(screen.rgb(270, 240), CURVE);  // curve 2's end: (o8, o1)
    EXPECT_EQ(screen.rgb(0, 0), BACKGROUND);
    EXPECT_EQ(screen.rgb(639, 479), BACKGROUND);
    EXPECT_EQ(screen.rgb(600, 100), BACKGROUND);
}

TEST_F(BezierWebPass, CurvesFollowTheTicksOfTheirOwnReadings) {
    clock.now = 40000;
    clock.step = 250;
    BezierWeb web(clock, screen.surface(), background, nullptr, nullptr);
    web.render(16);
    const int o[8] = {397, 263, 140, 120, 473, 384, 265, 268};
    expect_end_points(screen, o);
}

TEST_F(BezierWebPass, LogosAreDrawnOverTheCurvesAndShowThemThroughTheKey) {
    // Upper logo: key colour left of column 245, blue from there on, rows 0..299.
    std::vector<Uint32> px(640 * 300);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 640; ++x)
            px[y * 640 + x] = x < 245 ? rgb(129, 255, 129) : rgb(0, 0, 250);
    MediaDir media;
    media.write_png("bb.png", 640, 300, px);
    media.write_solid("ba.png", 640, 150, rgb(0, 250, 0));
    SDL_Surface* upper = load_image("Media/bb.png");
    SDL_Surface* lower = load_image("Media/ba.png");
    ASSERT_TRUE(upper && lower);
    set_colour_key(upper);
    set_colour_key(lower);

    BezierWeb web(clock, screen.surface(), background, upper, lower);
    web.render(16);
    EXPECT_EQ(screen.rgb(240, 250), CURVE);           // curve 1's start, under the keyed part
    EXPECT_EQ(screen.rgb(250, 240), rgb(0, 0, 250));  // curve 2's start, under the logo
    EXPECT_EQ(screen.rgb(0, 0), BACKGROUND);          // keyed corner of the upper logo
    EXPECT_EQ(screen.rgb(0, 305), BACKGROUND);
    EXPECT_EQ(screen.rgb(0, 306), rgb(0, 250, 0));  // the lower logo's corner
    EXPECT_EQ(screen.rgb(639, 455), rgb(0, 250, 0));
    SDL_FreeSurface(upper);
    SDL_FreeSurface(lower);
}

TEST_F(BezierWebPass, SameTicksDrawTheSamePictureWhateverTheDelta) {
    clock.now = 36000;
    BezierWeb web(clock, screen.surface(), background, nullptr, nullptr);
    web.render(1);
    const std::vector<Uint32> first = pixels();
    screen.fill(1, 2, 3);
    web.render(90000);
    EXPECT_EQ(pixels(), first);
}

TEST_F(BezierWebPass, CurvesReachingOffTheScreenAreClipped) {
    // At tick 3300 o5 is -19: left of the screen in curves 1, 3, 5, 7, above it in 2, 4, 6, 8.
    clock.now = 3300;
    BezierWeb web(clock, screen.surface(), background, nullptr, nullptr);
    int o[8];
    web.read_oscillators(o);
    ASSERT_EQ(o[4], -19);
    web.render(16);
    expect_end_points(screen, o);
    EXPECT_EQ(screen.rgb(0, 0), BACKGROUND);
}

TEST_F(BezierWebPass, MissingPicturesLeaveTheCurvesAlone) {
    screen.fill(7, 7, 7);
    BezierWeb web(clock, screen.surface(), nullptr, nullptr, nullptr);
    web.render(16);
    EXPECT_EQ(screen.rgb(240, 250), CURVE);
    EXPECT_EQ(screen.rgb(0, 0), rgb(7, 7, 7));
}

}  // namespace
