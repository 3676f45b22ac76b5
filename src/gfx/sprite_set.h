#pragma once
// The eight animation strips of the sprite scenes, loaded together. Each strip holds its frames
// side by side in one row, frame 0 at the left; the frame count is not stored with the strip, the
// drawing scene passes it (see `frames_in`).

#include <SDL.h>

#include "gfx/media_facts.h"  // Strip, STRIP_COUNT, strip_files, frames_in

struct SpriteSet {
    // Loads Media/sm.png ... Media/wm.png in Strip order, as they are (no colour key, no
    // conversion). A strip that fails to load stays null and draws nothing.
    SpriteSet();

    SDL_Surface* strips[STRIP_COUNT];

    SDL_Surface* operator[](Strip s) const { return strips[s]; }
};
