#pragma once
// Bitmap fonts: one glyph sheet per font, 45 equal cells in one row. Cell order: a..v (0-21),
// x y z (22-24), å ä ö (25-27), the cell for characters without a glyph (28), 1..9 (29-37), 0 (38),
// then . ! ? / \ - (39-44). Text is a zero-terminated ISO 8859-1 byte string.

#include <SDL.h>

#include "gfx/media_facts.h"  // GLYPH_ORDER, NO_GLYPH, FontKind, SMALL_FONT, BIG_FONT

// The cell of character `ch` (only its low 8 bits count): 0..44; 28 for every character without a
// glyph (the blank, capitals, w, punctuation other than . ! ? / \ -).
int glyph_index(int ch);

class BitmapFont {
public:
    // Loads the kind's sheet and keys out RGB (129, 255, 129). A sheet that fails to load leaves
    // the font drawing nothing.
    explicit BitmapFont(const FontKind& kind);
    BitmapFont(const BitmapFont&) = delete;
    BitmapFont& operator=(const BitmapFont&) = delete;

    // Draws `text` onto `screen` left to right, the first cell's top-left corner at (x, y), character i at
    // x + i × advance. Every character draws a cell, cell 28 included; later cells cover the
    // right-hand part of earlier ones except where they are keyed out.
    void draw_text(SDL_Surface* screen, const char* text, int x, int y) const;
    // Draws the cell of one character (only its low 8 bits count) with its top-left corner at
    // (x, y): one blit_cell.
    void draw_char(SDL_Surface* screen, int ch, int x, int y) const;

    SDL_Surface* sheet() const { return sheet_; }
    const FontKind& kind() const { return kind_; }

private:
    const FontKind& kind_;
    SDL_Surface* sheet_;
};

class SmallFont : public BitmapFont {
public:
    SmallFont() : BitmapFont(SMALL_FONT) {}
};

class BigFont : public BitmapFont {
public:
    BigFont() : BitmapFont(BIG_FONT) {}
};
