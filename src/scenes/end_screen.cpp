#include "scenes/end_screen.h"

#include "gfx/sge.h"

EndScreen::EndScreen(SDL_Surface* screen) : screen_(screen) {}

void EndScreen::render(int /*delta*/) {
    sge_ClearSurface(screen_, 0, 215, 246);
    // 50 px apart with 100 px cells: each line is drawn over the lower half of the one above,
    // which shows through the keyed-out parts of the later glyphs. No w in the font: "vv".
    end_font.draw_text(screen_, "you can ", 230, 200);
    end_font.draw_text(screen_, "press esc", 230, 250);
    end_font.draw_text(screen_, "novv", 230, 300);
}
