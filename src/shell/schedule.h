#pragma once
// The timeline: which scene draws a pass, chosen by the milliseconds since the zero point.

class Demo;

struct ScheduleEntry {
    int from_ms;      // the entry holds from here (inclusive) to the next entry's from_ms
    bool background;  // Media/fd.jpg is drawn at (0, 0) before the scenes run
    void (*run)(Demo& demo, int delta);
    const char* name;
};

constexpr int SCHEDULE_SIZE = 17;
extern const ScheduleEntry schedule[SCHEDULE_SIZE];

// The index of the entry for `elapsed`: the bounds are tested in ascending order, and an entry
// holds while `elapsed` is below the next entry's bound. Elapsed times below the first bound
// (negative ones included) pick entry 0; from 162000 on, the last entry.
int schedule_entry(int elapsed);

// Draws the pass for `elapsed` with `delta`: the background when the entry has one, then its
// scenes in order. Scenes not built yet draw nothing.
void run_schedule(Demo& demo, int elapsed, int delta);
