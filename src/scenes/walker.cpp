#include "scenes/walker.h"

#include "gfx/blit.h"

namespace {
constexpr int TOP = 150;          // px
constexpr double STOP_X = 640.0;  // wholly past the right edge
}  // namespace

Walker::Walker() = default;

void Walker::render(int delta) {
    ticker_ms += delta;
    if (ticker_ms > 100) {
        ticker_ms = 0;  // the excess is dropped
        if (++frame_counter == 5) frame_counter = 1;
    }
    draw_frame(frame_counter % frames_in[wm], sprites[wm], frames_in[wm], static_cast<int>(x), TOP);
    x = x + delta * speed;
    if (x > STOP_X) x = STOP_X;
}
