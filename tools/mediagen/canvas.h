#pragma once
// The drawing kit of the media generator: float RGBA images, shapes given as signed distance
// functions (anti-aliased by their distance, outlined by growing them), paints, and hashed noise.
// Everything is deterministic: no clock, no global random generator.

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mg {

struct Rgb {
    float r, g, b;  // 0..255
};

struct Rgba {
    float r, g, b;  // 0..255, not premultiplied
    float a;        // 0..1
};

inline Rgba with_alpha(Rgb c, float a = 1.0f) { return {c.r, c.g, c.b, a}; }
Rgb mix(Rgb a, Rgb b, float t);  // t = 0 gives a, 1 gives b
Rgb scale(Rgb c, float k);       // brightness, clamped to 0..255

// One palette for every file: dusk colours built around the warm curve colour (248, 225, 170)
// of the Bezier web and oscilloscope and the light blue (0, 215, 246) of the end screen. Nothing
// in it comes near the key colour (129, 255, 129).
namespace pal {
constexpr Rgb ink{18, 13, 40};    // outlines, deepest shadow
constexpr Rgb night{34, 24, 72};  // night sky
constexpr Rgb indigo{52, 38, 110};
constexpr Rgb violet{96, 56, 150};
constexpr Rgb plum{150, 60, 138};
constexpr Rgb rose{222, 86, 120};
constexpr Rgb coral{244, 110, 96};
constexpr Rgb amber{252, 168, 72};
constexpr Rgb gold{255, 206, 110};
constexpr Rgb cream{248, 225, 170};  // the curve colour
constexpr Rgb paper{255, 246, 226};
constexpr Rgb cyan{0, 215, 246};  // the end screen
constexpr Rgb sky{120, 232, 255};
constexpr Rgb teal{20, 118, 158};
constexpr Rgb deep_teal{14, 62, 96};
constexpr Rgb brown{110, 58, 52};
constexpr Rgb wood{168, 92, 62};
}  // namespace pal

struct Image {
    int w = 0, h = 0;
    std::vector<float> px;  // premultiplied: r·a, g·a, b·a in 0..255, then a in 0..1

    Image() = default;
    Image(int width, int height, Rgba fill = {0, 0, 0, 0});

    Rgba get(int x, int y) const;  // not premultiplied
    void set(int x, int y, Rgba c);
    // Puts colour c with coverage k (0..1) over the pixel.
    void blend(int x, int y, Rgba c, float k);
    // Copies `src` with its top-left at (x, y), "over" compositing, clipped.
    void draw(const Image& src, int x, int y, float opacity = 1.0f);
};

// A shape: the signed distance in pixels from a point to its edge (negative inside) and a box
// that holds every point the shape or its anti-aliased edge can touch.
struct Shape {
    std::function<float(float, float)> d;
    float x0, y0, x1, y1;
};

Shape circle(float cx, float cy, float r);
Shape ellipse(float cx, float cy, float rx, float ry);
Shape box(float cx, float cy, float hw, float hh, float round = 0.0f);
Shape capsule(float ax, float ay, float bx, float by, float r);
Shape polygon(std::vector<float> xy);                  // x0, y0, x1, y1, ...
Shape ring(float cx, float cy, float r, float width);  // circle outline of that stroke width
Shape grow(const Shape& s, float by);                  // by > 0 widens the shape
Shape unite(const Shape& a, const Shape& b);
Shape intersect(const Shape& a, const Shape& b);
Shape subtract(const Shape& a, const Shape& b);
Shape rotated(const Shape& s, float cx, float cy, float radians);
Shape moved(const Shape& s, float dx, float dy);
// Slanted like italics: a point at height y moves right by k × (y0 - y).
Shape sheared(const Shape& s, float k, float y0);
// Scaled by (sx, sy) about (cx, cy); the distance is scaled by the smaller factor.
Shape scaled(const Shape& s, float cx, float cy, float sx, float sy);
// A shape whose distance is sampled from a grid (one value per pixel of a grid scaled by
// 1 / `scale` from the image), placed with the grid's top-left at (x, y).
Shape field(std::vector<float> dist, int gw, int gh, float scale, float x, float y);

using Paint = std::function<Rgba(float, float)>;
Paint solid(Rgb c, float a = 1.0f);
Paint vgrad(float y0, float y1, std::vector<Rgb> stops);  // evenly spaced stops, top to bottom
Paint hgrad(float x0, float x1, std::vector<Rgb> stops);
Paint radial(float cx, float cy, float r, std::vector<Rgb> stops);

void fill(Image& img, const Shape& s, const Paint& p, float opacity = 1.0f);
// The shape filled with p and edged by an outline `width` px wide in `edge`.
void fill_outlined(Image& img, const Shape& s, const Paint& p, Rgb edge, float width);
// Every pixel of a rectangle set from a function of its centre (not blended).
void paint_rect(Image& img, int x0, int y0, int x1, int y1, const Paint& p);

// Deterministic random numbers: a 64-bit hash of integers.
uint64_t hash64(uint64_t a, uint64_t b = 0, uint64_t c = 0);
float hash01(uint64_t a, uint64_t b = 0, uint64_t c = 0);  // 0..1

// Smooth value noise and its fractal sum, 0..1. With a period (in lattice cells), the noise
// repeats across it, for tiles.
float value_noise(float x, float y, uint32_t seed, int period = 0);
float fbm(float x, float y, uint32_t seed, int octaves, int period = 0);

// A small, seeded generator for layouts (stars, particles).
struct Rng {
    uint64_t s;
    explicit Rng(uint64_t seed) : s(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t next();
    float uniform(float lo, float hi);
    int range(int lo, int hi);  // lo..hi inclusive
};

}  // namespace mg
