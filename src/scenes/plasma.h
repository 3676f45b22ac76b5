#pragma once
// A sine-sum plasma over the whole screen, written straight into its pixel words, seen through the
// keyed-out parts of the TV frame picture. The plasma moves by fixed steps per pass.

#include <SDL.h>

#include <vector>

#include "scenes/scene.h"

class Plasma : public Scene {
public:
    // screen: a 32-bit surface whose pixels need no lock. tv_frame: Media/tv.jpg, colour-keyed
    // (may be null: not drawn).
    Plasma(SDL_Surface* screen, SDL_Surface* tv_frame);

    // One pass: every screen pixel, then the TV frame over it. delta is not used: the waves move
    // 9 and 8 table entries per pass, however long it took.
    void render(int delta) override;

    // Every table index is used modulo 512 (its low 9 bits); the 16-bit phases wrap at 65536,
    // a multiple of 512, which leaves that undisturbed.
    Sint16 col_phase1 = 0;  // start of the first column index: +9 per pass (the sideways wave)
    Sint16 col_phase2 = 0;  // start of the second column index: stays 0
    Sint16 row_phase1 = 0;  // start of the first row index: +8 per pass (the upward drift)
    Sint16 row_phase2 = 0;  // start of the second row index: stays 0
    Uint16 col_index1 = 0, col_index2 = 0;  // running column indexes: +5 and +3 per column
    Uint16 row_index1 = 0, row_index2 = 0;  // running row indexes: +1 and +3 per row
    Sint32 sine_table[512];  // trunc(sin(i × 0.703125°) × 1024): -1023..1023, 360° in 512 steps
    Uint32* pixel_cursor = nullptr;  // the next screen pixel word to write
    Uint16 row = 0, column = 0;      // position within the pass

private:
    SDL_Surface* screen_;
    SDL_Surface* tv_frame_;
    // The two column waves summed for each column, filled at the start of each pass: every row
    // starts its column indexes from the same values, so every row adds the same column terms.
    std::vector<Sint32> column_sums_;
};
