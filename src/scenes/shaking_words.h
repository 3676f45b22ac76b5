#pragma once
// Shaking words: over a full-screen picture, two pictures and two words written downwards in the
// big font, each item displaced in every frame by a random jitter of its own of up to 10 px in x
// and y, so that everything trembles. No state between frames; delta is not used.

#include <SDL.h>

#include "gfx/font.h"
#include "scenes/scene.h"

class ShakingWords : public Scene {
public:
    // background: Media/fg.jpg; left_picture: Media/ea.png; right_picture: Media/fh.png (none of
    // them keyed). A null picture is not drawn; its jitter is still drawn from the generator.
    ShakingWords(SDL_Surface* screen, SDL_Surface* background, SDL_Surface* left_picture,
                 SDL_Surface* right_picture);

    // One complete frame. Exactly eight sge_Random(-10, 10) draws per pass, y before x for each
    // item: left picture, right picture, "biaaatch", "shaddapp". delta is not used.
    void render(int delta) override;

private:
    SDL_Surface* screen_;
    BigFont font;  // the two words: 50 × 100 cells, stacked 35 px apart

    SDL_Surface* background_;
    SDL_Surface* left_picture_;
    SDL_Surface* right_picture_;
};
