#include "shell/demo.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <filesystem>
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
#include "support/child.h"
#include "support/headless.h"
#include "support/output_capture.h"

#include <stb_image_write.h>

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

// The timeline the demo must keep, written out here rather than derived: a changed duration or a
// row moved in the schedule shows up as a moved bound.
TEST(Schedule, TheEntriesStartOnTheRequiredBounds) {
    struct Bound {
        const char* name;
        int start_ms;
    };
    const Bound required[] = {
        {"fade-in", 0},
        {"falling logos", 5000},
        {"drifting sprites", 15000},
        {"bezier web", 30000},
        {"walkers", 45000},
        {"reveal worm", 51000},
        {"blur", 61000},
        {"oscilloscope", 66000},
        {"walker and oscilloscope", 81000},
        {"plasma", 96000},
        {"level bars and walkers", 106000},
        {"greetings swing", 112000},
        {"credits", 122000},
        {"block-letter banner", 132000},
        {"shaking words", 137000},
        {"wavy caption and sprite trio", 147000},
        {"end screen", 162000},
    };
    ASSERT_EQ(SCHEDULE_SIZE, static_cast<int>(std::size(required)));
    for (int n = 0; n < SCHEDULE_SIZE; ++n) {
        EXPECT_STREQ(schedule[n].name, required[n].name) << "entry " << n;
        EXPECT_EQ(schedule_start_ms[n], required[n].start_ms) << required[n].name;
        EXPECT_EQ(schedule_start(required[n].name), required[n].start_ms) << required[n].name;
        EXPECT_EQ(schedule_index(required[n].name), n) << required[n].name;
    }
    EXPECT_EQ(TIMELINE_MS, 162000);
    EXPECT_EQ(schedule[SCHEDULE_SIZE - 1].duration_ms, UNTIL_STOP);
    EXPECT_EQ(schedule_index("no such entry"), -1);
    EXPECT_EQ(schedule_start("no such entry"), -1);
}

