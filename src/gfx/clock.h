#pragma once
// The one way into time. Everything that moves with time reads the tick count through a Clock:
// the program hands every scene the SDL clock, tests and the capture tool hand it a scripted one,
// so any pass of any scene can be replayed tick for tick.

#include <SDL.h>

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since SDL was initialised (or the script's idea of it); wraps at 2^32.
    virtual Uint32 ticks() = 0;
};

// The real tick count: SDL_GetTicks.
class SdlClock final : public Clock {
public:
    Uint32 ticks() override { return SDL_GetTicks(); }
};
