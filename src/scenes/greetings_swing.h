#pragma once
// Greetings: over a full-screen picture, four signs hang from the top edge of the screen on black
// lines and swing left and right, each with a greeting written under it. The swing follows the
// tick count alone: the scene keeps no animation state and ignores its delta.

#include <SDL.h>

#include "gfx/clock.h"
#include "gfx/font.h"
#include "scenes/scene.h"

class GreetingsSwing : public Scene {
public:
    // background: the full-screen picture (Media/fa.jpg); sign: the colour-keyed sign
    // (Media/ca.png). Either may be null and is then not drawn; without a sign the greetings are
    // written at the signs' top edge (sign height 0). `screen` receives the lines.
    GreetingsSwing(Clock& clock, SDL_Surface* screen, SDL_Surface* background, SDL_Surface* sign);

    // One complete frame: the picture, then per sign its line, the sign and the greeting, reading
    // the tick count once per sign. delta is not used.
    void render(int delta) override;

private:
    SmallFont font;  // the greetings: 25 × 31 cells, 15 px apart

    Clock& clock_;
    SDL_Surface* screen_;
    SDL_Surface* background_;
    SDL_Surface* sign_;
    int sign_h;  // px: the sign's height, how far below a sign's top its greeting is; 0 without one
};
