#pragma once
// Three animated sprites side by side with their tops on row 250, each cycling through its own
// strip; nothing moves but the animation. One frame ticker drives two counters: counter_a (sm and
// dm: 0, then 1..9, 1..9, ...) and counter_b (bl: 0, then 1..5, 1..5, ...). At most one step per
// pass.

#include <SDL.h>

#include "gfx/frame_ticker.h"
#include "gfx/sprite_set.h"
#include "scenes/scene.h"

class SpriteTrio : public Scene {
public:
    // Loads its own sprite set; counters zero. `screen`: drawn on.
    explicit SpriteTrio(SDL_Surface* screen);
    // delta: ms since the previous pass. Draws sm at (250, 250), then bl at (350, 250), then dm
    // at (150, 250).
    void render(int delta) override;

    SpriteSet sprites;     // its own copy of the eight strips: sm, bl and dm
    FrameTicker ticker;    // the animation's step, about every 100 ms
    Sint32 counter_a = 0;  // frame counter of sm and dm: wraps to 1 after 9
    Sint32 counter_b = 0;  // frame counter of bl: wraps to 1 after 5

private:
    SDL_Surface* screen_;
};
