#include "shell/golden.h"

#include "shell/offline.h"

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
