#pragma once
// The golden frames: the pictures the tests pin down by checksum, so that any change to what a
// viewer sees shows up. The demo runs offline (shell/offline.h) at GOLDEN_FPS from the zero
// point, every frame in turn, since several scenes build on earlier passes (the worm and the blur
// on the previous picture, the drifting sprites and the oscilloscope on the number of passes);
// the frames at golden_times_ms are checksummed over their RGB bytes with FNV-1a.

#include <cstdint>
#include <string>
#include <vector>

constexpr int GOLDEN_FPS = 5;      // frames per second of the golden run: every 200 ms
constexpr int GOLDEN_FRAMES = 20;  // frames checked, at least one in every schedule entry
// Elapsed ms of the checked frames, ascending, each on the 200 ms grid.
extern const int golden_times_ms[GOLDEN_FRAMES];

struct GoldenFrame {
    int ms;                  // elapsed ms
    std::uint64_t checksum;  // FNV-1a 64 of the 640 × 480 RGB bytes
};

// Runs the golden sequence from the working directory's Media/. False with `error` set when the
// demo could not start or run.
bool compute_golden_frames(std::vector<GoldenFrame>& frames, std::string& error);
