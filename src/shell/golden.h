#pragma once
// The golden frames: the pictures the tests pin down by checksum, so that any change to what a
// viewer sees shows up. The demo runs offline (shell/offline.h) at GOLDEN_FPS from the zero
// point, every frame in turn, since several scenes build on earlier passes (the worm and the blur
// on the previous picture, the drifting sprites and the oscilloscope on the number of passes);
// the frames at golden_times_ms are checksummed over their RGB bytes with FNV-1a. Which frames
// those are is the schedule's to say: each entry names one or two moments of its own.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/schedule.h"

constexpr int GOLDEN_FPS = 5;  // frames per second of the golden run: every 200 ms

namespace golden_detail {
constexpr int count() {
    int n = 0;
    for (const ScheduleEntry& e : schedule)
        for (int t : e.checked_ms) n += t != NONE;
    return n;
}
}  // namespace golden_detail

// Frames checked: every golden moment of every schedule entry.
constexpr int GOLDEN_FRAMES = golden_detail::count();

namespace golden_detail {
constexpr std::array<int, GOLDEN_FRAMES> times() {
    std::array<int, GOLDEN_FRAMES> out{};
    int n = 0;
    for (int e = 0; e < SCHEDULE_SIZE; ++e)
        for (int t : schedule[e].checked_ms)
            if (t != NONE) out[n++] = schedule_start_ms[e] + t;
    return out;
}
}  // namespace golden_detail

// Elapsed ms of the checked frames, in schedule order (ascending when each entry's moments are
// ascending and inside it; a test checks that), each meant to lie on the 200 ms grid.
inline constexpr std::array<int, GOLDEN_FRAMES> golden_times_ms = golden_detail::times();

struct GoldenFrame {
    int ms;                  // elapsed ms
    std::uint64_t checksum;  // FNV-1a 64 of the 640 × 480 RGB bytes
};

// Runs the golden sequence from the working directory's Media/. False with `error` set when the
// demo could not start or run.
bool compute_golden_frames(std::vector<GoldenFrame>& frames, std::string& error);
