// The full-screen pictures: the opening sunset, the night background with its hidden sunburst,
// the greetings dawn, the credits meadow, the shaking-words burst and the TV set around the
// plasma. All share the dusk palette of canvas.h.

#include <algorithm>
#include <cmath>

#include "art.h"

namespace mg {

namespace {

constexpr float PI = 3.14159265358979f;

void sky(Image& img, int x0, int x1, float y0, float y1, std::vector<Rgb> stops) {
    paint_rect(img, x0, 0, x1, img.h, vgrad(y0, y1, std::move(stops)));
}

// A soft round light: colour laid over with coverage falling from `strength` at the centre to 0
// at radius r.
void glow(Image& img, float cx, float cy, float r, Rgb c, float strength) {
    int x0 = std::max(0, int(cx - r)), x1 = std::min(img.w - 1, int(cx + r));
    int y0 = std::max(0, int(cy - r)), y1 = std::min(img.h - 1, int(cy + r));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float d =
                std::sqrt((x + 0.5f - cx) * (x + 0.5f - cx) + (y + 0.5f - cy) * (y + 0.5f - cy)) /
                r;
            if (d >= 1) continue;
            float k = (1 - d) * (1 - d);
            img.blend(x, y, with_alpha(c), k * strength);
        }
}

// Stars between columns x0..x1 and rows 0..ymax: dots of a few brightnesses, some with a cross.
void stars(Image& img, uint64_t seed, int count, int x0, int x1, int ymax) {
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        float x = rng.uniform(float(x0), float(x1)), y = rng.uniform(0, float(ymax));
        float b = rng.uniform(0.3f, 1.0f);
        Rgb c = rng.range(0, 5) == 0 ? pal::sky : (rng.range(0, 3) == 0 ? pal::gold : pal::paper);
        float r = 0.5f + 0.9f * b * b;
        fill(img, circle(x, y, r), solid(c, b));
        if (b > 0.9f) {
            glow(img, x, y, 7, c, 0.35f);
            fill(img, capsule(x - 5, y, x + 5, y, 0.4f), solid(c, 0.6f));
            fill(img, capsule(x, y - 5, x, y + 5, 0.4f), solid(c, 0.6f));
        }
    }
}

// A mountain ridge: everything below a noisy line, over columns x0..x1.
void ridge(Image& img, uint32_t seed, int x0, int x1, float base, float amp, float scale, Paint p) {
    for (int x = x0; x < x1; ++x) {
        float top = base - amp * fbm(float(x) / scale, 0.5f, seed, 5);
        for (int y = std::max(0, int(top) - 1); y < img.h; ++y) {
            float cov = std::max(0.0f, std::min(1.0f, float(y) + 1.0f - top));
            img.blend(x, y, p(x + 0.5f, y + 0.5f), cov);
        }
    }
}

// Lettering with an ink edge and an optional soft glow behind it.
void label(Image& img, const OutlineFont& font, const std::string& s, float cx, float baseline,
           float size, Paint p, float edge, float tracking = 0) {
    std::u32string t = u32(s);
    float w = font.measure(t, size, 0, tracking);
    Shape g = font.text(t, cx - w / 2, baseline, size, 0, tracking);
    fill(img, grow(g, edge), solid(pal::ink));
    fill(img, g, p);
}

// Wood: warm browns with long grain along x.
Paint wood_grain(uint32_t seed, Rgb light, Rgb dark) {
    return [=](float x, float y) {
        float n = fbm(x / 160.0f, y / 9.0f, seed, 4);
        float rings = 0.5f + 0.5f * std::sin(n * 18.0f + y * 0.05f);
        return with_alpha(mix(dark, light, 0.35f + 0.65f * rings * n));
    };
}

}  // namespace

