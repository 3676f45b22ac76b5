#include "gfx/image.h"

#include <SDL_image.h>
#include <cstdio>

SDL_Surface* load_image(const char* path) {
    SDL_Surface* image = IMG_Load(path);
    if (!image) std::fprintf(stderr, "zypho: cannot load %s: %s\n", path, IMG_GetError());
    return image;
}

void set_colour_key(SDL_Surface* image) {
    if (!image) return;
    SDL_SetColorKey(image, SDL_SRCCOLORKEY, SDL_MapRGB(image->format, KEY_R, KEY_G, KEY_B));
}
