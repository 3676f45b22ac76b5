#pragma once
// Loading the pictures the demo draws. Every image is read once at start-up; a file that fails to
// load gives a null surface, which every drawing operation treats as "nothing to draw".

#include <SDL.h>

#include "gfx/media_facts.h"  // KEY_R, KEY_G, KEY_B: the colour keyed images treat as transparent

// IMG_Load(path). On failure prints one line naming the file and SDL_image's reason on standard
// error (unless such reports are off) and returns null. A JPEG that loads but ends before its
// end-of-image marker is reported too (the decoder fills in what is missing).
SDL_Surface* load_image(const char* path);

// Whether `image` (loaded from `path`) is w × h px. When it is not, says so in one line on
// standard error (unless reports are off): the scenes are laid out for that size, so a picture of
// another size shows cut off or leaves parts of the screen as they were. A null image is not
// judged (its failure to load was reported already).
bool check_image_size(const SDL_Surface* image, const char* path, int w, int h);

// Turns the failure reports of load_image on or off (on at first): off once start-up has said in
// one line that the whole folder cannot be read.
void report_image_failures(bool on);

// Makes the key colour transparent in `image`, mapped through the image's own pixel format.
// Does nothing for a null image.
void set_colour_key(SDL_Surface* image);
