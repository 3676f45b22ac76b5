#include "scenes/falling_logos.h"

#include "gfx/blit.h"

FallingLogos::FallingLogos(SDL_Surface* screen, SDL_Surface* upper_logo, SDL_Surface* lower_logo,
                           const std::optional<SmallFont>& caption_font)
    : screen_(screen), caption_font_(caption_font), upper_logo_(upper_logo), lower_logo_(lower_logo) {}

void FallingLogos::render(int delta) {
    // 20 px apart with 31 px cells: each line covers the bottom of the one above.
    if (caption_font_) {
        caption_font_->draw_text(screen_, "everybody likes qrv", 25, 150);
        caption_font_->draw_text(screen_, "from god and his angles", 55, 170);
        caption_font_->draw_text(screen_, "to satan and his chords", 75, 190);
    }

    // The stop tests look at where the previous pass left the logo, so a logo may overshoot by
    // one pass's move and is set back to its resting place on the next pass.
    const int old_bottom_y = bottom_y;
    bottom_pos = bottom_pos - delta * bottom_speed;
    if (old_bottom_y < -173) bottom_pos = -174.0;
    bottom_y = static_cast<int>(bottom_pos);

    const int old_top_y = top_y;
    top_pos = top_pos + delta * top_speed;
    if (old_top_y > 130) top_pos = 131.0;
    top_y = static_cast<int>(top_pos);

    blit_at(screen_, upper_logo_, 0, top_y - 131);
    blit_at(screen_, lower_logo_, 0, bottom_y + 500);
}
