#pragma once
// Smears the picture on the screen to the right, in place: each pixel becomes the average of
// itself and its two horizontal neighbours, and since the columns are done left to right, the left
// neighbour already holds this pass's value. Draws nothing new.

#include <SDL.h>

#include "scenes/scene.h"

class Blur : public Scene {
public:
    explicit Blur(SDL_Surface* screen);

    // One pass over columns 1..638 (outer, left to right) and rows 1..478 (inner, top to bottom).
    // Columns 0 and 639 are read but never written; rows 0 and 479 are not touched. delta is not
    // used.
    void render(int delta) override;

    // The colours of the pixel being smoothed and of its two neighbours, reused for every pixel.
    struct Neighbours {
        SDL_Color pixel, left, right;
    };

private:
    SDL_Surface* screen_;
    Neighbours scratch_{};
};
