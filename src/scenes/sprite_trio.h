#pragma once
// Three animated sprites side by side with their tops on row 250, each cycling through its own
// strip; nothing moves but the animation. A sprite set of its own whose three counters serve as
// the frame ticker: ticker_ms (ms since the last step), counter_a (sm and dm: 0, then 1..9,
// 1..9, ...) and counter_b (bl: 0, then 1..5, 1..5, ...). At most one step per pass.

#include <SDL.h>

#include "gfx/sprite_set.h"

class SpriteTrio : public SpriteSet {
public:
    // Loads the eight strips; counters zero.
    SpriteTrio();
    // delta: ms since the previous pass. Draws sm at (250, 250), then bl at (350, 250), then dm
    // at (150, 250).
    void render(int delta);
};
