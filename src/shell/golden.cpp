#include "shell/golden.h"

#include "shell/offline.h"

const int golden_times_ms[GOLDEN_FRAMES] = {
    2400,                  // fade-in
    7000,   14000,         // falling logos: sliding, then at rest
    22000,                 // drifting sprites
    37000,                 // bezier web
    48000,                 // walkers
    53000,  60800,         // reveal worm: early, and its last pass
    63400,                 // blur
    70000,  75000,         // oscilloscope
    88000,                 // walker and oscilloscope
    100000,                // plasma
    109000,                // level bars and walkers
    117000,                // greetings swing
    127000,                // credits
    134400,                // block-letter banner
    142000,                // shaking words
    154000,                // wavy caption and sprite trio
    162000,                // end screen
};

bool compute_golden_frames(std::vector<GoldenFrame>& frames, std::string& error) {
    frames.clear();
    OfflineRun run;
    if (!run.start_up()) {
        error = run.error();
        return false;
    }
    std::vector<std::uint8_t> rgb(OFFLINE_RGB_BYTES);
    int next = 0;
    for (long long n = 0; next < GOLDEN_FRAMES; ++n) {
        const int ms = frame_ms(n, GOLDEN_FPS);
        if (!run.pass_at(ms)) {
            error = run.error();
            return false;
        }
        // The first frame at or after the time: the time itself when it lies on the frame grid.
        if (ms >= golden_times_ms[next]) {
            run.read_rgb(rgb.data());
            frames.push_back({ms, fnv1a64(rgb.data(), rgb.size())});
            ++next;
        }
    }
    return true;
}
