// One pass of each raster scene on the 640 × 480 × 32 display, to set against BM_FullScreenCopy:
// the Bezier web (background, eight curves, two logos), the reveal worm (three 16 × 16 blocks),
// the blur (305,000 pixels, on the words and through the SGE layer) and the plasma (307,200 words and the TV frame).

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "gfx/image.h"
#include "gfx/sge.h"
#include "scenes/bezier_web.h"
#include "scenes/blur.h"
#include "scenes/plasma.h"
#include "scenes/reveal_worm.h"
#include "support/headless.h"

namespace {

// Pictures as start-up has them: written as RGB PNGs, which SDL_image loads 24 bits per pixel as
// it loads the JPEGs. A keyed picture is the key colour except for a solid frame `border` px wide
// (0: no frame, `band` px at the top instead).
SDL_Surface* load_picture(const MediaDir& media, const char* name, int w, int h, Uint32 colour,
                          int border, int band, bool keyed) {
    std::vector<Uint32> px(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool solid =
                !keyed || y < band ||
                (border > 0 && (x < border || x >= w - border || y < border || y >= h - border));
            px[static_cast<size_t>(y) * w + x] = solid ? colour : rgb(129, 255, 129);
        }
    media.write_png(name, w, h, px);
    SDL_Surface* s = load_image((std::string("Media/") + name).c_str());
    if (keyed) set_colour_key(s);
    return s;
}

void fill_pattern(SDL_Surface* screen) {
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            sge_PutPixel(screen, Sint16(x), Sint16(y), Uint8(x * 7), Uint8(y * 3), Uint8(x ^ y));
}

void BM_BezierWebPass(benchmark::State& state) {
    MediaDir media;
    HeadlessScreen screen;
    sge_Update_OFF();
    FakeClock clock(30000, 2);  // the web moves from pass to pass
    SDL_Surface* background =
        load_picture(media, "fd.jpg", 1280, 480, rgb(50, 50, 50), 0, 0, false);
    SDL_Surface* upper = load_picture(media, "bb.png", 640, 131, rgb(200, 20, 10), 0, 40, true);
    SDL_Surface* lower = load_picture(media, "ba.png", 640, 150, rgb(10, 20, 200), 0, 40, true);
    BezierWeb web(clock, screen.surface(), background, upper, lower);
    for (auto _ : state) {
        web.render(16);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(background);
    SDL_FreeSurface(upper);
    SDL_FreeSurface(lower);
    sge_Update_ON();
}
BENCHMARK(BM_BezierWebPass)->Unit(benchmark::kMicrosecond);

void BM_RevealWormPass(benchmark::State& state) {
    MediaDir media;
    std::vector<Uint32> px(1280 * 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 1280; ++x) px[y * 1280 + x] = rgb(Uint8(x), Uint8(y), 77);
    media.write_png("fd.jpg", 1280, 480, px);  // 24-bit, as SDL_image loads the JPEG
    HeadlessScreen screen;
    fill_pattern(screen.surface());
    SDL_Surface* fd = load_image("Media/fd.jpg");
    RevealWorm worm(screen.surface(), fd);
    for (auto _ : state) {
        worm.render(16);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(fd);
}
BENCHMARK(BM_RevealWormPass)->Unit(benchmark::kMicrosecond);

// The blur as the demo runs it (the word kernel the processor runs best, argument -1) and with
// each kernel forced (0 portable, 1 SSE2, 2 AVX2), then the per-pixel reference pass.
void BM_BlurPass(benchmark::State& state) {
    HeadlessScreen screen;
    fill_pattern(screen.surface());
    sge_Update_OFF();  // as at start-up
    Blur blur(screen.surface());
    if (state.range(0) >= 0) blur.kernel = static_cast<BlurKernel>(state.range(0));
    if (!blur_kernel_available(blur.kernel)) {
        state.SkipWithError("kernel not available on this processor");
        return;
    }
    state.SetLabel(blur_kernel_name(blur.kernel));
    for (auto _ : state) {
        blur.render(16);
        benchmark::ClobberMemory();
    }
    sge_Update_ON();
    state.SetItemsProcessed(state.iterations() * 638 * 478);
}
BENCHMARK(BM_BlurPass)->Arg(-1)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_BlurReference(benchmark::State& state) {
    HeadlessScreen screen;
    fill_pattern(screen.surface());
    sge_Update_OFF();
    Blur blur(screen.surface());
    for (auto _ : state) {
        blur.render_reference();
        benchmark::ClobberMemory();
    }
    sge_Update_ON();
    state.SetItemsProcessed(state.iterations() * 638 * 478);
}
BENCHMARK(BM_BlurReference)->Unit(benchmark::kMicrosecond);

void BM_PlasmaPass(benchmark::State& state) {
    MediaDir media;
    HeadlessScreen screen;
    // The TV frame: a 60 px dark border round a keyed window.
    SDL_Surface* tv = load_picture(media, "tv.jpg", 640, 480, rgb(20, 20, 20), 60, 0, true);
    Plasma plasma(screen.surface(), tv);
    for (auto _ : state) {
        plasma.render(16);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(tv);
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(BM_PlasmaPass)->Unit(benchmark::kMicrosecond);

// The plasma's pixel words alone, without the TV frame's blit.
void BM_PlasmaPixels(benchmark::State& state) {
    HeadlessScreen screen;
    Plasma plasma(screen.surface(), nullptr);
    for (auto _ : state) {
        plasma.render(16);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlasmaPixels)->Unit(benchmark::kMicrosecond);

}  // namespace
