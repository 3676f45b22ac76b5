// Start-up from the timeline's zero point to the first pass, with the shipped media: every scene
// built, the first background drawn, the music started. That time counts into the first pass's
// elapsed time and runs the timeline ahead of the music, so it must stay well under 100 ms.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>

#include "shell/demo.h"

namespace {
// The SDL tick count, remembering when start-up read it for the zero point (its first reading).
class ZeroPointClock final : public Clock {
public:
    Uint32 ticks() override {
        if (!zero_point_taken) {
            zero_point = std::chrono::steady_clock::now();
            zero_point_taken = true;
        }
        return SDL_GetTicks();
    }
    std::chrono::steady_clock::time_point zero_point;
    bool zero_point_taken = false;
};
}  // namespace

static void BM_StartUpAfterZeroPoint(benchmark::State& state) {
    if (chdir(ZYPHO_SOURCE_DIR) != 0) {
        state.SkipWithError("cannot enter the source directory");
        return;
    }
    for (auto _ : state) {
        ZeroPointClock clock;
        Demo demo(clock);
        if (demo.start_up() != StartUp::ok) {
            state.SkipWithError("start-up failed");
            return;
        }
        const auto done = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(done - clock.zero_point).count());
        demo.shut_down();
    }
}
BENCHMARK(BM_StartUpAfterZeroPoint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
