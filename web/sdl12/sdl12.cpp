// The SDL 1.2 layer of the web build: SDL 1.2's surfaces, video mode, blits, fills, pixel
// mapping, events, SDL_image and SDL_mixer calls, carried out by SDL2, SDL2_image and SDL2_mixer
// the way sdl12-compat carries them out on the desktop, so that both builds draw the same pixels.
//
// Every SDL 1.2 surface wraps an SDL2 surface that shares its pixel memory: blits and fills are
// SDL2's, with SDL 1.2's rectangles and flags translated. The screen is a 640 x 480 XRGB8888
// surface whose pixels stay at one address for the whole run. A flip on the page's canvas turns it
// into RGBA bytes with wasm SIMD, 16 bytes at a time, into a buffer of its own that the page's
// ImageData looks at in place, and puts that on the canvas: one conversion and one copy, by the
// browser. On any other video driver (the parity program's dummy one) it goes to SDL2's window
// surface.

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>

#include <dirent.h>
#include <sys/stat.h>

#include <cstddef>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#ifdef __wasm_simd128__
#include <wasm_simd128.h>
#endif
#define ZYPHO_EXPORT extern "C" EMSCRIPTEN_KEEPALIVE
#else
#define ZYPHO_EXPORT extern "C"
#endif

#include "sdl12_types.h"
#include "sdl12_web.h"

