#pragma once
// The music's waveform on a picture: every pass plots the latest captured samples as a trace and
// two piles of translucent discs onto the canvas (the keyed Media/ab.png), shows the canvas at a
// position that swings on two sines of the tick count, and restores the canvas from an untouched
// copy, so each pass shows only its own drawing. The swings speed up pass by pass: both periods
// lose 0.1 ms per radian on every call, whatever the frame rate.

#include <SDL.h>

#include <vector>

#include "audio/capture.h"
#include "gfx/clock.h"
#include "scenes/scene.h"

class Oscilloscope : public Scene {
public:
    // `canvas` is the shared keyed Media/ab.png (may be null: nothing is drawn or shown), shown
    // on `screen`; the samples come from `capture`. Loads `pristine` from Media/ab.png and sizes
    // the sample copy to the canvas width.
    Oscilloscope(Clock& clock, SDL_Surface* screen, SDL_Surface* canvas, CaptureSource capture);
    ~Oscilloscope();
    Oscilloscope(const Oscilloscope&) = delete;
    Oscilloscope& operator=(const Oscilloscope&) = delete;

    // Two tick readings (horizontal, then vertical swing), one slot, one picture, one restore,
    // one drift step. delta is not used.
    void render(int delta) override;

    // Owned: Media/ab.png as loaded, without key and without per-pixel alpha blending, so that
    // blitting it onto the canvas copies it. Null when the file did not load: nothing is restored.
    SDL_Surface* pristine;
    float period_x = 400.0f;  // ms per radian of the horizontal swing; -0.1f per call, unbounded
    float period_y = 490.0f;  // ms per radian of the vertical swing; -0.1f per call, unbounded

private:
    Clock& clock_;
    SDL_Surface* screen_;
    CaptureSource capture_;
    SDL_Surface* canvas_;  // the shared keyed Media/ab.png; drawn on, shown, restored; not owned
    // This pass's samples 0 .. W - 11 (W = canvas width), copied from the current slot as the
    // pass begins, so that the audio thread cannot change the picture halfway through. Indexes
    // past the slot's 4096 samples stay 0: a canvas wider than 4106 px shows silence there.
    std::vector<Sint16> samples_;
};
