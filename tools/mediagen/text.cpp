#include "text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

namespace mg {

namespace {

constexpr int OVERSAMPLE = 4;  // the distance field is built on a grid 4× finer than the image
constexpr int MARGIN = 20;     // px of free space around the ink, room for outlines

// Squared distance transform of one line (Felzenszwalb and Huttenlocher): d[q] = min over p of
// (q - p)² + f[p].
void edt_line(const std::vector<double>& f, std::vector<double>& d, int n) {
    std::vector<int> v(n);
    std::vector<double> z(n + 1);
    int k = 0;
    v[0] = 0;
    z[0] = -std::numeric_limits<double>::infinity();
    z[1] = std::numeric_limits<double>::infinity();
    for (int q = 1; q < n; ++q) {
        double s =
            ((f[q] + double(q) * q) - (f[v[k]] + double(v[k]) * v[k])) / (2.0 * q - 2.0 * v[k]);
        while (s <= z[k]) {
            --k;
            s = ((f[q] + double(q) * q) - (f[v[k]] + double(v[k]) * v[k])) / (2.0 * q - 2.0 * v[k]);
        }
        ++k;
        v[k] = q;
        z[k] = s;
        z[k + 1] = std::numeric_limits<double>::infinity();
    }
    k = 0;
    for (int q = 0; q < n; ++q) {
        while (z[k + 1] < q) ++k;
        d[q] = double(q - v[k]) * (q - v[k]) + f[v[k]];
    }
}

// Euclidean distance from every cell to the nearest cell where `feature` is set.
std::vector<double> distance_to(const std::vector<uint8_t>& feature, int w, int h) {
    const double far = 1e12;
    std::vector<double> g(size_t(w) * h);
    std::vector<double> f(std::max(w, h)), d(std::max(w, h));
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) f[y] = feature[size_t(y) * w + x] ? 0.0 : far;
        edt_line(f, d, h);
        for (int y = 0; y < h; ++y) g[size_t(y) * w + x] = d[y];
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) f[x] = g[size_t(y) * w + x];
        edt_line(f, d, w);
        for (int x = 0; x < w; ++x) g[size_t(y) * w + x] = std::sqrt(d[x]);
    }
    return g;
}

}  // namespace

struct OutlineFont::Impl {
    FT_Library lib = nullptr;
    FT_Face face = nullptr;

    void size(float size_y, float size_x) const {
        FT_F26Dot6 ch = FT_F26Dot6(std::lround(size_y * OVERSAMPLE * 64));
        FT_F26Dot6 cw = FT_F26Dot6(std::lround((size_x > 0 ? size_x : size_y) * OVERSAMPLE * 64));
        FT_Set_Char_Size(face, cw, ch, 72, 72);
    }
};

OutlineFont::OutlineFont(const char* path) : impl_(new Impl) {
    if (FT_Init_FreeType(&impl_->lib) || FT_New_Face(impl_->lib, path, 0, &impl_->face))
        throw std::runtime_error(std::string("cannot open font ") + path);
}

OutlineFont::~OutlineFont() {
    FT_Done_Face(impl_->face);
    FT_Done_FreeType(impl_->lib);
    delete impl_;
}

float OutlineFont::measure(const std::u32string& s, float size_y, float size_x,
                           float tracking) const {
    impl_->size(size_y, size_x);
    float pen = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        FT_Load_Char(impl_->face, s[i], FT_LOAD_NO_HINTING);
        pen += float(impl_->face->glyph->advance.x) / 64.0f / OVERSAMPLE;
        if (i + 1 < s.size()) pen += tracking;
    }
    return pen;
}