namespace {

struct Wrapped {
    SDL12_Surface s;    // what the program sees; first, so a surface pointer is a Wrapped pointer
    SDL12_PixelFormat f;
    SDL_Surface* s20;
    bool screen;
};

Wrapped* wrapped(SDL12_Surface* s) { return reinterpret_cast<Wrapped*>(s); }
const Wrapped* wrapped_format(const SDL12_PixelFormat* f) {
    return reinterpret_cast<const Wrapped*>(reinterpret_cast<const char*>(f) - offsetof(Wrapped, f));
}

SDL12_Surface* wrap(SDL_Surface* s20, Uint32 flags) {
    if (!s20) return nullptr;
    Wrapped* w = new (std::nothrow) Wrapped{};
    if (!w) {
        SDL_FreeSurface(s20);
        SDL_OutOfMemory();
        return nullptr;
    }
    const SDL_PixelFormat* f = s20->format;
    w->s20 = s20;
    w->f.palette = nullptr;  // the program meets no palettized pictures; SDL2's stays with s20
    w->f.BitsPerPixel = f->BitsPerPixel;
    w->f.BytesPerPixel = f->BytesPerPixel;
    w->f.Rloss = f->Rloss;
    w->f.Gloss = f->Gloss;
    w->f.Bloss = f->Bloss;
    w->f.Aloss = f->Aloss;
    w->f.Rshift = f->Rshift;
    w->f.Gshift = f->Gshift;
    w->f.Bshift = f->Bshift;
    w->f.Ashift = f->Ashift;
    w->f.Rmask = f->Rmask;
    w->f.Gmask = f->Gmask;
    w->f.Bmask = f->Bmask;
    w->f.Amask = f->Amask;
    w->f.colorkey = 0;
    w->f.alpha = 255;
    w->s.flags = flags | (f->Amask ? SDL12_SRCALPHA : 0);
    w->s.format = &w->f;
    w->s.w = s20->w;
    w->s.h = s20->h;
    w->s.pitch = static_cast<Uint16>(s20->pitch);
    w->s.pixels = s20->pixels;
    w->s.clip_rect = {static_cast<Sint16>(s20->clip_rect.x), static_cast<Sint16>(s20->clip_rect.y),
                      static_cast<Uint16>(s20->clip_rect.w), static_cast<Uint16>(s20->clip_rect.h)};
    w->s.refcount = 1;
    // SDL 1.2 blends a picture with an alpha channel by default, as SDL2 does.
    SDL_SetSurfaceBlendMode(s20, f->Amask ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
    return &w->s;
}

SDL_Window* window = nullptr;
SDL12_Surface* screen = nullptr;
void* screen_pixels = nullptr;  // allocated once, kept until the page goes: it never moves
Uint32 flips = 0;
double first_flip_ms = 0;  // when the first and the last flip happened (page clock, ms)
double last_flip_ms = 0;

// The post-mix hook the program set, called from ours.
void (*post_mix)(void*, Uint8*, int) = nullptr;
void* post_mix_arg = nullptr;

// What the sound did, for the page and its tests.
constexpr int WATCH_SAMPLES = 1280;  // samples of a chunk kept: one stereo frame per column
Sint16 last_chunk[WATCH_SAMPLES];    // the start of the chunk most recently mixed
Sint16 pass_chunk[WATCH_SAMPLES];    // ... as it was when the last flip happened
Uint32 chunks_mixed = 0;
Uint32 loud_chunks = 0;  // chunks with any sample beyond ±256

void watch_post_mix(void* /*udata*/, Uint8* stream, int len) {
    if (post_mix) post_mix(post_mix_arg, stream, len);
    if (!stream || len <= 0) return;
    const int n = len / 2 < WATCH_SAMPLES ? len / 2 : WATCH_SAMPLES;
    std::memcpy(last_chunk, stream, static_cast<size_t>(n) * 2);
    if (n < WATCH_SAMPLES) std::memset(last_chunk + n, 0, static_cast<size_t>(WATCH_SAMPLES - n) * 2);
    bool loud = false;
    for (int i = 0; i < len / 2 && !loud; ++i) {
        Sint16 v;
        std::memcpy(&v, stream + 2 * i, 2);
        loud = v > 256 || v < -256;
    }
    ++chunks_mixed;
    if (loud) ++loud_chunks;
}

#ifdef __EMSCRIPTEN__
// Puts `width` x `height` RGBA bytes at `rgba` on the page's canvas (Module.canvas), through an
// ImageData that views those bytes in the program's memory: made once, and again only if the
// memory grows (which gives it a new buffer). The canvas has no alpha channel of its own, so the
// browser composes it as opaque.
EM_JS(void, put_on_canvas, (const Uint8* rgba, int width, int height), {
    var c = Module['zyphoCanvas'] || (Module['zyphoCanvas'] = {});
    if (c.canvas !== Module['canvas']) {
        c.canvas = Module['canvas'];
        c.ctx = c.canvas.getContext('2d', { alpha: false });
        c.image = null;
    }
    if (!c.ctx) return;
    if (!c.image || c.buffer !== HEAPU8.buffer) {
        c.buffer = HEAPU8.buffer;
        c.image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4), width, height);
    }
    c.ctx.putImageData(c.image, 0, 0);
});
#endif

// The canvas's copy of the screen: RGBA bytes, allocated with the first flip on the canvas.
Uint8* canvas_pixels = nullptr;
int present_to_canvas = -1;  // unknown until the first flip: whether the video driver is the page's

// XRGB8888 words (bytes B, G, R, X) into RGBA bytes with A = 255, `n` pixels.
void to_rgba(const Uint8* from, Uint8* to, int n) {
    int i = 0;
#ifdef __wasm_simd128__
    const v128_t opaque = wasm_i32x4_splat(static_cast<int>(0xFF000000u));
    for (; i + 4 <= n; i += 4) {
        const v128_t v = wasm_v128_load(from + 4 * i);
        wasm_v128_store(to + 4 * i, wasm_v128_or(wasm_i8x16_shuffle(v, v, 2, 1, 0, 3, 6, 5, 4, 7, 10, 9,
                                                                    8, 11, 14, 13, 12, 15),
                                                 opaque));
    }
#endif
    for (; i < n; ++i) {
        to[4 * i] = from[4 * i + 2];
        to[4 * i + 1] = from[4 * i + 1];
        to[4 * i + 2] = from[4 * i];
        to[4 * i + 3] = 0xFF;
    }
}

