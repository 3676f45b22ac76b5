#include "gfx/font.h"

#include <array>

#include "gfx/blit.h"
#include "gfx/image.h"

namespace {
constexpr std::array<unsigned char, 256> make_glyph_table() {
    std::array<unsigned char, 256> cells{};
    for (auto& c : cells) c = NO_GLYPH;
    for (int i = 0; i < GLYPH_CELLS; ++i)
        if (GLYPH_ORDER[i] != 0) cells[GLYPH_ORDER[i]] = static_cast<unsigned char>(i);
    return cells;
}
constexpr std::array<unsigned char, 256> glyph_table = make_glyph_table();
}  // namespace

int glyph_index(int ch) { return glyph_table[ch & 0xFF]; }

BitmapFont::BitmapFont(const FontKind& kind) : kind_(kind), sheet_(load_image(kind.file)) {
    set_colour_key(sheet_);
}

void BitmapFont::draw_text(SDL_Surface* screen, const char* text, int x, int y) const {
    for (int i = 0; text[i] != '\0'; ++i)
        draw_char(screen, static_cast<unsigned char>(text[i]), x + i * kind_.advance, y);
}

void BitmapFont::draw_char(SDL_Surface* screen, int ch, int x, int y) const {
    blit_cell(screen, sheet_, x, y, kind_.cell_w, kind_.cell_h, glyph_index(ch) * kind_.cell_w, 0);
}
