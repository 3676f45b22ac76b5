#pragma once
// Loading the pictures the demo draws. Every image is read once at start-up; a file that fails to
// load gives a null surface, which every drawing operation treats as "nothing to draw".

#include <SDL.h>

#include "gfx/media_facts.h"  // KEY_R, KEY_G, KEY_B: the colour keyed images treat as transparent

// IMG_Load(path). On failure prints one line naming the file and SDL_image's reason on standard
// error and returns null.
SDL_Surface* load_image(const char* path);

// Makes the key colour transparent in `image`, mapped through the image's own pixel format.
// Does nothing for a null image.
void set_colour_key(SDL_Surface* image);