TEST(Schedule, EveryBoundStartsTheNextEntry) {
    EXPECT_EQ(schedule_start_ms[0], 0);
    for (int n = 1; n < SCHEDULE_SIZE; ++n) {
        const int bound = schedule_start_ms[n];
        EXPECT_GT(schedule[n - 1].duration_ms, 0) << schedule[n - 1].name;
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
    void render(int delta) override {
        const Uint32 seen = rgb_at(screen_, 5, 5);
        log_.push_back(name_ + (seen == rgb(50, 50, 50) ? " over the background"
                                : seen == rgb(1, 2, 3) ? " over the last pass"
                                                       : " over another scene") +
                       (delta == 16 ? "" : ", delta " + std::to_string(delta)));
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
        capture_stdout();
        capture_stderr();
        EXPECT_EQ(demo.start_up(), StartUp::stop_before_first_pass);
        EXPECT_EQ(captured_stdout(), "");
        const std::string err = captured_stderr();
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

// Every scene replaced by a probe, on a screen that still shows the last pass (RGB 1, 2, 3):
// at the first and the last millisecond of each stretch of the timeline, the pass calls these
// scenes in this order, each with the pass's delta (16 ms), the first one over Media/fd.jpg
// (RGB 50, 50, 50) exactly where the timeline has the background, and nothing draws after the
// last scene (whose own colour the screen then shows).
TEST_F(ScheduleOnDemo, BackgroundIsDrawnFirstInTheEntriesThatHaveOne) {
    struct Stretch {
        int first_ms, last_ms;
        std::vector<std::string> log;
        const char* on_top;  // the scene whose colour the whole screen shows afterwards
    };
    const std::string bg = " over the background", last = " over the last pass",
                      other = " over another scene";
    const Stretch timeline[] = {
        {0, 4999, {"fade-in" + last}, "fade-in"},
        {5000, 14999, {"falling logos" + bg}, "falling logos"},
        {15000, 29999, {"drifting sprites" + bg}, "drifting sprites"},
        {30000, 44999, {"bezier web" + last}, "bezier web"},
        {45000, 50999, {"walkers" + bg}, "walkers"},
        {51000, 60999, {"reveal worm" + last, "walkers reset"}, "reveal worm"},
        {61000, 65999, {"blur" + last}, "blur"},
        {66000, 80999, {"oscilloscope" + bg}, "oscilloscope"},
        {81000, 95999, {"walker" + bg, "oscilloscope" + other}, "oscilloscope"},
        {96000, 105999, {"plasma" + last}, "plasma"},
        {106000, 111999, {"level bars" + bg, "walkers" + other}, "walkers"},
        {112000, 121999, {"greetings swing" + last}, "greetings swing"},
        {122000, 131999, {"credits" + last}, "credits"},
        {132000, 136999, {"block-letter banner" + bg}, "block-letter banner"},
        {137000, 146999, {"shaking words" + last}, "shaking words"},
        {147000, 161999, {"wavy caption" + last, "sprite trio" + other}, "sprite trio"},
        {162000, 2147483647, {"end screen" + last}, "end screen"},
    };
    std::vector<std::string> log;
    for (std::size_t i = 0; i < demo.scenes.size(); ++i)
        demo.scenes[i].scene = std::make_unique<Probe>(demo.scenes[i].name, demo.screen,
                                                       static_cast<Uint32>(i + 1), log);
    for (const Stretch& stretch : timeline) {
        Uint32 own = 0;
        for (std::size_t i = 0; i < demo.scenes.size(); ++i)
            if (std::string(stretch.on_top) == demo.scenes[i].name) own = static_cast<Uint32>(i + 1);
        ASSERT_NE(own, 0u) << stretch.on_top << " is not built";
        for (const int ms : {stretch.first_ms, stretch.last_ms}) {
            SDL_FillRect(demo.screen, nullptr, SDL_MapRGB(demo.screen->format, 1, 2, 3));
            log.clear();
            run_schedule(demo, ms, 16);
            EXPECT_EQ(log, stretch.log) << "at " << ms << " ms";
            EXPECT_EQ(rgb_at(5, 5), rgb(200, 0, own)) << "at " << ms << " ms";
            EXPECT_EQ(rgb_at(639, 479), rgb(200, 0, own)) << "at " << ms << " ms";
        }
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

// A scene that no entry calls is built, loads its pictures and draws its random numbers for
// nothing: every built scene is the target of some call.
TEST_F(ScheduleOnDemo, EveryBuiltSceneIsCalledBySomeEntry) {
    for (const Demo::BuiltScene& s : demo.scenes) {
        bool called = false;
        for (const ScheduleEntry& entry : schedule)
            for (const SceneCall& call : entry.calls)
                called = called || (call.scene && std::string(call.scene) == s.name);
        EXPECT_TRUE(called) << s.name << " is built but no schedule entry calls it";
    }
}

// The shell's slots are filled by their own build steps: the current sprite set (with its eight
// strips) and the falling logos' caption font, which the logos then draw with.
TEST_F(ScheduleOnDemo, TheBuildStepsFillTheShellsSlots) {
    ASSERT_TRUE(demo.caption_font.has_value());
    EXPECT_NE(demo.caption_font->sheet(), nullptr);
    for (SDL_Surface* strip : demo.current_sprites().strips) EXPECT_NE(strip, nullptr);
}

// Handing out the current sprite set before the step that loads it would leave a scene drawing
// from nothing: the registry's order is wrong, and the program says so and stops.
TEST(ShellSlots, TheCurrentSpriteSetAskedForBeforeItsStepStopsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    FakeClock clock;
    Demo demo(clock);
    EXPECT_DEATH(demo.current_sprites(), "before the build step that loads it");
}

TEST_F(Shell, StartUpOpensTheScreenFixesTheZeroPointAndDrawsTheBackground) {
    capture_stdout();
    ASSERT_EQ(demo.start_up(), StartUp::ok);
    EXPECT_EQ(captured_stdout(), "");
    ASSERT_NE(demo.screen, nullptr);
    EXPECT_EQ(demo.screen->w, 640);
    EXPECT_EQ(demo.screen->h, 480);
    EXPECT_EQ(demo.screen->format->BitsPerPixel, 32);
    EXPECT_EQ(demo.screen->pitch, 2560);
    EXPECT_EQ(demo.start_ticks, 1000u);
    EXPECT_EQ(demo.quit_requested, 0);
    EXPECT_NE(demo.music, nullptr);
    EXPECT_EQ(demo.images[Picture::background]->w, 1280);
    EXPECT_TRUE(demo.images[Picture::upper_logo]->flags & SDL_SRCCOLORKEY);
    EXPECT_FALSE(demo.images[Picture::background]->flags & SDL_SRCCOLORKEY);
    EXPECT_EQ(rgb_at(10, 10), rgb(50, 50, 50));  // fd.jpg over the cleared screen, not flipped yet
    char* title = nullptr;
    SDL_WM_GetCaption(&title, nullptr);
    EXPECT_STREQ(title, "Half-baked tricks on SCREEN :: ZYPHO");
}

namespace {
// What start-up's wait for the mixer saw, recorded by a stand-in for wait_for_next_chunk.
struct MixerWaitSeen {
    int calls = 0;
    int timeout_ms = 0;
    int clock_reads = 0;  // tick readings before the wait
    bool screen_open = false, music_loaded = false, hook_set = false, background_drawn = false;
};
MixerWaitSeen mixer_wait_seen;
const Demo* waiting_demo = nullptr;
const FakeClock* waiting_clock = nullptr;
}  // namespace

// The zero point is fixed just after the mixer has mixed a chunk: start-up waits for the
// post-mix hook with the device open, the track loaded and the hook set, before reading the
// clock for the zero point and before the first background is drawn.
TEST_F(Shell, StartUpWaitsForAMixedChunkBeforeTheZeroPoint) {
    mixer_wait_seen = {};
    waiting_demo = &demo;
    waiting_clock = &clock;
    demo.wait_for_mixer = [](const CaptureBuffer& buffer, int timeout_ms) {
        MixerWaitSeen& seen = mixer_wait_seen;
        ++seen.calls;
        seen.timeout_ms = timeout_ms;
        seen.clock_reads = waiting_clock->reads;
        seen.screen_open = waiting_demo->screen != nullptr;
        seen.music_loaded = waiting_demo->music != nullptr;
        seen.background_drawn = ::rgb_at(waiting_demo->screen, 10, 10) == rgb(50, 50, 50);
        // The hook is set: the dummy device's mixer hands its next chunk to the buffer.
        seen.hook_set = wait_for_next_chunk(buffer, 1000);
        return seen.hook_set;
    };
    ASSERT_EQ(demo.start_up(), StartUp::ok);
    EXPECT_EQ(mixer_wait_seen.calls, 1);
    EXPECT_EQ(mixer_wait_seen.timeout_ms, MIXER_WAIT_TIMEOUT_MS);
    EXPECT_EQ(mixer_wait_seen.clock_reads, 0);
    EXPECT_EQ(clock.reads, 1);  // the zero point, after the wait
    EXPECT_TRUE(mixer_wait_seen.screen_open);
    EXPECT_TRUE(mixer_wait_seen.music_loaded);
    EXPECT_TRUE(mixer_wait_seen.hook_set);
    EXPECT_FALSE(mixer_wait_seen.background_drawn);
    EXPECT_EQ(rgb_at(10, 10), rgb(50, 50, 50));
}

// No music will start, so there is nothing to line up with: no wait.
TEST_F(Shell, WithoutTheTrackStartUpDoesNotWaitForTheMixer) {
    mixer_wait_seen = {};
    demo.wait_for_mixer = [](const CaptureBuffer&, int) {
        ++mixer_wait_seen.calls;
        return true;
    };
    std::remove(media.path("s.ogg").c_str());
    start_up_stopping();
    EXPECT_EQ(mixer_wait_seen.calls, 0);
    EXPECT_EQ(clock.reads, 1);  // start-up still completes, zero point and all
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

// The device refused at Mix_OpenAudio itself (here by a stand-in opener; the tests below have a
// real device refuse to open): start-up completes, says so, and the loop ends before its first
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
    capture_stdout();
    clock.now = 1000 + 6000;  // a pass would draw the falling logos
    EXPECT_FALSE(demo.pass());
    EXPECT_FALSE(demo.pass());
    EXPECT_EQ(captured_stdout(), "");
    EXPECT_EQ(clock.reads, reads);  // no pass: the clock is not even read
    EXPECT_EQ(demo.elapsed, 0);
    EXPECT_EQ(rgb_at(10, 10), before);
    EXPECT_EQ(demo.find<FallingLogos>("falling logos")->top_pos, 1.0);
}

namespace {
// SDL's "disk" audio driver starts with the audio subsystem like any other, but its device is a
// file: pointed into a folder that does not exist, the device cannot open. Video stays on the
// dummy driver, so start-up gets past SDL_Init and the video mode to the audio device itself.
std::string no_audio_device_env(const std::string& dir) {
    return "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=" + dir +
           "/no-such-folder/audio.raw";
}
}  // namespace

TEST_F(Shell, WithoutAnAudioDeviceNoPassRuns) {
    const std::string here = std::filesystem::current_path().string();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (here + "/no-such-folder/audio.raw").c_str(), 1);
    capture_stdout();
    capture_stderr();
    const StartUp started = demo.start_up();
    const std::string out = captured_stdout();
    const std::string err = captured_stderr();
    ASSERT_EQ(started, StartUp::stop_before_first_pass) << out << err;
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("cannot open audio"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(demo.quit_requested, 1);
    ASSERT_NE(demo.screen, nullptr);
    EXPECT_EQ(rgb_at(10, 10), rgb(50, 50, 50));  // start-up's picture: fd.jpg, never flipped over

    // No pass: the clock is not read, no scene runs, the screen keeps start-up's picture.
    const int reads = clock.reads;
    clock.now = 1000 + 6000;  // a pass would draw the falling logos
    capture_stdout();
    EXPECT_FALSE(demo.pass());
    EXPECT_FALSE(demo.pass());
    EXPECT_EQ(captured_stdout(), "");
    EXPECT_EQ(clock.reads, reads);
    EXPECT_EQ(demo.elapsed, 0);
    EXPECT_EQ(rgb_at(10, 10), rgb(50, 50, 50));
    EXPECT_EQ(demo.find<FallingLogos>("falling logos")->top_pos, 1.0);
}

// The program itself on the same machine without an audio device: it ends by itself, with status
// 1 and nothing on standard output. (Bounded by `timeout`: a demo that went on playing would wait
// for Escape for ever; timeout's own status, 124, then fails the test.)
TEST_F(Shell, TheProgramWithoutAnAudioDeviceEndsWithStatusOneAndPrintsNothing) {
    const std::string here = std::filesystem::current_path().string();
    const ChildResult r = run_child("timeout 60 " + std::string(ZYPHO_BIN), "", no_audio_device_env(here));
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(entries(here), (std::vector<std::string>{"Media"})) << "no audio file was written";
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
    capture_stderr();
    ASSERT_EQ(demo.start_up(), StartUp::ok);
    const std::string err = captured_stderr();
    EXPECT_NE(err.find("Media/fd.jpg"), std::string::npos) << err;
    EXPECT_EQ(demo.images[Picture::background], nullptr);
    EXPECT_EQ(rgb_at(10, 10), rgb(0, 215, 246));  // only the clear colour
    clock.now = 1000 + 6000;
    EXPECT_TRUE(demo.pass());  // an entry with a background draws nothing for it
}

// A shared picture of another size than the scenes are laid out for is used as it is, and start-up
// says so in one line naming the file and both sizes; pictures of the right size say nothing.
TEST_F(Shell, AnOddSizedPictureIsReportedOnceAndUsed) {
    media.write_solid("ca.png", 7, 3, rgb(90, 60, 30));
    capture_stdout();
    capture_stderr();
    ASSERT_EQ(demo.start_up(), StartUp::ok);
    const std::string err = captured_stderr();
    EXPECT_EQ(captured_stdout(), "");
    EXPECT_EQ(err, "zypho: Media/ca.png is 7 x 3 px, not 128 x 62: parts of it may not show\n");
    ASSERT_NE(demo.images[Picture::sign], nullptr);
    EXPECT_EQ(demo.images[Picture::sign]->w, 7);
}

// A real JPEG cut off before its end-of-image marker decodes without a word from SDL_image (the
// decoder makes up the missing rows): start-up says in one line that it is cut short.
TEST_F(Shell, AJpegCutShortIsReportedOnce) {
    const std::string path = media.path("fa.jpg");
    std::vector<unsigned char> px(640 * 480 * 3);
    for (std::size_t i = 0; i < px.size(); ++i) px[i] = static_cast<unsigned char>(i * 7 % 251);
    ASSERT_NE(stbi_write_jpg(path.c_str(), 640, 480, 3, px.data(), 90), 0);
    std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
    capture_stderr();
    ASSERT_EQ(demo.start_up(), StartUp::ok);
    const std::string err = captured_stderr();
    EXPECT_EQ(err, "zypho: Media/fa.jpg is cut short: part of the picture is missing\n");
}

TEST(ShellFailure, ABadVideoDriverIsReportedOnStandardOutput) {
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    FakeClock clock;
    Demo demo(clock);
    capture_stdout();
    EXPECT_EQ(demo.start_up(), StartUp::failed);
    const std::string out = captured_stdout();
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
        if (elapsed >= schedule_start("end screen") + 1000 && !pressed) {
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
    EXPECT_GE(demo.elapsed, schedule_start("end screen") + 1000);
    EXPECT_LT(demo.elapsed, schedule_start("end screen") + 2000);
    EXPECT_EQ(rgb_at(demo.screen, 5, 0), rgb(0, 215, 246));
    demo.shut_down();
}
