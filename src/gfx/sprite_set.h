#pragma once
// The eight animation strips of the sprite scenes, loaded together. Each strip holds its frames
// side by side in one row, frame 0 at the left; the frame count is not stored with the strip, the
// drawing scene passes it (see `frames_in`).

#include <SDL.h>

enum Strip { sm, bi, bl, cra, crb, dm, st, wm, STRIP_COUNT };

// Frames in each strip, by Strip index.
constexpr int frames_in[STRIP_COUNT] = {10, 9, 6, 4, 6, 5, 8, 5};

struct SpriteSet {
    // Loads Media/sm.png ... Media/wm.png in Strip order, as they are (no colour key, no
    // conversion). A strip that fails to load stays null and draws nothing.
    SpriteSet();

    SDL_Surface* strips[STRIP_COUNT];

    SDL_Surface* operator[](Strip s) const { return strips[s]; }
};
