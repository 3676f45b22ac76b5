#pragma once
// The still picture after the last scene: three lines of big text on flat light blue, inviting
// the viewer to press Escape. Stateless; the same picture on every pass.

#include <SDL.h>

#include "gfx/font.h"
#include "scenes/scene.h"

class EndScreen : public Scene {
public:
    explicit EndScreen(SDL_Surface* screen);
    void render(int delta) override;  // delta is not used

private:
    SDL_Surface* screen_;
    BigFont end_font;
};
