#include "canvas.h"

#include <algorithm>
#include <memory>

namespace mg {

namespace {
float clampf(float v, float lo, float hi) { return std::max(lo, std::min(hi, v)); }
float len(float x, float y) { return std::sqrt(x * x + y * y); }
}  // namespace

Rgb mix(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(Rgb c, float k) {
    return {clampf(c.r * k, 0, 255), clampf(c.g * k, 0, 255), clampf(c.b * k, 0, 255)};
}

// ---- Image ----

Image::Image(int width, int height, Rgba fill)
    : w(width), h(height), px(size_t(width) * height * 4) {
    for (size_t i = 0; i < px.size(); i += 4) {
        px[i] = fill.r * fill.a;
        px[i + 1] = fill.g * fill.a;
        px[i + 2] = fill.b * fill.a;
        px[i + 3] = fill.a;
    }
}

Rgba Image::get(int x, int y) const {
    const float* p = &px[(size_t(y) * w + x) * 4];
    if (p[3] <= 0.0f) return {0, 0, 0, 0};
    return {p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]};
}

void Image::set(int x, int y, Rgba c) {
    float* p = &px[(size_t(y) * w + x) * 4];
    p[0] = c.r * c.a;
    p[1] = c.g * c.a;
    p[2] = c.b * c.a;
    p[3] = c.a;
}

void Image::blend(int x, int y, Rgba c, float k) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    float a = clampf(c.a * k, 0, 1);
    if (a <= 0.0f) return;
    float* p = &px[(size_t(y) * w + x) * 4];
    float keep = 1.0f - a;
    p[0] = c.r * a + p[0] * keep;
    p[1] = c.g * a + p[1] * keep;
    p[2] = c.b * a + p[2] * keep;
    p[3] = a + p[3] * keep;
}

void Image::draw(const Image& src, int x, int y, float opacity) {
    for (int sy = 0; sy < src.h; ++sy) {
        for (int sx = 0; sx < src.w; ++sx) {
            Rgba c = src.get(sx, sy);
            if (c.a > 0) blend(x + sx, y + sy, c, opacity);
        }
    }
}

// ---- Shapes ----

Shape circle(float cx, float cy, float r) {
    return {[=](float x, float y) { return len(x - cx, y - cy) - r; }, cx - r - 2, cy - r - 2,
            cx + r + 2, cy + r + 2};
}

Shape ellipse(float cx, float cy, float rx, float ry) {
    return {[=](float x, float y) {
                float px = (x - cx), py = (y - cy);
                float k0 = len(px / rx, py / ry);
                float k1 = len(px / (rx * rx), py / (ry * ry));
                if (k1 <= 1e-6f) return -std::min(rx, ry);
                return k0 * (k0 - 1.0f) / k1;
            },
            cx - rx - 2, cy - ry - 2, cx + rx + 2, cy + ry + 2};
}

Shape box(float cx, float cy, float hw, float hh, float round) {
    return {[=](float x, float y) {
                float qx = std::fabs(x - cx) - hw + round, qy = std::fabs(y - cy) - hh + round;
                return len(std::max(qx, 0.0f), std::max(qy, 0.0f)) +
                       std::min(std::max(qx, qy), 0.0f) - round;
            },
            cx - hw - 2, cy - hh - 2, cx + hw + 2, cy + hh + 2};
}

Shape capsule(float ax, float ay, float bx, float by, float r) {
    return {[=](float x, float y) {
                float px = x - ax, py = y - ay, ex = bx - ax, ey = by - ay;
                float ee = ex * ex + ey * ey;
                float t = ee > 0 ? clampf((px * ex + py * ey) / ee, 0, 1) : 0.0f;
                return len(px - ex * t, py - ey * t) - r;
            },
            std::min(ax, bx) - r - 2, std::min(ay, by) - r - 2, std::max(ax, bx) + r + 2,
            std::max(ay, by) + r + 2};
}

