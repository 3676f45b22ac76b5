// The media generator's drawing kit: images, shapes by signed distance, paints, and the seeded
// noise and layout generators. Expected values are worked out by hand from the geometry.

#include "canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

namespace {

using namespace mg;

// The coverage of every pixel of `img` (its alpha) summed: the area a fill covered.
float covered_area(const Image& img) {
    float sum = 0;
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) sum += img.get(x, y).a;
    return sum;
}

// The pixels of `img` whose alpha is exactly 1, as y * w + x.
std::set<int> opaque(const Image& img) {
    std::set<int> out;
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x)
            if (img.get(x, y).a == 1.0f) out.insert(y * img.w + x);
    return out;
}

// The pixels with any coverage at all.
std::set<int> touched(const Image& img) {
    std::set<int> out;
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x)
            if (img.get(x, y).a > 0.0f) out.insert(y * img.w + x);
    return out;
}

// The pixels of the rectangle x0..x1, y0..y1 (inclusive) of a w-wide image.
std::set<int> rect(int w, int x0, int y0, int x1, int y1) {
    std::set<int> out;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) out.insert(y * w + x);
    return out;
}

Image filled(const Shape& s, int w = 24, int h = 24) {
    Image img(w, h);
    fill(img, s, solid(pal::paper));
    return img;
}

}  // namespace

TEST(Canvas, AnImageKeepsItsColourPremultipliedAndGivesItBackStraight) {
    Image img(3, 2, {200, 100, 50, 0.5f});
    ASSERT_EQ(img.px.size(), 3u * 2u * 4u);
    EXPECT_FLOAT_EQ(img.px[0], 100.0f);
    EXPECT_FLOAT_EQ(img.px[1], 50.0f);
    EXPECT_FLOAT_EQ(img.px[2], 25.0f);
    EXPECT_FLOAT_EQ(img.px[3], 0.5f);
    const Rgba c = img.get(2, 1);
    EXPECT_FLOAT_EQ(c.r, 200.0f);
    EXPECT_FLOAT_EQ(c.g, 100.0f);
    EXPECT_FLOAT_EQ(c.b, 50.0f);
    EXPECT_FLOAT_EQ(c.a, 0.5f);

    img.set(1, 0, {10, 20, 30, 1.0f});
    EXPECT_FLOAT_EQ(img.get(1, 0).g, 20.0f);
    EXPECT_FLOAT_EQ(img.get(0, 0).r, 200.0f);  // the neighbours are left alone
    EXPECT_FLOAT_EQ(img.get(2, 0).r, 200.0f);

    // A fully transparent pixel reads as transparent black whatever was asked for.
    Image clear(1, 1, {255, 255, 255, 0});
    const Rgba t = clear.get(0, 0);
    EXPECT_EQ(t.r + t.g + t.b + t.a, 0.0f);
}

TEST(Canvas, BlendingIsOverCompositingByCoverageAndIgnoresPixelsOutside) {
    Image img(2, 1, {0, 0, 0, 1});
    img.blend(0, 0, {255, 255, 255, 1}, 0.5f);  // half white over black
    EXPECT_FLOAT_EQ(img.get(0, 0).r, 127.5f);
    EXPECT_FLOAT_EQ(img.get(0, 0).a, 1.0f);
    img.blend(1, 0, {255, 0, 0, 0.5f}, 0.5f);  // a quarter of red
    EXPECT_FLOAT_EQ(img.get(1, 0).r, 63.75f);
    EXPECT_FLOAT_EQ(img.get(1, 0).g, 0.0f);

    Image empty(1, 1);
    empty.blend(0, 0, {100, 50, 0, 0.5f}, 1.0f);  // over nothing: the colour at its own alpha
    EXPECT_FLOAT_EQ(empty.get(0, 0).r, 100.0f);
    EXPECT_FLOAT_EQ(empty.get(0, 0).a, 0.5f);
    empty.blend(0, 0, {0, 0, 255, 1}, 0.0f);  // no coverage: unchanged
    EXPECT_FLOAT_EQ(empty.get(0, 0).r, 100.0f);

    const std::vector<float> before = img.px;
    for (int xy : {-1, 2, 1000, -1000}) {
        img.blend(xy, 0, {1, 2, 3, 1}, 1);
        img.blend(0, xy, {1, 2, 3, 1}, 1);
    }
    EXPECT_EQ(img.px, before);
}

