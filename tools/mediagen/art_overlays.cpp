// The keyed overlays (the two logos, the oscilloscope's screen, the greetings sign), the two
// pictures of the shaking-words scene and the caption tile. Keyed art always ends in an ink edge,
// so where it meets the key colour the edge is hard and dark and no key-coloured fringe can show.

#include <algorithm>
#include <cmath>

#include "art.h"

namespace mg {

namespace {

constexpr float PI = 3.14159265358979f;

// A four-pointed sparkle.
Shape sparkle(float cx, float cy, float r) {
    float k = r * 0.22f;
    return polygon({cx, cy - r, cx + k, cy - k, cx + r, cy, cx + k, cy + k, cx, cy + r, cx - k,
                    cy + k, cx - r, cy, cx - k, cy - k});
}

// Chrome ramp: pale top half, a hard horizon, hot lower half.
Paint chrome(float top, float bottom, Rgb a, Rgb b, Rgb c, Rgb d) {
    return [=](float, float y) {
        float t = (y - top) / (bottom - top);
        if (t < 0.5f) return with_alpha(mix(a, b, std::max(0.0f, t) / 0.5f));
        return with_alpha(mix(c, d, std::min(1.0f, (t - 0.5f) / 0.5f)));
    };
}

Shape set_text(const OutlineFont& f, const char* s, float cx, float baseline, float size,
               float size_x = 0, float tracking = 0) {
    std::u32string t = u32(s);
    float w = f.measure(t, size, size_x, tracking);
    return f.text(t, cx - w / 2, baseline, size, size_x, tracking);
}

Paint wood(uint32_t seed) {
    return [=](float x, float y) {
        float n = fbm(x / 90.0f, y / 6.0f, seed, 4);
        return with_alpha(
            mix(pal::brown, pal::wood, 0.3f + 0.9f * n * (0.6f + 0.4f * std::sin(n * 20))));
    };
}

}  // namespace

// Upper logo, 640 × 131: "ZYPHO" in slanted chrome letters with a neon double edge and a deep
// extrusion, speed lines running out on both sides. Rests at y = 0.
Image logo_upper() {
    Image img(640, 131);
    const float base = 104;
    Shape g = sheared(set_text(sans_font(), "ZYPHO", 320, base, 104, 112, 2), 0.16f, base);
    // speed lines, tucked behind the letters
    for (int i = 0; i < 3; ++i) {
        float y = 50.0f + i * 18, len = 76.0f - i * 16;
        Shape l = capsule(14 + i * 8, y, 14 + i * 8 + len, y, 3.5f);
        Shape r = capsule(626 - i * 8 - len, y + 10, 626 - i * 8, y + 10, 3.5f);
        for (const Shape& s : {l, r}) {
            fill(img, grow(s, 2), solid(pal::ink));
            fill(img, s, solid(i == 1 ? pal::cyan : pal::coral));
        }
    }
    for (int k = 9; k >= 1; --k)  // extrusion down and right
        fill(img, moved(grow(g, 6), k * 0.8f, k * 1.0f),
             solid(mix(pal::violet, pal::ink, k / 9.0f)));
    fill(img, grow(g, 6), solid(pal::ink));
    fill(img, grow(g, 4), solid(pal::cyan));
    fill(img, grow(g, 2), solid(pal::ink));
    fill(img, g, chrome(base - 78, base, pal::paper, pal::gold, pal::amber, pal::rose));
    for (auto [x, y, r] :
         {std::tuple{118.0f, 24.0f, 11.0f}, {532.0f, 30.0f, 9.0f}, {470.0f, 14.0f, 6.0f}}) {
        fill(img, grow(sparkle(x, y, r), 1.5f), solid(pal::ink));
        fill(img, sparkle(x, y, r), solid(pal::paper));
    }
    return img;
}

// Lower logo, 640 × 150: "QRV" in cool light-blue letters crossed by sunset bands, extruded in
// deep teal, over the line "half-baked tricks on screen". Rests at y = 326 (306 later).
Image logo_lower() {
    Image img(640, 150);
    const float base = 106;
    Shape g = set_text(sans_font(), "QRV", 320, base, 118, 132, 6);
    for (int i = 0; i < 3; ++i)
        g = subtract(g, box(320, base - 26 + i * 10.0f, 330, 1.2f + i * 0.6f));
    for (int k = 7; k >= 1; --k)
        fill(img, moved(grow(g, 4), k * 1.0f, k * 0.9f),
             solid(mix(pal::deep_teal, pal::ink, k / 7.0f)));
    fill(img, grow(g, 4), solid(pal::ink));
    fill(img, g, chrome(base - 86, base, pal::paper, pal::sky, pal::cyan, pal::teal));
    Shape tag = set_text(sans_font(), "half-baked tricks on screen", 320, 140, 19, 0, 2.5f);
    fill(img, grow(tag, 2.2f), solid(pal::ink));
    fill(img, tag, vgrad(126, 140, {pal::paper, pal::cream, pal::amber}));
    for (auto [x, y, r] : {std::tuple{138.0f, 34.0f, 10.0f}, {505.0f, 52.0f, 12.0f}}) {
        fill(img, grow(sparkle(x, y, r), 1.5f), solid(pal::ink));
        fill(img, sparkle(x, y, r), solid(pal::gold));
    }
    return img;
}

// The oscilloscope, 240 × 150: a small monitor with a dark phosphor screen and a graticule. The
// screen covers every pixel the scene draws on (trace rows 85-114 from column 9 to 230, discs
// around (50, 50) and (100, 50) up to radius 34), so the drawing never lands on the key colour.
Image scope_canvas() {
    Image img(240, 150);
    Shape body = unite(box(120, 68, 117, 66, 14), polygon({84, 128, 156, 128, 170, 148, 70, 148}));
    fill(img, body, solid(pal::ink));
    fill(img, grow(body, -3), vgrad(4, 146, {pal::violet, pal::indigo, pal::night}));
    Shape screen = box(120, 66, 116, 60, 9);
    fill(img, grow(screen, 1), solid(pal::ink));
    fill(img, screen, radial(120, 66, 140, {scale(pal::deep_teal, 1.1f), pal::night, pal::ink}));
    for (int x = 20; x < 236; x += 20)
        fill(img, box(float(x), 66, 0.5f, 58), solid(pal::teal, 0.45f));
    for (int y = 10; y < 126; y += 20)
        fill(img, box(120, float(y) + 6, 114, 0.5f), solid(pal::teal, 0.45f));
    fill(img, box(120, 100, 114, 0.6f), solid(pal::teal, 0.8f));  // the trace's rest line
    for (int k = 0; k < 3; ++k) {
        float x = 40.0f + k * 22;
        fill(img, circle(x, 138, 5), solid(pal::ink));
        fill(img, circle(x, 138, 3.5f), solid(k == 1 ? pal::coral : pal::cream));
    }
    Shape name = set_text(sans_font(), "qrv scope", 170, 143, 11, 0, 1);
    fill(img, name, solid(pal::cream));
    return img;
}

// Greetings sign, 128 × 62: a wooden plank with "greetz" burnt in, screws at its ends and a ring
// through (10, 5), where the hanging line is tied.
Image greet_sign() {
    Image img(128, 62);
    Shape plank = box(64, 36, 60, 23, 6);
    fill(img, grow(plank, 2.5f), solid(pal::ink));
    fill(img, plank, wood(71));
    fill(img, box(64, 16, 56, 1.2f), solid(pal::gold, 0.5f));
    for (float x : {14.0f, 114.0f}) {
        fill(img, circle(x, 36, 3.5f), solid(pal::ink));
        fill(img, circle(x - 0.7f, 35.3f, 1.6f), solid(pal::cream));
    }
    Shape word = set_text(sans_font(), "greetz", 64, 43, 21, 0, 1);
    fill(img, grow(word, 2), solid(pal::ink));
    fill(img, word, vgrad(28, 43, {pal::paper, pal::gold}));
    fill(img, ring(10, 9, 4.5f, 3.4f), solid(pal::ink));
    fill(img, ring(10, 9, 4.5f, 1.4f), solid(pal::cream));
    return img;
}

// Left picture of the shaking words, 330 × 320: a loudspeaker cabinet, drawn at x = -30, so its
// left 30 columns lie off screen.
Image speaker_left() {
    Image img(330, 320, with_alpha(pal::ink));
    fill(img, box(165, 160, 160, 155, 12), vgrad(0, 320, {pal::violet, pal::indigo}));
    fill(img, box(165, 160, 146, 141, 8), solid(pal::ink));
    fill(img, box(165, 160, 143, 138, 7), [](float x, float y) {  // grille cloth
        float v = 0.5f + 0.5f * std::sin(x * 1.3f) * std::sin(y * 1.3f);
        return with_alpha(mix(pal::night, pal::indigo, 0.4f + 0.4f * v));
    });
    const float cx = 180, cy = 196;
    fill(img, circle(cx, cy, 112), solid(pal::ink));
    fill(img, circle(cx, cy, 106), radial(cx - 30, cy - 30, 160, {pal::plum, pal::violet}));
    fill(img, circle(cx, cy, 92), solid(pal::ink));
    fill(img, circle(cx, cy, 89),
         radial(cx - 20, cy - 24, 120, {pal::indigo, pal::night, pal::ink}));
    for (int r = 30; r < 90; r += 12)
        fill(img, ring(cx, cy, float(r), 1.2f), solid(pal::violet, 0.6f));
    fill(img, circle(cx, cy, 30), solid(pal::ink));
    fill(img, circle(cx, cy, 27),
         radial(cx - 10, cy - 10, 40, {pal::paper, pal::gold, pal::amber}));
    for (int i = 0; i < 8; ++i) {
        float a = i * PI / 4;
        fill(img, circle(cx + std::cos(a) * 99, cy + std::sin(a) * 99, 3), solid(pal::cream));
    }
    fill(img, circle(cx, 52, 30), solid(pal::ink));
    fill(img, circle(cx, 52, 26), radial(cx, 52, 26, {pal::plum, pal::violet}));
    fill(img, circle(cx, 52, 12), radial(cx - 4, 48, 16, {pal::paper, pal::sky, pal::teal}));
    fill(img, box(268, 52, 34, 12, 5), solid(pal::ink));
    Shape name = set_text(sans_font(), "qrv", 268, 60, 20, 0, 1);
    fill(img, name, solid(pal::cyan));
    fill(img, box(70, 52, 22, 9, 9), solid(pal::ink));  // bass port
    for (auto [x, y] :
         {std::pair{16.0f, 14.0f}, {314.0f, 14.0f}, {16.0f, 306.0f}, {314.0f, 306.0f}}) {
        fill(img, circle(x, y, 4), solid(pal::ink));
        fill(img, circle(x - 1, y - 1, 2), solid(pal::cream));
    }
    return img;
}

// Right picture of the shaking words, 190 × 340: an amplifier tower with a needle meter, level
// ladders, knobs and a cassette deck.
Image speaker_right() {
    Image img(190, 340, with_alpha(pal::ink));
    fill(img, box(95, 170, 91, 166, 10), vgrad(0, 340, {pal::indigo, pal::night}));
    // needle meter
    fill(img, box(95, 50, 76, 36, 6), solid(pal::ink));
    fill(img, box(95, 50, 72, 32, 5), vgrad(18, 82, {pal::paper, pal::cream, pal::gold}));
    for (int t = 0; t <= 10; ++t) {
        float a = PI * (1.15f + t * 0.07f);
        fill(img,
             capsule(95 + std::cos(a) * 52, 92 + std::sin(a) * 52, 95 + std::cos(a) * 60,
                     92 + std::sin(a) * 60, 1),
             solid(t > 7 ? pal::rose : pal::ink));
    }
    fill(img, capsule(95, 80, 95 + std::cos(PI * 1.72f) * 58, 80 + std::sin(PI * 1.72f) * 58, 1.4f),
         solid(pal::rose));
    Shape name = set_text(sans_font(), "zypho", 95, 80, 11, 0, 1);
    fill(img, name, solid(pal::plum));
    // level ladders
    const int levels[8] = {9, 12, 7, 13, 10, 6, 11, 8};
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 14; ++r) {
            float x = 25.0f + c * 20, y = 226.0f - r * 8;
            Rgb col = r < 8 ? pal::cyan : (r < 12 ? pal::gold : pal::coral);
            bool lit = r < levels[c];
            fill(img, box(x, y, 7, 2.5f, 1), solid(lit ? col : scale(col, 0.25f)));
        }
    // knobs
    for (int k = 0; k < 4; ++k) {
        float x = 32.0f + k * 42;
        fill(img, circle(x, 256, 13), solid(pal::ink));
        fill(img, circle(x, 256, 11), radial(x - 4, 252, 16, {pal::paper, pal::cream, pal::amber}));
        float a = -2.0f + k * 1.1f;
        fill(img, capsule(x, 256, x + std::cos(a) * 9, 256 + std::sin(a) * 9, 1.6f),
             solid(pal::ink));
    }
    // cassette deck
    fill(img, box(95, 304, 76, 24, 5), solid(pal::ink));
    fill(img, box(95, 304, 72, 20, 4), solid(pal::violet));
    fill(img, box(95, 304, 50, 12, 3), solid(pal::ink));
    for (float x : {72.0f, 118.0f}) {
        fill(img, circle(x, 304, 9), solid(pal::cream));
        fill(img, circle(x, 304, 4), solid(pal::ink));
    }
    return img;
}

