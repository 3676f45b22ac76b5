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

// The shared pictures, each at the size `pictures` (gfx/media_facts.h) gives for it.
Image picture_aa();   // Picture::opening: faded in from black
Image picture_fd();   // Picture::background: the common background (columns 0-639) and the
                      // hidden picture (640 on)
Image picture_fa();   // Picture::greetings_bg
Image picture_fc();   // Picture::credits_bg
Image picture_fgj();  // Picture::shaking_bg (fg.jpg)
Image picture_tv();   // Picture::tv_frame: a TV set whose screen is left transparent for the
                      // plasma, on 8 × 8 blocks

// Keyed overlays and small pictures.
Image logo_upper();     // Picture::upper_logo: "zypho"
Image logo_lower();     // Picture::lower_logo: "qrv"
Image scope_canvas();   // Picture::scope_canvas: the oscilloscope's screen
Image greet_sign();     // Picture::sign: the hanging sign
Image speaker_left();   // Picture::shaking_left
Image speaker_right();  // Picture::shaking_right
Image tile_fg();        // Picture::caption_tile: repeats seamlessly

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
