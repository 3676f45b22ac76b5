#include "scenes/wavy_caption.h"

#include "gfx/blit.h"
#include "gfx/trig.h"

namespace {

// 17 characters; the comma and the blank have no glyph and draw the blank cell (28). Drawn at
// caption_x + 35 × i, the last cell (the "?", i = 16) ends at caption_x + 609.
constexpr const char* CAPTION = "psajkadelic, huh?";

// {k, amplitude, centre}. The ends of the ranges are reached only at the ticks where the sine comes out as exactly -1 or
// 1; elsewhere the truncation keeps the values one short of them.
constexpr Oscillator caption_x_wave{1.0f / 200.0f, 46, 25};   // k 0.005: x in -21..71
constexpr Oscillator caption_y_wave{1.0f / 100.0f, 44, 140};  // k 0.01:  y in 96..184

}  // namespace

WavyCaption::WavyCaption(Clock& clock, SDL_Surface* screen, SDL_Surface* tile)
    : clock_(clock), screen_(screen), tile_(tile) {}

void WavyCaption::render(int /*delta*/) {
    // Two by two by the tile's own size: a 320 × 240 tile covers the screen exactly; a larger one
    // is cut by the blit, a smaller one leaves the rest of the screen as it was.
    const int w = tile_ ? tile_->w : 0, h = tile_ ? tile_->h : 0;
    blit_at(screen_, tile_, 0, 0);
    blit_at(screen_, tile_, 0, h);
    blit_at(screen_, tile_, w, 0);
    blit_at(screen_, tile_, w, h);

    const int caption_x = caption_x_wave.read(clock_);  // first reading
    const int caption_y = caption_y_wave.read(clock_);  // second reading
    font.draw_text(screen_, CAPTION, caption_x, caption_y);
}
