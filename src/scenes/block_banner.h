#pragma once
// Block-letter banner: fourteen fixed rows of small-font text down the screen: eight rows of
// block-letter art spelling the group tag QRV, the dotted row p.r.e.s.e.n.t.s, and five rows of
// block-letter art spelling the title zypho. Nothing moves; every pass draws the same picture and
// delta is not used. Drawn over the common background, which the schedule puts down first.

#include "gfx/font.h"
#include "scenes/scene.h"

class BlockBanner : public Scene {
public:
    // `screen`: drawn on.
    explicit BlockBanner(SDL_Surface* screen);

    // Draws the fourteen rows top to bottom. delta is not used.
    void render(int delta) override;

    static constexpr int ROWS = 14;
    // Row r (0-based, top to bottom), blanks included: rows 0-7 are 43 characters long, row 8 is
    // 44 and rows 9-13 are 39. Every character is drawn, a blank as the blank cell (28).
    static const char* row(int r);

private:
    SDL_Surface* screen_;
    int row_y = 0;   // px: y of the row being drawn; 0 at the start of every pass
    SmallFont font;  // every row: 25 × 31 cells, 15 px apart
};
