#pragma once
// The SDL 1.2 API as this program uses it, for the web build: a thin layer over SDL2 (sdl12.cpp).
// Types and constants keep their SDL 1.2 names and values; functions whose SDL2 namesake differs
// are routed to the layer's SDL12_* functions.

#include <stddef.h>

#include "../sdl12_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef SDL12_Rect SDL_Rect;
typedef SDL12_Color SDL_Color;
typedef SDL12_Palette SDL_Palette;
typedef SDL12_PixelFormat SDL_PixelFormat;
typedef SDL12_Surface SDL_Surface;
typedef SDL12_keysym SDL_keysym;
typedef SDL12_KeyboardEvent SDL_KeyboardEvent;
typedef SDL12_Event SDL_Event;
typedef enum { SDL_FALSE = 0, SDL_TRUE = 1 } SDL_bool;

#define SDL_LIL_ENDIAN 1234
#define SDL_BIG_ENDIAN 4321
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
#define SDL_BYTEORDER SDL_BIG_ENDIAN
#else
#define SDL_BYTEORDER SDL_LIL_ENDIAN
#endif

#define SDL_INIT_TIMER 0x00000001u
#define SDL_INIT_AUDIO 0x00000010u
#define SDL_INIT_VIDEO 0x00000020u

#define SDL_SWSURFACE SDL12_SWSURFACE
#define SDL_HWSURFACE SDL12_HWSURFACE
#define SDL_ASYNCBLIT SDL12_ASYNCBLIT
#define SDL_HWACCEL SDL12_HWACCEL
#define SDL_SRCCOLORKEY SDL12_SRCCOLORKEY
#define SDL_RLEACCELOK SDL12_RLEACCELOK
#define SDL_RLEACCEL SDL12_RLEACCEL
#define SDL_SRCALPHA SDL12_SRCALPHA
#define SDL_PREALLOC SDL12_PREALLOC
#define SDL_FULLSCREEN SDL12_FULLSCREEN

#define SDL_ALPHA_OPAQUE 255
#define SDL_ALPHA_TRANSPARENT 0

#define SDL_MUSTLOCK(surface) \
    ((surface)->offset || (((surface)->flags & (SDL_HWSURFACE | SDL_ASYNCBLIT | SDL_RLEACCEL)) != 0))

#define SDL_NOEVENT SDL12_NOEVENT
#define SDL_ACTIVEEVENT SDL12_ACTIVEEVENT
#define SDL_KEYDOWN SDL12_KEYDOWN
#define SDL_KEYUP SDL12_KEYUP
#define SDL_QUIT SDL12_QUITEVENT

// Key symbols: SDL 1.2 numbers the keys of the ASCII range by their character.
#define SDLK_UNKNOWN 0
#define SDLK_BACKSPACE 8
#define SDLK_TAB 9
#define SDLK_RETURN 13
#define SDLK_ESCAPE 27
#define SDLK_SPACE 32

#define AUDIO_U8 0x0008
#define AUDIO_S8 0x8008
#define AUDIO_U16LSB 0x0010
#define AUDIO_S16LSB 0x8010
#define AUDIO_S16SYS AUDIO_S16LSB

// Start-up and time: SDL2's own functions behave as SDL 1.2's.
int SDL12_Init(Uint32 flags);
void SDL12_Quit(void);
const char* SDL_GetError(void);
Uint32 SDL_GetTicks(void);
#define SDL_Init SDL12_Init
#define SDL_Quit SDL12_Quit

// Video.
SDL_Surface* SDL12_SetVideoMode(int width, int height, int bpp, Uint32 flags);
SDL_Surface* SDL12_GetVideoSurface(void);
int SDL12_Flip(SDL_Surface* screen);
void SDL12_UpdateRect(SDL_Surface* screen, Sint32 x, Sint32 y, Uint32 w, Uint32 h);
void SDL12_WM_SetCaption(const char* title, const char* icon);
#define SDL_SetVideoMode SDL12_SetVideoMode
#define SDL_GetVideoSurface SDL12_GetVideoSurface
#define SDL_Flip SDL12_Flip
#define SDL_UpdateRect SDL12_UpdateRect
#define SDL_WM_SetCaption SDL12_WM_SetCaption

// Surfaces.
int SDL12_UpperBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect);
int SDL12_FillRect(SDL_Surface* dst, SDL_Rect* dstrect, Uint32 color);
Uint32 SDL12_MapRGB(const SDL_PixelFormat* format, Uint8 r, Uint8 g, Uint8 b);
Uint32 SDL12_MapRGBA(const SDL_PixelFormat* format, Uint8 r, Uint8 g, Uint8 b, Uint8 a);
void SDL12_GetRGB(Uint32 pixel, const SDL_PixelFormat* format, Uint8* r, Uint8* g, Uint8* b);
void SDL12_GetRGBA(Uint32 pixel, const SDL_PixelFormat* format, Uint8* r, Uint8* g, Uint8* b, Uint8* a);
int SDL12_SetColorKey(SDL_Surface* surface, Uint32 flag, Uint32 key);
int SDL12_SetAlpha(SDL_Surface* surface, Uint32 flag, Uint8 alpha);
SDL_bool SDL12_SetClipRect(SDL_Surface* surface, const SDL_Rect* rect);
int SDL12_LockSurface(SDL_Surface* surface);
void SDL12_UnlockSurface(SDL_Surface* surface);
void SDL12_FreeSurface(SDL_Surface* surface);
#define SDL_UpperBlit SDL12_UpperBlit
#define SDL_BlitSurface SDL12_UpperBlit
#define SDL_FillRect SDL12_FillRect
#define SDL_MapRGB SDL12_MapRGB
#define SDL_MapRGBA SDL12_MapRGBA
#define SDL_GetRGB SDL12_GetRGB
#define SDL_GetRGBA SDL12_GetRGBA
#define SDL_SetColorKey SDL12_SetColorKey
#define SDL_SetAlpha SDL12_SetAlpha
#define SDL_SetClipRect SDL12_SetClipRect
#define SDL_LockSurface SDL12_LockSurface
#define SDL_UnlockSurface SDL12_UnlockSurface
#define SDL_FreeSurface SDL12_FreeSurface

// Events.
int SDL12_PollEvent(SDL_Event* event);
#define SDL_PollEvent SDL12_PollEvent

#ifdef __cplusplus
}
#endif
