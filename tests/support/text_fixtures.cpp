#include "support/text_fixtures.h"

#include <sstream>

#include "gfx/font.h"

int cell_at(const HeadlessScreen& screen, int x, int y) {
    if (x < 0 || y < 0 || x >= 640 || y >= 480) return -1;
    const Uint32 colour = screen.rgb(x, y);
    for (int c = 0; c < GLYPH_CELLS; ++c)
        if (colour == cell_colour(c)) return c;
    return -1;
}

std::string text_mismatches(const HeadlessScreen& screen, const char* text, int x, int y,
                            int step_x, int step_y, int probe_x, int probe_y) {
    std::ostringstream out;
    for (int i = 0; text[i] != '\0'; ++i) {
        const int px = x + step_x * i + probe_x, py = y + step_y * i + probe_y;
        if (px < 0 || py < 0 || px >= 640 || py >= 480) continue;
        const int want = glyph_index(static_cast<unsigned char>(text[i]));
        const int got = cell_at(screen, px, py);
        if (got != want)
            out << "character " << i << " '" << text[i] << "' at (" << px << ", " << py
                << "): cell " << got << ", expected " << want << "\n";
    }
    return out.str();
}
