#include "scenes/plasma.h"

#include <algorithm>
#include <cmath>

#include "gfx/blit.h"
#include "gfx/trig.h"

Plasma::Plasma(SDL_Surface* screen, SDL_Surface* tv_frame) : screen_(screen), tv_frame_(tv_frame) {
    for (int i = 0; i < 512; ++i)
        sine_table[i] = static_cast<Sint32>(std::sin(i * 0.703125 * DEG_TO_RAD) * 1024);  // 360/512
    if (screen_) column_sums_.resize(static_cast<size_t>(screen_->w));
}

// Pixel (x, y) of a pass that starts with phases P1..P4 gets, with S = sine_table,
//   ((S[(P3 + y) % 512] + S[(P2 + 3 + 3x) % 512] + S[(P1 + 5 + 5x) % 512] + S[(P4 + 3y) % 512])
//    >> 3) + 128,
// the sum (-4092..4092) shifted with its sign kept, i.e. divided by 8 rounding toward minus
// infinity (-207 gives -26): -384..639, stored as the raw pixel word without any mapping through
// the pixel format (a negative value as its two's-complement word). On the display's XRGB layout
// 0..255 is black to blue, 256..511 starts the blue ramp again over green 1, 512..639 over green
// 2, and negative values are yellow to white.
void Plasma::render(int /*delta*/) {
    const bool drawable = screen_ && screen_->pixels && screen_->format->BytesPerPixel == 4;
    if (drawable) {
        const int width = std::min<int>(screen_->w, static_cast<int>(column_sums_.size()));
        const int height = screen_->h;

        // The column terms, the same for every row: the indexes run exactly as in each row.
        col_index1 = static_cast<Uint16>(col_phase1 + 5);
        col_index2 = static_cast<Uint16>(col_phase2 + 3);
        for (column = 0; column < width; ++column) {
            col_index2 &= 511;
            col_index1 &= 511;
            column_sums_[column] = sine_table[col_index2] + sine_table[col_index1];
            col_index1 += 5;
            col_index2 += 3;
        }

        row_index1 = static_cast<Uint16>(row_phase1);
        row_index2 = static_cast<Uint16>(row_phase2);
        const Sint32* sums = column_sums_.data();
        for (row = 0; row < height; ++row) {
            row_index1 &= 511;
            row_index2 &= 511;
            const Sint32 row_sum = sine_table[row_index1] + sine_table[row_index2];
            // Rows are the pitch apart: 2560 bytes on the display, one continuous run there.
            Uint32* cursor = reinterpret_cast<Uint32*>(static_cast<Uint8*>(screen_->pixels) +
                                                       row * screen_->pitch);
            for (int x = 0; x < width; ++x)
                cursor[x] = static_cast<Uint32>(((row_sum + sums[x]) >> 3) + 128);
            pixel_cursor = cursor + width;
            column = static_cast<Uint16>(width);
            row_index2 += 3;
            row_index1 += 1;
        }
    }
    col_phase1 = static_cast<Sint16>(col_phase1 + 9);
    row_phase1 = static_cast<Sint16>(row_phase1 + 8);
    blit_at(screen_, tv_frame_, 0, 0);
}
