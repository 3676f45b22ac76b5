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

// A position that swings on the tick count: centre + trunc(amplitude × sin(t × k)).
//   t          a tick count in ms: a fresh clock reading for every value (`read`), not `elapsed`
//   k          radians per ms, held in single precision: the float nearest 1 / period, the period
//              in ms per radian (write it as 1.0f / period), widened to double
//   amplitude  px
//   centre     px
// The product, the sine and the scaling are done in double and truncated toward zero before the
// centre is added, so the value is a whole number within centre ± amplitude; the ends are reached
// only where the sine comes out as exactly -1 or 1.
struct Oscillator {
    float k;
    int amplitude;
    int centre;

    // The value at tick t.
    int at(Uint32 t) const {
        return static_cast<int>(std::sin(static_cast<double>(t) * static_cast<double>(k)) *
                                amplitude) +
               centre;
    }
    // The value now: one clock.ticks() per call. A scene that reads several oscillators reads them
    // in a fixed order, and every reading may see a later tick than the one before.
    int read(Clock& clock) const { return at(clock.ticks()); }
};
