#pragma once
// The three ways a picture reaches the screen. All of them are thin front ends to SDL_UpperBlit,
// which clips to both surfaces, applies the colour key or alpha and converts the pixel format.
// `screen` is the surface drawn on: the display in the program, whatever a test hands in. A null
// screen, a null image or an empty rectangle draws nothing. Nothing is allocated.

#include <SDL.h>

// Copies all of `image` with its top-left corner at (x, y).
void blit_at(SDL_Surface* screen, SDL_Surface* image, int x, int y);

// Copies the w × h rectangle of `image` whose top-left corner is (sx, sy) to (x, y).
void blit_cell(SDL_Surface* screen, SDL_Surface* image, int x, int y, int w, int h, int sx, int sy);

// Draws frame n of a horizontal strip of k equal frames (frame width strip.w / k, truncated; the
// rightmost strip.w mod k columns are never drawn) with its top-left corner at (x, y).
// n is drawn as given: a frame past the strip's end draws nothing. k <= 0 draws nothing.
void draw_frame(SDL_Surface* screen, int n, SDL_Surface* strip, int k, int x, int y);
