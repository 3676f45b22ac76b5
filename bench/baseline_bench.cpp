// The memory floor every scene is measured against: one full screen of pixels copied, and the end
// screen's pass (a clear and 21 glyph blits).

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