// Caption tile, 320 × 240, repeating seamlessly: a playful pattern on deep violet (squiggles,
// rings, triangles and dots) with every shape drawn on both sides of each edge it crosses.
Image tile_fg() {
    const int W = 320, H = 240;
    Image img(W, H);
    paint_rect(img, 0, 0, W, H, [](float x, float y) {
        float m = value_noise(x / 80.0f, y / 80.0f, 82, 4);  // repeats every 320 px across
        float k = 0.5f + 0.5f * std::sin(2 * PI * y / 240.0f);
        return with_alpha(mix(mix(pal::indigo, pal::violet, k * 0.6f), pal::night, m * 0.3f));
    });
    auto wrapped = [&](const Shape& s, const Paint& p, float edge) {
        for (int oy = -1; oy <= 1; ++oy)
            for (int ox = -1; ox <= 1; ++ox) {
                Shape m = moved(s, float(ox * W), float(oy * H));
                if (edge > 0) fill(img, grow(m, edge), solid(pal::ink));
                fill(img, m, p);
            }
    };
    Rng rng(83);
    for (int i = 0; i < 16; ++i) {  // dot grid
        for (int j = 0; j < 12; ++j) {
            float x = 10.0f + i * 20, y = 10.0f + j * 20;
            if ((i + j) % 3 == 0) fill(img, circle(x, y, 1.6f), solid(pal::plum));
        }
    }
    for (int i = 0; i < 4; ++i) {  // squiggles
        float x0 = rng.uniform(0, W), y0 = rng.uniform(0, H);
        Shape sq = capsule(x0, y0, x0, y0, 0);
        for (int s = 0; s < 6; ++s) {
            float xa = x0 + s * 12, xb = xa + 12;
            float ya = y0 + ((s % 2) ? 8.0f : -8.0f), yb = y0 + ((s % 2) ? -8.0f : 8.0f);
            sq = unite(sq, capsule(xa, ya, xb, yb, 3.2f));
        }
        wrapped(sq, solid(scale(i % 2 ? pal::cream : pal::gold, 0.8f)), 1.6f);
    }
    for (int i = 0; i < 5; ++i) {  // rings
        float x = rng.uniform(0, W), y = rng.uniform(0, H), r = rng.uniform(9, 16);
        wrapped(ring(x, y, r, 5), solid(scale(i % 2 ? pal::cyan : pal::sky, 0.75f)), 1.6f);
    }
    for (int i = 0; i < 5; ++i) {  // triangles
        float x = rng.uniform(0, W), y = rng.uniform(0, H), r = rng.uniform(10, 15),
              a = rng.uniform(0, 2 * PI);
        std::vector<float> t;
        for (int k = 0; k < 3; ++k) {
            t.push_back(x + std::cos(a + k * 2 * PI / 3) * r);
            t.push_back(y + std::sin(a + k * 2 * PI / 3) * r);
        }
        wrapped(polygon(t), solid(scale(i % 2 ? pal::coral : pal::rose, 0.8f)), 1.6f);
    }
    for (int i = 0; i < 6; ++i) {  // crosses
        float x = rng.uniform(0, W), y = rng.uniform(0, H), r = 6;
        wrapped(
            unite(capsule(x - r, y - r, x + r, y + r, 2), capsule(x - r, y + r, x + r, y - r, 2)),
            solid(scale(pal::amber, 0.8f)), 1.4f);
    }
    return img;
}

}  // namespace mg
