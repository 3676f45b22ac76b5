#include "scenes/drifting_sprites.h"

#include <cstdlib>

#include "gfx/blit.h"
#include "gfx/media_facts.h"
#include "gfx/sge.h"

DriftingSprites::DriftingSprites(SDL_Surface* screen, const SpriteSet& current,
                                 SDL_Surface* upper_logo, SDL_Surface* lower_logo)
    : sprites{}, screen_(screen), current_(current), upper_logo_(upper_logo), lower_logo_(lower_logo) {
    std::srand(244243);
    for (DriftingSprite& s : sprites) {
        s.x = sge_Random(0, SCREEN_W);
        s.y = sge_Random(0, 400);
        s.speed = static_cast<float>(sge_Random(3, 7));
        s.frame = sge_Random(0, 7);
    }
}

void DriftingSprites::render(int delta) {
    const bool repick = ticker.step(delta);
    for (DriftingSprite& s : sprites) {
        // Drawn where the last pass left it, then moved: a wrapped sprite shows at x = −50 on
        // the next pass. Per sprite, the frame draw comes before the height draw.
        draw_frame(screen_, s.frame, current_[st], frames_in[st], s.x, s.y);
        s.x = static_cast<int>(s.x + s.speed);
        if (repick) s.frame = sge_Random(0, 7);
        if (s.x > SCREEN_W) {
            s.x = -50;
            s.y = sge_Random(0, 400);
        }
    }
    blit_at(screen_, upper_logo_, 0, 0);
    blit_at(screen_, lower_logo_, 0, 306);
}