void OutlineFont::ink_box(const std::u32string& s, float size_y, float size_x, float tracking,
                          float b[4]) const {
    impl_->size(size_y, size_x);
    FT_Face face = impl_->face;
    b[0] = b[1] = 1e9f;
    b[2] = b[3] = -1e9f;
    float pen = 0;
    for (char32_t c : s) {
        FT_Load_Char(face, c, FT_LOAD_NO_HINTING | FT_LOAD_RENDER);
        FT_GlyphSlot g = face->glyph;
        if (g->bitmap.width > 0) {
            b[0] = std::min(b[0], pen + float(g->bitmap_left) / OVERSAMPLE);
            b[1] = std::min(b[1], -float(g->bitmap_top) / OVERSAMPLE);
            b[2] = std::max(b[2], pen + float(g->bitmap_left + int(g->bitmap.width)) / OVERSAMPLE);
            b[3] = std::max(b[3], float(int(g->bitmap.rows) - g->bitmap_top) / OVERSAMPLE);
        }
        pen += float(g->advance.x) / 64.0f / OVERSAMPLE + tracking;
    }
}

Shape OutlineFont::text(const std::u32string& s, float x, float baseline, float size_y,
                        float size_x, float tracking) const {
    float box[4];
    ink_box(s, size_y, size_x, tracking, box);
    if (box[0] > box[2]) return {[](float, float) { return 1e6f; }, 0, 0, 0, 0};
    impl_->size(size_y, size_x);
    FT_Face face = impl_->face;
    // Grid origin in image px: the ink box plus a margin, snapped so grid cells fall on image
    // pixels.
    float gx0 = std::floor(x + box[0]) - MARGIN, gy0 = std::floor(baseline + box[1]) - MARGIN;
    int gw = int((std::ceil(x + box[2]) + MARGIN - gx0) * OVERSAMPLE);
    int gh = int((std::ceil(baseline + box[3]) + MARGIN - gy0) * OVERSAMPLE);
    std::vector<uint8_t> cover(size_t(gw) * gh, 0);
    float pen = x;
    for (char32_t c : s) {
        FT_Load_Char(face, c, FT_LOAD_NO_HINTING | FT_LOAD_RENDER);
        FT_GlyphSlot g = face->glyph;
        int ox = int(std::lround((pen - gx0) * OVERSAMPLE)) + g->bitmap_left;
        int oy = int(std::lround((baseline - gy0) * OVERSAMPLE)) - g->bitmap_top;
        for (unsigned r = 0; r < g->bitmap.rows; ++r) {
            for (unsigned col = 0; col < g->bitmap.width; ++col) {
                int gx = ox + int(col), gy = oy + int(r);
                if (gx < 0 || gy < 0 || gx >= gw || gy >= gh) continue;
                uint8_t v = g->bitmap.buffer[r * unsigned(g->bitmap.pitch) + col];
                uint8_t& dst = cover[size_t(gy) * gw + gx];
                dst = std::max(dst, v);
            }
        }
        pen += float(g->advance.x) / 64.0f / OVERSAMPLE + tracking;
    }
    std::vector<uint8_t> inside(cover.size()), outside(cover.size());
    for (size_t i = 0; i < cover.size(); ++i) {
        inside[i] = cover[i] >= 128;
        outside[i] = !inside[i];
    }
    std::vector<double> to_in = distance_to(inside, gw, gh), to_out = distance_to(outside, gw, gh);
    std::vector<float> dist(cover.size());
    for (size_t i = 0; i < cover.size(); ++i)
        dist[i] = inside[i] ? -float(to_out[i] - 0.5) : float(to_in[i] - 0.5);
    return field(std::move(dist), gw, gh, float(OVERSAMPLE), gx0, gy0);
}

std::u32string u32(const std::string& utf8) {
    std::u32string out;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        char32_t cp;
        int extra;
        if (c < 0x80) {
            cp = c;
            extra = 0;
        } else if ((c >> 5) == 6) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c >> 4) == 14) {
            cp = c & 0x0F;
            extra = 2;
        } else {
            cp = c & 0x07;
            extra = 3;
        }
        ++i;
        for (int k = 0; k < extra && i < utf8.size(); ++k, ++i)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        out.push_back(cp);
    }
    return out;
}

}  // namespace mg
