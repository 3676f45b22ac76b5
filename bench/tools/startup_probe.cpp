// libzypho-startup-probe.so: put before SDL with LD_PRELOAD into a fresh `zypho` process, it
// notes the moments of start-up as the program reaches them through SDL's own calls, and ends the
// process at the first pass, before it draws:
//   caption     SDL_WM_SetCaption
//   zero point  the first SDL_GetTicks after the caption (the timeline's zero point)
//   first pass  the first SDL_GetTicks after the first SDL_PollEvent (the first pass's reading)
// Only the thread that set the caption counts. It writes one line to the file named by
// ZYPHO_PROBE_OUT: "<caption> <zero point> <first pass> <elapsed> <faults> <loads> <load us>
// <heap>": the three moments in microseconds of CLOCK_MONOTONIC, the first pass's elapsed
// milliseconds as the program saw it (its tick reading minus the zero point's), then between the
// zero point and the first pass: the page faults, the IMG_Load calls and the microseconds spent
// in them, and the heap memory allocated there and still held (glibc's mallinfo2); then it ends
// the process with status 0. Every call is passed on to SDL and SDL_image unchanged.

#include <SDL.h>
#include <malloc.h>
#include <dlfcn.h>
#include <pthread.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

double now_us() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

template <typename F>
F next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

pthread_t program_thread;
bool captioned = false, zero_taken = false, polled = false;
double caption_us = 0, zero_us = 0;
Uint32 zero_ticks = 0;
long zero_faults = 0;
int loads = 0;
double load_us = 0;
size_t zero_heap = 0;

size_t heap_bytes() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

long page_faults() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return r.ru_minflt + r.ru_majflt;
}

void report(double first_us, Uint32 ticks) {
    if (const char* out = std::getenv("ZYPHO_PROBE_OUT")) {
        if (std::FILE* f = std::fopen(out, "w")) {
            std::fprintf(f, "%.1f %.1f %.1f %d %ld %d %.1f %zu\n", caption_us, zero_us, first_us,
                         static_cast<int>(ticks - zero_ticks), page_faults() - zero_faults, loads,
                         load_us, heap_bytes() - zero_heap);
            std::fclose(f);
        }
    }
    _exit(0);
}

bool on_program_thread() { return captioned && pthread_equal(pthread_self(), program_thread); }

}  // namespace

extern "C" {

void SDL_WM_SetCaption(const char* title, const char* icon) {
    static auto real = next<void (*)(const char*, const char*)>("SDL_WM_SetCaption");
    real(title, icon);
    if (!captioned) {
        program_thread = pthread_self();
        captioned = true;
        caption_us = now_us();
    }
}

Uint32 SDL_GetTicks(void) {
    static auto real = next<Uint32 (*)(void)>("SDL_GetTicks");
    const double t = now_us();
    const Uint32 ticks = real();
    if (on_program_thread()) {
        if (!zero_taken) {
            zero_taken = true;
            zero_us = t;
            zero_ticks = ticks;
            zero_faults = page_faults();
            zero_heap = heap_bytes();
        } else if (polled) {
            report(t, ticks);
        }
    }
    return ticks;
}

int SDL_PollEvent(SDL_Event* event) {
    static auto real = next<int (*)(SDL_Event*)>("SDL_PollEvent");
    if (zero_taken && on_program_thread()) polled = true;
    return real(event);
}

SDL_Surface* IMG_Load(const char* file) {
    static auto real = next<SDL_Surface* (*)(const char*)>("IMG_Load");
    const double t = now_us();
    SDL_Surface* s = real(file);
    if (zero_taken && on_program_thread()) {
        ++loads;
        load_us += now_us() - t;
    }
    return s;
}

}  // extern "C"
