#pragma once
// The two pieces of trigonometry the scenes share: the degrees-to-radians factor of the sine tables
// built at start-up, and the oscillator that positions move on.

#include <SDL.h>

#include <cmath>

#include "gfx/clock.h"

// Degrees to radians for every sine table built at start-up. 0.0174532 exactly: just below pi/180
// (0.01745329...), so a table's peak falls one short of its amplitude (a 1024 table tops out at
// 1023, a 15 table at 14).
constexpr double DEG_TO_RAD = 0.0174532;

// centre + trunc(amplitude × sin(t × k)). t is a tick count in ms; k, radians per ms, is held in
// single precision (the float nearest 1/period) and widened to double; the product, the sine and
// the scaling by the amplitude are done in double and truncated toward zero before the centre is
// added, so the value is a whole number within centre ± amplitude.
inline int oscillator(Uint32 t, float k, int amplitude, int centre) {
    return static_cast<int>(std::sin(static_cast<double>(t) * static_cast<double>(k)) *
                            amplitude) +
           centre;
}

// The same with a fresh tick reading of its own: one clock.ticks() per call.
inline int oscillate(Clock& clock, float k, int amplitude, int centre) {
    return oscillator(clock.ticks(), k, amplitude, centre);
}
