#include "scenes/sprite_trio.h"

#include "gfx/blit.h"

namespace {
constexpr int TOP = 250;          // px
constexpr int LAST_A = 9, LAST_B = 5;
}  // namespace

SpriteTrio::SpriteTrio(SDL_Surface* screen) : screen_(screen) {}

void SpriteTrio::render(int delta) {
    if (ticker.step(delta)) {
        counter_a = next_frame(counter_a, LAST_A);
        counter_b = next_frame(counter_b, LAST_B);
    }
    // sm shows frames 1..9 of its 10, bl 1..5 of its 6, dm the nine steps 1 2 3 4 0 1 2 3 4.
    draw_frame(screen_, counter_a % frames_in[sm], sprites[sm], frames_in[sm], 250, TOP);
    draw_frame(screen_, counter_b % frames_in[bl], sprites[bl], frames_in[bl], 350, TOP);
    draw_frame(screen_, counter_a % frames_in[dm], sprites[dm], frames_in[dm], 150, TOP);
}
