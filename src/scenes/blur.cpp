#include "scenes/blur.h"

#include <algorithm>

#include "gfx/sge.h"

namespace {
// The last column and row smoothed on the 640 × 480 display.
constexpr int LAST_X = 638, LAST_Y = 478;
}

Blur::Blur(SDL_Surface* screen) : screen_(screen) {}

void Blur::render(int /*delta*/) {
    if (!screen_) return;
    SDL_Surface* s = screen_;
    // Columns 1..638 and rows 1..478 of the display, cut to a smaller surface (where the reads and
    // writes would clip anyway).
    const int last_x = std::min(LAST_X, s->w - 2), last_y = std::min(LAST_Y, s->h - 2);
    Neighbours& n = scratch_;
    for (int x = 1; x <= last_x; ++x) {
        const Sint16 cx = static_cast<Sint16>(x);
        for (int y = 1; y <= last_y; ++y) {
            const Sint16 cy = static_cast<Sint16>(y);
            n.pixel = sge_GetRGB(s, sge_GetPixel(s, cx, cy));
            n.left = sge_GetRGB(s, sge_GetPixel(s, static_cast<Sint16>(x - 1), cy));
            n.right = sge_GetRGB(s, sge_GetPixel(s, static_cast<Sint16>(x + 1), cy));
            // Sums of three bytes, divided by 3 with the remainder dropped.
            const Uint8 r = static_cast<Uint8>((n.left.r + n.pixel.r + n.right.r) / 3);
            const Uint8 g = static_cast<Uint8>((n.left.g + n.pixel.g + n.right.g) / 3);
            const Uint8 b = static_cast<Uint8>((n.left.b + n.pixel.b + n.right.b) / 3);
            sge_PutPixel(s, cx, cy, SDL_MapRGB(s->format, r, g, b));
        }
    }
}
