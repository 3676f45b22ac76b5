#pragma once
// A dark worm crawls over the picture on the screen and leaves a hidden picture in its track.
// A 16 × 16 head runs along a figure-eight path with a slow wobble, darkening the screen under a
// round weighted shape; 63 passes later the same stretch of path is repainted, block by block,
// from the part of Media/fd.jpg beyond the screen's right edge (image columns 640 on).
// Draws no background: it works on what the previous pass left on the screen.

#include <SDL.h>

#include "scenes/scene.h"

// Darkening weights of the head, [row][column], 0 at the corners to 4 in the middle; each unit
// takes 16 off each of the three low bytes of the pixel word (0x101010).
extern const Sint32 worm_shape[16][16];

class RevealWorm : public Scene {
public:
    // screen: the display surface, whose pixel memory stays put and needs no lock.
    // background: Media/fd.jpg (may be null: the hidden picture is then not drawn).
    RevealWorm(SDL_Surface* screen, SDL_Surface* background);

    // One pass: the head pass at `phase`, the trail passes at `phase` - 127 and `phase` - 126,
    // then `phase` += 2. delta is not used: two path steps per pass, however long it took.
    void render(int delta) override;

    Sint32 path_x[512];   // screen column of path point i: trunc(sin(2a) × 245 + 312), 67..556
    Sint32 path_y[512];   // screen row of path point i: trunc(sin(a) × 150 + 232), 82..381;
                          // a = i × 0.703125° (360° / 512): an upright figure eight
    Sint32 wobble[1024];  // trunc(sin(i × 0.3515625°) × 15), -14..14, added to both coordinates
    Sint32 phase = 0;     // path index of the head: 0 at start-up, +2 per pass, never reset
    Uint32* screen_pixels = nullptr;  // the screen's pixel memory, taken once at construction
    Sint32 block_x = 0, block_y = 0;  // top-left corner (column, row) of the block being done
    Sint32 row = 0, column = 0;       // 0..15 within the block
    Sint32 row_base = 0;              // index in screen_pixels of pixel (block_x, block_y + row):
                                      // (block_y + row) × words per screen row + block_x

private:
    // Puts the block's corner at path point p, a path index in two's complement (phase - 127 is
    // -127 in the first pass): p mod 512 and p mod 1024 are its low 9 and 10 bits, never negative,
    // so -127 gives path point 385 and wobble 897.
    void place_block(Uint32 p);
    // Whether pixel (block_x + column, block_y + row) is on the screen. The path keeps every
    // block within columns 54..584 and rows 71..407, so on the 640 × 480 display it always is.
    bool on_screen() const;
    void darken_head();
    void reveal_trail();

    SDL_Surface* screen_;
    SDL_Surface* background_;
    Sint32 row_words_ = 0;  // words per screen row: the pitch / 4 (640 on the display)
    Sint32 screen_w_ = 0, screen_h_ = 0;
};
