#include "shell/demo.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

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
    EXPECT_EQ(schedule[0].from_ms, 0);
    for (int n = 1; n < SCHEDULE_SIZE; ++n) {
        const int bound = schedule[n].from_ms;
        EXPECT_LT(schedule[n - 1].from_ms, bound) << schedule[n].name;
        EXPECT_EQ(schedule_entry(bound - 1), n - 1) << bound;
        EXPECT_EQ(schedule_entry(bound), n) << bound;
    }
    EXPECT_EQ(schedule_entry(0), 0);
    EXPECT_EQ(schedule_entry(-5), 0);  // signed comparisons: before the zero point is the fade-in
    EXPECT_EQ(schedule_entry(2147483647), SCHEDULE_SIZE - 1);
}

namespace {
// Stands in for a scene: notes what it was asked to do and what the screen showed at its call,
// then paints the whole screen its own colour, so that anything drawn after it shows.
class Probe : public Scene {
public:
    Probe(std::string name, SDL_Surface* screen, Uint32 own, std::vector<std::string>& log)
        : name_(std::move(name)), screen_(screen), own_(own), log_(log) {}
    void render(int) override {
        const Uint32 seen = rgb_at(screen_, 5, 5);
        log_.push_back(name_ + (seen == rgb(50, 50, 50) ? " over the background"
                                : seen == rgb(1, 2, 3) ? " over the last pass"
                                                       : " over another scene"));
        SDL_FillRect(screen_, nullptr, SDL_MapRGB(screen_->format, 200, 0, static_cast<Uint8>(own_)));
    }
    void reset() override { log_.push_back(name_ + " reset"); }

private:
    std::string name_;
    SDL_Surface* screen_;
    Uint32 own_;
    std::vector<std::string>& log_;
};
}  // namespace

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

    // Starts up expecting a stop before the first pass that says why in one line on standard
    // error and prints nothing on standard output; returns what went to standard error.
    std::string start_up_stopping() {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_EQ(demo.start_up(), StartUp::stop_before_first_pass);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_EQ(demo.quit_requested, 1);
        return err;
    }
};

// The schedule run on a demo that started up with every picture and the track.
class ScheduleOnDemo : public Shell {
protected:
    void SetUp() override {
        Shell::SetUp();
        ASSERT_EQ(demo.start_up(), StartUp::ok);
    }
};

// Every scene replaced by a probe: each entry, run through the real schedule on a screen that
// still shows the last pass (RGB 1, 2, 3), calls its scenes in order, the first one over
// Media/fd.jpg (RGB 50, 50, 50) exactly when the entry has a background, and nothing draws after
// the last scene.
TEST_F(ScheduleOnDemo, BackgroundIsDrawnFirstInTheEntriesThatHaveOne) {
    std::vector<std::string> log;
    for (std::size_t i = 0; i < demo.scenes.size(); ++i)
        demo.scenes[i].scene = std::make_unique<Probe>(demo.scenes[i].name, demo.screen,
                                                       static_cast<Uint32>(i + 1), log);
    for (int n = 0; n < SCHEDULE_SIZE; ++n) {
        const ScheduleEntry& entry = schedule[n];
        std::vector<std::string> expected;
        std::string last_render;
        for (const SceneCall& call : entry.calls) {
            if (!call.scene) continue;
            if (call.reset) {
                expected.push_back(std::string(call.scene) + " reset");
                continue;
            }
            const char* under = !last_render.empty() ? " over another scene"
                                : entry.background   ? " over the background"
                                                     : " over the last pass";
            expected.push_back(call.scene + std::string(under));
            last_render = call.scene;
        }
        ASSERT_FALSE(last_render.empty()) << entry.name;

        SDL_FillRect(demo.screen, nullptr, SDL_MapRGB(demo.screen->format, 1, 2, 3));
        log.clear();
        run_schedule(demo, entry.from_ms, 16);
        EXPECT_EQ(log, expected) << entry.name;
        Uint32 own = 0;
        for (std::size_t i = 0; i < demo.scenes.size(); ++i)
            if (last_render == demo.scenes[i].name) own = static_cast<Uint32>(i + 1);
        EXPECT_EQ(rgb_at(5, 5), rgb(200, 0, own)) << entry.name;
        EXPECT_EQ(rgb_at(639, 479), rgb(200, 0, own)) << entry.name;
    }
}

