#include "scenes/walkers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/headless.h"
#include "support/sprite_scenes_fixtures.h"

namespace {
constexpr Uint32 BACKGROUND = rgb(50, 50, 50);

std::vector<Uint32> pixels_of(const HeadlessScreen& screen) {
    const Uint32* p = static_cast<const Uint32*>(screen.surface()->pixels);
    return std::vector<Uint32>(p, p + 640 * 480);
}
}  // namespace

class WalkersPass : public ::testing::Test {
protected:
    MediaDir media;
    HeadlessScreen screen;
    void SetUp() override {
        media.write_strip("cra.png", 32, 40, 4);
        media.write_strip("crb.png", 32, 40, 6);
    }
    void pass(Walkers& walkers, int delta) {
        screen.fill(50, 50, 50);
        walkers.render(delta);
    }
};

TEST_F(WalkersPass, FrameSequencesRepeatFrameOneAtEachWrap) {
    SpriteSet current;
    Walkers walkers(screen.surface(), current);
    const int cra_frames[] = {1, 2, 3, 0, 1, 2, 3, 0, 1, 1, 2, 3, 0, 1, 2, 3, 0, 1};
    const int crb_frames[] = {1, 2, 3, 4, 5, 0, 1, 2, 3, 1, 2, 3, 4, 5, 0, 1, 2, 3};
    for (int n = 0; n < 18; ++n) {
        const int cra_at = static_cast<int>(walkers.cra_x);
        const int crb_at = static_cast<int>(walkers.crb_x);
        pass(walkers, 101);
        EXPECT_EQ(frame_at(screen, cra_at + 1, 151), cra_frames[n]) << n;
        EXPECT_EQ(frame_at(screen, crb_at + 1, 201), crb_frames[n]) << n;
        EXPECT_EQ(walkers.ticker.ms, 0);
    }
    EXPECT_EQ(walkers.frame_counter, 9);
}

TEST_F(WalkersPass, AtMostOneStepPerPassAndNoneAt100) {
    SpriteSet current;
    Walkers walkers(screen.surface(), current);
    pass(walkers, 100);
    EXPECT_EQ(walkers.frame_counter, 0);
    EXPECT_EQ(walkers.ticker.ms, 100);
    EXPECT_EQ(frame_at(screen, 131, 151), 0);
    EXPECT_EQ(frame_at(screen, 1, 201), 0);
    pass(walkers, 1);
    EXPECT_EQ(walkers.frame_counter, 1);
    EXPECT_EQ(walkers.ticker.ms, 0);
    pass(walkers, 1000);
    EXPECT_EQ(walkers.frame_counter, 2);
    EXPECT_EQ(walkers.ticker.ms, 0);
    EXPECT_EQ(frame_at(screen, static_cast<int>(130 + 101 * 0.096) + 1, 151), 2);
    // Moved by the whole 1000 ms nonetheless.
    EXPECT_DOUBLE_EQ(walkers.cra_x, 130.0 + 1101 * 0.096);
    EXPECT_DOUBLE_EQ(walkers.crb_x, 1101 * 0.16);
}

TEST_F(WalkersPass, ZeroDeltaDrawsAtTheTruncatedPositionsAndChangesNothing) {
    SpriteSet current;
    Walkers walkers(screen.surface(), current);
    walkers.cra_x = 130.9;
    walkers.crb_x = 7.99;
    for (int n = 0; n < 2; ++n) {
        pass(walkers, 0);
        EXPECT_EQ(screen.rgb(129, 151), BACKGROUND);
        EXPECT_EQ(frame_at(screen, 130, 150), 0);
        EXPECT_EQ(frame_at(screen, 161, 189), 0);
        EXPECT_EQ(screen.rgb(162, 151), BACKGROUND);
        EXPECT_EQ(screen.rgb(6, 201), BACKGROUND);
        EXPECT_EQ(frame_at(screen, 7, 201), 0);
        EXPECT_EQ(walkers.cra_x, 130.9);  // the fraction is kept
        EXPECT_EQ(walkers.crb_x, 7.99);
        EXPECT_EQ(walkers.frame_counter, 0);
    }
}

TEST_F(WalkersPass, StopsAt640OnlyWhenPastIt) {
    SpriteSet current;
    Walkers walkers(screen.surface(), current);
    walkers.cra_x = 639.0;
    walkers.crb_x = 640.0;
    pass(walkers, 10);
    EXPECT_NE(frame_at(screen, 639, 151), -1);
    EXPECT_DOUBLE_EQ(walkers.cra_x, 639.96);   // not past: kept
    EXPECT_EQ(walkers.crb_x, 640.0);           // 641.6: stopped
    EXPECT_EQ(screen.rgb(639, 201), BACKGROUND);
    pass(walkers, 10);
    EXPECT_NE(frame_at(screen, 639, 151), -1);  // still drawn at 639
    EXPECT_EQ(walkers.cra_x, 640.0);            // 640.92: stopped
    pass(walkers, 10);
    EXPECT_EQ(screen.rgb(639, 151), BACKGROUND);  // at 640 nothing shows
    EXPECT_EQ(walkers.cra_x, 640.0);
    walkers.cra_speed = 0.0;
    pass(walkers, 10);
    EXPECT_EQ(walkers.cra_x, 640.0);  // exactly 640.0 is not past the stop
}

TEST_F(WalkersPass, EntrySixResetsSoEntryElevenStartsOver) {
    SpriteSet current;
    Walkers walkers(screen.surface(), current);
    // Entry 5: 6000 ms of passes, long enough for both to reach the stop.
    for (int n = 0; n < 375; ++n) pass(walkers, 16);
    EXPECT_EQ(walkers.cra_x, 640.0);
    EXPECT_EQ(walkers.crb_x, 640.0);
    EXPECT_NE(walkers.frame_counter, 0);
    // Entry 6: another scene draws; the walkers are reset on every pass.
    for (int n = 0; n < 3; ++n) {
        screen.fill(1, 2, 3);
        walkers.reset_walkers();
    }
    EXPECT_EQ(walkers.ticker.ms, 0);
    EXPECT_EQ(walkers.frame_counter, 0);
    EXPECT_EQ(walkers.cra_x, 130.0);
    EXPECT_EQ(walkers.cra_speed, 0.096);
    EXPECT_EQ(walkers.crb_x, 0.0);
    EXPECT_EQ(walkers.crb_speed, 0.16);
    // Entry 11: the same picture and state as a fresh start, pass after pass.
    Walkers fresh(screen.surface(), current);
    for (int delta : {16, 90, 101, 16}) {
        pass(walkers, delta);
        const std::vector<Uint32> seen = pixels_of(screen);
        pass(fresh, delta);
        EXPECT_EQ(seen, pixels_of(screen)) << delta;
        EXPECT_EQ(walkers.cra_x, fresh.cra_x);
        EXPECT_EQ(walkers.crb_x, fresh.crb_x);
        EXPECT_EQ(walkers.frame_counter, fresh.frame_counter);
    }
}

TEST_F(WalkersPass, MissingOrTinyStripsDrawNothing) {
    media.write_solid("cra.png", 3, 1, rgb(1, 2, 3));  // narrower than its 4 frames
    std::remove(media.path("crb.png").c_str());
    SpriteSet current;
    Walkers walkers(screen.surface(), current);
    for (int n = 0; n < 12; ++n) pass(walkers, 101);
    for (int y = 140; y < 250; ++y)
        for (int x = 0; x < 640; ++x) ASSERT_EQ(screen.rgb(x, y), BACKGROUND) << x << "," << y;
}
