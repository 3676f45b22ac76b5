// The two glyph sheets. Letters come from DejaVu Sans Mono Bold, filled with a warm sunset ramp,
// edged in ink and given a one-sided shadow, so they read over the dark night backgrounds, the
// pale greetings sky and the light-blue end screen alike. Every pixel is either glyph (full
// colour) or key: the edges are hard.

#include <cmath>
#include <cstdlib>

#include "art.h"

namespace mg {

namespace {

struct SheetStyle {
    int cell_w, cell_h;
    int advance;        // the fonts' advance: the ink is centred in the first `advance` columns
    float em_y, em_x;   // letter size
    float baseline;     // row of the baseline within the cell
    float edge;         // outline width
    float shadow;       // shadow offset, right and down
    float top, bottom;  // rows over which the fill ramp runs
};

}  // namespace

Image glyph_sheet(bool big) {
    const FontKind& k = big ? BIG_FONT : SMALL_FONT;
    const SheetStyle st =
        big ? SheetStyle{k.cell_w, k.cell_h, k.advance, 60, 50, 58, 2.6f, 2.5f, 14, 58}
            : SheetStyle{k.cell_w, k.cell_h, k.advance, 22, 21, 23, 1.3f, 1.0f, 7, 23};
    const OutlineFont& font = mono_font();
    Image sheet(st.cell_w * GLYPH_CELLS, st.cell_h);
    Paint ramp =
        vgrad(st.top, st.bottom, {pal::paper, pal::cream, pal::gold, pal::amber, pal::coral});
    for (int i = 0; i < GLYPH_CELLS; ++i) {
        if (!GLYPH_ORDER[i]) continue;
        std::u32string s(1, char32_t(GLYPH_ORDER[i]));  // ISO 8859-1 is the first 256 code points
        float box[4];
        font.ink_box(s, st.em_y, st.em_x, 0, box);
        // Centre the ink (with its edge and shadow) in the columns up to the advance.
        float ink_w = box[2] - box[0] + 2 * st.edge + st.shadow;
        float left = (float(st.advance) - ink_w) * 0.5f + st.edge;
        float pen = float(i * st.cell_w) + left - box[0];
        pen = std::round(pen * 2) / 2;
        Shape g = font.text(s, pen, st.baseline, st.em_y, st.em_x);
        Shape rim = grow(g, st.edge);
        fill(sheet, moved(rim, st.shadow, st.shadow), solid(pal::ink));
        fill(sheet, rim, solid(pal::ink));
        fill(sheet, g, ramp);  // the ramp runs down the rows, so every cell gets the same one
    }
    return sheet;
}

}  // namespace mg
