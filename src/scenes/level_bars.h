#pragma once
// The music as a field of one-pixel white bars: one column per stereo frame across the screen,
// the left channel's bars from a base line at a quarter of the height, the right channel's from
// one at three quarters; positive samples grow downward, negative ones upward. No state of its
// own and no notion of time: the picture follows the latest captured chunk alone.

#include <SDL.h>

#include "audio/capture.h"
#include "scenes/scene.h"

class LevelBars : public Scene {
public:
    // `white_pixel`: the bar colour, white mapped through the screen's format; the samples come
    // from `capture`.
    LevelBars(SDL_Surface* screen, Uint32 white_pixel, CaptureSource capture);
    // The bars of the latest captured chunk. Takes no delta: the bars follow the music alone.
    void render();
    // The scene interface's pass: the same, delta unused.
    void render(int /*delta*/) override { render(); }

private:
    SDL_Surface* screen_;  // drawn on with SDL_FillRect; null draws nothing
    Uint32 white_pixel_;
    CaptureSource capture_;
};