// Opening picture: a striped sun setting behind violet mountains over a glowing grid floor, with
// "qrv presents" in the sky. The brightest parts (sun, grid, stars) come up first in the fade.
Image picture_aa() {
    Image img(640, 480);
    sky(img, 0, 640, 0, 300, {pal::ink, pal::night, pal::violet, pal::plum, pal::rose, pal::coral});
    stars(img, 11, 140, 0, 640, 190);
    // sun: gold to coral, cut by horizontal bands that widen towards the horizon
    Shape sun = circle(320, 250, 118);
    for (int i = 0; i < 7; ++i) {
        float y = 176 + i * 13.0f + i * i * 1.2f, hh = 0.7f + i * 0.75f;
        sun = subtract(sun, box(320, y, 200, hh));
    }
    glow(img, 320, 250, 230, pal::coral, 0.45f);
    fill(img, sun, vgrad(132, 300, {pal::paper, pal::gold, pal::amber, pal::coral, pal::rose}));
    // mountains: two layers
    ridge(img, 3, 0, 640, 300, 90, 150, vgrad(210, 310, {pal::violet, pal::indigo}));
    ridge(img, 5, 0, 640, 312, 48, 90, vgrad(260, 320, {pal::indigo, pal::night}));
    // floor with a perspective grid
    paint_rect(img, 0, 300, 640, 480, vgrad(300, 480, {pal::night, pal::ink}));
    for (int i = 1; i < 14; ++i) {  // horizontal lines closing in towards the horizon
        float y = 300 + 180.0f * std::pow(i / 13.0f, 2.2f);
        fill(img, capsule(-10, y, 650, y, 0.6f + i * 0.06f), solid(pal::cyan, 0.35f + i * 0.045f));
    }
    for (int i = -14; i <= 14; ++i) {  // lines running to the vanishing point
        float xb = 320 + i * 70.0f;
        fill(img, capsule(320 + i * 6.0f, 300, xb, 480, 0.9f), solid(pal::cyan, 0.75f));
    }
    glow(img, 320, 300, 320, pal::rose, 0.25f);
    paint_rect(img, 0, 298, 640, 301, solid(pal::gold));
    label(img, sans_font(), "qrv presents", 320, 92, 40,
          vgrad(60, 92, {pal::paper, pal::cream, pal::amber}), 2.5f, 6);
    return img;
}

