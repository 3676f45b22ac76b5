#include "scenes/level_bars.h"

#include <algorithm>

#include "audio/capture.h"

LevelBars::LevelBars(SDL_Surface* screen, Uint32 white_pixel, CaptureSource capture)
    : screen_(screen), white_pixel_(white_pixel), capture_(capture) {}

void LevelBars::render() {
    if (!screen_) return;
    const int w = screen_->w, h = screen_->h;

    // Sample i goes to column i / 2: 2 × W samples (1280 at 640 px), or as many as a slot holds;
    // on a screen wider than 2048 px the columns past the slot show silence, i.e. nothing.
    // They are copied as the pass begins, so that the audio thread cannot change the picture
    // halfway through. 8 KB on the stack: nothing is allocated.
    const int count = std::min(2 * w, CAPTURE_SLOT_SAMPLES);
    if (count <= 0) return;
    Sint16 samples[CAPTURE_SLOT_SAMPLES];
    capture_.buffer.copy_current_slot(samples, count);

    int base = h / 4;  // 120 for the left channel (even i), 360 for the right (odd i)
    for (int i = 0; i < count; ++i) {
        // Bar length in px: -120 .. 119 at 480 px with 16-bit samples. A bar never reaches
        // further than the screen is high, whatever the scale, so the rectangle's 16-bit fields
        // cannot wrap; it is then cut to the screen's rows.
        const float length = std::clamp(samples[i] * capture_.sample_scale, -static_cast<float>(h),
                                        static_cast<float>(h));
        const int d = static_cast<int>(length);
        // d < 0: rows base + d .. base - 1 (up from the base line); d > 0: rows base .. base + d - 1.
        const int top = std::max(d < 0 ? base + d : base, 0);
        const int bottom = std::min(d < 0 ? base : base + d, h);  // exclusive
        if (top < bottom) {
            SDL_Rect bar{static_cast<Sint16>(i / 2), static_cast<Sint16>(top), 1,
                         static_cast<Uint16>(bottom - top)};
            SDL_FillRect(screen_, &bar, white_pixel_);
        }
        base = base > h / 2 ? h / 4 : (3 * h) / 4;
    }
}
