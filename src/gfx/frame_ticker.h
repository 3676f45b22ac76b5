#pragma once
// The frame ticker: the recurring animation step of the sprite scenes, driven by the pass's delta.
//
//   FrameTicker ticker;   // ms summed since the last step
//   if (ticker.step(delta)) frame = next_frame(frame, LAST);
//
// step adds delta (ms) to the sum; once the sum exceeds 100 ms (strictly) it goes back to 0, the
// excess dropped, and the frame advances by one. So there is at most one step per pass however
// long the pass, and a 100 ms pass alone does not step. The frame counter starts at 0 and wraps to
// 1, not 0, after the scene's last value: frame 0 shows only until the first step.

#include <SDL.h>

#include <climits>

// sum + delta in ms, held at the ends of int rather than overflowing (only a pass of absurd length,
// or some 25 days of them, would get there).
inline Sint32 add_ms(Sint32 sum, int delta) {
    const long long s = static_cast<long long>(sum) + delta;
    return s > INT_MAX ? INT_MAX : s < INT_MIN ? INT_MIN : static_cast<Sint32>(s);
}

struct FrameTicker {
    static constexpr int STEP_AFTER_MS = 100;

    Sint32 ms = 0;  // ms summed since the last step; 0 after loading and after every step

    // Adds delta (add_ms). True when this pass steps; ms is then 0.
    bool step(int delta) {
        ms = add_ms(ms, delta);
        if (ms <= STEP_AFTER_MS) return false;
        ms = 0;
        return true;
    }
};

// The counter after one step: frame + 1, or 1 once `last` was reached.
constexpr Sint32 next_frame(Sint32 frame, Sint32 last) { return frame >= last ? 1 : frame + 1; }
