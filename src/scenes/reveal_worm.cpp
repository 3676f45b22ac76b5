#include "scenes/reveal_worm.h"

#include <cmath>

#include "gfx/media_facts.h"
#include "gfx/sge.h"
#include "gfx/trig.h"

// Symmetric top to bottom and left to right.
// clang-format off
const Sint32 worm_shape[16][16] = {
    {0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0},
    {0, 0, 0, 1, 1, 1, 2, 2, 2, 2, 1, 1, 1, 0, 0, 0},
    {0, 0, 1, 1, 2, 2, 2, 3, 3, 2, 2, 2, 1, 1, 0, 0},
    {0, 0, 1, 2, 2, 3, 3, 3, 3, 3, 3, 2, 2, 1, 0, 0},
    {0, 1, 1, 2, 3, 3, 3, 3, 3, 3, 3, 3, 2, 1, 1, 0},
    {0, 1, 2, 2, 3, 3, 3, 4, 4, 3, 3, 3, 2, 2, 1, 0},
    {1, 1, 2, 3, 3, 3, 4, 4, 4, 4, 3, 3, 3, 2, 1, 1},
    {1, 1, 2, 3, 3, 3, 4, 4, 4, 4, 3, 3, 3, 2, 1, 1},
    {0, 1, 2, 2, 3, 3, 3, 4, 4, 3, 3, 3, 2, 2, 1, 0},
    {0, 1, 1, 2, 3, 3, 3, 3, 3, 3, 3, 3, 2, 1, 1, 0},
    {0, 0, 1, 2, 2, 3, 3, 3, 3, 3, 3, 2, 2, 1, 0, 0},
    {0, 0, 1, 1, 2, 2, 2, 3, 3, 2, 2, 2, 1, 1, 0, 0},
    {0, 0, 0, 1, 1, 1, 2, 2, 2, 2, 1, 1, 1, 0, 0, 0},
    {0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0},
};
// clang-format on

namespace {

constexpr int BLOCK = 16;                // the head and every trail block: 16 × 16 pixels
constexpr Sint32 SHADE_UNIT = 0x101010;  // 16 in each of the three low bytes
constexpr int HIDDEN_X = SCREEN_W;            // the hidden picture: fd.jpg from column 640 on
constexpr Uint32 TRAIL_BEHIND = 127;     // the first trail pass: 127 path steps behind the head

}  // namespace

RevealWorm::RevealWorm(SDL_Surface* screen, SDL_Surface* background)
    : screen_(screen), background_(background) {
    for (int i = 0; i < 512; ++i) {
        const double a = i * 0.703125 * DEG_TO_RAD;  // 0.703125 = 360 / 512
        // The centre is added before truncating: a negative swing rounds up toward the centre.
        path_x[i] = static_cast<Sint32>(std::sin(2 * a) * 245 + 312);
        path_y[i] = static_cast<Sint32>(std::sin(a) * 150 + 232);
    }
    for (int i = 0; i < 1024; ++i)
        wobble[i] = static_cast<Sint32>(std::sin(i * 0.3515625 * DEG_TO_RAD) * 15);  // 360 / 1024

    // The pixel words are written straight into the screen's memory, which stays at one address
    // and needs no lock. Anything but a 32-bit surface is left alone.
    if (screen_ && screen_->pixels && screen_->format->BytesPerPixel == 4) {
        screen_pixels = static_cast<Uint32*>(screen_->pixels);
        row_words_ = screen_->pitch / 4;
        screen_w_ = screen_->w;
        screen_h_ = screen_->h;
    }
}

void RevealWorm::place_block(Uint32 p) {
    const Sint32 w = wobble[p & 1023];  // one wobble value for both coordinates
    block_x = path_x[p & 511] + w;
    block_y = path_y[p & 511] + w;
}

bool RevealWorm::on_screen() const {
    const Sint32 x = block_x + column, y = block_y + row;
    return x >= 0 && x < screen_w_ && y >= 0 && y < screen_h_;
}

// Each word loses weight × 0x101010 as one 32-bit subtraction: a byte that goes below zero
// borrows from the byte above (0x00FF0000 with weight 3 gives 0x00CECFD0), and only a word whose
// 32-bit result is negative as a whole is clamped, to 0 (black). A word with its top bit set
// counts as negative and becomes 0 even under weight 0; one that lies less than weight × 0x101010
// above 0x80000000 wraps round to a large positive word (0x80000000 under weight 1 gives
// 0x7FEFEFF0), which is kept. The subtraction is done on the unsigned word, where wrapping is
// defined, and the result read back as signed.
void RevealWorm::darken_head() {
    for (row = 0; row < BLOCK; ++row) {
        row_base = (block_y + row) * row_words_ + block_x;
        for (column = 0; column < BLOCK; ++column) {
            if (!on_screen()) continue;
            Uint32& word = screen_pixels[row_base + column];
            const Uint32 shade = static_cast<Uint32>(worm_shape[row][column] * SHADE_UNIT);
            const Sint32 darker = static_cast<Sint32>(word - shade);
            word = darker >= 0 ? static_cast<Uint32>(darker) : 0;
        }
    }
}

// Replaces the block with the hidden picture. The raw value of fd.jpg is read with its lowest
// byte as red, then green, blue and alpha: the layout of a 24-bit picture as SDL_image loads a
// JPEG, so the screen gets the picture's own colours. Outside the picture sge_GetPixel reads 0,
// which maps to black.
void RevealWorm::reveal_trail() {
    const SDL_PixelFormat* format = screen_->format;
    for (row = 0; row < BLOCK; ++row) {
        row_base = (block_y + row) * row_words_ + block_x;
        for (column = 0; column < BLOCK; ++column) {
            if (!on_screen()) continue;
            const Uint32 v =
                sge_GetPixel(background_, static_cast<Sint16>(block_x + column + HIDDEN_X),
                             static_cast<Sint16>(block_y + row));
            screen_pixels[row_base + column] = SDL_MapRGBA(
                format, v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF, static_cast<Uint8>(v >> 24));
        }
    }
}

void RevealWorm::render(int /*delta*/) {
    if (screen_pixels) {
        place_block(static_cast<Uint32>(phase));
        darken_head();
        // Trail: the odd path index between the blocks darkened 63 and 64 passes ago, then the
        // one darkened 63 passes ago, so the hidden picture closes up behind the worm. Drawn after
        // the head, a trail block wins where the two overlap. A missing picture draws no trail.
        if (background_) {
            place_block(static_cast<Uint32>(phase) - TRAIL_BEHIND);
            reveal_trail();
            place_block(static_cast<Uint32>(phase) - TRAIL_BEHIND + 1);
            reveal_trail();
        }
    }
    // Two path steps per pass; the path repeats every 256 passes, the wobble every 512. Path
    // indexes are taken in unsigned arithmetic so that the count wraps instead of overflowing.
    phase = static_cast<Sint32>(static_cast<Uint32>(phase) + 2);
}
