#pragma once
// The timeline: which scenes draw a pass, chosen by the milliseconds since the zero point. This
// table is the one place the timeline is written down: the number of entries, the golden frames
// the tests check (shell/golden.h), the contact sheet's shots (zypho-capture), the bounds the
// tests walk and the media generator's marks and music sections are all derived from it.
//
// Adding a scene: its two files in src/scenes/, one line in the registry (shell/registry.cpp),
// one row here.

#include <iterator>

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
    int from_ms;      // the entry holds from here (inclusive) to the next entry's from_ms
    bool background;  // BACKGROUND or NO_BACKGROUND
    SceneCall calls[MAX_CALLS];  // in this order, each with the pass's delta
    const char* name;            // for people: test failures, the golden table's comments
    // Moments that show the entry, in ms after from_ms: the contact sheet's shot (under
    // `caption`) and the golden frames (on the golden run's 200 ms grid; NONE for no frame).
    const char* caption;
    int shot_ms;
    int checked_ms[MAX_CHECKED];
};

inline constexpr ScheduleEntry schedule[] = {
    // from    background     calls                               name / caption / shot / golden
    {0, NO_BACKGROUND, {{"fade-in"}}, "fade-in", "fade-in", 2500, {2400, NONE}},
    {5000, BACKGROUND, {{"falling logos"}}, "falling logos", "falling logos", 7000, {2000, 9000}},
    {15000, BACKGROUND, {{"drifting sprites"}}, "drifting sprites", "drifting sprites", 7000,
     {7000, NONE}},
    {30000, NO_BACKGROUND, {{"bezier web"}}, "bezier web", "bezier web", 8000, {7000, NONE}},
    {45000, BACKGROUND, {{"walkers"}}, "walkers", "walkers", 3500, {3000, NONE}},
    // The worm sets the walkers back on every pass, so that the level bars' walkers start over.
    {51000, NO_BACKGROUND, {{"reveal worm"}, reset("walkers")}, "reveal worm", "reveal worm",
     6000, {2000, 9800}},
    {61000, NO_BACKGROUND, {{"blur"}}, "blur", "blur", 3000, {2400, NONE}},
    {66000, BACKGROUND, {{"oscilloscope"}}, "oscilloscope", "oscilloscope", 6000, {4000, 9000}},
    {81000, BACKGROUND, {{"walker"}, {"oscilloscope"}}, "walker and oscilloscope",
     "walker and scope", 7000, {7000, NONE}},
    {96000, NO_BACKGROUND, {{"plasma"}}, "plasma", "plasma", 4000, {4000, NONE}},
    {106000, BACKGROUND, {{"level bars"}, {"walkers"}}, "level bars and walkers", "level bars",
     3000, {3000, NONE}},
    {112000, NO_BACKGROUND, {{"greetings swing"}}, "greetings swing", "greetings swing", 5000,
     {5000, NONE}},
    {122000, NO_BACKGROUND, {{"credits"}}, "credits", "credits", 4000, {5000, NONE}},
    {132000, BACKGROUND, {{"block-letter banner"}}, "block-letter banner", "block letters", 2000,
     {2400, NONE}},
    {137000, NO_BACKGROUND, {{"shaking words"}}, "shaking words", "shaking words", 4000,
     {5000, NONE}},
    {147000, NO_BACKGROUND, {{"wavy caption"}, {"sprite trio"}}, "wavy caption and sprite trio",
     "wavy caption", 8000, {7000, NONE}},
    {162000, NO_BACKGROUND, {{"end screen"}}, "end screen", "end screen", 1000, {0, NONE}},
};

constexpr int SCHEDULE_SIZE = static_cast<int>(std::size(schedule));

// The index of the entry for `elapsed`: the bounds are tested in ascending order, and an entry
// holds while `elapsed` is below the next entry's bound. Elapsed times below the first bound
// (negative ones included) pick entry 0; from the last entry's bound on, the last entry.
constexpr int schedule_entry(int elapsed) {
    for (int n = 1; n < SCHEDULE_SIZE; ++n)
        if (elapsed < schedule[n].from_ms) return n - 1;
    return SCHEDULE_SIZE - 1;
}

// Draws the pass for `elapsed` with `delta`: the background when the entry has one, then its
// calls in order. Scenes the demo has not built draw nothing.
void run_schedule(Demo& demo, int elapsed, int delta);
