// One pass of each text scene on the headless screen, with the made-up media of the tests (full-
// screen 24-bit backgrounds as IMG_Load gives them, the fixture glyph sheets). Compare with
// BM_FullScreenCopy, the cost of touching every pixel of the screen once.

#include <benchmark/benchmark.h>

#include "gfx/image.h"
#include "gfx/sprite_set.h"
#include "scenes/block_banner.h"
#include "scenes/credits.h"
#include "scenes/greetings_swing.h"
#include "scenes/shaking_words.h"
#include "scenes/wavy_caption.h"
#include "support/headless.h"

namespace {

// The media every scene needs, loaded the way start-up loads them.
struct TextMedia {
    MediaDir dir;
    HeadlessScreen screen;
    TextMedia() { dir.write_all(); }
    SDL_Surface* load(const char* path, bool keyed = false) {
        SDL_Surface* s = load_image(path);
        if (keyed) set_colour_key(s);
        return s;
    }
};

}  // namespace

static void BM_GreetingsSwingPass(benchmark::State& state) {
    TextMedia m;
    FakeClock clock(0, 7);
    GreetingsSwing scene(clock, m.screen.surface(), m.load("Media/fa.jpg"), m.load("Media/ca.png", true));
    for (auto _ : state) {
        scene.render(16);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GreetingsSwingPass)->Unit(benchmark::kMicrosecond);

static void BM_CreditsPass(benchmark::State& state) {
    TextMedia m;
    SpriteSet current;
    FakeClock clock(0, 7);
    Credits scene(clock, m.screen.surface(), current, m.load("Media/fc.jpg"));
    scene.render(5001);  // past the five seconds: the six lines are drawn too
    for (auto _ : state) {
        scene.render(16);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CreditsPass)->Unit(benchmark::kMicrosecond);

static void BM_BlockBannerPass(benchmark::State& state) {
    TextMedia m;
    BlockBanner scene(m.screen.surface());
    for (auto _ : state) {
        scene.render(16);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BlockBannerPass)->Unit(benchmark::kMicrosecond);

static void BM_ShakingWordsPass(benchmark::State& state) {
    TextMedia m;
    ShakingWords scene(m.screen.surface(), m.load("Media/fg.jpg"), m.load("Media/ea.png"), m.load("Media/fh.png"));
    for (auto _ : state) {
        scene.render(16);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ShakingWordsPass)->Unit(benchmark::kMicrosecond);

static void BM_WavyCaptionPass(benchmark::State& state) {
    TextMedia m;
    FakeClock clock(0, 7);
    WavyCaption scene(clock, m.screen.surface(), m.load("Media/fg.png"));
    for (auto _ : state) {
        scene.render(16);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_WavyCaptionPass)->Unit(benchmark::kMicrosecond);
