#include "scenes/oscilloscope.h"

#include <algorithm>
#include <cmath>

#include "audio/capture.h"
#include "gfx/blit.h"
#include "gfx/image.h"
#include "gfx/media_facts.h"
#include "gfx/sge.h"

namespace {
// Trace and disc colour: RGB (248, 225, 170).
constexpr Uint8 INK_R = 248, INK_G = 225, INK_B = 170;

// x truncated toward zero, limited to ±limit first. With the 480-px screen and 16-bit samples the
// values stay far inside (trace offsets -15 .. 14, radii -25 .. 34); the limit only keeps an odd
// sample scale from overflowing the 16-bit coordinates and radii SGE takes.
int truncate_within(double x, double limit) {
    return static_cast<int>(std::clamp(x, -limit, limit));
}

// trunc(sin(t / period) × amplitude), the quotient in double precision. A period of 0, which the
// drift from 400 or 490 steps over but never lands on, would give no sine: the swing rests at 0.
int swing(Uint32 t, float period, double amplitude) {
    if (period == 0.0f) return 0;
    return static_cast<int>(std::sin(t / static_cast<double>(period)) * amplitude);
}
}  // namespace

Oscilloscope::Oscilloscope(Clock& clock, SDL_Surface* screen, SDL_Surface* canvas,
                           CaptureSource capture)
    : pristine(load_image(facts(Picture::scope_canvas).file)),
      clock_(clock),
      screen_(screen),
      capture_(capture),
      canvas_(canvas) {
    // A copy, not a blend: should the picture carry per-pixel alpha, blitting it with alpha on
    // would mix this pass's drawing into the restored canvas.
    if (pristine) SDL_SetAlpha(pristine, 0, SDL_ALPHA_OPAQUE);
    // Samples 0 .. W - 11: columns 10 .. W - 11 read sample i and sample i - 1.
    const int w = canvas_ ? canvas_->w : 0;
    samples_.assign(static_cast<size_t>(std::max(w - 10, 0)), 0);
}

Oscilloscope::~Oscilloscope() { SDL_FreeSurface(pristine); }

void Oscilloscope::render(int /*delta*/) {
    // The swing: canvas corner at (X + 100, Y + 100), x in 80 .. 400, y in 10 .. 290.
    const int x = swing(clock_.ticks(), period_x, 160) + 140;
    const int y = swing(clock_.ticks(), period_y, 140) + 50;

    // One slot for the whole pass, copied before anything is drawn.
    capture_.buffer.copy_current_slot(
        samples_.data(), static_cast<int>(std::min(samples_.size(), size_t{CAPTURE_SLOT_SAMPLES})));

    // Columns 10 .. W - 11; SGE's coordinates are 16-bit, so a column's right neighbour must be
    // at most 32767.
    const int end = std::min(static_cast<int>(samples_.size()), 32767);
    for (int i = 10; i < end; ++i) {
        // Trace: 1/8 of the sample's screen height about row 100 (rows 85 .. 114 at 480 px).
        const int v = truncate_within(samples_[i] * capture_.sample_scale * 0.125, 16000);
        const Sint16 row = static_cast<Sint16>(v + 100);
        sge_PutPixel(canvas_, static_cast<Sint16>(i), row, INK_R, INK_G, INK_B);
        sge_PutPixel(canvas_, static_cast<Sint16>(i - 1), row, INK_R, INK_G, INK_B);
        sge_PutPixel(canvas_, static_cast<Sint16>(i + 1), row, INK_R, INK_G, INK_B);
        // Two discs, their radii following this sample and the one before (SGE draws nothing for
        // a negative radius, the centre pixel alone for 0). Their low alphas add up over the
        // W - 20 turns of this loop: 220 discs around each centre with a 240-px canvas.
        sge_FilledCircleAlpha(canvas_, 50, 50, static_cast<Sint16>(2 * v + 5), INK_R, INK_G,
                              INK_B, 11);
        const int r = truncate_within(samples_[i - 1] * capture_.sample_scale * 0.25 + 5, 32767);
        sge_FilledCircleAlpha(canvas_, 100, 50, static_cast<Sint16>(r), INK_R, INK_G, INK_B, 10);
    }

    blit_at(screen_, canvas_, x + 100, y + 100);

    // Undo this pass's drawing. The blit clips to both pictures: a pristine copy of another size
    // restores the part they share.
    if (pristine && canvas_) {
        SDL_Rect to{0, 0, 0, 0};
        SDL_UpperBlit(pristine, nullptr, canvas_, &to);
    }

    period_x -= 0.1f;
    period_y -= 0.1f;
}
