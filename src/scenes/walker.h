#pragma once
// One sprite walking left to right: the 5-frame `wm` strip of a sprite set of its own, with its
// top on row 150. It moves in px per ms (480 px in its 15-second window, so it never reaches the
// stop at x = 640.0) and steps its animation on a frame ticker: at most one step per pass.

#include <SDL.h>

#include "gfx/frame_ticker.h"
#include "gfx/sprite_set.h"
#include "scenes/scene.h"

class Walker : public Scene {
public:
    // Loads its own sprite set. `screen`: drawn on.
    explicit Walker(SDL_Surface* screen);
    // delta: ms since the previous pass. Draws the sprite where it is, then moves it.
    void render(int delta) override;

    double x = 0.0;          // left edge, px; stops at 640.0
    double speed = 0.032;    // px per ms
    SpriteSet sprites;       // its own copy of the eight strips: strip `wm`
    FrameTicker ticker;        // the animation's step, about every 100 ms
    Sint32 frame_counter = 0;  // 0 before the first step, then 1..4, 1..4, ...

private:
    SDL_Surface* screen_;
};