TEST(Canvas, DrawingAnImageClipsAtEveryEdge) {
    Image src(4, 4, {255, 0, 0, 1});
    Image dst(6, 6);
    dst.draw(src, -2, -2);  // only the bottom-right 2 × 2 of the source lands
    dst.draw(src, 4, 4);    // only its top-left 2 × 2
    dst.draw(src, 10, 0);   // nothing
    dst.draw(src, 0, -10);  // nothing
    std::set<int> want = rect(6, 0, 0, 1, 1);
    for (int i : rect(6, 4, 4, 5, 5)) want.insert(i);
    EXPECT_EQ(touched(dst), want);
    EXPECT_EQ(opaque(dst), want);

    Image faint(6, 6);
    faint.draw(src, 1, 1, 0.25f);
    EXPECT_FLOAT_EQ(faint.get(2, 2).a, 0.25f);
    EXPECT_FLOAT_EQ(faint.get(2, 2).r, 255.0f);
}

TEST(Canvas, ABoxCoversWholePixelsExactlyWhenItsEdgesFallOnPixelEdges) {
    // Half sizes 4 and 3 around (10, 10): columns 6..13 and rows 7..12, fully, and nothing else.
    const Image img = filled(box(10, 10, 4, 3));
    EXPECT_EQ(opaque(img), rect(24, 6, 7, 13, 12));
    EXPECT_EQ(touched(img), rect(24, 6, 7, 13, 12));
    EXPECT_FLOAT_EQ(img.get(6, 7).r, pal::paper.r);

    // The same rectangle as a polygon, either way round.
    EXPECT_EQ(opaque(filled(polygon({6, 7, 14, 7, 14, 13, 6, 13}))), rect(24, 6, 7, 13, 12));
    EXPECT_EQ(opaque(filled(polygon({6, 7, 6, 13, 14, 13, 14, 7}))), rect(24, 6, 7, 13, 12));

    // Grown by a pixel, moved, united, cut.
    EXPECT_EQ(opaque(filled(moved(box(10, 10, 4, 3), 3, -2))), rect(24, 9, 5, 16, 10));
    std::set<int> two = rect(24, 1, 1, 4, 4);
    for (int i : rect(24, 10, 1, 13, 4)) two.insert(i);
    EXPECT_EQ(opaque(filled(unite(box(3, 3, 2, 2), box(12, 3, 2, 2)))), two);
    EXPECT_EQ(opaque(filled(intersect(box(10, 10, 4, 3), box(14, 10, 4, 3)))),
              rect(24, 10, 7, 13, 12));
    EXPECT_EQ(opaque(filled(subtract(box(10, 10, 4, 3), box(14, 10, 4, 3)))),
              rect(24, 6, 7, 9, 12));
    EXPECT_EQ(opaque(filled(scaled(box(10, 10, 2, 1.5f), 10, 10, 2, 2))), rect(24, 6, 7, 13, 12));
}

