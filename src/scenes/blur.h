#pragma once
// Smears the picture on the screen to the right, in place: each pixel becomes the average of
// itself and its two horizontal neighbours, and since the columns are done left to right, the left
// neighbour already holds this pass's value. Draws nothing new.

#include <SDL.h>

#include "gfx/blur_kernel.h"
#include "scenes/scene.h"

class Blur : public Scene {
public:
    explicit Blur(SDL_Surface* screen);

    // One pass over columns 1..638 (outer, left to right) and rows 1..478 (inner, top to bottom).
    // Columns 0 and 639 are read but never written; rows 0 and 479 are not touched. delta is not
    // used. On a 32-bit screen whose colours fill whole bytes (the display's own format) the pass
    // runs on the pixel words with `kernel`, giving the very words of render_reference;
    // otherwise it is render_reference.
    void render(int delta) override;

    // The pass pixel by pixel through the SGE layer: three sge_GetPixel and sge_GetRGB, one
    // SDL_MapRGB and one sge_PutPixel per pixel. Works on every surface format.
    void render_reference();

    // Whether render takes the word kernel on `surface` as it is now: 32 bits per pixel with
    // byte-wide channels, no lock needed, the smoothed area inside the clip rectangle, SDL_MapRGB
    // a plain shift and mask for it, and no per-pixel display update (sge_Update_OFF) when it is
    // the display.
    static bool fast_path_applies(SDL_Surface* surface);

    // The kernel render uses: the fastest this processor runs, unless set otherwise (the tests
    // try each one).
    BlurKernel kernel = best_blur_kernel();

    // The colours of the pixel being smoothed and of its two neighbours, reused for every pixel.
    struct Neighbours {
        SDL_Color pixel, left, right;
    };

private:
    SDL_Surface* screen_;
    Neighbours scratch_{};
};