// Common background, 1280 × 480. Columns 0-639: a calm night sky over layered hills and a quiet
// crescent moon, dark enough for the logos, captions, curves and bars drawn over it. Columns
// 640-1279: the hidden picture the worm uncovers, a loud sunburst with rings and a grinning sun
// centred on the crossing of the worm's figure eight.
Image picture_fd() {
    Image img(1280, 480);
    // --- visible half ---
    sky(img, 0, 640, 0, 420, {pal::ink, pal::night, pal::indigo, pal::violet, pal::plum});
    for (int y = 0; y < 420; ++y)  // faint haze drifting across the sky
        for (int x = 0; x < 640; ++x) {
            float n = fbm(x / 140.0f, y / 70.0f, 21, 5);
            float k = std::max(0.0f, n - 0.48f) * 0.9f;
            img.blend(x, y, with_alpha(mix(pal::teal, pal::plum, x / 640.0f)), k);
        }
    stars(img, 22, 190, 0, 640, 330);
    glow(img, 566, 214, 90, pal::cream, 0.25f);
    fill(img, subtract(circle(566, 214, 30), circle(580, 204, 27)), solid(pal::cream));
    ridge(img, 7, 0, 640, 392, 110, 170, vgrad(280, 420, {pal::violet, pal::indigo}));
    ridge(img, 8, 0, 640, 430, 70, 110, vgrad(340, 460, {pal::indigo, pal::night}));
    ridge(img, 9, 0, 640, 468, 40, 70, solid(pal::ink));
    Rng lights(23);  // a few lit windows in the valley
    for (int i = 0; i < 40; ++i) {
        float x = lights.uniform(10, 630), y = lights.uniform(448, 474);
        fill(img, box(x, y, 1.2f, 1.6f), solid(lights.range(0, 2) ? pal::gold : pal::cream, 0.9f));
    }

    // --- hidden half: a sunburst centred where the worm's path crosses itself ---
    const float cx = 640 + 320, cy = 240;
    paint_rect(img, 640, 0, 1280, 480, [=](float x, float y) {
        float a = std::atan2(y - cy, x - cx),
              r = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
        bool ray = std::fmod(a + 4 * PI + 0.0002f * r, 2 * PI / 18) < PI / 18;
        Rgb base = ray ? pal::gold : pal::coral;
        float ringt = 0.5f + 0.5f * std::sin(r / 11.0f);
        Rgb ring = r < 120 ? pal::paper : (std::fmod(r, 96.0f) < 48 ? pal::cyan : pal::plum);
        Rgb c = mix(base, ring, 0.30f * ringt);
        return with_alpha(mix(c, pal::rose, std::min(1.0f, r / 520.0f) * 0.6f));
    });
    // checkered bands along rows, so every stretch of the trail shows a pattern
    for (int y = 0; y < 480; ++y)
        for (int x = 640; x < 1280; ++x)
            if (((x / 24) + (y / 24)) % 2 == 0) img.blend(x, y, with_alpha(pal::paper), 0.12f);
    // the grinning sun
    glow(img, cx, cy, 170, pal::paper, 0.6f);
    fill_outlined(img, circle(cx, cy, 92),
                  radial(cx - 30, cy - 30, 150, {pal::paper, pal::gold, pal::amber}), pal::ink, 4);
    fill(img, ellipse(cx - 32, cy - 22, 11, 16), solid(pal::ink));
    fill(img, ellipse(cx + 32, cy - 22, 11, 16), solid(pal::ink));
    fill(img, circle(cx - 28, cy - 28, 4), solid(pal::paper));
    fill(img, circle(cx + 36, cy - 28, 4), solid(pal::paper));
    fill(img, subtract(circle(cx, cy + 8, 52), box(cx, cy - 20, 70, 40)), solid(pal::ink));
    fill(img, subtract(circle(cx, cy + 8, 44), box(cx, cy - 14, 70, 40)), solid(pal::rose));
    fill(img, ellipse(cx - 58, cy + 16, 13, 8), solid(pal::coral, 0.7f));
    fill(img, ellipse(cx + 58, cy + 16, 13, 8), solid(pal::coral, 0.7f));
    // "qrv" up in the two loops of the eight
    label(img, sans_font(), "qrv", 640 + 130, 250, 64, solid(pal::paper), 4);
    label(img, sans_font(), "qrv", 640 + 510, 250, 64, solid(pal::paper), 4);
    return img;
}

// Greetings backdrop: a pale dawn with drifting clouds over rose hills, and a wooden beam along
// the top edge with a nail where each sign's line is tied (x = 100, 200, 250, 300).
Image picture_fa() {
    Image img(640, 480);
    sky(img, 0, 640, 0, 480, {pal::paper, pal::cream, pal::gold, pal::amber, pal::coral});
    glow(img, 500, 330, 260, pal::paper, 0.6f);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 640; ++x) {
            float n = fbm(x / 120.0f, y / 45.0f, 31, 5);
            float k = std::max(0.0f, std::min(1.0f, (n - 0.52f) * 5.0f));
            if (k > 0) {
                float shade = fbm(x / 60.0f, (y + 9) / 30.0f, 32, 3);
                img.blend(
                    x, y,
                    with_alpha(mix(pal::paper, pal::rose, 0.15f + 0.5f * shade * (y / 400.0f))),
                    k * 0.85f);
            }
        }
    ridge(img, 33, 0, 640, 420, 80, 160, vgrad(330, 440, {pal::rose, pal::plum}));
    ridge(img, 34, 0, 640, 455, 50, 90, vgrad(390, 480, {pal::plum, pal::violet}));
    Rng birds(35);
    for (int i = 0; i < 7; ++i) {
        float x = birds.uniform(360, 620), y = birds.uniform(150, 280), s = birds.uniform(4, 7);
        fill(img, capsule(x - s, y - s * 0.5f, x, y, 0.9f), solid(pal::violet));
        fill(img, capsule(x, y, x + s, y - s * 0.5f, 0.9f), solid(pal::violet));
    }
    paint_rect(img, 0, 0, 640, 14, wood_grain(36, pal::wood, pal::brown));
    paint_rect(img, 0, 14, 640, 17, solid(pal::ink));
    for (int i = 0; i < 6; ++i) fill(img, box(40.0f + i * 112, 7, 1, 5), solid(pal::brown));
    const float nails[4] = {100, 200, 250, 300};
    for (float x : nails) {
        fill(img, circle(x, 5, 4), solid(pal::ink));
        fill(img, circle(x - 1, 4, 2), solid(pal::cream));
    }
    return img;
}

