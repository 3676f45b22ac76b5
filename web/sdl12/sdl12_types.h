#pragma once
// The SDL 1.2 data types as the program sees them, under names of their own (SDL12_*), so that the
// layer's implementation can include them next to SDL2's headers. include/SDL.h gives them their
// SDL 1.2 names. The layouts are SDL 1.2's.

#include <stdint.h>

typedef uint8_t Uint8;
typedef int8_t Sint8;
typedef uint16_t Uint16;
typedef int16_t Sint16;
typedef uint32_t Uint32;
typedef int32_t Sint32;
typedef uint64_t Uint64;
typedef int64_t Sint64;

#ifdef __cplusplus
extern "C" {
#endif

typedef struct SDL12_Rect {
    Sint16 x, y;
    Uint16 w, h;
} SDL12_Rect;

typedef struct SDL12_Color {
    Uint8 r, g, b, unused;
} SDL12_Color;

typedef struct SDL12_Palette {
    int ncolors;
    SDL12_Color* colors;
} SDL12_Palette;

typedef struct SDL12_PixelFormat {
    SDL12_Palette* palette;
    Uint8 BitsPerPixel;
    Uint8 BytesPerPixel;
    Uint8 Rloss, Gloss, Bloss, Aloss;
    Uint8 Rshift, Gshift, Bshift, Ashift;
    Uint32 Rmask, Gmask, Bmask, Amask;
    Uint32 colorkey;  // the transparent pixel value, with SDL12_SRCCOLORKEY
    Uint8 alpha;      // the surface's alpha, with SDL12_SRCALPHA
} SDL12_PixelFormat;

typedef struct SDL12_Surface {
    Uint32 flags;
    SDL12_PixelFormat* format;
    int w, h;
    Uint16 pitch;
    void* pixels;
    int offset;
    void* hwdata;
    SDL12_Rect clip_rect;
    Uint32 unused1;
    Uint32 locked;
    void* map;
    unsigned int format_version;
    int refcount;
} SDL12_Surface;

typedef struct SDL12_keysym {
    Uint8 scancode;
    int sym;
    int mod;
    Uint16 unicode;
} SDL12_keysym;

typedef struct SDL12_KeyboardEvent {
    Uint8 type;
    Uint8 which;
    Uint8 state;
    SDL12_keysym keysym;
} SDL12_KeyboardEvent;

typedef union SDL12_Event {
    Uint8 type;
    SDL12_KeyboardEvent key;
    Uint8 padding[24];
} SDL12_Event;

// Surface flags.
#define SDL12_SWSURFACE 0x00000000u
#define SDL12_HWSURFACE 0x00000001u
#define SDL12_ASYNCBLIT 0x00000004u
#define SDL12_HWACCEL 0x00000100u
#define SDL12_SRCCOLORKEY 0x00001000u
#define SDL12_RLEACCELOK 0x00002000u
#define SDL12_RLEACCEL 0x00004000u
#define SDL12_SRCALPHA 0x00010000u
#define SDL12_PREALLOC 0x01000000u
#define SDL12_FULLSCREEN 0x80000000u

// Event types.
#define SDL12_NOEVENT 0
#define SDL12_ACTIVEEVENT 1
#define SDL12_KEYDOWN 2
#define SDL12_KEYUP 3
#define SDL12_QUITEVENT 12

#ifdef __cplusplus
}
#endif