TEST_F(ScheduleOnDemo, EveryCallNamesABuiltScene) {
    for (const ScheduleEntry& entry : schedule)
        for (const SceneCall& call : entry.calls) {
            if (call.scene) {
                EXPECT_NE(demo.scene(call.scene), nullptr) << entry.name << ": " << call.scene;
            }
        }
    std::set<std::string> names;
    for (const Demo::BuiltScene& s : demo.scenes) EXPECT_TRUE(names.insert(s.name).second) << s.name;
}

TEST_F(Shell, StartUpOpensTheScreenFixesTheZeroPointAndDrawsTheBackground) {
    testing::internal::CaptureStdout();
    ASSERT_EQ(demo.start_up(), StartUp::ok);
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
    ASSERT_EQ(demo.start_up(), StartUp::ok);
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
    ASSERT_EQ(demo.start_up(), StartUp::ok);
    auto pass_at = [&](int elapsed) {
        clock.now = 1000 + static_cast<Uint32>(elapsed);
        ASSERT_TRUE(demo.pass());
    };
    pass_at(6000);  // falling logos
    EXPECT_GT(demo.find<FallingLogos>("falling logos")->top_pos, 1.0);
    EXPECT_EQ(demo.find<Plasma>("plasma")->col_phase1, 0);

    pass_at(46000);  // walkers move...
    EXPECT_GT(demo.find<Walkers>("walkers")->cra_x, 130.0);
    pass_at(52000);  // ...the worm runs and sets them back on every pass
    EXPECT_EQ(demo.find<RevealWorm>("reveal worm")->phase, 2);
    EXPECT_EQ(demo.find<Walkers>("walkers")->cra_x, 130.0);
    EXPECT_EQ(demo.find<Walkers>("walkers")->crb_x, 0.0);
    EXPECT_EQ(demo.find<Walkers>("walkers")->frame_counter, 0);

    pass_at(82000);  // walker, then the oscilloscope
    EXPECT_GT(demo.find<Walker>("walker")->x, 0.0);
    EXPECT_EQ(demo.find<Oscilloscope>("oscilloscope")->period_x, 400.0f - 0.1f);

    pass_at(97000);
    EXPECT_EQ(demo.find<Plasma>("plasma")->col_phase1, 9);

    pass_at(107000);  // level bars, then the walkers from their start values
    EXPECT_EQ(demo.find<Walkers>("walkers")->cra_x, 640.0);  // one 10 s pass from 130: past the stop
    EXPECT_EQ(demo.find<Walkers>("walkers")->frame_counter, 1);
    pass_at(148000);  // wavy caption, then the trio
    EXPECT_EQ(demo.find<SpriteTrio>("sprite trio")->counter_a, 1);
    EXPECT_EQ(demo.find<SpriteTrio>("sprite trio")->counter_b, 1);

    EXPECT_EQ(demo.find<DriftingSprites>("drifting sprites")->ticker.ms, 0);  // never ran
    EXPECT_EQ(demo.find<Walker>("walker")->frame_counter, 1);
}

TEST_F(Shell, EscapeFinishesThePassThenEndsTheLoop) {
    ASSERT_EQ(demo.start_up(), StartUp::ok);
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
    ASSERT_EQ(demo.start_up(), StartUp::ok);
    press(SDLK_ESCAPE);
    press(SDLK_ESCAPE);
    close_window();
    ASSERT_TRUE(demo.pass());  // a double release would trip the address sanitizer
    EXPECT_EQ(demo.music, nullptr);
    EXPECT_FALSE(demo.pass());
}