void present() {
    if (!window || !screen) return;
#ifdef __EMSCRIPTEN__
    if (present_to_canvas < 0) {
        const char* driver = SDL_GetCurrentVideoDriver();
        present_to_canvas = driver && std::strcmp(driver, "emscripten") == 0;
    }
    if (present_to_canvas) {
        const size_t n = static_cast<size_t>(screen->w) * screen->h;
        if (!canvas_pixels) canvas_pixels = static_cast<Uint8*>(SDL_malloc(n * 4));
        if (!canvas_pixels) return;
        for (int y = 0; y < screen->h; ++y)
            to_rgba(static_cast<const Uint8*>(screen->pixels) + static_cast<size_t>(y) * screen->pitch,
                    canvas_pixels + static_cast<size_t>(y) * screen->w * 4, screen->w);
        put_on_canvas(canvas_pixels, screen->w, screen->h);
        return;
    }
#endif
    SDL_Surface* target = SDL_GetWindowSurface(window);
    if (target) {
        SDL_BlitSurface(wrapped(screen)->s20, nullptr, target, nullptr);
        SDL_UpdateWindowSurface(window);
    }
}

// Pictures decoded ahead of time (zypho_web_decode_pictures): IMG_Load of one of them hands out
// a copy of what it gave then, as long as the file is the same (size and time of change), instead
// of decoding it again. The decoders run in WebAssembly several times slower than natively, and
// the scenes load their sprite strips and glyph sheets while they are built, after the zero
// point; decoded ahead, those loads are copies.
struct Decoded {
    std::string path;
    off_t size;
    time_t changed;
    SDL_Surface* surface;
};
std::vector<Decoded> decoded;

