#include "scenes/credits.h"

#include "gfx/blit.h"
#include "gfx/trig.h"

namespace {

// In the order they read the tick count: {k, amplitude, centre}.
constexpr Oscillator oscillators[] = {
    {1.0f / 300.0f, 160, 240},  // osc1, k 0.0033333334:  80..400  sprites 1-4
    {1.0f / 400.0f, 140, 250},  // osc2, k 0.0025:       110..390  sprites 1, 2, 5
    {1.0f / 500.0f, 160, 240},  // osc3, k 0.002:         80..400  sprites 3, 4, 5
    {1.0f / 600.0f, 140, 250},  // osc4, k 0.0016666667: 110..390  sprite 6, line 4
    {1.0f / 800.0f, 140, 250},  // osc5, k 0.00125:      110..390  line 5
    {1.0f / 700.0f, 90, 230},   // osc6, k 0.0014285714: 140..320  line 6
    {1.0f / 630.0f, 10, 270},   // osc7, k 0.0015873016: 260..280  line 1
    {1.0f / 580.0f, 130, 240},  // osc8, k 0.0017241379: 110..370  line 2
    {1.0f / 900.0f, 30, 230},   // osc9, k 0.0011111111: 200..260  line 3
};
constexpr int OSCILLATORS = sizeof oscillators / sizeof oscillators[0];

// Sprites in drawing order: which oscillators (0-based) give the top-left corner.
struct SpritePath {
    int x_osc, y_osc;
};
constexpr SpritePath sprites[] = {{0, 1}, {1, 0}, {0, 2}, {2, 0}, {1, 2}, {3, 3}};

// Credit lines in drawing order, first character at x = 0. Blanks and "=" have no glyph and draw
// the blank cell (28); "-" has one (44). Lines 4 and 5 may meet and overprint each other.
struct Line {
    const char* text;
    int y_osc;
};
constexpr Line lines[] = {
    {"morvik - programming", 6}, {"morvik - sound", 7}, {"morvik - graphics", 8},
    {"morvik - 3d", 3},          {"morvik - ascii", 4}, {"morvik = me", 5},
};

constexpr int BI_FRAMES = 9;
constexpr int LAST_FRAME = 8;         // after it the ticker wraps to 1: frame 0 shows only once
constexpr int LINES_AFTER_MS = 5000;  // the lines show once more than this has run

}  // namespace

Credits::Credits(Clock& clock, SDL_Surface* screen, const SpriteSet& current,
                 SDL_Surface* background)
    : clock_(clock), screen_(screen), current_(current), background_(background) {}

void Credits::render(int delta) {
    const bool step = ticker.step(delta);
    running_ms = add_ms(running_ms, delta);
    if (step) frame_no = next_frame(frame_no, LAST_FRAME);

    blit_at(screen_, background_, 0, 0);

    int osc[OSCILLATORS];
    for (int i = 0; i < OSCILLATORS; ++i) osc[i] = oscillators[i].read(clock_);

    SDL_Surface* const strip = current_[bi];
    for (const SpritePath& s : sprites)
        draw_frame(screen_, frame_no % BI_FRAMES, strip, BI_FRAMES, osc[s.x_osc], osc[s.y_osc]);

    if (running_ms > LINES_AFTER_MS)
        for (const Line& l : lines) font.draw_text(screen_, l.text, 0, osc[l.y_osc]);
}
