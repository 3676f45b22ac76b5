#include "scenes/sprite_trio.h"

#include <gtest/gtest.h>

#include "support/headless.h"
#include "support/sprite_scenes_fixtures.h"

namespace {
constexpr Uint32 BACKGROUND = rgb(50, 50, 50);
}  // namespace

class SpriteTrioPass : public ::testing::Test {
protected:
    MediaDir media;
    HeadlessScreen screen;
    void write_strips(int frame_w) {
        media.write_strip("sm.png", frame_w, 40, 10);
        media.write_strip("bl.png", frame_w, 40, 6);
        media.write_strip("dm.png", frame_w, 40, 5);
    }
    void pass(SpriteTrio& trio, int delta) {
        screen.fill(50, 50, 50);
        trio.render(delta);
    }
};

TEST_F(SpriteTrioPass, CountersCycleAndEachSpriteShowsItsFrame) {
    write_strips(32);
    SpriteTrio trio(screen.surface());
    ASSERT_NE(trio.sprites[sm], nullptr);  // its own set, loaded at construction
    EXPECT_EQ(trio.ticker.ms, 0);
    EXPECT_EQ(trio.counter_a, 0);
    EXPECT_EQ(trio.counter_b, 0);
    pass(trio, 100);  // no step yet: frame 0 everywhere
    EXPECT_EQ(frame_at(screen, 251, 251), 0);
    EXPECT_EQ(frame_at(screen, 351, 251), 0);
    EXPECT_EQ(frame_at(screen, 151, 251), 0);
    EXPECT_EQ(trio.ticker.ms, 100);
    const int sm_frames[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    const int bl_frames[] = {1, 2, 3, 4, 5, 1, 2, 3, 4, 5, 1, 2, 3, 4, 5, 1, 2, 3};
    const int dm_frames[] = {1, 2, 3, 4, 0, 1, 2, 3, 4, 1, 2, 3, 4, 0, 1, 2, 3, 4};
    for (int n = 0; n < 18; ++n) {
        pass(trio, n == 0 ? 1 : 101);  // 100 + 1 is the first step
        EXPECT_EQ(trio.ticker.ms, 0);
        EXPECT_EQ(frame_at(screen, 251, 251), sm_frames[n]) << n;
        EXPECT_EQ(frame_at(screen, 281, 289), sm_frames[n]) << n;
        EXPECT_EQ(frame_at(screen, 351, 251), bl_frames[n]) << n;
        EXPECT_EQ(frame_at(screen, 151, 251), dm_frames[n]) << n;
        EXPECT_EQ(screen.rgb(250, 249), BACKGROUND);
        EXPECT_EQ(screen.rgb(250, 290), BACKGROUND);
        EXPECT_EQ(screen.rgb(282, 260), BACKGROUND);
    }
    EXPECT_EQ(trio.counter_a, 9);
    EXPECT_EQ(trio.counter_b, 3);
}

TEST_F(SpriteTrioPass, AtMostOneStepPerPass) {
    write_strips(32);
    SpriteTrio trio(screen.surface());
    pass(trio, 100);
    pass(trio, 100);
    EXPECT_EQ(trio.counter_a, 1);  // 200 ms in all, but one step, and the excess dropped
    EXPECT_EQ(trio.counter_b, 1);
    EXPECT_EQ(trio.ticker.ms, 0);
    pass(trio, 100000);
    EXPECT_EQ(trio.counter_a, 2);
    EXPECT_EQ(trio.counter_b, 2);
    EXPECT_EQ(frame_at(screen, 251, 251), 2);
}

TEST_F(SpriteTrioPass, DrawsSmThenBlThenDm) {
    write_strips(120);  // wide frames: dm (150..269) covers sm's left, bl (350..) its right
    SpriteTrio trio(screen.surface());
    for (int n = 0; n < 6; ++n) pass(trio, 101);  // A = 6, B = 1: sm 6, bl 1, dm 1
    EXPECT_EQ(frame_at(screen, 260, 251), 1);  // dm over sm
    EXPECT_EQ(frame_at(screen, 300, 251), 6);  // sm alone
    EXPECT_EQ(frame_at(screen, 360, 251), 1);  // bl over sm
}

TEST_F(SpriteTrioPass, MissingStripsDrawNothing) {
    SpriteTrio trio(screen.surface());
    for (int n = 0; n < 3; ++n) pass(trio, 101);
    for (int y = 240; y < 300; ++y)
        for (int x = 100; x < 500; ++x) ASSERT_EQ(screen.rgb(x, y), BACKGROUND) << x << "," << y;
    EXPECT_EQ(trio.counter_a, 3);
}
