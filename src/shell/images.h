#pragma once
// The pictures several scenes share, loaded once at start-up. A picture that fails to load stays
// null: everything drawn from it is simply absent.

#include <SDL.h>

struct Images {
    SDL_Surface* opening = nullptr;        // Media/aa.jpg: the picture the fade-in brings up
    SDL_Surface* scope_canvas = nullptr;   // Media/ab.png, keyed: the oscilloscope draws on it
    SDL_Surface* lower_logo = nullptr;     // Media/ba.png, keyed
    SDL_Surface* upper_logo = nullptr;     // Media/bb.png, keyed
    SDL_Surface* sign = nullptr;           // Media/ca.png, keyed: the greetings' swinging sign
    SDL_Surface* shaking_left = nullptr;   // Media/ea.png
    SDL_Surface* greetings_bg = nullptr;   // Media/fa.jpg
    SDL_Surface* credits_bg = nullptr;     // Media/fc.jpg
    SDL_Surface* background = nullptr;     // Media/fd.jpg: common background; columns 640 on
                                           // hold the picture the worm reveals
    SDL_Surface* caption_tile = nullptr;   // Media/fg.png: tiled behind the wavy caption
    SDL_Surface* shaking_right = nullptr;  // Media/fh.png
    SDL_Surface* tv_frame = nullptr;       // Media/tv.jpg, keyed: framed over the plasma
    SDL_Surface* shaking_bg = nullptr;     // Media/fg.jpg
};

// Loads the thirteen pictures in file order, then keys ab, bb, ba, ca and tv in that order.
void load_images(Images& images);
