// libzypho-startup-probe.so: put before SDL with LD_PRELOAD into a fresh `zypho` process, it
// notes the moments of start-up as the program reaches them through SDL's own calls, and ends the
// process once the music's first chunk has been mixed:
//   caption      SDL_WM_SetCaption
//   zero point   the first SDL_GetTicks after the caption (the timeline's zero point)
//   first pass   the first SDL_GetTicks after the first SDL_PollEvent (the first pass's reading)
//   last chunk   the post-mix hook's last call before the zero point (the chunk start-up waits for)
//   music start  Mix_PlayMusic
//   music mixed  the post-mix hook's first call after Mix_PlayMusic: the music's first chunk
// Only the thread that set the caption counts for the first three. It writes one line to the file
// named by ZYPHO_PROBE_OUT: "<caption> <zero point> <first pass> <elapsed> <faults> <loads>
// <load us> <heap> <last chunk> <music start> <music mixed>": the moments in microseconds of
// CLOCK_MONOTONIC, the first pass's elapsed milliseconds as the program saw it (its tick reading
// minus the zero point's), then between the zero point and the first pass: the page faults, the
// IMG_Load calls and the microseconds spent in them, and the heap memory allocated there and still
// held (glibc's mallinfo2); then it ends the process with status 0 (at the first pass when the
// program starts no music). Every call is passed on to SDL, SDL_image and SDL_mixer unchanged.

#include <SDL.h>
#include <SDL_mixer.h>
#include <malloc.h>
#include <dlfcn.h>
#include <pthread.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
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
// The first pass's figures, kept until the music's first chunk is mixed.
double first_us = 0;
Uint32 first_ticks = 0;
long first_faults = 0;
size_t first_heap = 0;
// Written on the audio thread, read on the program thread (and the other way round).
std::atomic<double> last_chunk_us{0}, last_chunk_before_zero_us{0}, play_us{0};
std::atomic<bool> first_pass_seen{false}, music_started{false};
void (*program_hook)(void*, Uint8*, int) = nullptr;

size_t heap_bytes() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

long page_faults() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return r.ru_minflt + r.ru_majflt;
}

void report(double music_mixed_us) {
    if (const char* out = std::getenv("ZYPHO_PROBE_OUT")) {
        if (std::FILE* f = std::fopen(out, "w")) {
            std::fprintf(f, "%.1f %.1f %.1f %d %ld %d %.1f %zu %.1f %.1f %.1f\n", caption_us, zero_us,
                         first_us, static_cast<int>(first_ticks - zero_ticks),
                         first_faults - zero_faults, loads, load_us, first_heap - zero_heap,
                         last_chunk_before_zero_us.load(), play_us.load(), music_mixed_us);
            std::fclose(f);
        }
    }
    _exit(0);
}

// Called by the mixer after each chunk, in place of the program's hook.
void watch_post_mix(void* arg, Uint8* stream, int len) {
    if (program_hook) program_hook(arg, stream, len);
    const double t = now_us();
    last_chunk_us = t;
    if (music_started && first_pass_seen) report(t);
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
            last_chunk_before_zero_us = last_chunk_us.load();
        } else if (polled && !first_pass_seen) {
            first_us = t;
            first_ticks = ticks;
            first_faults = page_faults();
            first_heap = heap_bytes();
            first_pass_seen = true;
            if (!music_started) report(0);
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

void Mix_SetPostMix(void (*mix_func)(void*, Uint8*, int), void* arg) {
    static auto real = next<void (*)(void (*)(void*, Uint8*, int), void*)>("Mix_SetPostMix");
    program_hook = mix_func;
    real(mix_func ? watch_post_mix : nullptr, arg);
}

int Mix_PlayMusic(Mix_Music* music, int loops) {
    static auto real = next<int (*)(Mix_Music*, int)>("Mix_PlayMusic");
    // Under the audio lock, which the mixer holds while it mixes a chunk: the first chunk mixed
    // once it is released is the first with the music in it.
    SDL_LockAudio();
    play_us = now_us();
    const int result = real(music, loops);
    music_started = true;
    SDL_UnlockAudio();
    return result;
}

}  // extern "C"
