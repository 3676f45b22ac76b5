#include "scenes/walker.h"

#include <gtest/gtest.h>

#include "support/headless.h"
#include "support/sprite_scenes_fixtures.h"

namespace {
constexpr Uint32 BACKGROUND = rgb(50, 50, 50);
}  // namespace

class WalkerPass : public ::testing::Test {
protected:
    MediaDir media;
    HeadlessScreen screen;
    void SetUp() override { media.write_strip("wm.png", 32, 40, 5); }
    void pass(Walker& walker, int delta) {
        screen.fill(50, 50, 50);
        walker.render(delta);
    }
};

TEST_F(WalkerPass, ShowsFrameZeroOnlyBeforeTheFirstStep) {
    Walker walker(screen.surface());
    ASSERT_NE(walker.sprites[wm], nullptr);  // its own set, loaded at construction
    pass(walker, 100);
    EXPECT_EQ(frame_at(screen, 1, 151), 0);
    EXPECT_EQ(walker.frame_counter, 0);
    const int frames[] = {1, 2, 3, 4, 1, 2, 3, 4, 1, 2};
    for (int n = 0; n < 10; ++n) {
        const int at = static_cast<int>(walker.x);
        pass(walker, n == 3 ? 5000 : 101);  // a long pass is still one step
        EXPECT_EQ(frame_at(screen, at + 1, 151), frames[n]) << n;
        EXPECT_EQ(frame_at(screen, at + 31, 189), frames[n]) << n;
        EXPECT_EQ(screen.rgb(at + 32, 151), BACKGROUND) << n;
        EXPECT_EQ(walker.ticker.ms, 0);
    }
}

TEST_F(WalkerPass, CoversFourHundredEightyPixelsInItsWindowAndStopsPast640) {
    Walker walker(screen.surface());
    for (int n = 0; n < 1000; ++n) pass(walker, 15);  // 15000 ms
    EXPECT_NEAR(walker.x, 480.0, 1e-9);
    walker.x = 639.5;
    pass(walker, 100);
    EXPECT_NE(frame_at(screen, 639, 151), -1);
    EXPECT_EQ(walker.x, 640.0);
    pass(walker, 100);
    EXPECT_EQ(screen.rgb(639, 151), BACKGROUND);
    EXPECT_EQ(walker.x, 640.0);
}
