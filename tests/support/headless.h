#pragma once
// Test fixtures: a headless display, a scripted clock, and media files made on the spot.

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gfx/clock.h"

// SDL with the video (and audio) subsystem on the dummy drivers and the demo's 640 × 480 × 32
// full-screen mode. Shuts SDL down when it goes.
class HeadlessScreen {
public:
    explicit HeadlessScreen(Uint32 subsystems = SDL_INIT_VIDEO);
    ~HeadlessScreen();
    HeadlessScreen(const HeadlessScreen&) = delete;
    HeadlessScreen& operator=(const HeadlessScreen&) = delete;

    SDL_Surface* surface() const { return screen_; }
    // The pixel at (x, y) of the screen as RGB packed 0xRRGGBB.
    Uint32 rgb(int x, int y) const;
    void fill(Uint8 r, Uint8 g, Uint8 b);

private:
    SDL_Surface* screen_ = nullptr;
};

// A clock that tells the tick count the test sets. Every reading advances it by `step` ms, and
// `on_read` (when set) sees each reading: the end-to-end test uses it to press Escape at a chosen
// moment.
class FakeClock final : public Clock {
public:
    explicit FakeClock(Uint32 start = 0, Uint32 step = 0) : now(start), step(step) {}
    Uint32 ticks() override;

    Uint32 now;
    Uint32 step;
    int reads = 0;
    std::function<void(Uint32)> on_read;
};

// A fresh directory with a Media/ folder in it that becomes the working directory for the test's
// lifetime (the demo opens every file relative to the working directory). Removed afterwards.
class MediaDir {
public:
    MediaDir();
    ~MediaDir();
    MediaDir(const MediaDir&) = delete;
    MediaDir& operator=(const MediaDir&) = delete;

    std::string path(const std::string& name) const;  // Media/<name>, absolute

    // Writes Media/<name> as a PNG from 0xAARRGGBB pixels, row by row (alpha kept only when
    // `alpha` is set; otherwise an RGB PNG, as the keyed images are).
    void write_png(const std::string& name, int w, int h, const std::vector<Uint32>& argb,
                   bool alpha = false) const;
    // A w × h PNG of one colour.
    void write_solid(const std::string& name, int w, int h, Uint32 rgb) const;
    // A horizontal strip of k frames, frame i filled with frame_colour(i), opaque.
    void write_strip(const std::string& name, int frame_w, int h, int k) const;
    // A glyph sheet of 45 cells, cell i filled with cell_colour(i) except a one-pixel border
    // of the key colour around each cell.
    void write_glyph_sheet(const std::string& name, int cell_w, int cell_h) const;
    // A short stereo Ogg Vorbis track of a sine tone (what the mixer needs to start).
    void write_track(const std::string& name, double seconds) const;
    // Every file the demo loads, made of solid colours, strips and sheets as above.
    void write_all() const;

private:
    std::string root_;
    std::string previous_cwd_;
};

// Colours that tell fixtures apart in failure messages: unique per frame and per glyph cell.
Uint32 frame_colour(int frame);  // 0xRRGGBB
Uint32 cell_colour(int cell);    // 0xRRGGBB

// The pixel at (x, y) of any surface (of 1 to 4 bytes per pixel) as 0xRRGGBB.
Uint32 rgb_at(const SDL_Surface* surface, int x, int y);

// An RGB surface made in memory, 32 bits per pixel.
SDL_Surface* make_rgb_surface(int w, int h, Uint32 fill_rgb);

// Packs r, g, b as 0xRRGGBB.
constexpr Uint32 rgb(Uint8 r, Uint8 g, Uint8 b) { return (Uint32(r) << 16) | (Uint32(g) << 8) | b; }
