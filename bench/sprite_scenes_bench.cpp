// One pass of each sprite and image scene on the 640 × 480 × 32 display, with made-up media of
// the shipped sizes (logos 640 wide, strips of 32 × 40 frames). Compare with BM_FullScreenCopy.

#include <benchmark/benchmark.h>

#include "gfx/image.h"
#include "gfx/sprite_set.h"
#include "scenes/drifting_sprites.h"
#include "scenes/fade_in.h"
#include "scenes/falling_logos.h"
#include "scenes/sprite_trio.h"
#include "scenes/walker.h"
#include "scenes/walkers.h"
#include "support/headless.h"

namespace {

// Media files written, display open, logos loaded and keyed as at start-up.
struct Stage {
    MediaDir media;
    HeadlessScreen screen;
    SDL_Surface* upper_logo;
    SDL_Surface* lower_logo;
    Stage() {
        media.write_all();
        upper_logo = load_image("Media/bb.png");
        lower_logo = load_image("Media/ba.png");
        set_colour_key(upper_logo);
        set_colour_key(lower_logo);
    }
    ~Stage() {
        SDL_FreeSurface(upper_logo);
        SDL_FreeSurface(lower_logo);
    }
};

// Mid-fade: the byte pass does its subtraction on every byte, then the copy.
void BM_FadeInPass(benchmark::State& state) {
    Stage stage;
    SDL_Surface* opening = load_image("Media/aa.jpg");
    FadeIn fade(stage.screen.surface(), opening);
    fade.level = 128.0;
    fade.threshold = 128;
    for (auto _ : state) {
        fade.render(0);  // delta 0 keeps the level where it is
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(opening);
}
BENCHMARK(BM_FadeInPass)->Unit(benchmark::kMicrosecond);

// Logos at rest, three caption lines (65 glyph blits) and two keyed 640-wide logos.
void BM_FallingLogosPass(benchmark::State& state) {
    Stage stage;
    std::optional<SmallFont> caption_font;
    caption_font.emplace();
    FallingLogos logos(stage.screen.surface(), stage.upper_logo, stage.lower_logo, caption_font);
    logos.render(3000);
    logos.render(16);
    for (auto _ : state) {
        logos.render(16);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FallingLogosPass)->Unit(benchmark::kMicrosecond);

// Forty strip frames and the two logos; a frame re-pick every seventh pass.
void BM_DriftingSpritesPass(benchmark::State& state) {
    Stage stage;
    SpriteSet current;
    DriftingSprites drifting(stage.screen.surface(), current, stage.upper_logo, stage.lower_logo);
    for (auto _ : state) {
        drifting.render(16);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DriftingSpritesPass)->Unit(benchmark::kMicrosecond);

// Both walkers on screen (started over once the faster one has reached the stop).
void BM_WalkersPass(benchmark::State& state) {
    Stage stage;
    SpriteSet current;
    Walkers walkers(stage.screen.surface(), current);
    for (auto _ : state) {
        walkers.render(16);
        if (walkers.crb_x >= 640.0) walkers.reset_walkers();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_WalkersPass)->Unit(benchmark::kMicrosecond);

void BM_WalkerPass(benchmark::State& state) {
    Stage stage;
    Walker walker(stage.screen.surface());
    for (auto _ : state) {
        walker.render(16);
        if (walker.x >= 640.0) walker.x = 0.0;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_WalkerPass)->Unit(benchmark::kMicrosecond);

void BM_SpriteTrioPass(benchmark::State& state) {
    Stage stage;
    SpriteTrio trio(stage.screen.surface());
    for (auto _ : state) {
        trio.render(16);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SpriteTrioPass)->Unit(benchmark::kMicrosecond);

}  // namespace
