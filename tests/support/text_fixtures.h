#pragma once
// Reading text off the screen in the text-scene tests: the fixture glyph sheet
// (MediaDir::write_glyph_sheet) fills cell i with cell_colour(i) inside a one-pixel key-colour
// border, so the colour of a pixel says which cell was drawn there.

#include <string>

#include "support/headless.h"

// The fixture cell whose colour is at (x, y), or -1 for any other colour.
int cell_at(const HeadlessScreen& screen, int x, int y);

// Checks that character i of `text` shows its own cell (glyph_index) at
// (x + step_x × i + probe_x, y + step_y × i + probe_y), for every character whose probe point is
// on the screen. Returns "" when all match, otherwise one line per mismatch.
std::string text_mismatches(const HeadlessScreen& screen, const char* text, int x, int y,
                            int step_x, int step_y, int probe_x, int probe_y);

