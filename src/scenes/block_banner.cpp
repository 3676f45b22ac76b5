#include "scenes/block_banner.h"

namespace {

constexpr int ROW_H = 31;  // px: rows touch, one cell high apart
constexpr int GAP = 10;    // px: extra space above and below the dotted row
constexpr int TAG_X = 5;   // px: first character of rows 1-9. Their last cells end at x = 659
                           // (row 9 at 674), past the screen's edge: the blit cuts them.
constexpr int TITLE_X = 35;  // px: first character of rows 10-14; their last cell ends at x = 629

// QRV in strokes two characters wide made of 8s, with d, b, y, p, dots, apostrophes and slashes
// rounding the corners and drawing the diagonals (the apostrophe has no glyph and shows as a
// blank); then the dotted row; then zypho, each letter written with its own character (o's corners
// with the digit 0), a blank column first and blank columns between the letters.
// rows[0] is row 1; rows are numbered from 1 below.
constexpr const char* rows[BlockBanner::ROWS] = {
    "   .d88888b.    88888888b.    88        88 ",
    "  d8'     '8b   88      '8b   88        88 ",
    " d8'       '8b  88       88   '8b      d8' ",
    " 88         88  88      .8p    88      88  ",
    " 88         88  88888888p'     '8b    d8'  ",
    " y8.  \\\\   .8p  88   '8b        '8b  d8'   ",
    "  y8b. \\\\ d8p   88     '8b       \\\\88//    ",
    "    'y8888p\\\\   88       '8b      'yp'     ",
    "...............p.r.e.s.e.n.t.s..............",
    " zzzzzz  yy  yy  ppppp   hh  hh   0oo0 ",
    "    zz   yy  yy  pp  pp  hh  hh  oo  oo",
    "   zz     yyyy   ppppp   hhhhhh  oo  oo",
    "  zz       yy    pp      hh  hh  oo  oo",
    " zzzzzz    yy    pp      hh  hh   0oo0 ",
};

// Every row of a block is exactly as wide as its block (characters, blanks included).
constexpr int length(const char* s) { return *s ? 1 + length(s + 1) : 0; }
constexpr bool rows_are(int first, int last, int width) {
    for (int r = first; r <= last; ++r)
        if (length(rows[r]) != width) return false;
    return true;
}
static_assert(rows_are(0, 7, 43), "group-tag rows are 43 characters");
static_assert(rows_are(8, 8, 44), "the dotted row is 44 characters");
static_assert(rows_are(9, 13, 39), "title rows are 39 characters");

}  // namespace

BlockBanner::BlockBanner(SDL_Surface* screen) : screen_(screen) {}

const char* BlockBanner::row(int r) { return r >= 0 && r < ROWS ? rows[r] : ""; }

void BlockBanner::render(int /*delta*/) {
    const FontKind& k = font.kind();

    // Rows 1-11 (rows[0] to rows[10]): character by character; a 10 px gap before row 9 and
    // before row 10.
    row_y = 0;
    for (int r = 0; r <= 10; ++r) {
        if (r > 0) row_y += (r == 8 || r == 9) ? ROW_H + GAP : ROW_H;
        const int x0 = r <= 8 ? TAG_X : TITLE_X;
        for (int i = 0; rows[r][i] != '\0'; ++i)
            font.draw_char(screen_, static_cast<unsigned char>(rows[r][i]), x0 + k.advance * i, row_y);
    }

    // Rows 12-14 (rows[11] to rows[13]): whole lines. The last ends at y = 453.
    for (int r = 11; r < ROWS; ++r) {
        row_y += ROW_H;
        font.draw_text(screen_, rows[r], TITLE_X, row_y);
    }
}
