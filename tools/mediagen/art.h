#pragma once
// Every picture and the track of Media/, as functions of nothing: each call draws the same thing.

#include <cstdint>
#include <vector>

#include "canvas.h"
#include "gfx/media_facts.h"  // GLYPH_ORDER, SMALL_FONT, BIG_FONT, frames_in, SAMPLE_RATE
#include "text.h"

namespace mg {

// The two outline fonts the lettering is drawn from (Debian's DejaVu family).
const OutlineFont& mono_font();  // DejaVu Sans Mono Bold: glyph sheets, block lettering
const OutlineFont& sans_font();  // DejaVu Sans Bold: logos, labels

// Glyph sheets: GLYPH_CELLS cells in one row, in GLYPH_ORDER, the cell without a glyph left blank.
// small: SMALL_FONT's cells (alpb.png), big: BIG_FONT's (alp.png).
Image glyph_sheet(bool big);

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
Image strip_sm();   // frames_in[sm]
Image strip_bi();   // frames_in[bi]
Image strip_bl();   // frames_in[bl]
Image strip_cra();  // frames_in[cra]
Image strip_crb();  // frames_in[crb]
Image strip_dm();   // frames_in[dm]
Image strip_st();   // frames_in[st]
Image strip_wm();   // frames_in[wm]

}  // namespace mg
