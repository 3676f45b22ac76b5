#pragma once
// Two sprites walking left to right: the 4-frame `cra` strip with its top on row 150 and the
// 6-frame `crb` strip with its top on row 200, both from the shared sprite set. They move in px
// per ms, so the walk does not depend on the frame rate, and stop for good at x = 640.0, just
// past the right edge. The animation steps on a frame ticker: at most one step per pass.

#include <SDL.h>

#include "gfx/frame_ticker.h"
#include "gfx/sprite_set.h"
#include "scenes/scene.h"

class Walkers : public Scene {
public:
    // Start values only; loads nothing (the shared sprite set is handed in). `screen`: drawn on.
    Walkers(SDL_Surface* screen, const SpriteSet& current);
    // delta: ms since the previous pass. Draws both sprites where they are, then moves them.
    void render(int delta) override;
    // All six values back to their start values, so that the next run starts over.
    void reset_walkers();
    // The entry hook: reset_walkers.
    void reset() override { reset_walkers(); }

    FrameTicker ticker;        // the animation's step, about every 100 ms
    Sint32 frame_counter = 0;  // 0 before the first step, then 1..9, 1..9, ...
    double cra_x = 130.0;      // left edge of the cra sprite, px; stops at 640.0
    double cra_speed = 0.096;  // px per ms: 510 px in 5312.5 ms
    double crb_x = 0.0;        // left edge of the crb sprite, px; stops at 640.0
    double crb_speed = 0.16;   // px per ms: 640 px in 4000 ms

private:
    SDL_Surface* screen_;
    const SpriteSet& current_;
};