TEST(Canvas, ACircleCoversItsAreaWithASoftEdge) {
    const Image img = filled(circle(12, 12, 6));
    EXPECT_NEAR(covered_area(img), 3.14159265f * 36, 0.5f);
    EXPECT_FLOAT_EQ(img.get(11, 11).a, 1.0f);  // the middle
    EXPECT_EQ(img.get(0, 0).a, 0.0f);          // well outside
    // A pixel the edge runs through is partly covered: its centre (17.5, 12.5) is 5.52 px from
    // the circle's.
    EXPECT_GT(img.get(17, 12).a, 0.0f);
    EXPECT_LT(img.get(17, 12).a, 1.0f);
    // Symmetric about the centre.
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            ASSERT_FLOAT_EQ(img.get(x, y).a, img.get(23 - x, y).a) << x << "," << y;

    // A ring of width 2 covers the difference of two discs: 2π × 6 × 2.
    EXPECT_NEAR(covered_area(filled(ring(12, 12, 6, 2))), 3.14159265f * 12 * 2, 0.6f);
    // An ellipse of radii 8 and 4: π × 32.
    EXPECT_NEAR(covered_area(filled(ellipse(12, 12, 8, 4))), 3.14159265f * 32, 1.0f);
    // A capsule: a 10 px bar of width 4 with round ends, 10 × 4 + π × 4.
    EXPECT_NEAR(covered_area(filled(capsule(7, 12, 17, 12, 2))), 40 + 3.14159265f * 4, 0.5f);
    // A quarter turn of a box about its centre is its transpose (up to the rounding of the turn:
    // the pixels more than half covered).
    const Image turned = filled(rotated(box(10, 10, 4, 2), 10, 10, 3.14159265f / 2));
    std::set<int> mostly;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            if (turned.get(x, y).a > 0.5f) mostly.insert(y * 24 + x);
    EXPECT_EQ(mostly, rect(24, 8, 6, 11, 13));
}

TEST(Canvas, ShapesAreDrawnOnlyInsideTheImage) {
    Image img(8, 8);
    fill(img, circle(0, 0, 20), solid(pal::ink));  // larger than the image, off its corner
    fill(img, box(100, -50, 3, 3), solid(pal::ink));
    EXPECT_EQ(opaque(img).size(), 64u);
}

TEST(Canvas, GradientsRunThroughEvenlySpacedStopsAndHoldPastTheirEnds) {
    const Paint v = vgrad(10, 30, {Rgb{0, 0, 0}, Rgb{200, 100, 0}, Rgb{200, 100, 255}});
    EXPECT_FLOAT_EQ(v(0, 10).r, 0.0f);
    EXPECT_FLOAT_EQ(v(99, 15).r, 100.0f);  // a quarter: half way to the middle stop
    EXPECT_FLOAT_EQ(v(0, 20).g, 100.0f);
    EXPECT_FLOAT_EQ(v(0, 25).b, 127.5f);
    EXPECT_FLOAT_EQ(v(0, 30).b, 255.0f);
    EXPECT_FLOAT_EQ(v(0, -100).r, 0.0f);
    EXPECT_FLOAT_EQ(v(0, 1000).b, 255.0f);
    EXPECT_FLOAT_EQ(v(0, 20).a, 1.0f);
    const Paint h = hgrad(0, 10, {Rgb{0, 0, 0}, Rgb{100, 100, 100}});
    EXPECT_FLOAT_EQ(h(3, 99).g, 30.0f);
    const Paint r = radial(5, 5, 10, {Rgb{255, 0, 0}, Rgb{0, 0, 255}});
    EXPECT_FLOAT_EQ(r(5, 5).r, 255.0f);
    EXPECT_FLOAT_EQ(r(11, 13).b, 255.0f);  // 10 px out
    EXPECT_FLOAT_EQ(r(10, 5).r, 127.5f);   // half way
    EXPECT_FLOAT_EQ(solid(pal::cyan, 0.25f)(3, 4).a, 0.25f);
    EXPECT_FLOAT_EQ(mix(pal::ink, pal::paper, 0.0f).r, pal::ink.r);
    EXPECT_FLOAT_EQ(mix(pal::ink, pal::paper, 1.0f).b, pal::paper.b);
    EXPECT_FLOAT_EQ(scale(Rgb{200, 100, 10}, 2).r, 255.0f);
    EXPECT_FLOAT_EQ(scale(Rgb{200, 100, 10}, 2).g, 200.0f);
    EXPECT_FLOAT_EQ(scale(Rgb{200, 100, 10}, -1).b, 0.0f);
}

TEST(Canvas, PaintRectSetsEveryPixelOfItsClippedRectangle) {
    Image img(6, 4, {1, 2, 3, 1});
    paint_rect(img, -3, 1, 2, 100, solid(pal::amber, 0.5f));  // columns 0..1, rows 1..3
    std::set<int> half;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            if (img.get(x, y).a == 0.5f) half.insert(y * 6 + x);
    EXPECT_EQ(half, rect(6, 0, 1, 1, 3));
    EXPECT_FLOAT_EQ(img.get(0, 1).r, pal::amber.r);  // set, not blended over what was there
    EXPECT_FLOAT_EQ(img.get(2, 1).r, 1.0f);
}

