#pragma once
// A web of eight cubic Bézier curves over the background picture, under the two logos. The curves'
// 32 coordinates come from eight oscillators on the tick count; nothing survives from one pass to
// the next, so the web moves at the same speed at any frame rate.

#include <SDL.h>

#include "gfx/clock.h"
#include "scenes/scene.h"

class BezierWeb : public Scene {
public:
    // background: Media/fd.jpg, drawn at (0, 0); upper_logo: Media/bb.png at (0, 0); lower_logo:
    // Media/ba.png at (0, 306), both colour-keyed. Any of them may be null (not drawn).
    BezierWeb(Clock& clock, SDL_Surface* screen, SDL_Surface* background, SDL_Surface* upper_logo,
              SDL_Surface* lower_logo);

    // One pass: background, eight curves, the two logos. delta is not used; eight tick readings.
    void render(int delta) override;

    // The eight oscillator values o1..o8, each from its own tick reading, in this order.
    void read_oscillators(int (&o)[8]);

private:
    Clock& clock_;
    SDL_Surface* screen_;
    SDL_Surface* background_;
    SDL_Surface* upper_logo_;
    SDL_Surface* lower_logo_;
};