Shape polygon(std::vector<float> xy) {
    auto v = std::make_shared<std::vector<float>>(std::move(xy));
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (size_t i = 0; i + 1 < v->size(); i += 2) {
        x0 = std::min(x0, (*v)[i]);
        x1 = std::max(x1, (*v)[i]);
        y0 = std::min(y0, (*v)[i + 1]);
        y1 = std::max(y1, (*v)[i + 1]);
    }
    return {[v](float x, float y) {
                const std::vector<float>& p = *v;
                size_t n = p.size() / 2;
                float d = (x - p[0]) * (x - p[0]) + (y - p[1]) * (y - p[1]);
                float s = 1.0f;
                for (size_t i = 0, j = n - 1; i < n; j = i, ++i) {
                    float ex = p[2 * j] - p[2 * i], ey = p[2 * j + 1] - p[2 * i + 1];
                    float wx = x - p[2 * i], wy = y - p[2 * i + 1];
                    float ee = ex * ex + ey * ey;
                    float t = ee > 0 ? clampf((wx * ex + wy * ey) / ee, 0, 1) : 0.0f;
                    float bx = wx - ex * t, by = wy - ey * t;
                    d = std::min(d, bx * bx + by * by);
                    bool c1 = y >= p[2 * i + 1], c2 = y<p[2 * j + 1], c3 = ex * wy> ey * wx;
                    if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
                }
                return s * std::sqrt(d);
            },
            x0 - 2, y0 - 2, x1 + 2, y1 + 2};
}

Shape ring(float cx, float cy, float r, float width) {
    float hw = width * 0.5f;
    return {[=](float x, float y) { return std::fabs(len(x - cx, y - cy) - r) - hw; },
            cx - r - hw - 2, cy - r - hw - 2, cx + r + hw + 2, cy + r + hw + 2};
}

Shape grow(const Shape& s, float by) {
    auto d = s.d;
    return {[d, by](float x, float y) { return d(x, y) - by; }, s.x0 - by, s.y0 - by, s.x1 + by,
            s.y1 + by};
}