bool file_facts(const char* path, off_t& size, time_t& changed) {
    struct stat st;
    if (stat(path, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    size = st.st_size;
    changed = st.st_mtime;
    return true;
}

// A surface with the same size, format, palette and pixels as `s`; null when out of memory.
SDL_Surface* copy_of(SDL_Surface* s) {
    SDL_Surface* c = SDL_CreateRGBSurfaceWithFormat(0, s->w, s->h, s->format->BitsPerPixel,
                                                    s->format->format);
    if (!c) return nullptr;
    if (s->format->palette && c->format->palette)
        SDL_SetPaletteColors(c->format->palette, s->format->palette->colors, 0,
                             s->format->palette->ncolors);
    const size_t row = static_cast<size_t>(s->w) * s->format->BytesPerPixel;
    for (int y = 0; y < s->h; ++y)
        std::memcpy(static_cast<Uint8*>(c->pixels) + static_cast<size_t>(y) * c->pitch,
                    static_cast<const Uint8*>(s->pixels) + static_cast<size_t>(y) * s->pitch, row);
    // What the loader set on the surface besides its pixels (a PNG's transparent palette entry
    // becomes a colour key, say).
    Uint32 key;
    if (SDL_GetColorKey(s, &key) == 0) SDL_SetColorKey(c, SDL_TRUE, key);
    Uint8 alpha = 255, r = 255, g = 255, b = 255;
    SDL_GetSurfaceAlphaMod(s, &alpha);
    SDL_SetSurfaceAlphaMod(c, alpha);
    SDL_GetSurfaceColorMod(s, &r, &g, &b);
    SDL_SetSurfaceColorMod(c, r, g, b);
    SDL_BlendMode mode = SDL_BLENDMODE_NONE;
    SDL_GetSurfaceBlendMode(s, &mode);
    SDL_SetSurfaceBlendMode(c, mode);
    return c;
}

SDL_Surface* decoded_copy(const char* path) {
    off_t size;
    time_t changed;
    if (!path || !file_facts(path, size, changed)) return nullptr;
    for (const Decoded& d : decoded)
        if (d.path == path && d.size == size && d.changed == changed) return copy_of(d.surface);
    return nullptr;
}

SDL_Rect rect20(const SDL12_Rect& r) { return SDL_Rect{r.x, r.y, r.w, r.h}; }

void store(SDL12_Rect* out, const SDL_Rect& r) {
    out->x = static_cast<Sint16>(r.x);
    out->y = static_cast<Sint16>(r.y);
    out->w = static_cast<Uint16>(r.w > 0 ? r.w : 0);
    out->h = static_cast<Uint16>(r.h > 0 ? r.h : 0);
}

}  // namespace

extern "C" {

int SDL12_Init(Uint32 flags) { return SDL_Init(flags); }

void SDL12_Quit(void) {
    if (screen) {
        Wrapped* w = wrapped(screen);
        SDL_FreeSurface(w->s20);
        delete w;
        screen = nullptr;
    }
    if (window) {
        SDL_DestroyWindow(window);
        window = nullptr;
    }
    post_mix = nullptr;
    SDL_Quit();
}

SDL12_Surface* SDL12_SetVideoMode(int width, int height, int bpp, Uint32 flags) {
    if (bpp != 32 && bpp != 0) {
        SDL_SetError("this build opens 32-bit screens only");
        return nullptr;
    }
    if (width <= 0 || height <= 0) {
        SDL_SetError("invalid screen size %d x %d", width, height);
        return nullptr;
    }
    if (screen) {
        if (screen->w == width && screen->h == height) return screen;
        SDL_SetError("the screen cannot change size");
        return nullptr;
    }
    // The page scales the picture and goes full screen on its own: the window is the canvas.
    window = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height, 0);
    if (!window) return nullptr;
    if (!screen_pixels) screen_pixels = SDL_calloc(static_cast<size_t>(width) * height, 4);
    if (!screen_pixels) {
        SDL_OutOfMemory();
        return nullptr;
    }
    SDL_Surface* s20 = SDL_CreateRGBSurfaceWithFormatFrom(screen_pixels, width, height, 32, width * 4,
                                                          SDL_PIXELFORMAT_RGB888);
    screen = wrap(s20, (flags & SDL12_FULLSCREEN) | SDL12_PREALLOC);
    if (screen) {
        wrapped(screen)->screen = true;
        // The new screen is black, as SDL 1.2 shows it; presenting it now also sets up the way to
        // the canvas (its buffer, its 2D context, its ImageData) before the first flip needs it.
        present();
    }
    return screen;
}

SDL12_Surface* SDL12_GetVideoSurface(void) { return screen; }

int SDL12_Flip(SDL12_Surface* s) {
    if (!s || s != screen) return -1;
    std::memcpy(pass_chunk, last_chunk, sizeof pass_chunk);
    ++flips;
#ifdef __EMSCRIPTEN__
    last_flip_ms = emscripten_get_now();
    if (flips == 1) first_flip_ms = last_flip_ms;
#endif
    present();
    return 0;
}

void SDL12_UpdateRect(SDL12_Surface* s, Sint32, Sint32, Uint32, Uint32) {
    if (s && s == screen) present();
}

void SDL12_WM_SetCaption(const char* title, const char*) {
    if (window && title) SDL_SetWindowTitle(window, title);
}

int SDL12_UpperBlit(SDL12_Surface* src, SDL12_Rect* srcrect, SDL12_Surface* dst, SDL12_Rect* dstrect) {
    if (!src || !dst) return SDL_SetError("SDL_UpperBlit: passed a NULL surface");
    SDL_Rect from{}, to{};
    if (srcrect) from = rect20(*srcrect);
    if (dstrect) to = rect20(*dstrect);
    const int result = SDL_UpperBlit(wrapped(src)->s20, srcrect ? &from : nullptr, wrapped(dst)->s20,
                                     dstrect ? &to : nullptr);
    if (dstrect) store(dstrect, to);
    return result;
}

int SDL12_FillRect(SDL12_Surface* dst, SDL12_Rect* dstrect, Uint32 color) {
    if (!dst) return SDL_SetError("SDL_FillRect: passed a NULL surface");
    SDL_Surface* s20 = wrapped(dst)->s20;
    if (!dstrect) return SDL_FillRect(s20, nullptr, color);
    // SDL 1.2 clips the caller's rectangle in place.
    const SDL_Rect wanted = rect20(*dstrect);
    SDL_Rect clipped{};
    if (!SDL_IntersectRect(&wanted, &s20->clip_rect, &clipped)) {
        clipped.w = 0;
        clipped.h = 0;
    }
    store(dstrect, clipped);
    if (clipped.w <= 0 || clipped.h <= 0) return 0;
    return SDL_FillRect(s20, &clipped, color);
}

Uint32 SDL12_MapRGB(const SDL12_PixelFormat* f, Uint8 r, Uint8 g, Uint8 b) {
    if (!f) return 0;
    return SDL_MapRGB(wrapped_format(f)->s20->format, r, g, b);
}

Uint32 SDL12_MapRGBA(const SDL12_PixelFormat* f, Uint8 r, Uint8 g, Uint8 b, Uint8 a) {
    if (!f) return 0;
    return SDL_MapRGBA(wrapped_format(f)->s20->format, r, g, b, a);
}

void SDL12_GetRGB(Uint32 pixel, const SDL12_PixelFormat* f, Uint8* r, Uint8* g, Uint8* b) {
    if (!f) return;
    SDL_GetRGB(pixel, wrapped_format(f)->s20->format, r, g, b);
}

void SDL12_GetRGBA(Uint32 pixel, const SDL12_PixelFormat* f, Uint8* r, Uint8* g, Uint8* b, Uint8* a) {
    if (!f) return;
    SDL_GetRGBA(pixel, wrapped_format(f)->s20->format, r, g, b, a);
}

int SDL12_SetColorKey(SDL12_Surface* s, Uint32 flag, Uint32 key) {
    if (!s) return SDL_InvalidParamError("surface");
    Wrapped* w = wrapped(s);
    if (flag & SDL12_SRCCOLORKEY) {
        s->flags |= SDL12_SRCCOLORKEY;
        w->f.colorkey = key;
        return SDL_SetColorKey(w->s20, SDL_TRUE, key);
    }
    s->flags &= ~SDL12_SRCCOLORKEY;
    w->f.colorkey = 0;
    return SDL_SetColorKey(w->s20, SDL_FALSE, 0);
}

int SDL12_SetAlpha(SDL12_Surface* s, Uint32 flag, Uint8 alpha) {
    if (!s) return SDL_InvalidParamError("surface");
    Wrapped* w = wrapped(s);
    w->f.alpha = alpha;
    if (flag & SDL12_SRCALPHA) {
        s->flags |= SDL12_SRCALPHA;
        // With an alpha channel SDL 1.2 blends by the pixels' alpha alone.
        SDL_SetSurfaceAlphaMod(w->s20, w->f.Amask ? 255 : alpha);
        return SDL_SetSurfaceBlendMode(w->s20, SDL_BLENDMODE_BLEND);
    }
    s->flags &= ~SDL12_SRCALPHA;
    SDL_SetSurfaceAlphaMod(w->s20, 255);
    return SDL_SetSurfaceBlendMode(w->s20, SDL_BLENDMODE_NONE);
}

SDL_bool SDL12_SetClipRect(SDL12_Surface* s, const SDL12_Rect* rect) {
    if (!s) return SDL_FALSE;
    Wrapped* w = wrapped(s);
    SDL_Rect r{};
    if (rect) r = rect20(*rect);
    const SDL_bool result = SDL_SetClipRect(w->s20, rect ? &r : nullptr);
    store(&s->clip_rect, w->s20->clip_rect);
    return result;
}

int SDL12_LockSurface(SDL12_Surface* s) {
    if (!s) return SDL_InvalidParamError("surface");
    ++s->locked;
    return 0;
}

void SDL12_UnlockSurface(SDL12_Surface* s) {
    if (s && s->locked > 0) --s->locked;
}

void SDL12_FreeSurface(SDL12_Surface* s) {
    if (!s || s == screen) return;  // SDL 1.2 keeps the screen until SDL_Quit
    if (--s->refcount > 0) return;
    Wrapped* w = wrapped(s);
    SDL_FreeSurface(w->s20);
    delete w;
}

int SDL12_PollEvent(SDL12_Event* event) {
    if (!event) return SDL_PollEvent(nullptr);
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        std::memset(event, 0, sizeof *event);
        if (e.type == SDL_QUIT) {
            event->type = SDL12_QUITEVENT;
            return 1;
        }
        if (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) {
            event->key.type = e.type == SDL_KEYDOWN ? SDL12_KEYDOWN : SDL12_KEYUP;
            event->key.state = e.key.state;
            event->key.keysym.scancode = static_cast<Uint8>(e.key.keysym.scancode);
            // Keys of the ASCII range have the same number in both versions.
            event->key.keysym.sym = e.key.keysym.sym < 128 ? e.key.keysym.sym : 0;
            event->key.keysym.mod = e.key.keysym.mod;
            return 1;
        }
    }
    return 0;
}

