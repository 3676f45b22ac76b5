#include "scenes/walker.h"

#include "gfx/blit.h"

namespace {
constexpr int TOP = 150;          // px
constexpr double STOP_X = SCREEN_W;  // wholly past the right edge
constexpr int LAST_FRAME = 4;     // frames 1..4 walk; frame 0 stands, before the first step
}  // namespace

Walker::Walker(SDL_Surface* screen) : screen_(screen) {}

void Walker::render(int delta) {
    if (ticker.step(delta)) frame_counter = next_frame(frame_counter, LAST_FRAME);
    draw_frame(screen_, frame_counter % frames_in[wm], sprites[wm], frames_in[wm], static_cast<int>(x), TOP);
    x = x + delta * speed;
    if (x > STOP_X) x = STOP_X;
}
