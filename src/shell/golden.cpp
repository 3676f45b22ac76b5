#include "shell/golden.h"

#include "shell/offline.h"

bool compute_golden_frames(std::vector<GoldenFrame>& frames, std::string& error) {
    frames.clear();
    OfflineRun run;
    const bool ok =
        run.start_up() &&
        run.walk_to_moments(golden_times_ms.data(), GOLDEN_FRAMES, GOLDEN_FPS,
                            [&](int, int ms, const std::uint8_t* rgb) {
                                frames.push_back({ms, fnv1a64(rgb, OFFLINE_RGB_BYTES)});
                            });
    if (!ok) error = run.error();
    return ok;
}
