// zypho-pass-times: the native side of scripts/web-bench. Plays given passes of the demo on the
// virtual clock (the real start-up, the real passes with their flips, on SDL's dummy drivers
// unless the environment names others) and prints how long each took on the wall clock.
//
//   zypho-pass-times --schedule     the entries: "<from ms> <to ms> <name>" per line (to: -1 for
//                                   the last, which has no end)
//   zypho-pass-times < ELAPSED      one elapsed time (ms) per line in, non-decreasing; one line
//                                   "<elapsed ms> <wall us> <cpu us>" per pass out, in order
//
// Run from the folder that holds Media/. Each pass is timed around OfflineRun::pass_at: the
// sound due by then handed to the capture hook (a copy), the events, the scenes, SDL_Flip; both on
// the wall clock and in the processor time of the program's thread (which leaves out the time
// other programs on a busy machine took the processor away).

#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "shell/offline.h"
#include "shell/schedule.h"

namespace {

double thread_cpu_us() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

void print_schedule() {
    // The windows as schedule_entry() picks them, scanned millisecond by millisecond.
    constexpr int LAST = 200000;
    int from = 0, entry = schedule_entry(0);
    for (int ms = 1; ms <= LAST; ++ms) {
        const int e = schedule_entry(ms);
        if (e == entry) continue;
        std::printf("%d %d %s\n", from, ms, schedule[entry].name);
        from = ms;
        entry = e;
    }
    std::printf("%d -1 %s\n", from, schedule[entry].name);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--schedule") == 0) {
        print_schedule();
        return 0;
    }
    if (argc > 1) {
        std::fprintf(stderr, "usage: zypho-pass-times [--schedule] < elapsed-times\n");
        return 2;
    }
    std::vector<int> times;
    for (int ms; std::scanf("%d", &ms) == 1;) times.push_back(ms);
    OfflineRun run;
    if (!run.start_up()) {
        std::fprintf(stderr, "zypho-pass-times: %s\n", run.error().c_str());
        return 1;
    }
    std::vector<double> wall(times.size()), cpu(times.size());
    for (std::size_t i = 0; i < times.size(); ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = thread_cpu_us();
        if (!run.pass_at(times[i])) {
            std::fprintf(stderr, "zypho-pass-times: at %d ms: %s\n", times[i], run.error().c_str());
            return 1;
        }
        cpu[i] = thread_cpu_us() - c0;
        wall[i] = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
    }
    for (std::size_t i = 0; i < times.size(); ++i)
        std::printf("%d %.1f %.1f\n", times[i], wall[i], cpu[i]);
    return 0;
}
