#include "shell/demo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "scenes/drifting_sprites.h"
#include "scenes/falling_logos.h"
#include "scenes/oscilloscope.h"
#include "scenes/plasma.h"
#include "scenes/reveal_worm.h"
#include "scenes/sprite_trio.h"
#include "scenes/walker.h"
#include "scenes/walkers.h"
#include "shell/schedule.h"
#include "support/headless.h"

namespace {
const int bounds[] = {5000,  15000, 30000,  45000,  51000,  61000,  66000,  81000,
                      96000, 106000, 112000, 122000, 132000, 137000, 147000, 162000};

void press(SDLKey key, Uint8 type = SDL_KEYDOWN) {
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

void close_window() {
    SDL_Event event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}

void use_dummy_drivers() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}
}  // namespace

TEST(Schedule, EveryBoundStartsTheNextEntry) {
    for (int n = 0; n < 16; ++n) {
        EXPECT_EQ(schedule_entry(bounds[n] - 1), n) << bounds[n];
        EXPECT_EQ(schedule_entry(bounds[n]), n + 1) << bounds[n];
        EXPECT_EQ(schedule[n + 1].from_ms, bounds[n]);
    }
    EXPECT_EQ(schedule_entry(0), 0);
    EXPECT_EQ(schedule_entry(-5), 0);  // signed comparisons: before the zero point is the fade-in
    EXPECT_EQ(schedule_entry(2147483647), 16);
}

TEST(Schedule, BackgroundIsDrawnFirstInTheEntriesThatHaveOne) {
    const bool expected[SCHEDULE_SIZE] = {false, true,  true,  false, true,  false, false, true, true,
                                          false, true,  false, false, true,  false, false, false};
    for (int n = 0; n < SCHEDULE_SIZE; ++n) EXPECT_EQ(schedule[n].background, expected[n]) << schedule[n].name;
}

class Shell : public ::testing::Test {
protected:
    MediaDir media;
    FakeClock clock{1000};
    Demo demo{clock};
    void SetUp() override {
        use_dummy_drivers();
        media.write_all();
    }
    void TearDown() override { demo.shut_down(); }
    Uint32 rgb_at(int x, int y) const { return ::rgb_at(demo.screen, x, y); }
};

TEST_F(Shell, StartUpOpensTheScreenFixesTheZeroPointAndDrawsTheBackground) {
    testing::internal::CaptureStdout();
    ASSERT_TRUE(demo.start_up());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_NE(demo.screen, nullptr);
    EXPECT_EQ(demo.screen->w, 640);
    EXPECT_EQ(demo.screen->h, 480);
    EXPECT_EQ(demo.screen->format->BitsPerPixel, 32);
    EXPECT_EQ(demo.screen->pitch, 2560);
    EXPECT_EQ(demo.start_ticks, 1000u);
    EXPECT_EQ(demo.quit_requested, 0);
    EXPECT_NE(demo.music, nullptr);
    EXPECT_EQ(demo.images.background->w, 1280);
    EXPECT_TRUE(demo.images.upper_logo->flags & SDL_SRCCOLORKEY);
    EXPECT_FALSE(demo.images.background->flags & SDL_SRCCOLORKEY);
    EXPECT_EQ(rgb_at(10, 10), rgb(50, 50, 50));  // fd.jpg over the cleared screen, not flipped yet
    char* title = nullptr;
    SDL_WM_GetCaption(&title, nullptr);
    EXPECT_STREQ(title, "Half-baked tricks on SCREEN :: ZYPHO");
}

TEST_F(Shell, FirstPassDeltaIsItsElapsedAndLaterDeltasThePassLength) {
    ASSERT_TRUE(demo.start_up());
    clock.now = 1000 + 1500;  // start-up took 1.5 s after the zero point
    ASSERT_TRUE(demo.pass());
    EXPECT_EQ(demo.elapsed, 1500);
    EXPECT_EQ(demo.elapsed - demo.previous_elapsed, 1500);
    clock.now = 1000 + 5016;
    ASSERT_TRUE(demo.pass());
    EXPECT_EQ(demo.elapsed, 5016);
    EXPECT_EQ(demo.previous_elapsed, 1500);
}

TEST_F(Shell, EachEntryRunsItsScenesAndOnlyThose) {
    ASSERT_TRUE(demo.start_up());
    auto pass_at = [&](int elapsed) {
        clock.now = 1000 + static_cast<Uint32>(elapsed);
        ASSERT_TRUE(demo.pass());
    };
    pass_at(6000);  // falling logos
    EXPECT_GT(demo.falling_logos->top_pos, 1.0);
    EXPECT_EQ(demo.plasma->col_phase1, 0);

    pass_at(46000);  // walkers move...
    EXPECT_GT(demo.walkers->cra_x, 130.0);
    pass_at(52000);  // ...the worm runs and sets them back on every pass
    EXPECT_EQ(demo.reveal_worm->phase, 2);
    EXPECT_EQ(demo.walkers->cra_x, 130.0);
    EXPECT_EQ(demo.walkers->crb_x, 0.0);
    EXPECT_EQ(demo.walkers->frame_counter, 0);

    pass_at(82000);  // walker, then the oscilloscope
    EXPECT_GT(demo.walker->x, 0.0);
    EXPECT_EQ(demo.oscilloscope->period_x, 400.0f - 0.1f);

    pass_at(97000);
    EXPECT_EQ(demo.plasma->col_phase1, 9);

    pass_at(107000);  // level bars, then the walkers from their start values
    EXPECT_EQ(demo.walkers->cra_x, 640.0);  // one 10 s pass from 130: past the stop
    EXPECT_EQ(demo.walkers->frame_counter, 1);
    pass_at(148000);  // wavy caption, then the trio
    EXPECT_EQ(demo.sprite_trio->counter_a, 1);
    EXPECT_EQ(demo.sprite_trio->counter_b, 1);

    EXPECT_EQ(demo.drifting_sprites->accumulator, 0);  // never ran
    EXPECT_EQ(demo.walker->frame_counter, 1);
}

