#pragma once
// The timeline: which scenes draw a pass, chosen by the milliseconds since the zero point. This
// table is the one place the timeline is written down: the number of entries, the golden frames
// the tests check (shell/golden.h), the contact sheet's shots (zypho-capture), the bounds the
// tests walk and the media generator's marks and music sections are all derived from it.
//
// Adding a scene: its two files in src/scenes/, one line in the registry (shell/registry.cpp),
// one row here.

#include <array>
#include <iterator>
#include <string_view>

class Demo;

// One call of an entry: render the named scene, or (reset("name")) run its entry hook.
struct SceneCall {
    const char* scene = nullptr;  // a name in the registry; null: no call
    bool reset = false;           // Scene::reset instead of Scene::render
};
constexpr SceneCall reset(const char* scene) { return {scene, true}; }

constexpr int MAX_CALLS = 2;            // scene calls per entry
constexpr int MAX_CHECKED = 2;          // golden frames per entry
constexpr int NONE = -1;                // an unused golden-frame slot
constexpr bool BACKGROUND = true;       // Media/fd.jpg is drawn at (0, 0) before the calls
constexpr bool NO_BACKGROUND = false;   // the calls start from what the last pass left

struct ScheduleEntry {
    const char* name;  // the entry's name: how tests, tools and the music find it
    int duration_ms;   // how long it holds; the last entry holds until the stop (UNTIL_STOP)
    bool background;   // BACKGROUND or NO_BACKGROUND
    SceneCall calls[MAX_CALLS];  // in this order, each with the pass's delta
    // Moments that show the entry, in ms after its start: the contact sheet's shot (under
    // `caption`) and the golden frames (on the golden run's 200 ms grid; NONE for no frame).
    const char* caption;
    int shot_ms;
    int checked_ms[MAX_CHECKED];
};

constexpr int UNTIL_STOP = 0;  // the duration of the last entry: it holds until Escape

// One row per entry, in timeline order; each starts where the one before it ends. Moving a scene
// is one edit: its duration, or its row.
inline constexpr ScheduleEntry schedule[] = {
    // name, duration, background, calls, caption, shot, golden moments
    {"fade-in", 5000, NO_BACKGROUND, {{"fade-in"}}, "fade-in", 2500, {2400, NONE}},
    {"falling logos", 10000, BACKGROUND, {{"falling logos"}}, "falling logos", 7000, {2000, 9000}},
    {"drifting sprites", 15000, BACKGROUND, {{"drifting sprites"}}, "drifting sprites", 7000,
     {7000, NONE}},
    {"bezier web", 15000, NO_BACKGROUND, {{"bezier web"}}, "bezier web", 8000, {7000, NONE}},
    {"walkers", 6000, BACKGROUND, {{"walkers"}}, "walkers", 3500, {3000, NONE}},
    // The worm sets the walkers back on every pass, so that the level bars' walkers start over.
    {"reveal worm", 10000, NO_BACKGROUND, {{"reveal worm"}, reset("walkers")}, "reveal worm", 6000,
     {2000, 9800}},
    {"blur", 5000, NO_BACKGROUND, {{"blur"}}, "blur", 3000, {2400, NONE}},
    {"oscilloscope", 15000, BACKGROUND, {{"oscilloscope"}}, "oscilloscope", 6000, {4000, 9000}},
    {"walker and oscilloscope", 15000, BACKGROUND, {{"walker"}, {"oscilloscope"}},
     "walker and scope", 7000, {7000, NONE}},
    {"plasma", 10000, NO_BACKGROUND, {{"plasma"}}, "plasma", 4000, {4000, NONE}},
    {"level bars and walkers", 6000, BACKGROUND, {{"level bars"}, {"walkers"}}, "level bars", 3000,
     {3000, NONE}},
    {"greetings swing", 10000, NO_BACKGROUND, {{"greetings swing"}}, "greetings swing", 5000,
     {5000, NONE}},
    {"credits", 10000, NO_BACKGROUND, {{"credits"}}, "credits", 4000, {5000, NONE}},
    {"block-letter banner", 5000, BACKGROUND, {{"block-letter banner"}}, "block letters", 2000,
     {2400, NONE}},
    {"shaking words", 10000, NO_BACKGROUND, {{"shaking words"}}, "shaking words", 4000,
     {5000, NONE}},
    {"wavy caption and sprite trio", 15000, NO_BACKGROUND, {{"wavy caption"}, {"sprite trio"}},
     "wavy caption", 8000, {7000, NONE}},
    {"end screen", UNTIL_STOP, NO_BACKGROUND, {{"end screen"}}, "end screen", 1000, {0, NONE}},
};

constexpr int SCHEDULE_SIZE = static_cast<int>(std::size(schedule));

namespace schedule_detail {
constexpr std::array<int, SCHEDULE_SIZE> starts() {
    std::array<int, SCHEDULE_SIZE> out{};
    for (int n = 1; n < SCHEDULE_SIZE; ++n) out[n] = out[n - 1] + schedule[n - 1].duration_ms;
    return out;
}
}  // namespace schedule_detail

// Where each entry starts, in ms after the zero point: the sum of the durations before it.
inline constexpr std::array<int, SCHEDULE_SIZE> schedule_start_ms = schedule_detail::starts();

// Where the last timed entry ends and the end screen begins.
constexpr int TIMELINE_MS = schedule_start_ms[SCHEDULE_SIZE - 1];

// The index of the entry called `name`, or -1.
constexpr int schedule_index(std::string_view name) {
    for (int n = 0; n < SCHEDULE_SIZE; ++n)
        if (name == schedule[n].name) return n;
    return -1;
}

// The start, in ms after the zero point, of the entry called `name` (which must exist).
constexpr int schedule_start(std::string_view name) {
    const int n = schedule_index(name);
    return n < 0 ? -1 : schedule_start_ms[n];
}

// The index of the entry for `elapsed`: the bounds are tested in ascending order, and an entry
// holds while `elapsed` is below the next entry's bound. Elapsed times below the first bound
// (negative ones included) pick entry 0; from the last entry's bound on, the last entry.
constexpr int schedule_entry(int elapsed) {
    for (int n = 1; n < SCHEDULE_SIZE; ++n)
        if (elapsed < schedule_start_ms[n]) return n - 1;
    return SCHEDULE_SIZE - 1;
}

// Draws the pass for `elapsed` with `delta`: the background when the entry has one, then its
// calls in order. Scenes the demo has not built draw nothing.
void run_schedule(Demo& demo, int elapsed, int delta);
