// One pass of each audio-driven scene, on samples delivered through the capture hook. The
// argument picks the sound: 0 silence, 1 a stereo tone (440 Hz at 0.8 of full scale left, 660 Hz
// at 0.5 right, as the test track), 2 full scale (the largest discs and the longest bars).

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "audio/capture.h"
#include "gfx/image.h"
#include "gfx/sge.h"
#include "scenes/level_bars.h"
#include "scenes/oscilloscope.h"
#include "support/headless.h"

namespace {
void deliver_sound(int kind) {
    std::vector<Sint16> s(1280, 0);
    for (int i = 0; i < 640; ++i) {
        const double t = i / 44100.0;
        if (kind == 1) {
            s[2 * i] = static_cast<Sint16>(0.8 * 32767 * std::sin(2 * M_PI * 440 * t));
            s[2 * i + 1] = static_cast<Sint16>(0.5 * 32767 * std::sin(2 * M_PI * 660 * t));
        } else if (kind == 2) {
            s[2 * i] = s[2 * i + 1] = 32767;
        }
    }
    reset_capture_buffer();
    capture_callback(nullptr, reinterpret_cast<Uint8*>(s.data()), static_cast<int>(s.size() * 2));
}
}  // namespace

// The canvas at the media generator's size, 240 × 150, loaded from an RGB PNG as the program
// loads it: 220 columns, 440 translucent discs.
static void BM_OscilloscopePass(benchmark::State& state) {
    MediaDir media;
    media.write_solid("ab.png", 240, 150, rgb(129, 255, 129));
    HeadlessScreen screen;
    sample_scale = compute_sample_scale(480, 16);
    sge_Update_OFF();
    SDL_Surface* canvas = load_image("Media/ab.png");
    set_colour_key(canvas);
    FakeClock clock(66000, 8);
    deliver_sound(static_cast<int>(state.range(0)));
    {
        Oscilloscope scope(clock, screen.surface(), canvas, program_capture());
        for (auto _ : state) {
            scope.render(16);
            benchmark::ClobberMemory();
        }
    }
    SDL_FreeSurface(canvas);
}
BENCHMARK(BM_OscilloscopePass)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

static void BM_LevelBarsPass(benchmark::State& state) {
    HeadlessScreen screen;
    sample_scale = compute_sample_scale(480, 16);
    deliver_sound(static_cast<int>(state.range(0)));
    LevelBars bars(screen.surface(), SDL_MapRGB(screen.surface()->format, 255, 255, 255),
                   program_capture());
    for (auto _ : state) {
        bars.render();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LevelBarsPass)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
