#include "scenes/sprite_trio.h"

#include "gfx/blit.h"

namespace {
constexpr int TOP = 250;  // px
}  // namespace

SpriteTrio::SpriteTrio() = default;

void SpriteTrio::render(int delta) {
    ticker_ms += delta;
    if (ticker_ms > 100) {
        ticker_ms = 0;  // the excess is dropped
        if (++counter_a == 10) counter_a = 1;
        if (++counter_b == 6) counter_b = 1;
    }
    // sm shows frames 1..9 of its 10, bl 1..5 of its 6, dm the nine steps 1 2 3 4 0 1 2 3 4.
    draw_frame(counter_a % frames_in[sm], strips[sm], frames_in[sm], 250, TOP);
    draw_frame(counter_b % frames_in[bl], strips[bl], frames_in[bl], 350, TOP);
    draw_frame(counter_a % frames_in[dm], strips[dm], frames_in[dm], 150, TOP);
}
