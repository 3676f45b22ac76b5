// Start-up from the timeline's zero point to the first pass, with the shipped media: every scene
// built, the first background drawn, the music started. That time counts into the first pass's
// elapsed time and runs the timeline ahead of the music: the goal is one frame at 60 Hz, 16 ms.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
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
            faults_at_zero_point = page_faults();
            zero_point_taken = true;
        }
        return SDL_GetTicks();
    }
    static long page_faults() {
        rusage r{};
        getrusage(RUSAGE_SELF, &r);
        return r.ru_minflt + r.ru_majflt;
    }
    std::chrono::steady_clock::time_point zero_point;
    long faults_at_zero_point = 0;
    bool zero_point_taken = false;
};
}  // namespace

static void BM_StartUpAfterZeroPoint(benchmark::State& state) {
    if (chdir(ZYPHO_SOURCE_DIR) != 0) {
        state.SkipWithError("cannot enter the source directory");
        return;
    }
    double faults = 0;
    for (auto _ : state) {
        ZeroPointClock clock;
        Demo demo(clock);
        if (!demo.start_up()) {
            state.SkipWithError("start-up failed");
            return;
        }
        const auto done = std::chrono::steady_clock::now();
        faults += double(ZeroPointClock::page_faults() - clock.faults_at_zero_point);
        state.SetIterationTime(std::chrono::duration<double>(done - clock.zero_point).count());
        demo.shut_down();
    }
    // Page faults between the zero point and the first pass, per start-up: memory touched for
    // the first time there costs tens of microseconds a page in a virtual machine.
    state.counters["page_faults"] = benchmark::Counter(faults, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_StartUpAfterZeroPoint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