Shape unite(const Shape& a, const Shape& b) {
    auto da = a.d, db = b.d;
    return {[da, db](float x, float y) { return std::min(da(x, y), db(x, y)); },
            std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

Shape intersect(const Shape& a, const Shape& b) {
    auto da = a.d, db = b.d;
    return {[da, db](float x, float y) { return std::max(da(x, y), db(x, y)); },
            std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

Shape subtract(const Shape& a, const Shape& b) {
    auto da = a.d, db = b.d;
    return {[da, db](float x, float y) { return std::max(da(x, y), -db(x, y)); }, a.x0, a.y0, a.x1,
            a.y1};
}

Shape rotated(const Shape& s, float cx, float cy, float radians) {
    float c = std::cos(radians), sn = std::sin(radians);
    auto d = s.d;
    // The shape turns by +radians: a point is turned back by the same angle before the lookup.
    Shape out{[=](float x, float y) {
                  float dx = x - cx, dy = y - cy;
                  return d(cx + dx * c + dy * sn, cy - dx * sn + dy * c);
              },
              1e9f, 1e9f, -1e9f, -1e9f};
    float xs[2] = {s.x0, s.x1}, ys[2] = {s.y0, s.y1};
    for (float x : xs)
        for (float y : ys) {
            float dx = x - cx, dy = y - cy;
            float rx = cx + dx * c - dy * sn, ry = cy + dx * sn + dy * c;
            out.x0 = std::min(out.x0, rx);
            out.x1 = std::max(out.x1, rx);
            out.y0 = std::min(out.y0, ry);
            out.y1 = std::max(out.y1, ry);
        }
    return out;
}

Shape moved(const Shape& s, float dx, float dy) {
    auto d = s.d;
    return {[=](float x, float y) { return d(x - dx, y - dy); }, s.x0 + dx, s.y0 + dy, s.x1 + dx,
            s.y1 + dy};
}

Shape sheared(const Shape& s, float k, float y0) {
    auto d = s.d;
    float top = k * (y0 - s.y0), bottom = k * (y0 - s.y1);
    return {[=](float x, float y) { return d(x - k * (y0 - y), y); },
            s.x0 + std::min(top, bottom) - 1, s.y0, s.x1 + std::max(top, bottom) + 1, s.y1};
}

Shape scaled(const Shape& s, float cx, float cy, float sx, float sy) {
    auto d = s.d;
    float m = std::min(sx, sy);
    return {[=](float x, float y) { return d(cx + (x - cx) / sx, cy + (y - cy) / sy) * m; },
            cx + (s.x0 - cx) * sx, cy + (s.y0 - cy) * sy, cx + (s.x1 - cx) * sx,
            cy + (s.y1 - cy) * sy};
}

Shape field(std::vector<float> dist, int gw, int gh, float scale, float ox, float oy) {
    auto g = std::make_shared<std::vector<float>>(std::move(dist));
    return {[=](float x, float y) {
                // grid cell centres sit at (i + 0.5) / scale
                float gx = (x - ox) * scale - 0.5f, gy = (y - oy) * scale - 0.5f;
                float cx = clampf(gx, 0, float(gw - 1)), cy = clampf(gy, 0, float(gh - 1));
                int ix = std::min(int(cx), gw - 2), iy = std::min(int(cy), gh - 2);
                float fx = cx - ix, fy = cy - iy;
                const std::vector<float>& v = *g;
                float a = v[size_t(iy) * gw + ix], b = v[size_t(iy) * gw + ix + 1];
                float c = v[size_t(iy + 1) * gw + ix], e = v[size_t(iy + 1) * gw + ix + 1];
                float d = (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + e * fx) * fy;
                return d / scale + len(gx - cx, gy - cy) / scale;
            },
            ox - 2, oy - 2, ox + gw / scale + 2, oy + gh / scale + 2};
}

// ---- Paints ----

Paint solid(Rgb c, float a) {
    Rgba v = with_alpha(c, a);
    return [v](float, float) { return v; };
}

namespace {
Rgb stops_at(const std::vector<Rgb>& stops, float t) {
    t = clampf(t, 0, 1);
    if (stops.size() == 1) return stops[0];
    float f = t * float(stops.size() - 1);
    size_t i = std::min(size_t(f), stops.size() - 2);
    return mix(stops[i], stops[i + 1], f - float(i));
}
}  // namespace

Paint vgrad(float y0, float y1, std::vector<Rgb> stops) {
    return [=](float, float y) { return with_alpha(stops_at(stops, (y - y0) / (y1 - y0))); };
}

Paint hgrad(float x0, float x1, std::vector<Rgb> stops) {
    return [=](float x, float) { return with_alpha(stops_at(stops, (x - x0) / (x1 - x0))); };
}

Paint radial(float cx, float cy, float r, std::vector<Rgb> stops) {
    return [=](float x, float y) { return with_alpha(stops_at(stops, len(x - cx, y - cy) / r)); };
}

void fill(Image& img, const Shape& s, const Paint& p, float opacity) {
    int x0 = std::max(0, int(std::floor(s.x0))), y0 = std::max(0, int(std::floor(s.y0)));
    int x1 = std::min(img.w - 1, int(std::ceil(s.x1))),
        y1 = std::min(img.h - 1, int(std::ceil(s.y1)));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            float cx = x + 0.5f, cy = y + 0.5f;
            float cov = clampf(0.5f - s.d(cx, cy), 0, 1);
            if (cov <= 0.0f) continue;
            img.blend(x, y, p(cx, cy), cov * opacity);
        }
    }
}

void fill_outlined(Image& img, const Shape& s, const Paint& p, Rgb edge, float width) {
    fill(img, grow(s, width), solid(edge));
    fill(img, s, p);
}

void paint_rect(Image& img, int x0, int y0, int x1, int y1, const Paint& p) {
    for (int y = std::max(0, y0); y < std::min(img.h, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(img.w, x1); ++x)
            img.set(x, y, p(x + 0.5f, y + 0.5f));
}

// ---- Noise ----

uint64_t hash64(uint64_t a, uint64_t b, uint64_t c) {
    uint64_t h = a * 0x9E3779B97F4A7C15ull ^ (b + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full ^
                 (c + 0x165667B19E3779F9ull) * 0xD6E8FEB86659FD93ull;
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 27;
    h *= 0x94D049BB133111EBull;
    h ^= h >> 31;
    return h;
}

float hash01(uint64_t a, uint64_t b, uint64_t c) {
    return float(hash64(a, b, c) >> 40) / float(1u << 24);
}

float value_noise(float x, float y, uint32_t seed, int period) {
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    float fx = x - ix, fy = y - iy;
    auto lattice = [&](int i, int j) {
        if (period > 0) {
            i = ((i % period) + period) % period;
            j = ((j % period) + period) % period;
        }
        return hash01(uint64_t(uint32_t(i)), uint64_t(uint32_t(j)), seed);
    };
    float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    float a = lattice(ix, iy), b = lattice(ix + 1, iy), c = lattice(ix, iy + 1),
          d = lattice(ix + 1, iy + 1);
    return (a * (1 - sx) + b * sx) * (1 - sy) + (c * (1 - sx) + d * sx) * sy;
}

float fbm(float x, float y, uint32_t seed, int octaves, int period) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * value_noise(x, y, seed + uint32_t(o) * 7919u, period);
        norm += amp;
        x *= 2;
        y *= 2;
        if (period > 0) period *= 2;
        amp *= 0.5f;
    }
    return sum / norm;
}

uint64_t Rng::next() {
    s += 0x9E3779B97F4A7C15ull;
    uint64_t z = s;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

float Rng::uniform(float lo, float hi) {
    return lo + (hi - lo) * float(next() >> 40) / float(1u << 24);
}

int Rng::range(int lo, int hi) { return lo + int(next() % uint64_t(hi - lo + 1)); }

}  // namespace mg
