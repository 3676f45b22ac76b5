#include "scenes/walkers.h"

#include "gfx/blit.h"

namespace {
constexpr int CRA_TOP = 150;  // px
constexpr int CRB_TOP = 200;  // px
constexpr double STOP_X = SCREEN_W;  // wholly past the right edge: nothing of the sprite shows
constexpr int LAST_FRAME = 9;     // the counter runs 1..9; each strip shows it modulo its frames
}  // namespace

Walkers::Walkers(SDL_Surface* screen, const SpriteSet& current)
    : screen_(screen), current_(current) {}

void Walkers::reset_walkers() {
    ticker.ms = 0;
    frame_counter = 0;
    cra_x = 130.0;
    cra_speed = 0.096;
    crb_x = 0.0;
    crb_speed = 0.16;
}

void Walkers::render(int delta) {
    if (ticker.step(delta)) frame_counter = next_frame(frame_counter, LAST_FRAME);

    draw_frame(screen_, frame_counter % frames_in[cra], current_[cra], frames_in[cra],
               static_cast<int>(cra_x), CRA_TOP);
    cra_x = cra_x + delta * cra_speed;
    if (cra_x > STOP_X) cra_x = STOP_X;

    draw_frame(screen_, frame_counter % frames_in[crb], current_[crb], frames_in[crb],
               static_cast<int>(crb_x), CRB_TOP);
    crb_x = crb_x + delta * crb_speed;
    if (crb_x > STOP_X) crb_x = STOP_X;
}
