#include "scenes/bezier_web.h"

#include "gfx/blit.h"
#include "gfx/sge.h"
#include "gfx/trig.h"

namespace {

// o1..o8 in the order they read the tick count: {k, amplitude, centre}. The values stay within
// centre ± amplitude: o5 reaches -20 to 500, off the screen on either side; the rest stay on it.
constexpr Oscillator WAVES[8] = {
    {1.0f / 300, 160, 240},  // 0.0033333334, 80 to 400
    {1.0f / 400, 140, 250},  // 0.0025,       110 to 390
    {1.0f / 500, 160, 240},  // 0.002,        80 to 400
    {1.0f / 600, 140, 250},  // 0.0016666667, 110 to 390
    {1.0f / 700, 260, 240},  // 0.0014285714, -20 to 500
    {1.0f / 800, 140, 250},  // 0.00125,      110 to 390
    {1.0f / 700, 90, 230},   // 0.0014285714, 140 to 320
    {1.0f / 630, 10, 270},   // 0.0015873016, 260 to 280
};

constexpr int CURVE_LEVEL = 17;                               // sge_Bezier's subdivision level
constexpr Uint8 CURVE_R = 248, CURVE_G = 225, CURVE_B = 170;  // pale gold
constexpr int LOWER_LOGO_Y = 306;

}  // namespace

BezierWeb::BezierWeb(Clock& clock, SDL_Surface* screen, SDL_Surface* background,
                     SDL_Surface* upper_logo, SDL_Surface* lower_logo)
    : clock_(clock),
      screen_(screen),
      background_(background),
      upper_logo_(upper_logo),
      lower_logo_(lower_logo) {}

void BezierWeb::read_oscillators(int (&o)[8]) {
    for (int n = 0; n < 8; ++n)
        o[n] = WAVES[n].read(clock_);
}

void BezierWeb::render(int /*delta*/) {
    blit_at(screen_, background_, 0, 0);

    int o[8];
    read_oscillators(o);

    // Curve i takes the eight values from o_i on, wrapping after o8: each curve is the previous
    // one shifted by one value, so x coordinates of one curve are y coordinates of the next.
    // Every value lies within -20..500, well inside Sint16.
    for (int i = 0; i < 8; ++i) {
        auto v = [&](int j) { return static_cast<Sint16>(o[(i + j) % 8]); };
        sge_Bezier(screen_, v(0), v(1), v(2), v(3), v(4), v(5), v(6), v(7), CURVE_LEVEL, CURVE_R,
                   CURVE_G, CURVE_B);
    }

    blit_at(screen_, upper_logo_, 0, 0);
    blit_at(screen_, lower_logo_, 0, LOWER_LOGO_Y);
}
