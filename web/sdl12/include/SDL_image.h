#pragma once
// SDL_image 1.2's loader as this program uses it, for the web build: SDL2_image decodes, the
// layer (sdl12.cpp) hands out the picture as an SDL 1.2 surface in the same pixel format.

#include "SDL.h"

#ifdef __cplusplus
extern "C" {
#endif

SDL_Surface* SDL12_IMG_Load(const char* file);
#define IMG_Load SDL12_IMG_Load
#define IMG_GetError SDL_GetError

#ifdef __cplusplus
}
#endif