TEST_F(Shell, EscapeFinishesThePassThenEndsTheLoop) {
    ASSERT_TRUE(demo.start_up());
    clock.now = 1000 + 170000;
    press(SDLK_a);
    press(SDLK_ESCAPE, SDL_KEYUP);
    ASSERT_TRUE(demo.pass());
    EXPECT_EQ(demo.quit_requested, 0);  // other keys and key releases are ignored

    press(SDLK_ESCAPE);
    ASSERT_TRUE(demo.pass());
    EXPECT_EQ(demo.quit_requested, 1);
    EXPECT_EQ(demo.music, nullptr);
    EXPECT_EQ(rgb_at(5, 5), rgb(0, 215, 246));  // the pass was still drawn: the end screen
    EXPECT_FALSE(demo.pass());
}

TEST_F(Shell, TwoStopsInOnePassReleaseTheMusicOnce) {
    ASSERT_TRUE(demo.start_up());
    press(SDLK_ESCAPE);
    press(SDLK_ESCAPE);
    close_window();
    ASSERT_TRUE(demo.pass());  // a double release would trip the address sanitizer
    EXPECT_EQ(demo.music, nullptr);
    EXPECT_FALSE(demo.pass());
}

TEST_F(Shell, TheMusicEndingDoesNotEndTheLoop) {
    ASSERT_TRUE(demo.start_up());
    Mix_HaltMusic();
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(demo.pass());
}

TEST_F(Shell, WithoutTheTrackNoPassRunsAndTheReasonGoesToStandardError) {
    std::remove(media.path("s.ogg").c_str());
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    ASSERT_TRUE(demo.start_up());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Media/s.ogg"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(demo.quit_requested, 1);
    const int reads = clock.reads;
    EXPECT_FALSE(demo.pass());
    EXPECT_EQ(clock.reads, reads);  // no pass: the clock is not even read
}

TEST_F(Shell, WithoutAnAudioDeviceNoPassRuns) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    // SDL itself may refuse to start its audio subsystem with no driver; either way nothing is
    // written to standard output but the failure message, and no frame is drawn.
    const bool started = demo.start_up();
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    if (!started) {
        EXPECT_EQ(out.rfind("Unable to init SDL: ", 0), 0u) << out;
        return;
    }
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("audio"), std::string::npos) << err;
    EXPECT_EQ(demo.quit_requested, 1);
    EXPECT_FALSE(demo.pass());
}

TEST_F(Shell, AMissingPictureIsReportedAndStartUpGoesOn) {
    std::remove(media.path("fd.jpg").c_str());
    testing::internal::CaptureStderr();
    ASSERT_TRUE(demo.start_up());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Media/fd.jpg"), std::string::npos) << err;
    EXPECT_EQ(demo.images.background, nullptr);
    EXPECT_EQ(rgb_at(10, 10), rgb(0, 215, 246));  // only the clear colour
    clock.now = 1000 + 6000;
    EXPECT_TRUE(demo.pass());  // an entry with a background draws nothing for it
}

TEST(ShellFailure, ABadVideoDriverIsReportedOnStandardOutput) {
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    FakeClock clock;
    Demo demo(clock);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(demo.start_up());
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("Unable to init SDL: ", 0), 0u) << out;
    EXPECT_EQ(out.back(), '\n');
    SDL_Quit();
}

// The real loop through the whole timeline on a scripted clock: 200 ms per tick reading, Escape
// pressed once the end screen has been up for a second. The scenes read the clock up to ten
// times a pass (the credits), so every entry still gets five passes or more, about 500 in all.
TEST(EndToEnd, RunsTheWholeTimelineToTheEndScreenAndOut) {
    use_dummy_drivers();
    MediaDir media;
    media.write_all();
    FakeClock clock(1000, 200);
    Demo demo(clock);
    std::set<int> entries_seen;
    bool pressed = false;
    clock.on_read = [&](Uint32 t) {
        if (demo.start_ticks == 0) return;  // the zero point itself
        const int elapsed = static_cast<int>(t - demo.start_ticks);
        entries_seen.insert(schedule_entry(elapsed));
        if (elapsed >= 163000 && !pressed) {
            press(SDLK_ESCAPE);
            pressed = true;
        }
    };
    ASSERT_TRUE(demo.start_up());
    demo.run();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(entries_seen.size(), static_cast<size_t>(SCHEDULE_SIZE));
    EXPECT_EQ(demo.quit_requested, 1);
    EXPECT_EQ(demo.music, nullptr);
    EXPECT_GE(demo.elapsed, 163000);
    EXPECT_LT(demo.elapsed, 164000);
    EXPECT_EQ(rgb_at(demo.screen, 5, 0), rgb(0, 215, 246));
    demo.shut_down();
}