// Credits backdrop: a twilight meadow: the sky fading from indigo to rose over rolling teal hills
// dotted with flowers, fireflies in the air. The left half stays open for the credit lines.
Image picture_fc() {
    Image img(640, 480);
    sky(img, 0, 640, 0, 360, {pal::night, pal::indigo, pal::violet, pal::plum, pal::rose});
    stars(img, 41, 80, 0, 640, 200);
    glow(img, 470, 340, 220, pal::amber, 0.35f);
    fill(img, circle(470, 340, 46), vgrad(294, 340, {pal::gold, pal::coral}));
    ridge(img, 42, 0, 640, 360, 60, 220, vgrad(300, 380, {pal::teal, pal::deep_teal}));
    ridge(img, 43, 0, 640, 400, 50, 140, vgrad(350, 420, {pal::deep_teal, pal::night}));
    ridge(img, 44, 0, 640, 445, 30, 90, vgrad(410, 480, {pal::night, pal::ink}));
    Rng rng(45);
    for (int i = 0; i < 160; ++i) {  // flowers, larger towards the front
        float y = rng.uniform(370, 478), x = rng.uniform(0, 640);
        float s = 0.8f + (y - 370) / 40.0f;
        Rgb c =
            std::vector<Rgb>{pal::gold, pal::cream, pal::rose, pal::coral}[size_t(rng.range(0, 3))];
        fill(img, capsule(x, y, x, y + s * 3, 0.5f), solid(pal::teal));
        for (int p = 0; p < 5; ++p) {
            float a = p * 2 * PI / 5;
            fill(img, circle(x + std::cos(a) * s, y + std::sin(a) * s, s * 0.7f), solid(c));
        }
        fill(img, circle(x, y, s * 0.5f), solid(pal::amber));
    }
    for (int i = 0; i < 26; ++i) {  // fireflies
        float x = rng.uniform(300, 640), y = rng.uniform(200, 420);
        glow(img, x, y, 10, pal::gold, 0.7f);
        fill(img, circle(x, y, 1.3f), solid(pal::paper));
    }
    return img;
}

// Shaking-words backdrop: a comic burst of coral and amber rays, halftone dots, and a jagged gold
// "pow" star behind the two columns of words (x 352-442).
Image picture_fgj() {
    Image img(640, 480);
    const float cx = 397, cy = 300;
    paint_rect(img, 0, 0, 640, 480, [=](float x, float y) {
        float a = std::atan2(y - cy, x - cx);
        bool ray = std::fmod(a + 4 * PI, 2 * PI / 26) < PI / 26;
        float r = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
        Rgb c = ray ? pal::coral : pal::amber;
        return with_alpha(mix(c, pal::plum, std::min(1.0f, r / 520.0f) * 0.8f));
    });
    for (int y = 4; y < 480; y += 12)  // halftone: dots growing away from the centre
        for (int x = 4 + (y / 12 % 2) * 6; x < 640; x += 12) {
            float r = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
            float s = std::min(4.5f, r / 90.0f);
            if (s > 0.6f) fill(img, circle(float(x), float(y), s), solid(pal::rose, 0.55f));
        }
    std::vector<float> star;
    for (int i = 0; i < 36; ++i) {
        float a = i * 2 * PI / 36, rr = (i % 2 ? 120.0f : 250.0f) * (0.85f + 0.3f * hash01(i, 51));
        star.push_back(cx + std::cos(a) * rr * 0.75f);
        star.push_back(cy + std::sin(a) * rr);
    }
    fill(img, grow(polygon(star), 6), solid(pal::ink));
    fill(img, polygon(star), radial(cx, cy, 240, {pal::paper, pal::gold, pal::amber}));
    return img;
}