TEST(Noise, HashesAreFixedFunctionsOfTheirArgumentsSpreadOverZeroToOne) {
    EXPECT_EQ(hash64(1, 2, 3), hash64(1, 2, 3));
    EXPECT_NE(hash64(1, 2, 3), hash64(1, 2, 4));
    EXPECT_NE(hash64(1, 2, 3), hash64(2, 1, 3));
    EXPECT_NE(hash64(0, 0, 0), hash64(0, 0, 1));
    int low = 0, high = 0;
    for (uint64_t i = 0; i < 10000; ++i) {
        const float h = hash01(i, 7);
        ASSERT_GE(h, 0.0f);
        ASSERT_LT(h, 1.0f);
        low += h < 0.1f;
        high += h >= 0.9f;
    }
    EXPECT_NEAR(low, 1000, 150);
    EXPECT_NEAR(high, 1000, 150);
}

TEST(Noise, ValueNoiseIsSmoothBoundedAndRepeatsOverItsPeriod) {
    for (float y = -3.0f; y < 3.0f; y += 0.37f)
        for (float x = -3.0f; x < 3.0f; x += 0.29f) {
            const float n = value_noise(x, y, 11);
            ASSERT_GE(n, 0.0f);
            ASSERT_LE(n, 1.0f);
            // Smooth: a hundredth of a cell further on it changes by little.
            ASSERT_NEAR(value_noise(x + 0.01f, y, 11), n, 0.03f);
            // With a period of 4 cells the noise repeats across it (lattice points exactly).
            ASSERT_NEAR(value_noise(x + 4, y, 11, 4), value_noise(x, y, 11, 4), 1e-5f);
            ASSERT_NEAR(value_noise(x, y - 8, 11, 4), value_noise(x, y, 11, 4), 1e-5f);
            const float f = fbm(x, y, 5, 4);
            ASSERT_GE(f, 0.0f);
            ASSERT_LE(f, 1.0f);
        }
    // At a lattice point the noise is that point's hash, so seeds give different fields.
    EXPECT_FLOAT_EQ(value_noise(2, 3, 9), hash01(2, 3, 9));
    EXPECT_NE(value_noise(2, 3, 9), value_noise(2, 3, 10));
    // The fractal sum of 3 octaves tiles at its base period.
    EXPECT_NEAR(fbm(0.3f, 0.7f, 2, 3, 4), fbm(4.3f, 0.7f, 2, 3, 4), 1e-5f);
}

TEST(Noise, TheLayoutGeneratorIsSeededAndItsRangesInclusive) {
    Rng a(42), b(42), c(43);
    std::vector<uint64_t> sa, sb, sc;
    for (int i = 0; i < 50; ++i) {
        sa.push_back(a.next());
        sb.push_back(b.next());
        sc.push_back(c.next());
    }
    EXPECT_EQ(sa, sb);
    EXPECT_NE(sa, sc);

    Rng r(7);
    std::vector<int> seen(5, 0);
    for (int i = 0; i < 5000; ++i) {
        const int v = r.range(-2, 2);
        ASSERT_GE(v, -2);
        ASSERT_LE(v, 2);
        ++seen[static_cast<size_t>(v + 2)];
    }
    for (int k = 0; k < 5; ++k) EXPECT_NEAR(seen[static_cast<size_t>(k)], 1000, 150) << k - 2;
    float lowest = 10, highest = -10;
    for (int i = 0; i < 5000; ++i) {
        const float u = r.uniform(-1.5f, 2.5f);
        ASSERT_GE(u, -1.5f);
        ASSERT_LT(u, 2.5f);
        lowest = std::min(lowest, u);
        highest = std::max(highest, u);
    }
    EXPECT_LT(lowest, -1.4f);
    EXPECT_GT(highest, 2.4f);
    EXPECT_EQ(Rng(3).range(9, 9), 9);
}
