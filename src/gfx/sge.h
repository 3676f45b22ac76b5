#pragma once
// The SGE drawing functions the demo uses, with SGE's names and argument orders, implemented here
// for 8-, 16-, 24- and 32-bit surfaces. Coordinates are signed 16-bit as in SGE.
//
// Pixel writes clip to the surface's clip rectangle; pixel reads outside the surface return 0 and
// never touch memory outside it. A null surface draws nothing and reads as 0.
//
// Locking: the demo draws only on surfaces that need no lock (the software display surface,
// images loaded by SDL_image). Should a surface need one after all (SDL_MUSTLOCK), the functions
// lock it around their own access; the inline fast paths below are taken only when it does not.
//
// The three per-pixel functions (sge_GetPixel, sge_GetRGB, sge_PutPixel) have inline fast paths
// for 32-bit surfaces: the blur calls them 7 times for each of 305,000 pixels per frame, so a call
// into the library per pixel would be most of its time. Everything else is in sge.cpp.

#include <SDL.h>

namespace sge_internal {
// Whether drawing on the display surface also updates the drawn area on the display
// (SDL_UpdateRect). On by default, like SGE; sge_Update_OFF clears it.
inline bool update_on = true;

// The full versions of the per-pixel functions: every bytes-per-pixel, locking, display updates.
Uint32 get_pixel(SDL_Surface* surface, Sint16 x, Sint16 y);
void get_rgb(const SDL_PixelFormat* format, Uint32 color, SDL_Color* out);
void put_pixel(SDL_Surface* surface, Sint16 x, Sint16 y, Uint32 color);

// True for a 32-bit format whose red, green and blue each fill one whole byte of the pixel
// (ARGB8888, XRGB8888, ABGR8888, RGBA8888, ...): a channel is then (pixel >> shift) & 0xFF, which
// is exactly what SDL_GetRGB returns for it.
inline bool byte_channels_32(const SDL_PixelFormat* f) {
    return f->BytesPerPixel == 4 && (f->Rmask >> f->Rshift) == 0xFF &&
           (f->Gmask >> f->Gshift) == 0xFF && (f->Bmask >> f->Bshift) == 0xFF;
}
}  // namespace sge_internal

// SGE normally updates the display after every drawing call when the target is the display
// surface; the demo switches that off once at start-up and flips once per frame instead.
void sge_Update_ON();
void sge_Update_OFF();

// Fills the whole surface (ignoring the clip rectangle) with RGB (R, G, B) mapped through the
// surface's format.
void sge_ClearSurface(SDL_Surface* Surface, Uint8 R, Uint8 G, Uint8 B);

// The raw pixel value at (x, y); 0 outside the surface (the clip rectangle plays no part).
inline Uint32 sge_GetPixel(SDL_Surface* surface, Sint16 x, Sint16 y) {
    if (surface && surface->format->BytesPerPixel == 4 && !SDL_MUSTLOCK(surface)) {
        // Negative coordinates turn into huge unsigned ones: one compare per axis.
        if (static_cast<unsigned>(x) >= static_cast<unsigned>(surface->w) ||
            static_cast<unsigned>(y) >= static_cast<unsigned>(surface->h) || !surface->pixels)
            return 0;
        return *reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(surface->pixels) +
                                                y * surface->pitch + x * 4);
    }
    return sge_internal::get_pixel(surface, x, y);
}

// The colour of a raw pixel value of `Surface`'s format: the same as SDL_GetRGB; `unused` is 0.
// A null surface gives black.
inline SDL_Color sge_GetRGB(SDL_Surface* Surface, Uint32 Color) {
    SDL_Color c{0, 0, 0, 0};
    if (!Surface) return c;
    const SDL_PixelFormat* f = Surface->format;
    if (sge_internal::byte_channels_32(f)) {
        c.r = static_cast<Uint8>(Color >> f->Rshift);
        c.g = static_cast<Uint8>(Color >> f->Gshift);
        c.b = static_cast<Uint8>(Color >> f->Bshift);
        return c;
    }
    sge_internal::get_rgb(f, Color, &c);
    return c;
}

// Writes a raw pixel value, or a colour mapped through the surface's format. Clipped to the clip
// rectangle. With updating on and `surface` the display, the pixel is also updated on the display.
inline void sge_PutPixel(SDL_Surface* surface, Sint16 x, Sint16 y, Uint32 color) {
    if (!sge_internal::update_on && surface && surface->format->BytesPerPixel == 4 &&
        !SDL_MUSTLOCK(surface)) {
        const SDL_Rect& clip = surface->clip_rect;
        if (static_cast<unsigned>(x - clip.x) < static_cast<unsigned>(clip.w) &&
            static_cast<unsigned>(y - clip.y) < static_cast<unsigned>(clip.h) && surface->pixels)
            *reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) + y * surface->pitch +
                                       x * 4) = color;
        return;
    }
    sge_internal::put_pixel(surface, x, y, color);
}
void sge_PutPixel(SDL_Surface* surface, Sint16 x, Sint16 y, Uint8 R, Uint8 G, Uint8 B);

// A one-pixel line from (x1, y1) to (x2, y2), both end points included (Bresenham), clipped.
void sge_Line(SDL_Surface* Surface, Sint16 x1, Sint16 y1, Sint16 x2, Sint16 y2, Uint8 R, Uint8 G,
              Uint8 B);

// A cubic Bézier curve from (x1, y1) to (x4, y4) with control points (x2, y2) and (x3, y3), drawn
// as connected one-pixel line segments that start and end exactly at the two end points.
// `level` asks for 2^level segments (level <= 0: one segment, a straight line), but never more
// than one segment per 2 px of the control polygon's length (which is at least the curve's).
// So level 17 costs about as much as the curve is long, not 131072 segments, and the curve is
// drawn as a chain of short straight lines rather than as the pixels nearest each of 131072
// sample points (which would give a more stepped line).
void sge_Bezier(SDL_Surface* surface, Sint16 x1, Sint16 y1, Sint16 x2, Sint16 y2, Sint16 x3,
                Sint16 y3, Sint16 x4, Sint16 y4, int level, Uint8 R, Uint8 G, Uint8 B);

// A filled disc around (x, y), each covered pixel blended exactly once with
// dst + (src - dst) * alpha / 255 per colour channel, in integers: the quotient is truncated
// toward zero, so the result is rounded toward dst (250 toward 0 at alpha 10 gives 241).
// The disc covers the pixels whose centres lie within r + 1/2 of the centre pixel's centre
// (dx² + dy² <= r² + r), so it is 2r + 1 pixels across; r = 0 is the centre pixel alone, a negative
// r draws nothing, and so does alpha 0. Clipped to the clip rectangle. On surfaces whose channels
// are whole bytes (24- and 32-bit RGB in any order) each row goes through ByteBlend
// (gfx/byte_blend.h), 16 or 32 bytes at a time with SSE2 or AVX2.
void sge_FilledCircleAlpha(SDL_Surface* surface, Sint16 x, Sint16 y, Sint16 r, Uint8 R, Uint8 G,
                           Uint8 B, Uint8 alpha);

// min + rand() % (max - min + 1): a whole number from min to max inclusive, from the standard
// library's generator (seeded by the caller with srand), so a seed gives the same sequence as SGE.
// Every call takes exactly one rand() value, whatever the arguments. The range is computed in
// 64 bits, so min = INT32_MIN, max = INT32_MAX neither overflows nor divides by zero; max < min
// gives min.
Sint32 sge_Random(Sint32 min, Sint32 max);
