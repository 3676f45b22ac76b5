#pragma once
// The pictures several scenes share (the Picture table of gfx/media_facts.h), loaded once at
// start-up. A picture that fails to load stays null: everything drawn from it is simply absent.

#include <SDL.h>

#include "gfx/media_facts.h"

struct Images {
    SDL_Surface* loaded[PICTURE_COUNT] = {};  // by Picture
    SDL_Surface* operator[](Picture p) const { return loaded[static_cast<int>(p)]; }
};

// Loads the thirteen pictures in table order, then keys the keyed ones in keyed_pictures order.
void load_images(Images& images);
