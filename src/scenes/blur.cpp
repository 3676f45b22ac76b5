#include "scenes/blur.h"

#include <algorithm>
#include <cstdint>

#include "gfx/sge.h"

namespace {
// The last column and row smoothed on the 640 × 480 display.
constexpr int LAST_X = 638, LAST_Y = 478;

// The last column and row smoothed on `s`: columns 1..638 and rows 1..478 of the display, cut to
// a smaller surface (where the reads and writes would clip anyway).
int last_column(const SDL_Surface* s) { return std::min(LAST_X, s->w - 2); }
int last_row(const SDL_Surface* s) { return std::min(LAST_Y, s->h - 2); }

bool is_byte_channel(Uint32 mask, Uint8 shift, Uint8 loss) {
    return loss == 0 && shift % 8 == 0 && shift < 32 && mask == Uint32{0xFF} << shift;
}

// SDL_MapRGB for `f` as (r << Rshift) | (g << Gshift) | (b << Bshift) | base: true, with the
// mask of the three channel bytes and `base`, when SDL's own answers for probing colours say so.
bool resolve_map_rgb(SDL_PixelFormat* f, Uint32& channels, Uint32& base) {
    if (f->BytesPerPixel != 4 || f->palette || !sge_internal::byte_channels_32(f) ||
        !is_byte_channel(f->Rmask, f->Rshift, f->Rloss) ||
        !is_byte_channel(f->Gmask, f->Gshift, f->Gloss) ||
        !is_byte_channel(f->Bmask, f->Bshift, f->Bloss))
        return false;
    channels = f->Rmask | f->Gmask | f->Bmask;
    if ((f->Rmask & f->Gmask) || (f->Rmask & f->Bmask) || (f->Gmask & f->Bmask)) return false;
    base = SDL_MapRGB(f, 0, 0, 0);
    if (base & channels) return false;
    const Uint8 probes[][3] = {{255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {1, 2, 3},
                               {0x81, 0xFF, 0x81}, {0x5A, 0xA5, 0x3C}};
    for (const auto& p : probes) {
        const Uint32 expected = (Uint32{p[0]} << f->Rshift) | (Uint32{p[1]} << f->Gshift) |
                                (Uint32{p[2]} << f->Bshift) | base;
        if (SDL_MapRGB(f, p[0], p[1], p[2]) != expected) return false;
    }
    return true;
}

bool fast_path(SDL_Surface* s, Uint32& channels, Uint32& base) {
    if (!s || !s->pixels || !s->format || SDL_MUSTLOCK(s) || s->w < 3 || s->h < 3) return false;
    if (s->pitch % 4 != 0 || reinterpret_cast<std::uintptr_t>(s->pixels) % 4 != 0 ||
        s->pitch < s->w * 4)
        return false;
    // With updating on, every pixel written on the display also updates it: leave that to the
    // per-pixel pass.
    if (sge_internal::update_on && s == SDL_GetVideoSurface()) return false;
    const SDL_Rect& c = s->clip_rect;
    if (c.x > 1 || c.y > 1 || c.x + c.w <= last_column(s) || c.y + c.h <= last_row(s))
        return false;
    return resolve_map_rgb(s->format, channels, base);
}
}  // namespace

Blur::Blur(SDL_Surface* screen) : screen_(screen) {}

bool Blur::fast_path_applies(SDL_Surface* surface) {
    Uint32 channels, base;
    return fast_path(surface, channels, base);
}

void Blur::render(int /*delta*/) {
    if (!screen_) return;
    Uint32 channels = 0, base = 0;
    if (fast_path(screen_, channels, base)) {
        blur_words(kernel, static_cast<Uint8*>(screen_->pixels), screen_->pitch,
                   last_column(screen_), last_row(screen_), channels, base);
        return;
    }
    render_reference();
}

void Blur::render_reference() {
    if (!screen_) return;
    SDL_Surface* s = screen_;
    const int last_x = last_column(s), last_y = last_row(s);
    Neighbours& n = scratch_;
    for (int x = 1; x <= last_x; ++x) {
        const Sint16 cx = static_cast<Sint16>(x);
        for (int y = 1; y <= last_y; ++y) {
            const Sint16 cy = static_cast<Sint16>(y);
            n.pixel = sge_GetRGB(s, sge_GetPixel(s, cx, cy));
            n.left = sge_GetRGB(s, sge_GetPixel(s, static_cast<Sint16>(x - 1), cy));
            n.right = sge_GetRGB(s, sge_GetPixel(s, static_cast<Sint16>(x + 1), cy));
            // Sums of three bytes, divided by 3 with the remainder dropped.
            const Uint8 r = static_cast<Uint8>((n.left.r + n.pixel.r + n.right.r) / 3);
            const Uint8 g = static_cast<Uint8>((n.left.g + n.pixel.g + n.right.g) / 3);
            const Uint8 b = static_cast<Uint8>((n.left.b + n.pixel.b + n.right.b) / 3);
            sge_PutPixel(s, cx, cy, SDL_MapRGB(s->format, r, g, b));
        }
    }
}