// TV set seen up close: a wooden cabinet, a dark bezel round a rounded screen (keyed: the plasma
// shows there), and a control panel with two knobs, a name plate, a speaker grille and a lamp.
// The screen is made of whole 8 × 8 blocks, so a 4:4:4 JPEG keeps it exactly the key colour.
Image picture_tv() {
    Image img(640, 480);
    paint_rect(img, 0, 0, 640, 480, wood_grain(61, pal::wood, pal::brown));
    // cabinet edge and inner bevel
    fill(img, subtract(box(320, 240, 330, 250), box(320, 240, 314, 234, 26)), solid(pal::ink));
    fill(img, subtract(box(320, 240, 314, 234, 26), box(320, 240, 308, 228, 22)),
         solid(scale(pal::wood, 1.25f)));
    // screen opening: blocks 6..57 across (x 48..463), 6..53 down (y 48..431); corners rounded
    // by leaving out whole blocks
    const int bx0 = 6, bx1 = 58, by0 = 6, by1 = 54;
    auto in_screen = [&](int bx, int by) {
        if (bx < bx0 || bx >= bx1 || by < by0 || by >= by1) return false;
        int dx = std::min(bx - bx0, bx1 - 1 - bx), dy = std::min(by - by0, by1 - 1 - by);
        return dx + dy >= 2 && !(dx == 0 && dy < 3) && !(dy == 0 && dx < 3);
    };
    // bezel: dark plastic round the opening, a bit larger than it
    fill(img, box(256, 240, 228, 212, 34), solid(pal::ink));
    fill(img, box(256, 240, 224, 208, 32), vgrad(28, 452, {pal::indigo, pal::night, pal::ink}));
    fill(img, box(256, 240, 214, 198, 26), solid(pal::ink));
    for (int by = 0; by < 60; ++by)
        for (int bx = 0; bx < 80; ++bx)
            if (in_screen(bx, by))
                for (int y = by * 8; y < by * 8 + 8; ++y)
                    for (int x = bx * 8; x < bx * 8 + 8; ++x) img.set(x, y, {0, 0, 0, 0});
    // control panel
    fill(img, box(552, 240, 62, 206, 14), solid(pal::ink));
    fill(img, box(552, 240, 58, 202, 12), vgrad(40, 440, {pal::violet, pal::indigo, pal::night}));
    for (int k = 0; k < 2; ++k) {
        float ky = 110.0f + k * 110;
        fill(img, circle(552, ky, 38), solid(pal::ink));
        fill(img, circle(552, ky, 34),
             radial(540, ky - 12, 60, {pal::paper, pal::cream, pal::amber}));
        for (int t = 0; t < 12; ++t) {
            float a = t * 2 * PI / 12;
            fill(img,
                 capsule(552 + std::cos(a) * 40, ky + std::sin(a) * 40, 552 + std::cos(a) * 46,
                         ky + std::sin(a) * 46, 1.2f),
                 solid(pal::cream));
        }
        float a = k ? 2.2f : -0.7f;
        fill(img, capsule(552, ky, 552 + std::cos(a) * 26, ky + std::sin(a) * 26, 4),
             solid(pal::ink));
    }
    fill_outlined(img, box(552, 292, 44, 14, 4), solid(pal::cream), pal::ink, 2);
    label(img, sans_font(), "qrv-vision", 552, 298, 14, solid(pal::plum), 0.01f);
    for (int i = 0; i < 9; ++i) fill(img, box(552, 322.0f + i * 10, 40, 2.5f, 2), solid(pal::ink));
    glow(img, 580, 420, 14, pal::cyan, 0.9f);
    fill_outlined(img, circle(580, 420, 4), solid(pal::sky), pal::ink, 1.5f);
    fill(img, circle(530, 420, 5), solid(pal::ink));
    return img;
}

}  // namespace mg
