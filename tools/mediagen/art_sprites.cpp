// The sprite strips: frames side by side, transparent around the figures (PNG alpha), each figure
// inked with a dark edge in the palette of the pictures. Walkers walk in place (the scene moves
// them to the right); the other strips are loops.

#include <algorithm>
#include <cmath>
#include <functional>

#include "art.h"

namespace mg {

namespace {

constexpr float PI = 3.14159265358979f;
const Rgb skin = mix(pal::cream, pal::coral, 0.25f);

// Draws `frames` frames of fw × fh with draw(frame image, frame number) and puts them in a row.
Image strip(int frames, int fw, int fh, const std::function<void(Image&, int)>& draw) {
    Image out(fw * frames, fh);
    for (int f = 0; f < frames; ++f) {
        Image cell(fw, fh);
        draw(cell, f);
        out.draw(cell, f * fw, 0);
    }
    return out;
}

// A shape with an ink edge of `edge` px and a fill.
void inked(Image& img, const Shape& s, const Paint& p, float edge = 2.0f) {
    fill_outlined(img, s, p, pal::ink, edge);
}

// A limb from a to b (thickness r) ending in a second segment from b to c.
void limb(Image& img, float ax, float ay, float bx, float by, float cx, float cy, float r,
          Rgb upper, Rgb lower) {
    inked(img, unite(capsule(ax, ay, bx, by, r), capsule(bx, by, cx, cy, r * 0.9f)), solid(upper));
    fill(img, capsule(bx, by, cx, cy, r * 0.9f), solid(lower));
}

// A round eye looking in direction (lx, ly).
void eye(Image& img, float x, float y, float r, float lx = 0.4f, float ly = 0.0f) {
    inked(img, circle(x, y, r), solid(pal::paper), 1.6f);
    fill(img, circle(x + lx * r * 0.45f, y + ly * r * 0.45f, r * 0.5f), solid(pal::ink));
    fill(img, circle(x + lx * r * 0.45f - r * 0.18f, y + ly * r * 0.45f - r * 0.2f, r * 0.16f),
         solid(pal::paper));
}

// A closed curve r(angle) around (cx, cy), as a polygon.
Shape blob_shape(float cx, float cy, const std::function<float(float)>& r, int n = 72) {
    std::vector<float> xy;
    for (int i = 0; i < n; ++i) {
        float a = i * 2 * PI / n;
        xy.push_back(cx + std::cos(a) * r(a));
        xy.push_back(cy + std::sin(a) * r(a));
    }
    return polygon(xy);
}

// A crab walking in place, facing right. phase runs 0..2π over the walk cycle.
void crab(Image& img, float phase, Rgb shell, Rgb shade, float w, float h, bool big_claw) {
    const float cx = img.w * 0.5f, ground = img.h - 3.0f;
    const float bob = -std::fabs(std::sin(phase)) * 2.5f;
    const float cy = ground - 16 - h * 0.5f + bob;
    // legs: three a side, pairs alternating
    for (int side = -1; side <= 1; side += 2) {
        for (int i = 0; i < 3; ++i) {
            float p = phase + i * 2 * PI / 3 + (side > 0 ? PI : 0);
            float lift = std::max(0.0f, std::cos(p)) * 5;
            float hx = cx + side * w * 0.6f, hy = cy + 2 + i * 2;
            float kx = cx + side * (w + 4 + i * 2) + std::sin(p) * 3, ky = cy - 7 + i * 3 - lift;
            float fx = cx + side * (w + 9 + i * 4) + std::sin(p) * 5;
            Rgb c = i == 1 ? shade : shell;
            inked(img,
                  unite(capsule(hx, hy, kx, ky, 2.4f), capsule(kx, ky, fx, ground - lift, 2.0f)),
                  solid(c), 1.6f);
        }
    }
    // claws on arms
    for (int side = -1; side <= 1; side += 2) {
        bool big = big_claw && side > 0;
        float ax = cx + side * w * 0.7f, ay = cy - 2;
        float px = cx + side * (w * 0.95f + 6),
              py = cy - h * 0.5f - 10 + std::sin(phase * 2) * 1.5f;
        float s = big ? 1.45f : 1.0f;
        float open = 0.25f + 0.25f * std::fabs(std::sin(phase));
        inked(img, capsule(ax, ay, px, py + 6 * s, 2.6f), solid(shade), 1.6f);
        Shape upper =
            rotated(ellipse(px, py - 3 * s, 7 * s, 4.2f * s), px - side * 5 * s, py, -side * open);
        Shape lower =
            rotated(ellipse(px, py + 3 * s, 6 * s, 3.4f * s), px - side * 5 * s, py, side * open);
        inked(img, unite(upper, lower), solid(shell), 1.8f);
        fill(img, circle(px - side * 2 * s, py - 4.5f * s, 1.5f * s), solid(pal::paper, 0.8f));
    }
    // body and eyes on stalks
    for (int side = -1; side <= 1; side += 2) {
        float sx = cx + side * 7 + 3, top = cy - h * 0.5f - 11;
        inked(img, capsule(sx, cy - h * 0.3f, sx, top, 1.8f), solid(shade), 1.4f);
        eye(img, sx, top - 2, 4.6f, 0.6f, -0.1f);
    }
    inked(img, ellipse(cx, cy, w, h * 0.5f),
          vgrad(cy - h * 0.5f, cy + h * 0.5f, {scale(shell, 1.2f), shell, shade}));
    fill(img, ellipse(cx - w * 0.3f, cy - h * 0.2f, w * 0.3f, h * 0.12f), solid(pal::paper, 0.35f));
    for (int i = -1; i <= 1; ++i) fill(img, circle(cx + i * w * 0.4f, cy + 1, 1.6f), solid(shade));
    Shape smile = subtract(circle(cx + 6, cy + 1, 6), circle(cx + 6, cy - 2, 6.5f));
    fill(img, smile, solid(pal::ink));
}

}  // namespace

// Drifting star, 8 frames of 40 × 40: a plump five-pointed star turning a tenth of its symmetry
// per frame and breathing a little, with a glint.
Image strip_st() {
    return strip(frames_in[Strip::st], 40, 40, [](Image& img, int f) {
        const float cx = 20, cy = 20.5f, rot = f * (2 * PI / 5) / 8,
                    pulse = 1.0f + 0.06f * std::sin(f * PI / 4);
        std::vector<float> xy;
        for (int i = 0; i < 10; ++i) {
            float a = -PI / 2 + rot + i * PI / 5, r = (i % 2 ? 6.2f : 14.0f) * pulse;
            xy.push_back(cx + std::cos(a) * r);
            xy.push_back(cy + std::sin(a) * r);
        }
        Shape star = grow(polygon(xy), 1.0f);
        inked(img, star, radial(cx - 3, cy - 4, 16, {pal::paper, pal::gold, pal::amber}), 1.8f);
        fill(img, circle(cx - 3, cy, 1.4f), solid(pal::ink));
        fill(img, circle(cx + 3, cy, 1.4f), solid(pal::ink));
        fill(img, subtract(circle(cx, cy + 2, 3), circle(cx, cy + 0.5f, 3.2f)), solid(pal::ink));
        float g = 0.5f + 0.5f * std::cos(f * PI / 4);
        fill(img, circle(cx - 5, cy - 6, 1.2f + g), solid(pal::paper, 0.9f));
    });
}

// Crab A, 4 frames of 100 × 72: a coral crab scuttling to the right, legs in alternating pairs.
Image strip_cra() {
    return strip(frames_in[Strip::cra], 100, 72, [](Image& img, int f) {
        crab(img, f * 2 * PI / 4, pal::coral, pal::rose, 24, 26, false);
    });
}

// Crab B, 6 frames of 96 × 70: a light-blue crab with one big claw, a longer, smoother stride.
Image strip_crb() {
    return strip(frames_in[Strip::crb], 96, 70, [](Image& img, int f) {
        crab(img, f * 2 * PI / 6, mix(pal::cyan, pal::sky, 0.3f), pal::teal, 22, 22, true);
    });
}

// Walker, 5 frames of 56 × 100: frame 0 stands; frames 1-4 are a walk cycle. A musician in a plum
// hoodie with headphones and a light-blue cap.
Image strip_wm() {
    return strip(frames_in[Strip::wm], 56, 100, [](Image& img, int f) {
        const float phase = f == 0 ? 0.0f : (f - 1) * 2 * PI / 4 + PI / 4;
        const float swing = f == 0 ? 0.0f : 1.0f;
        const float bob = f == 0 ? 0.0f : -std::fabs(std::cos(phase)) * 2.0f;
        const float hx = 27, hy = 58 + bob, sy = 34 + bob;
        auto leg = [&](float p, Rgb c, Rgb shoe) {
            float th = swing * 0.45f * std::sin(p);  // thigh angle from vertical
            float kn = swing * 0.55f *
                       std::max(0.0f, -std::cos(p));  // knee bend while the foot swings forward
            float kx = hx + std::sin(th) * 18, ky = hy + std::cos(th) * 18;
            float fx = kx + std::sin(th - kn) * 18, fy = ky + std::cos(th - kn) * 18;
            inked(img, unite(capsule(hx, hy, kx, ky, 4.2f), capsule(kx, ky, fx, fy, 3.8f)),
                  solid(c));
            inked(img, box(fx + 3, std::min(fy + 2, 96.0f), 6, 3, 2.5f), solid(shoe), 1.6f);
        };
        auto arm = [&](float p, Rgb c) {
            float a = -swing * 0.5f * std::sin(p);
            float ex = hx + std::sin(a) * 13, ey = sy + 2 + std::cos(a) * 13;
            float wx = ex + std::sin(a + 0.5f * swing + 0.15f) * 12,
                  wy = ey + std::cos(a + 0.5f * swing + 0.15f) * 12;
            limb(img, hx, sy + 2, ex, ey, wx, wy, 3.6f, c, c);
            inked(img, circle(wx, wy, 3.4f), solid(skin), 1.4f);
        };
        // far side first, darker
        leg(phase + PI, scale(pal::indigo, 0.75f), scale(pal::paper, 0.8f));
        arm(phase + PI, scale(pal::plum, 0.7f));
        leg(phase, pal::indigo, pal::paper);
        // torso: hoodie
        inked(img, box(hx, (sy + hy) * 0.5f + 1, 10, (hy - sy) * 0.5f + 3, 5),
              vgrad(sy, hy, {pal::plum, scale(pal::plum, 0.8f)}));
        fill(img, box(hx + 2, hy - 8, 6, 3, 1.5f), solid(scale(pal::plum, 0.65f)));
        // head
        const float cx = hx + 1, cy = sy - 14;
        inked(img, circle(cx, cy, 10), solid(skin));
        eye(img, cx + 5, cy - 1, 2.6f, 0.8f, 0.0f);
        fill(img, capsule(cx + 3, cy + 5, cx + 7, cy + 4, 0.9f), solid(pal::ink));
        inked(img, intersect(circle(cx, cy - 2, 10.5f), box(cx, cy - 8, 12, 6)), solid(pal::cyan));
        inked(img, capsule(cx + 4, cy - 7, cx + 14, cy - 6, 2.2f), solid(pal::cyan), 1.4f);  // peak
        inked(img, ring(cx, cy, 11, 2.2f), solid(pal::ink), 0.1f);  // headphone band
        inked(img, ellipse(cx - 6, cy + 1, 3, 4.5f), solid(pal::coral), 1.4f);
        arm(phase, pal::plum);
    });
}

// Smiley, 10 frames of 80 × 90: frame 0 rests on the ground; frames 1-9 are one bounce, squashed
// on landing, stretched in the air, looking where it goes and winking at the top.
Image strip_sm() {
    return strip(frames_in[Strip::sm], 80, 90, [](Image& img, int f) {
        const float t = f == 0 ? 0.0f : (f - 1) / 9.0f;
        const float height = 30 * std::sin(PI * t);
        const float squash = f == 0 ? 0.0f : std::cos(PI * t * 2) * (height < 8 ? 1.0f : 0.4f);
        const float sx = 1.0f + 0.12f * squash, sy = 1.0f - 0.12f * squash;
        const float r = 24, cx = 40, cy = 86 - r * sy - height;
        fill(img, ellipse(cx, 86, r * (1.1f - height / 90), 3.5f), solid(pal::ink, 0.45f));
        Shape ball = scaled(circle(cx, cy, r), cx, cy, sx, sy);
        inked(img, ball,
              radial(cx - 8, cy - 10, 34, {pal::paper, pal::gold, pal::amber, pal::coral}), 2.4f);
        fill(img, scaled(ellipse(cx - 9, cy - 11, 7, 4), cx, cy, sx, sy), solid(pal::paper, 0.7f));
        // the face looks up on the way up and down on the way down
        const bool wink = f == 5;
        const float fx = cx + (f == 0 ? 0.0f : 3.0f * std::sin(2 * PI * t)),
                    fy = cy - (f == 0 ? 0.0f : 3.5f * std::cos(PI * t));
        fill(img, ellipse(fx - 8, fy - 3 * sy, 3, wink ? 1.2f : 4.5f * sy), solid(pal::ink));
        fill(img, ellipse(fx + 8, fy - 3 * sy, 3, 4.5f * sy), solid(pal::ink));
        Shape mouth = subtract(ellipse(fx, fy + 6 * sy, 11 * sx, 8 * sy),
                               ellipse(fx, fy + 2 * sy, 13 * sx, 7 * sy));
        fill(img, mouth, solid(pal::ink));
        fill(img, ellipse(fx - 15, fy + 4, 4, 2.5f), solid(pal::rose, 0.6f));
        fill(img, ellipse(fx + 15, fy + 4, 4, 2.5f), solid(pal::rose, 0.6f));
    });
}

// Blob, 6 frames of 80 × 80: a light-blue jelly; frame 0 sits still, frames 1-5 wobble round a
// loop, its eyes riding the wobble.
Image strip_bl() {
    return strip(frames_in[Strip::bl], 80, 80, [](Image& img, int f) {
        const float p = f == 0 ? 0.0f : (f - 1) * 2 * PI / 5, amp = f == 0 ? 0.0f : 1.0f;
        const float cx = 40, cy = 46;
        auto r = [&](float a) {
            float base = 26 + 6 * std::sin(a);  // flatter bottom, rounder top
            return base + amp * (3.2f * std::sin(3 * a + p) + 1.8f * std::sin(5 * a - 2 * p));
        };
        fill(img, ellipse(cx, 76, 28, 3.5f), solid(pal::ink, 0.4f));
        Shape body = blob_shape(cx, cy, r);
        fill(img, grow(body, 2.2f), solid(pal::ink));
        fill(img, body, radial(cx - 10, cy - 16, 46, {pal::paper, pal::sky, pal::cyan, pal::teal}),
             0.95f);
        fill(img, ellipse(cx - 11, cy - 14, 6, 3.5f), solid(pal::paper, 0.8f));
        float wob = amp * 2.0f * std::sin(p);
        eye(img, cx - 8 + wob, cy - 4, 5.5f, 0.2f, 0.3f);
        eye(img, cx + 9 + wob, cy - 5 - wob * 0.5f, 6.5f, 0.2f, 0.3f);
        float open = 2.0f + amp * 2.0f * (0.5f + 0.5f * std::sin(p + 1));
        inked(img, ellipse(cx + wob * 0.5f, cy + 10, 6, open), solid(pal::plum), 1.4f);
    });
}

// Diamond, 5 frames of 72 × 88: a cut gem turning about its upright axis (one facet per frame),
// hovering over its shadow, with a sparkle that travels round.
Image strip_dm() {
    return strip(frames_in[Strip::dm], 72, 88, [](Image& img, int f) {
        const float cx = 36, top = 18 + 2 * std::sin(f * 2 * PI / 5), girdle = top + 16,
                    tip = top + 56;
        const float R = 27, crown = 17;
        fill(img, ellipse(cx, 83, 18, 3), solid(pal::ink, 0.4f));
        Shape gem =
            polygon({cx - crown, top, cx + crown, top, cx + R, girdle, cx, tip, cx - R, girdle});
        fill(img, grow(gem, 2.2f), solid(pal::ink));
        const int N = 10;
        const float rot = f * (2 * PI / N) / 5;  // the facet pattern repeats after one facet
        const Rgb tones[4] = {pal::paper, pal::sky, pal::cyan, pal::teal};
        for (int i = 0; i < N; ++i) {  // pavilion facets: vertical slices of the turning gem
            float a0 = rot + i * 2 * PI / N, a1 = a0 + 2 * PI / N;
            if (std::cos((a0 + a1) / 2) <= 0) continue;  // back side
            float x0 = cx + R * std::sin(a0), x1 = cx + R * std::sin(a1);
            Rgb c = tones[(i + (std::sin((a0 + a1) / 2) > 0 ? 1 : 2)) % 4];
            fill(img, intersect(gem, polygon({x0, girdle, x1, girdle, cx, tip})), solid(c));
            float u0 = cx + crown * std::sin(a0), u1 = cx + crown * std::sin(a1);
            fill(img, intersect(gem, polygon({u0, top, u1, top, x1, girdle, x0, girdle})),
                 solid(mix(c, pal::paper, 0.4f)));
        }
        fill(img, capsule(cx - R, girdle, cx + R, girdle, 0.8f), solid(pal::ink));
        fill(img, capsule(cx - crown, top, cx + crown, top, 0.8f), solid(pal::paper));
        float sx = cx + 14 * std::sin(f * 2 * PI / 5), sy = top + 6;
        Shape spark = polygon({sx, sy - 9, sx + 2, sy - 2, sx + 9, sy, sx + 2, sy + 2, sx, sy + 9,
                               sx - 2, sy + 2, sx - 9, sy, sx - 2, sy - 2});
        fill(img, spark, solid(pal::paper, 0.95f));
    });
}

// Bee, 9 frames of 64 × 56: frame 0 with wings folded; frames 1-8 one wing beat. The wings are
// half transparent.
Image strip_bi() {
    return strip(frames_in[Strip::bi], 64, 56, [](Image& img, int f) {
        const float beat = f == 0 ? -0.9f : std::sin((f - 1) * 2 * PI / 8) * 0.9f;
        const float cx = 30, cy = 34 + (f == 0 ? 0.0f : std::sin((f - 1) * 2 * PI / 8 + 1) * 1.5f);
        auto wing = [&](float a, float len, float alpha) {
            Shape w = rotated(ellipse(cx + 2, cy - 10 - len * 0.5f, len * 0.45f, len * 0.6f),
                              cx + 2, cy - 8, a);
            fill(img, grow(w, 1.4f), solid(pal::ink, 0.8f));
            fill(img, w, solid(pal::paper, alpha));
        };
        wing(beat - 0.35f, 20, 0.55f);
        inked(img, ellipse(cx - 4, cy, 17, 12), hgrad(cx - 20, cx + 12, {pal::amber, pal::gold}));
        for (int i = 0; i < 3; ++i)
            fill(img, intersect(ellipse(cx - 4, cy, 17, 12), box(cx - 14 + i * 8.0f, cy, 2.2f, 14)),
                 solid(pal::ink));
        fill(img, polygon({cx - 20, cy - 3, cx - 28, cy + 1, cx - 20, cy + 4}), solid(pal::ink));
        inked(img, circle(cx + 15, cy - 3, 9), solid(pal::gold));
        eye(img, cx + 18, cy - 5, 3.6f, 0.7f, 0.0f);
        fill(img, subtract(circle(cx + 18, cy + 1, 3.5f), circle(cx + 18, cy - 0.5f, 3.8f)),
             solid(pal::ink));
        for (int s = -1; s <= 1; s += 2) {
            float ax = cx + 16 + s * 3, ay = cy - 11;
            fill(img, capsule(ax, ay, ax + 4 + s * 2, ay - 9, 1.0f), solid(pal::ink));
            fill(img, circle(ax + 4 + s * 2, ay - 9, 2), solid(pal::ink));
        }
        wing(beat + 0.15f, 22, 0.7f);
    });
}

}  // namespace mg
