// The memory floor every scene is measured against: one full screen of pixels copied; the end
// screen's pass (a clear and 21 glyph blits); and the flip that shows each pass.

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "scenes/end_screen.h"
#include "support/headless.h"

static void BM_FullScreenCopy(benchmark::State& state) {
    HeadlessScreen screen;
    std::vector<Uint8> source(static_cast<size_t>(screen.surface()->pitch) * 480, 0x5A);
    for (auto _ : state) {
        std::memcpy(screen.surface()->pixels, source.data(), source.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(source.size()));
}
BENCHMARK(BM_FullScreenCopy)->Unit(benchmark::kMicrosecond);

// The same copy from memory the caches do not hold: each pass copies the next of 32 screens
// (39 MB, more than the caches of this class of machine) onto the next of 32 others, so source
// and destination both come from main memory, as a scene's first touch of a picture does.
static void BM_FullScreenCopyCold(benchmark::State& state) {
    constexpr size_t SCREEN = 640 * 480 * 4, COUNT = 32;
    std::vector<Uint8> from(SCREEN * COUNT, 0x5A), to(SCREEN * COUNT, 0);
    size_t i = 0;
    for (auto _ : state) {
        std::memcpy(&to[i * SCREEN], &from[i * SCREEN], SCREEN);
        benchmark::ClobberMemory();
        i = (i + 1) % COUNT;
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(SCREEN));
}
BENCHMARK(BM_FullScreenCopyCold)->Unit(benchmark::kMicrosecond);

static void BM_EndScreenPass(benchmark::State& state) {
    MediaDir media;
    media.write_glyph_sheet("alp.png", 50, 100);
    HeadlessScreen screen;
    EndScreen end_screen(screen.surface());
    for (auto _ : state) {
        end_screen.render(16);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_EndScreenPass)->Unit(benchmark::kMicrosecond);

// What the display costs each pass: SDL_Flip of a full 640x480x32 screen, as the main loop does
// after the scenes. sdl12-compat scales the picture to the window with the method named by
// SDL12COMPAT_SCALE_METHOD, so run this once per method (and per video driver) to compare.
static void BM_Flip(benchmark::State& state) {
    HeadlessScreen screen;
    Uint8 shade = 0;
    for (auto _ : state) {
        state.PauseTiming();
        screen.fill(shade, 64, 128);  // a changed picture each time, as after a pass
        ++shade;
        state.ResumeTiming();
        SDL_Flip(screen.surface());
    }
}
BENCHMARK(BM_Flip)->Unit(benchmark::kMicrosecond);
