#include "gfx/sge.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gfx/byte_blend.h"

namespace {

// An inclusive rectangle of pixels: x0..x1, y0..y1. Empty when x0 > x1 or y0 > y1.
struct Box {
    int x0, y0, x1, y1;
    bool empty() const { return x0 > x1 || y0 > y1; }
    bool contains(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

// Where writes may go: the clip rectangle, cut to the surface itself (SDL keeps the clip
// rectangle inside the surface, but a wrong one must not make us write outside it).
Box clip_box(const SDL_Surface* s) {
    const SDL_Rect& c = s->clip_rect;
    return Box{std::max<int>(c.x, 0), std::max<int>(c.y, 0), std::min<int>(c.x + c.w, s->w) - 1,
               std::min<int>(c.y + c.h, s->h) - 1};
}

Box intersect(const Box& a, const Box& b) {
    return Box{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1),
               std::min(a.y1, b.y1)};
}

// Holds the surface locked for the lifetime of the object when SDL says it must be;
// ok() tells whether its pixels may be touched.
class PixelAccess {
public:
    explicit PixelAccess(SDL_Surface* s)
        : surface_(s), locked_(SDL_MUSTLOCK(s) && SDL_LockSurface(s) == 0) {
        ok_ = s->pixels && (locked_ || !SDL_MUSTLOCK(s));
    }
    ~PixelAccess() {
        if (locked_) SDL_UnlockSurface(surface_);
    }
    PixelAccess(const PixelAccess&) = delete;
    PixelAccess& operator=(const PixelAccess&) = delete;
    bool ok() const { return ok_; }

private:
    SDL_Surface* surface_;
    bool locked_;
    bool ok_ = false;
};

Uint8* address(SDL_Surface* s, int x, int y) {
    return static_cast<Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
}

// A 24-bit pixel value is the 3-byte number in the machine's byte order, as SDL reads it.
Uint32 read_raw(SDL_Surface* s, int x, int y) {
    const Uint8* p = address(s, x, y);
    switch (s->format->BytesPerPixel) {
        case 1: return *p;
        case 2: return *reinterpret_cast<const Uint16*>(p);
        case 3:
#if SDL_BYTEORDER == SDL_BIG_ENDIAN
            return Uint32{p[0]} << 16 | Uint32{p[1]} << 8 | p[2];
#else
            return p[0] | Uint32{p[1]} << 8 | Uint32{p[2]} << 16;
#endif
        case 4: return *reinterpret_cast<const Uint32*>(p);
    }
    return 0;
}

void write_raw(SDL_Surface* s, int x, int y, Uint32 c) {
    Uint8* p = address(s, x, y);
    switch (s->format->BytesPerPixel) {
        case 1: *p = static_cast<Uint8>(c); break;
        case 2: *reinterpret_cast<Uint16*>(p) = static_cast<Uint16>(c); break;
        case 3:
#if SDL_BYTEORDER == SDL_BIG_ENDIAN
            p[0] = static_cast<Uint8>(c >> 16);
            p[1] = static_cast<Uint8>(c >> 8);
            p[2] = static_cast<Uint8>(c);
#else
            p[0] = static_cast<Uint8>(c);
            p[1] = static_cast<Uint8>(c >> 8);
            p[2] = static_cast<Uint8>(c >> 16);
#endif
            break;
        case 4: *reinterpret_cast<Uint32*>(p) = c; break;
    }
}

// With updating on, shows `area` (already clipped to the surface) when `s` is the display.
// Never passes an empty area: SDL_UpdateRect takes a width or height of 0 as "the whole screen".
void update_area(SDL_Surface* s, const Box& area) {
    if (!sge_internal::update_on || area.empty() || s != SDL_GetVideoSurface()) return;
    SDL_UpdateRect(s, area.x0, area.y0, static_cast<Uint32>(area.x1 - area.x0 + 1),
                   static_cast<Uint32>(area.y1 - area.y0 + 1));
}

// Bresenham over all eight octants, both end points included, each pixel tested against `clip`.
// Coordinates come from Sint16 values, so a line has at most 65536 steps even when most of it is
// off the surface; a line entirely beyond one side of `clip` is skipped at once.
void draw_line(SDL_Surface* s, const Box& clip, int x1, int y1, int x2, int y2, Uint32 color) {
    if (std::max(x1, x2) < clip.x0 || std::min(x1, x2) > clip.x1 || std::max(y1, y2) < clip.y0 ||
        std::min(y1, y2) > clip.y1)
        return;
    const int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
    const int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;  // dy <= 0: the error term of the standard integer form
    int x = x1, y = y1;
    for (;;) {
        if (clip.contains(x, y)) write_raw(s, x, y, color);
        if (x == x2 && y == y2) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

// Whether red, green and blue are each a whole byte of a 3- or 4-byte pixel value.
bool byte_channels(const SDL_PixelFormat* f) {
    const auto whole_byte = [](Uint32 mask, int shift) {
        return shift % 8 == 0 && (mask >> shift) == 0xFF;
    };
    return (f->BytesPerPixel == 3 || f->BytesPerPixel == 4) && whole_byte(f->Rmask, f->Rshift) &&
           whole_byte(f->Gmask, f->Gshift) && whole_byte(f->Bmask, f->Bshift);
}

// The blend of a disc's pixels on a surface with byte channels: each channel byte toward its
// part of (R, G, B); in a 4-byte pixel the fourth byte becomes what SDL_MapRGB puts there (the
// format's alpha bits, opaque, or 0).
ByteBlend byte_blend(const SDL_PixelFormat* f, Uint8 R, Uint8 G, Uint8 B, int alpha) {
    const int bpp = f->BytesPerPixel;
    // Where the byte of the pixel value at `shift` lies in memory.
    const auto offset = [bpp](int shift) {
#if SDL_BYTEORDER == SDL_BIG_ENDIAN
        return bpp - 1 - shift / 8;
#else
        (void)bpp;
        return shift / 8;
#endif
    };
    const int r = offset(f->Rshift), g = offset(f->Gshift), b = offset(f->Bshift);
    const int other = 6 - r - g - b;  // the byte offsets of a 4-byte pixel sum to 0+1+2+3
    Uint8 source[4] = {};
    source[r] = R;
    source[g] = G;
    source[b] = B;
    const auto other_value =
        static_cast<Uint8>(f->Amask >> (48 - f->Rshift - f->Gshift - f->Bshift));
    return ByteBlend(bpp, source, alpha, other, other_value);
}

// Any other format: through SDL_GetRGB and SDL_MapRGB (for a palette, the nearest entry).
void blend_span_any(SDL_Surface* s, int y, int x0, int x1, int R, int G, int B, int a) {
    for (int x = x0; x <= x1; ++x) {
        Uint8 r, g, b;
        SDL_GetRGB(read_raw(s, x, y), s->format, &r, &g, &b);
        write_raw(s, x, y,
                  SDL_MapRGB(s->format, static_cast<Uint8>(blend_byte(r, R, a)),
                             static_cast<Uint8>(blend_byte(g, G, a)),
                             static_cast<Uint8>(blend_byte(b, B, a))));
    }
}

// Calls span(row, x0, x1) for each row of the disc of radius r >= 0 around (cx, cy) that meets
// `area` (the disc's bounding box cut to the clip rectangle), with x0..x1 cut to `area`.
// Row dy covers |dx| <= hw, hw = floor(sqrt(r² + r - dy²)): one span per row, so no pixel is
// visited twice. hw starts from one square root and is then carried from row to row, corrected
// by whole steps (O(r) steps over the whole disc).
template <typename Span>
void for_each_disc_span(int cx, int cy, int r, const Box& area, Span span) {
    const long long limit = static_cast<long long>(r) * r + r;
    long long dy = area.y0 - cy;
    int hw = static_cast<int>(std::sqrt(static_cast<double>(limit - dy * dy)));
    for (int row = area.y0; row <= area.y1; ++row) {
        dy = row - cy;
        const long long room = limit - dy * dy;  // >= r >= 0 since |dy| <= r
        while (static_cast<long long>(hw + 1) * (hw + 1) <= room) ++hw;
        while (static_cast<long long>(hw) * hw > room) --hw;
        const int x0 = std::max(cx - hw, area.x0), x1 = std::min(cx + hw, area.x1);
        if (x0 <= x1) span(row, x0, x1);
    }
}

}  // namespace

namespace sge_internal {

Uint32 get_pixel(SDL_Surface* surface, Sint16 x, Sint16 y) {
    if (!surface || x < 0 || y < 0 || x >= surface->w || y >= surface->h) return 0;
    PixelAccess access(surface);
    return access.ok() ? read_raw(surface, x, y) : 0;
}

void get_rgb(const SDL_PixelFormat* format, Uint32 color, SDL_Color* out) {
    SDL_GetRGB(color, format, &out->r, &out->g, &out->b);
}

void put_pixel(SDL_Surface* surface, Sint16 x, Sint16 y, Uint32 color) {
    if (!surface || !clip_box(surface).contains(x, y)) return;
    {
        PixelAccess access(surface);
        if (!access.ok()) return;
        write_raw(surface, x, y, color);
    }
    update_area(surface, Box{x, y, x, y});
}

}  // namespace sge_internal

void sge_Update_ON() { sge_internal::update_on = true; }
void sge_Update_OFF() { sge_internal::update_on = false; }

void sge_ClearSurface(SDL_Surface* Surface, Uint8 R, Uint8 G, Uint8 B) {
    if (!Surface) return;
    // SDL_FillRect keeps to the clip rectangle even for a null rectangle: lift it for the fill.
    const SDL_Rect saved = Surface->clip_rect;
    SDL_SetClipRect(Surface, nullptr);
    SDL_FillRect(Surface, nullptr, SDL_MapRGB(Surface->format, R, G, B));
    SDL_SetClipRect(Surface, &saved);
    update_area(Surface, Box{0, 0, Surface->w - 1, Surface->h - 1});
}

void sge_PutPixel(SDL_Surface* surface, Sint16 x, Sint16 y, Uint8 R, Uint8 G, Uint8 B) {
    if (!surface) return;
    sge_PutPixel(surface, x, y, SDL_MapRGB(surface->format, R, G, B));
}

void sge_Line(SDL_Surface* Surface, Sint16 x1, Sint16 y1, Sint16 x2, Sint16 y2, Uint8 R, Uint8 G,
              Uint8 B) {
    if (!Surface) return;
    const Box clip = clip_box(Surface);
    {
        PixelAccess access(Surface);
        if (!access.ok()) return;
        draw_line(Surface, clip, x1, y1, x2, y2, SDL_MapRGB(Surface->format, R, G, B));
    }
    update_area(Surface, intersect(clip, Box{std::min(x1, x2), std::min(y1, y2),
                                             std::max(x1, x2), std::max(y1, y2)}));
}

void sge_Bezier(SDL_Surface* surface, Sint16 x1, Sint16 y1, Sint16 x2, Sint16 y2, Sint16 x3,
                Sint16 y3, Sint16 x4, Sint16 y4, int level, Uint8 R, Uint8 G, Uint8 B) {
    if (!surface) return;

    // Segments: 2^level, at most one per 2 px of control polygon (which is at least as long as
    // the curve), at least one. The polygon of 16-bit points is under 280,000 px long, so n
    // stays below 140,000 whatever the level.
    const double polygon = std::hypot(x2 - x1, y2 - y1) + std::hypot(x3 - x2, y3 - y2) +
                           std::hypot(x4 - x3, y4 - y3);
    const long long by_level = 1LL << std::clamp(level, 0, 40);
    const long long by_length = std::max(1LL, static_cast<long long>(std::ceil(polygon / 2.0)));
    const int n = static_cast<int>(std::min(by_level, by_length));

    const Box clip = clip_box(surface);
    const Uint32 color = SDL_MapRGB(surface->format, R, G, B);
    Box bounds{x1, y1, x1, y1};  // of the points drawn, for the display update
    {
        PixelAccess access(surface);
        if (!access.ok()) return;
        if (clip.contains(x1, y1)) write_raw(surface, x1, y1, color);  // a curve of one point
        int px = x1, py = y1;
        for (int i = 1; i <= n; ++i) {
            int qx = x4, qy = y4;  // the last point exactly, not as computed
            if (i < n) {
                const double t = static_cast<double>(i) / n, u = 1.0 - t;
                const double b1 = u * u * u, b2 = 3.0 * u * u * t, b3 = 3.0 * u * t * t,
                             b4 = t * t * t;
                qx = static_cast<int>(std::lround(b1 * x1 + b2 * x2 + b3 * x3 + b4 * x4));
                qy = static_cast<int>(std::lround(b1 * y1 + b2 * y2 + b3 * y3 + b4 * y4));
            }
            if (qx == px && qy == py) continue;
            draw_line(surface, clip, px, py, qx, qy, color);
            bounds = Box{std::min(bounds.x0, qx), std::min(bounds.y0, qy),
                         std::max(bounds.x1, qx), std::max(bounds.y1, qy)};
            px = qx;
            py = qy;
        }
    }
    update_area(surface, intersect(clip, bounds));
}

void sge_FilledCircleAlpha(SDL_Surface* surface, Sint16 x, Sint16 y, Sint16 r, Uint8 R, Uint8 G,
                           Uint8 B, Uint8 alpha) {
    if (!surface || r < 0 || alpha == 0) return;
    const Box clip = clip_box(surface);
    const Box area = intersect(clip, Box{x - r, y - r, x + r, y + r});
    if (area.empty()) return;
    {
        PixelAccess access(surface);
        if (!access.ok()) return;
        if (byte_channels(surface->format)) {
            const ByteBlend blend = byte_blend(surface->format, R, G, B, alpha);
            for_each_disc_span(x, y, r, area, [&](int row, int x0, int x1) {
                blend.run(address(surface, x0, row), x1 - x0 + 1);
            });
        } else {
            for_each_disc_span(x, y, r, area, [&](int row, int x0, int x1) {
                blend_span_any(surface, row, x0, x1, R, G, B, alpha);
            });
        }
    }
    update_area(surface, area);
}

Sint32 sge_Random(Sint32 min, Sint32 max) {
    const long long span = static_cast<long long>(max) - min + 1;  // 1 .. 2^32 when max >= min
    const long long draw = std::rand();
    if (span <= 0) return min;
    return static_cast<Sint32>(min + draw % span);
}
