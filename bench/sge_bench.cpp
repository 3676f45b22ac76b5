// The SGE layer under the demo's three heaviest loads: the blur's per-pixel pass, the Bezier
// web's eight curves and the oscilloscope's ~440 translucent discs.

#include <benchmark/benchmark.h>

#include <cmath>

#include <vector>

#include "gfx/byte_blend.h"
#include "gfx/sge.h"
#include "support/headless.h"

namespace {

// One blur frame on the 640 × 480 × 32 display: 638 × 478 pixels, each 3 GetPixel + 3 GetRGB +
// 1 SDL_MapRGB + 1 PutPixel, columns left to right.
void BM_BlurFrame(benchmark::State& state) {
    HeadlessScreen headless;
    SDL_Surface* screen = headless.surface();
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            sge_PutPixel(screen, Sint16(x), Sint16(y), Uint8(x * 7), Uint8(y * 3), Uint8(x ^ y));
    sge_Update_OFF();
    for (auto _ : state) {
        for (Sint16 x = 1; x <= 638; ++x)
            for (Sint16 y = 1; y <= 478; ++y) {
                const SDL_Color c = sge_GetRGB(screen, sge_GetPixel(screen, x, y));
                const SDL_Color l = sge_GetRGB(screen, sge_GetPixel(screen, Sint16(x - 1), y));
                const SDL_Color r = sge_GetRGB(screen, sge_GetPixel(screen, Sint16(x + 1), y));
                sge_PutPixel(screen, x, y,
                             SDL_MapRGB(screen->format, Uint8((l.r + c.r + r.r) / 3),
                                        Uint8((l.g + c.g + r.g) / 3),
                                        Uint8((l.b + c.b + r.b) / 3)));
            }
        benchmark::ClobberMemory();
    }
    sge_Update_ON();
    state.SetItemsProcessed(state.iterations() * 638 * 478);
}
BENCHMARK(BM_BlurFrame)->Unit(benchmark::kMillisecond);

// Eight level-17 curves through the web's eight oscillator values, a different tick each frame.
void BM_BezierWebCurves(benchmark::State& state) {
    HeadlessScreen headless;
    SDL_Surface* screen = headless.surface();
    sge_Update_OFF();
    const double k[8] = {1 / 300.0, 1 / 400.0, 1 / 500.0, 1 / 600.0,
                         1 / 700.0, 1 / 800.0, 1 / 700.0, 1 / 630.0};
    const int amplitude[8] = {160, 140, 160, 140, 260, 140, 90, 10};
    const int centre[8] = {240, 250, 240, 250, 240, 250, 230, 270};
    unsigned t = 30000;
    for (auto _ : state) {
        Sint16 o[8];
        for (int n = 0; n < 8; ++n)
            o[n] = Sint16(int(std::sin(t * k[n]) * amplitude[n]) + centre[n]);
        for (int i = 0; i < 8; ++i)
            sge_Bezier(screen, o[i], o[(i + 1) % 8], o[(i + 2) % 8], o[(i + 3) % 8],
                       o[(i + 4) % 8], o[(i + 5) % 8], o[(i + 6) % 8], o[(i + 7) % 8], 17, 248,
                       225, 170);
        t += 17;
        benchmark::ClobberMemory();
    }
    sge_Update_ON();
}
BENCHMARK(BM_BezierWebCurves)->Unit(benchmark::kMicrosecond);

// The oscilloscope's discs on a 240 × 200 canvas: 220 around (50, 50) at alpha 11 and 220 around
// (100, 50) at alpha 10. Arg 0: radii cycling through 0..34; arg 1: every disc of radius 34.
void BM_OscilloscopeDiscs(benchmark::State& state) {
    SDL_Surface* canvas =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 240, 200, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(canvas, nullptr, SDL_MapRGB(canvas->format, 129, 255, 129));
    const bool largest = state.range(0) == 1;
    for (auto _ : state) {
        for (int i = 0; i < 220; ++i) {
            const Sint16 r1 = largest ? 34 : Sint16(i % 35);
            const Sint16 r2 = largest ? 34 : Sint16((i + 17) % 35);
            sge_FilledCircleAlpha(canvas, 50, 50, r1, 248, 225, 170, 11);
            sge_FilledCircleAlpha(canvas, 100, 50, r2, 248, 225, 170, 10);
        }
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(canvas);
}
BENCHMARK(BM_OscilloscopeDiscs)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The discs' inner loop alone, forced onto each path (0 tables, 1 SSE2, 2 AVX2): the rows of a
// disc of radius 34 on a 4-byte canvas, 1 to 69 pixels long, at alpha 11.
void BM_ByteBlendRows(benchmark::State& state) {
    const auto path = static_cast<BlendPath>(state.range(0));
    if (!blend_path_available(path)) {
        state.SkipWithError("path not available on this processor");
        return;
    }
    state.SetLabel(blend_path_name(path));
    const Uint8 source[4] = {170, 225, 248, 0};
    const ByteBlend blend(4, source, 11, 3, 0);
    std::vector<Uint8> rows(69 * 4 * 69, 50);
    long pixels = 0;
    for (auto _ : state) {
        for (int dy = -34; dy <= 34; ++dy) {
            const int half = static_cast<int>(std::sqrt(34.0 * 34 + 34 - dy * dy));
            const int n = 2 * half + 1;
            blend.run(path, rows.data() + (dy + 34) * 69 * 4 + (34 - half) * 4, n);
            pixels += n;
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(pixels);
}
BENCHMARK(BM_ByteBlendRows)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