TEST_F(Shell, TheMusicEndingDoesNotEndTheLoop) {
    ASSERT_EQ(demo.start_up(), StartUp::ok);
    Mix_HaltMusic();
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(demo.pass());
}

TEST_F(Shell, WithoutTheTrackNoPassRunsAndTheReasonGoesToStandardError) {
    std::remove(media.path("s.ogg").c_str());
    const std::string err = start_up_stopping();
    EXPECT_NE(err.find("Media/s.ogg"), std::string::npos) << err;
    const int reads = clock.reads;
    EXPECT_FALSE(demo.pass());
    EXPECT_EQ(clock.reads, reads);  // no pass: the clock is not even read
}

// The device refused at Mix_OpenAudio itself (on this SDL an unknown audio driver already makes
// SDL_Init fail, the case below): start-up completes, says so, and the loop ends before its first
// pass: the clock is not read, no scene runs, nothing is flipped or printed on standard output.
TEST_F(Shell, WhenTheAudioDeviceDoesNotOpenStartUpStopsBeforeTheFirstPass) {
    demo.open_audio = [](int, Uint16, int, int) {
        Mix_SetError("no device for this test");
        return -1;
    };
    const std::string err = start_up_stopping();
    EXPECT_NE(err.find("cannot open audio: no device for this test"), std::string::npos) << err;
    EXPECT_NE(err.find("without sound: SDL_AUDIODRIVER=dummy zypho"), std::string::npos) << err;
    ASSERT_NE(demo.screen, nullptr);
    const Uint32 before = rgb_at(10, 10);
    const int reads = clock.reads;
    testing::internal::CaptureStdout();
    clock.now = 1000 + 6000;  // a pass would draw the falling logos
    EXPECT_FALSE(demo.pass());
    EXPECT_FALSE(demo.pass());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(clock.reads, reads);  // no pass: the clock is not even read
    EXPECT_EQ(demo.elapsed, 0);
    EXPECT_EQ(rgb_at(10, 10), before);
    EXPECT_EQ(demo.find<FallingLogos>("falling logos")->top_pos, 1.0);
}

TEST_F(Shell, WithoutAnAudioDeviceNoPassRuns) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    // SDL itself may refuse to start its audio subsystem with no driver; either way nothing is
    // written to standard output but the failure message, and no frame is drawn.
    const StartUp started = demo.start_up();
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    if (started == StartUp::failed) {
        EXPECT_EQ(out.rfind("Unable to init SDL: ", 0), 0u) << out;
        return;
    }
    EXPECT_EQ(started, StartUp::stop_before_first_pass);
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("audio"), std::string::npos) << err;
    EXPECT_EQ(demo.quit_requested, 1);
    EXPECT_FALSE(demo.pass());
}

// Run where there is no Media/: one line that names the folder, where it was looked for and why,
// instead of one per file.
TEST_F(Shell, WithoutAMediaFolderOneLineSaysWhy) {
    std::filesystem::remove_all(std::filesystem::path(media.path("s.ogg")).parent_path());
    const std::string err = start_up_stopping();
    EXPECT_NE(err.find("cannot read Media/ in '" + std::filesystem::current_path().string() +
                       "': No such file or directory"),
              std::string::npos)
        << err;
    EXPECT_EQ(demo.stop_reason + "\n", err.substr(std::string("zypho: ").size()));
    EXPECT_FALSE(demo.pass());
}

TEST_F(Shell, AMissingPictureIsReportedAndStartUpGoesOn) {
    std::remove(media.path("fd.jpg").c_str());
    testing::internal::CaptureStderr();
    ASSERT_EQ(demo.start_up(), StartUp::ok);
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
    EXPECT_EQ(demo.start_up(), StartUp::failed);
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
    ASSERT_EQ(demo.start_up(), StartUp::ok);
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
