#pragma once
// Every picture and the track of Media/, as functions of nothing: each call draws the same thing.

#include <cstdint>
#include <vector>

#include "canvas.h"
#include "text.h"

namespace mg {

// The two outline fonts the lettering is drawn from (Debian's DejaVu family).
const OutlineFont& mono_font();  // DejaVu Sans Mono Bold: glyph sheets, block lettering
const OutlineFont& sans_font();  // DejaVu Sans Bold: logos, labels

// Glyph sheets: 45 cells in one row (a..v, x y z, å ä ö, the blank "no glyph" cell, 1..9, 0,
// . ! ? / \ -). small: 25 × 31 cells (alpb.png), big: 50 × 100 cells (alp.png).
Image glyph_sheet(bool big);
extern const char32_t GLYPH_ORDER[45];

// Full-screen pictures, 640 × 480 unless noted.
Image picture_aa();   // opening picture, faded in from black
Image picture_fd();   // 1280 × 480: the common background (0-639) and the hidden picture (640-)
Image picture_fa();   // greetings backdrop
Image picture_fc();   // credits backdrop
Image picture_fgj();  // shaking-words backdrop (fg.jpg)
Image picture_tv();   // TV set; the screen is left transparent for the plasma, on 8 × 8 blocks

// Keyed overlays and small pictures.
Image logo_upper();     // bb.png, 640 × 131: "zypho"
Image logo_lower();     // ba.png, 640 × 150: "qrv"
Image scope_canvas();   // ab.png: the oscilloscope's screen
Image greet_sign();     // ca.png: the hanging sign
Image speaker_left();   // ea.png
Image speaker_right();  // fh.png
Image tile_fg();        // fg.png, 320 × 240, repeats seamlessly

// Sprite strips: frames side by side, transparent background.
Image strip_sm();   // 10 frames
Image strip_bi();   // 9
Image strip_bl();   // 6
Image strip_cra();  // 4
Image strip_crb();  // 6
Image strip_dm();   // 5
Image strip_st();   // 8
Image strip_wm();   // 5

// The soundtrack: interleaved stereo, 44100 Hz, 16-bit.
std::vector<int16_t> render_track();
constexpr int SAMPLE_RATE = 44100;

}  // namespace mg