SDL12_Surface* SDL12_IMG_Load(const char* file) {
    if (SDL_Surface* copy = decoded_copy(file)) return wrap(copy, 0);
    return wrap(IMG_Load(file), 0);
}

int SDL12_Mix_OpenAudio(int frequency, Uint16 format, int channels, int chunksize) {
    // As SDL_mixer 1.2 on the desktop: the device plays what was asked for, whatever rate the
    // browser's sound runs at (SDL2 converts), so the mixer and its post-mix hook see 44100 Hz
    // chunks of `chunksize` frames.
    return Mix_OpenAudioDevice(frequency, format, channels, chunksize, nullptr, 0);
}

void SDL12_Mix_SetPostMix(void (*mix_func)(void*, Uint8*, int), void* arg) {
    // Swapped under the audio lock, as SDL2_mixer does with its own hook.
    SDL_LockAudio();
    post_mix = mix_func;
    post_mix_arg = arg;
    SDL_UnlockAudio();
    Mix_SetPostMix(mix_func ? watch_post_mix : nullptr, nullptr);
}

}  // extern "C"

// Decodes every PNG and JPEG picture in Media/ under the working directory, where the program
// reads them, for IMG_Load to copy later: the page calls it once the media are in place, before
// the start screen. Returns how many pictures it holds.
ZYPHO_EXPORT int zypho_web_decode_pictures(void) {
    const char* folder = "Media";
    DIR* dir = opendir(folder);
    if (!dir) return static_cast<int>(decoded.size());
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        const size_t dot = name.rfind('.');
        const std::string kind = dot == std::string::npos ? "" : name.substr(dot);
        if (kind != ".png" && kind != ".jpg") continue;
        const std::string path = std::string(folder) + "/" + name;
        Decoded d{path, 0, 0, nullptr};
        if (!file_facts(path.c_str(), d.size, d.changed)) continue;
        d.surface = IMG_Load(path.c_str());
        if (d.surface) decoded.push_back(d);
    }
    closedir(dir);
    return static_cast<int>(decoded.size());
}

ZYPHO_EXPORT const Uint8* zypho_web_screen_pixels(void) {
    return screen ? static_cast<const Uint8*>(screen->pixels) : nullptr;
}
ZYPHO_EXPORT Uint32 zypho_web_flips(void) { return flips; }
ZYPHO_EXPORT double zypho_web_first_flip_ms(void) { return first_flip_ms; }
ZYPHO_EXPORT double zypho_web_last_flip_ms(void) { return last_flip_ms; }
ZYPHO_EXPORT const Sint16* zypho_web_pass_chunk(void) { return pass_chunk; }
ZYPHO_EXPORT int zypho_web_pass_chunk_samples(void) { return WATCH_SAMPLES; }
ZYPHO_EXPORT Uint32 zypho_web_chunks_mixed(void) { return chunks_mixed; }
ZYPHO_EXPORT Uint32 zypho_web_loud_chunks(void) { return loud_chunks; }
ZYPHO_EXPORT int zypho_web_music_playing(void) { return Mix_PlayingMusic(); }
