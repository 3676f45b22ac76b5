#pragma once
// Credits: over a full-screen picture six copies of one animated sprite chase each other on
// Lissajous-like paths; once the scene has run for more than five seconds, six credit lines bob
// up and down over them. Positions come from nine sine oscillators on the tick count; the sprite's
// animation and the five-second delay run on the pass's delta.

#include <SDL.h>

#include "gfx/clock.h"
#include "gfx/font.h"
#include "gfx/frame_ticker.h"
#include "gfx/sprite_set.h"
#include "scenes/scene.h"

class Credits : public Scene {
public:
    // current: the program's current sprite set, whose strip `bi` (9 frames) is the sprite, read
    // afresh on every pass. background: the full-screen picture (Media/fc.jpg), may be null.
    Credits(Clock& clock, SDL_Surface* screen, const SpriteSet& current, SDL_Surface* background);

    // Advances the frame ticker and the running time by delta (ms), then draws one complete
    // frame: the picture, six sprites, and the six lines once more than 5000 ms have run.
    void render(int delta) override;

private:
    FrameTicker ticker;   // the sprite's animation step, about every 100 ms
    int frame_no = 0;     // frame of `bi`: 0 until the first step, then 1, 2, ..., 8, 1, 2, ...
    SmallFont font;       // the credit lines: 25 × 31 cells, 15 px apart
    int running_ms = 0;   // ms summed over every pass of this scene, never reset; lines when > 5000

    Clock& clock_;
    SDL_Surface* screen_;
    const SpriteSet& current_;
    SDL_Surface* background_;
};
