#pragma once
// Three caption lines over the common background, and two logos sliding into place: the upper
// logo comes down from above the top edge, the lower one rises from below the bottom edge. Each
// moves at its own speed in px per ms and stops for good at its resting place (upper at y = 0,
// lower at y = 326), about two seconds after the first pass. The logos are drawn over the
// captions.

#include <SDL.h>

#include <optional>

#include "gfx/font.h"
#include "scenes/scene.h"

class FallingLogos : public Scene {
public:
    // Start values only; nothing drawn. `caption_font` is the shell's slot for this scene's
    // font, filled later in start-up; while it is empty the captions are not drawn.
    FallingLogos(SDL_Surface* screen, SDL_Surface* upper_logo, SDL_Surface* lower_logo,
                 const std::optional<SmallFont>& caption_font);
    // delta: ms since the previous pass.
    void render(int delta) override;

    double top_pos = 1.0;         // upper logo's position; drawn at y = top_y − 131
    int top_y = 1;                // top_pos truncated toward zero; 131 at rest (logo at y = 0)
    double top_speed = 0.065;     // px per ms, downward: 130 px in 2000 ms
    double bottom_pos = 1.0;      // lower logo's position; drawn at y = bottom_y + 500
    int bottom_y = 1;             // bottom_pos truncated toward zero; −174 at rest (y = 326)
    double bottom_speed = 0.087;  // px per ms, upward: 175 px in about 2011 ms

private:
    SDL_Surface* screen_;
    const std::optional<SmallFont>& caption_font_;  // the captions' SmallFont, once loaded
    SDL_Surface* upper_logo_;  // Media/bb.png, keyed
    SDL_Surface* lower_logo_;  // Media/ba.png, keyed
};
