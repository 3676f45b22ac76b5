#pragma once
// Forty animated sprites drifting left to right over the common background, with the two logos
// on top (upper at (0, 0), lower at (0, 306)). Each sprite moves a fixed number of px per pass,
// not per ms, so the drift is faster at a higher frame rate; about every 100 ms every sprite
// jumps to a random frame of the 8-frame `st` strip; a sprite that leaves the right edge comes
// back at x = −50 at a random height.

#include <SDL.h>

#include "gfx/frame_ticker.h"
#include "gfx/sprite_set.h"
#include "scenes/scene.h"

struct DriftingSprite {
    int x;        // left edge, px: 0..640 at start, −50 after a wrap
    int y;        // top edge, px: 0..400
    float speed;  // px added to x per pass: 3, 4, 5, 6 or 7
    int frame;    // frame of the 8-frame strip: 0..7
};

class DriftingSprites : public Scene {
public:
    static constexpr int SPRITE_COUNT = 40;

    // Seeds the standard generator with srand(244243) and places the sprites: four sge_Random
    // draws per sprite in record order (x, y, speed, frame), 160 in all.
    DriftingSprites(SDL_Surface* screen, const SpriteSet& current, SDL_Surface* upper_logo,
                    SDL_Surface* lower_logo);
    // delta: ms since the previous pass; only the frame re-pick rhythm follows it.
    void render(int delta) override;

    FrameTicker ticker;  // the re-pick rhythm: every sprite takes a random frame on each step
    DriftingSprite sprites[SPRITE_COUNT];  // in drawing order: later ones over earlier ones

private:
    SDL_Surface* screen_;       // drawn on
    const SpriteSet& current_;  // the shared sprite set: strip `st`
    SDL_Surface* upper_logo_;   // Media/bb.png, keyed
    SDL_Surface* lower_logo_;   // Media/ba.png, keyed
};
