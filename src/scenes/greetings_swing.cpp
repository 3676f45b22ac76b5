#include "scenes/greetings_swing.h"

#include "gfx/blit.h"
#include "gfx/sge.h"
#include "gfx/trig.h"

namespace {

constexpr int AMPLITUDE = 30;  // px, every sign

// One sign: where it hangs and how it swings. Its swing is an oscillator of amplitude 30 px
// about `base`, read once per sign.
struct Sign {
    const char* greeting;
    Oscillator swing;  // {k, AMPLITUDE, base}: px added to anchor_x
    int anchor_x;      // px: where the line is fixed on the top edge (y = 0)
    int sign_y;        // px: the sign's top
};

// Drawn in this order; signs 1 and 3 share the band y = 100, so 3 is drawn over 1.
// The fonts have no "#" and no w: both draw the blank cell (28) and still take their 15 px.
constexpr Sign signs[] = {
    {"n1ghtc4p", {1.0f / 100.0f, AMPLITUDE, 10}, 100, 100},  // k 0.0099999998: swing -20..40
    {"brodda", {1.0f / 150.0f, AMPLITUDE, 30}, 200, 200},    // k 0.0066666668: swing 0..60
    {"#quietnightswitholdtoads", {1.0f / 250.0f, AMPLITUDE, 30}, 250, 100},  // k 0.0040000002: 0..60
    {"#mooncraterclub", {1.0f / 250.0f, AMPLITUDE, 30}, 300, 300},  // k 0.0040000002: swing 0..60
};

}  // namespace

GreetingsSwing::GreetingsSwing(Clock& clock, SDL_Surface* screen, SDL_Surface* background,
                               SDL_Surface* sign)
    : clock_(clock), screen_(screen), background_(background), sign_(sign),
      sign_h(sign ? sign->h : 0) {}

void GreetingsSwing::render(int /*delta*/) {
    blit_at(screen_, background_, 0, 0);
    for (const Sign& s : signs) {
        const int swing = s.swing.read(clock_);
        const int x = s.anchor_x + swing;
        // The line runs from its fixed point to 10 px right of and 5 px below the sign's corner;
        // the sign covers its lower end, the greeting hangs under the sign.
        sge_Line(screen_, static_cast<Sint16>(s.anchor_x), 0, static_cast<Sint16>(x + 10),
                 static_cast<Sint16>(s.sign_y + 5), 0, 0, 0);
        blit_at(screen_, sign_, x, s.sign_y);
        font.draw_text(screen_, s.greeting, x, s.sign_y + sign_h);
    }
}
