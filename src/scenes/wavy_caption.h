#pragma once
// Wavy caption: four copies of one picture fill the screen and a one-line caption in the big font
// floats over them, moving as a whole on two sines of different rates. No state between frames;
// delta is not used. The sprite trio is drawn over it in the same pass.

#include <SDL.h>

#include "gfx/clock.h"
#include "gfx/font.h"
#include "scenes/scene.h"

class WavyCaption : public Scene {
public:
    // tile: Media/fg.png (not keyed), tiled 2 × 2 by its own width and height; may be null.
    WavyCaption(Clock& clock, SDL_Surface* screen, SDL_Surface* tile);

    // One complete frame: the four tiles, then the caption at (caption_x, caption_y), the two read
    // from two tick readings in that order. delta is not used.
    void render(int delta) override;

private:
    BigFont font;  // the caption: 50 × 100 cells, 35 px apart

    Clock& clock_;
    SDL_Surface* screen_;
    SDL_Surface* tile_;
};
