// Start-up as a user runs it: a fresh `zypho` process from the top folder with the shipped media,
// on SDL's dummy drivers. libzypho-startup-probe.so (tools/startup_probe.cpp), preloaded, notes
// the caption, the timeline's zero point and the first pass's tick reading through the program's
// own SDL calls, and the mixer's chunks around the music's start, and ends the process once the
// music's first chunk is mixed. The time from the zero point to the first pass counts into the
// first pass's elapsed time: the goal is at most 12 ms. The counters: the first pass's elapsed as
// the program read it (ms), the caption to the zero point (ms), the launch to the caption (ms),
// and the page faults after the zero point (memory touched for the first time there costs tens of
// microseconds a page in a virtual machine), the images loaded after the zero point and the time
// spent loading them, and the heap memory allocated there and still held; then the music's timing
// against the zero point (ms): the chunk mixed before it, the music's start, and the mixing of the
// music's first chunk, which the soundtrack expects one chunk length (92.88 ms) after it.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

double now_us() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

struct Moments {
    double launch = 0, caption = 0, zero = 0, first_pass = 0;
    int elapsed = 0;
    long faults = 0;
    int loads = 0;
    double load_us = 0;
    long heap = 0;
    double last_chunk = 0, music_start = 0, music_mixed = 0;
};

// One fresh run of the program up to its first pass; false with `error` set when it failed.
bool run_once(const std::string& out, Moments& m, std::string& error) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string v = *e;
        if (v.rfind("LD_PRELOAD=", 0) == 0 || v.rfind("ZYPHO_PROBE_OUT=", 0) == 0) continue;
        env.push_back(v);
    }
    env.push_back("LD_PRELOAD=" ZYPHO_STARTUP_PROBE);
    env.push_back("ZYPHO_PROBE_OUT=" + out);
    env.push_back("ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0");
    if (!std::getenv("SDL_VIDEODRIVER")) env.push_back("SDL_VIDEODRIVER=dummy");
    if (!std::getenv("SDL_AUDIODRIVER")) env.push_back("SDL_AUDIODRIVER=dummy");
    std::vector<char*> envp;
    for (std::string& v : env) envp.push_back(v.data());
    envp.push_back(nullptr);
    // ZYPHO_STARTUP_PROGRAM names another build of the program, to set against this one.
    const char* other = std::getenv("ZYPHO_STARTUP_PROGRAM");
    std::string path = other && *other ? other : ZYPHO_PROGRAM;
    char* program = path.data();
    char* argv[] = {program, nullptr};
    std::remove(out.c_str());

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    m.launch = now_us();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        error = "cannot start " + path;
        return false;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    std::FILE* f = std::fopen(out.c_str(), "r");
    const bool read = f && std::fscanf(f, "%lf %lf %lf %d %ld %d %lf %ld %lf %lf %lf", &m.caption,
                                       &m.zero, &m.first_pass, &m.elapsed, &m.faults, &m.loads,
                                       &m.load_us, &m.heap, &m.last_chunk, &m.music_start,
                                       &m.music_mixed) == 11;
    if (f) std::fclose(f);
    if (!read || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = "the program did not reach its first pass (status " + std::to_string(status) + ")";
        return false;
    }
    return true;
}

}  // namespace

static void BM_StartUpFreshProcess(benchmark::State& state) {
    if (chdir(ZYPHO_SOURCE_DIR) != 0) {
        state.SkipWithError("cannot enter the source directory");
        return;
    }
    const char* tmp = std::getenv("TMPDIR");
    const std::string out = std::string(tmp && *tmp ? tmp : "/tmp") + "/zypho-startup-probe-" +
                            std::to_string(getpid()) + ".txt";
    double elapsed = 0, caption = 0, launch = 0, faults = 0, loads = 0, load_ms = 0, heap = 0;
    double chunk_to_zero = 0, zero_to_music = 0, zero_to_mixed = 0, mixed_min = 1e9, mixed_max = 0;
    for (auto _ : state) {
        Moments m;
        std::string error;
        if (!run_once(out, m, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        state.SetIterationTime((m.first_pass - m.zero) / 1e6);
        elapsed += m.elapsed;
        caption += (m.zero - m.caption) / 1e3;
        launch += (m.caption - m.launch) / 1e3;
        faults += double(m.faults);
        loads += m.loads;
        load_ms += m.load_us / 1e3;
        heap += double(m.heap) / (1 << 20);
        chunk_to_zero += (m.zero - m.last_chunk) / 1e3;
        zero_to_music += (m.music_start - m.zero) / 1e3;
        const double mixed = (m.music_mixed - m.zero) / 1e3;
        zero_to_mixed += mixed;
        mixed_min = std::min(mixed_min, mixed);
        mixed_max = std::max(mixed_max, mixed);
    }
    std::remove(out.c_str());
    using C = benchmark::Counter;
    state.counters["first_pass_elapsed_ms"] = C(elapsed, C::kAvgIterations);
    state.counters["caption_to_zero_ms"] = C(caption, C::kAvgIterations);
    state.counters["launch_to_caption_ms"] = C(launch, C::kAvgIterations);
    state.counters["page_faults"] = C(faults, C::kAvgIterations);
    state.counters["image_loads"] = C(loads, C::kAvgIterations);
    state.counters["image_load_ms"] = C(load_ms, C::kAvgIterations);
    state.counters["heap_allocated_MiB"] = C(heap, C::kAvgIterations);
    // The music's timing: the zero point just after a mixed chunk, the music started before the
    // next, which holds its first samples one chunk (92.88 ms) after the zero point.
    state.counters["chunk_to_zero_ms"] = C(chunk_to_zero, C::kAvgIterations);
    state.counters["zero_to_music_start_ms"] = C(zero_to_music, C::kAvgIterations);
    state.counters["zero_to_music_mixed_ms"] = C(zero_to_mixed, C::kAvgIterations);
    state.counters["zero_to_music_mixed_min_ms"] = mixed_min;
    state.counters["zero_to_music_mixed_max_ms"] = mixed_max;
}
BENCHMARK(BM_StartUpFreshProcess)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
