// The generated art as the demo reads it: the glyph sheets' grid and key colour, the sprite
// strips' frames, the pictures' sizes, and the same pixels on every call.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "art.h"
#include "encode.h"

namespace {

using namespace mg;

bool is_key(const Bytes& rgb, size_t pixel) {
    return rgb[pixel * 3] == 129 && rgb[pixel * 3 + 1] == 255 && rgb[pixel * 3 + 2] == 129;
}

// The largest per-channel difference from the key colour (129, 255, 129).
int distance_from_key(const Bytes& rgb, size_t pixel) {
    return std::max({std::abs(rgb[pixel * 3] - 129), std::abs(rgb[pixel * 3 + 1] - 255),
                     std::abs(rgb[pixel * 3 + 2] - 129)});
}

struct Sheet {
    const char* name;
    bool big;
    int cell_w, cell_h;  // the fonts' cells: 25 × 31 and 50 × 100
};
const Sheet SHEETS[] = {{"small", false, 25, 31}, {"big", true, 50, 100}};

// Cell i of a keyed sheet: its pixels' bytes, row by row.
Bytes cell_bytes(const Bytes& rgb, int sheet_w, const Sheet& s, int i) {
    Bytes out;
    for (int y = 0; y < s.cell_h; ++y)
        for (int x = i * s.cell_w; x < (i + 1) * s.cell_w; ++x) {
            const size_t p = size_t(y) * size_t(sheet_w) + size_t(x);
            out.insert(out.end(), rgb.begin() + long(p * 3), rgb.begin() + long(p * 3 + 3));
        }
    return out;
}

}  // namespace

TEST(GlyphSheets, FortyFiveCellsInOneRowEachGlyphInsideItsCellOnTheKeyColour) {
    for (const Sheet& s : SHEETS) {
        SCOPED_TRACE(s.name);
        const Image sheet = glyph_sheet(s.big);
        ASSERT_EQ(sheet.w, 45 * s.cell_w);
        ASSERT_EQ(sheet.h, s.cell_h);
        const Bytes rgb = to_rgb_keyed(sheet);
        std::vector<Bytes> cells;
        for (int i = 0; i < 45; ++i) {
            cells.push_back(cell_bytes(rgb, sheet.w, s, i));
            int ink = 0, near_key = 0;
            for (int y = 0; y < s.cell_h; ++y)
                for (int x = i * s.cell_w; x < (i + 1) * s.cell_w; ++x) {
                    const size_t p = size_t(y) * size_t(sheet.w) + size_t(x);
                    if (is_key(rgb, p)) continue;
                    ++ink;
                    near_key += distance_from_key(rgb, p) < 40;
                }
            EXPECT_EQ(near_key, 0) << "cell " << i << ": art close to the key colour";
            if (i == 28) {
                EXPECT_EQ(ink, 0) << "the cell for characters without a glyph is blank";
            } else {
                EXPECT_GT(ink, s.cell_w * s.cell_h / 20)
                    << "cell " << i << " (" << char(GLYPH_ORDER[i]) << ")";
            }
        }
        // Every glyph is its own: no two cells alike.
        for (int i = 0; i < 45; ++i)
            for (int j = i + 1; j < 45; ++j)
                EXPECT_NE(cells[size_t(i)], cells[size_t(j)]) << i << " and " << j;
    }
}

TEST(GlyphSheets, TheInkFitsTheAdvanceSoNeighboursDoNotCover) {
    // Text advances 15 px (small) or 35 px (big) per character and each cell is drawn over the
    // one before: a glyph's ink must end left of where any next glyph's ink can begin.
    const int advance[] = {15, 35};
    for (int k = 0; k < 2; ++k) {
        const Sheet& s = SHEETS[k];
        SCOPED_TRACE(s.name);
        const Image sheet = glyph_sheet(s.big);
        const Bytes rgb = to_rgb_keyed(sheet);
        int first_left = s.cell_w, last_right = -1, widest = 0;
        for (int i = 0; i < 45; ++i) {
            int left = s.cell_w, right = -1;
            for (int y = 0; y < s.cell_h; ++y)
                for (int cx = 0; cx < s.cell_w; ++cx)
                    if (!is_key(rgb, size_t(y) * size_t(sheet.w) + size_t(i * s.cell_w + cx))) {
                        left = std::min(left, cx);
                        right = std::max(right, cx);
                    }
            if (right < 0) continue;
            first_left = std::min(first_left, left);
            last_right = std::max(last_right, right);
            widest = std::max(widest, right - left + 1);
        }
        EXPECT_LT(last_right, advance[k] + first_left);
        EXPECT_GT(widest, advance[k] / 2);
    }
}

TEST(SpriteStrips, EachHasItsFramesSideBySideOfTheirSize) {
    struct StripCase {
        const char* name;
        std::function<Image()> make;
        int frames, frame_w, frame_h;
    };
    const StripCase strips[] = {
        {"sm", strip_sm, 10, 80, 90},   {"bi", strip_bi, 9, 64, 56},   {"bl", strip_bl, 6, 80, 80},
        {"cra", strip_cra, 4, 100, 72}, {"crb", strip_crb, 6, 96, 70}, {"dm", strip_dm, 5, 72, 88},
        {"st", strip_st, 8, 40, 40},    {"wm", strip_wm, 5, 56, 100},
    };
    for (const StripCase& c : strips) {
        SCOPED_TRACE(c.name);
        const Image strip = c.make();
        ASSERT_EQ(strip.w, c.frames * c.frame_w);
        ASSERT_EQ(strip.h, c.frame_h);
        std::vector<std::vector<float>> frames;
        for (int f = 0; f < c.frames; ++f) {
            std::vector<float> px;
            float coverage = 0;
            for (int y = 0; y < c.frame_h; ++y)
                for (int x = f * c.frame_w; x < (f + 1) * c.frame_w; ++x) {
                    const Rgba p = strip.get(x, y);
                    px.insert(px.end(), {p.r * p.a, p.g * p.a, p.b * p.a, p.a});
                    coverage += p.a;
                    // The figure stays inside its frame: the frame's outer columns are clear, so
                    // nothing of a neighbour frame shows when one frame is drawn.
                    const int fx = x - f * c.frame_w;
                    if (fx == 0 || fx == c.frame_w - 1) {
                        EXPECT_EQ(p.a, 0.0f) << "frame " << f << " at (" << fx << ", " << y << ")";
                    }
                }
            frames.push_back(px);
            // A figure, on a transparent ground: between a tenth and nine tenths of the frame.
            EXPECT_GT(coverage, 0.1f * float(c.frame_w * c.frame_h)) << "frame " << f;
            EXPECT_LT(coverage, 0.9f * float(c.frame_w * c.frame_h)) << "frame " << f;
        }
        // An animation: each frame differs from the one before it.
        for (int f = 1; f < c.frames; ++f)
            EXPECT_NE(frames[size_t(f)], frames[size_t(f - 1)]) << "frame " << f;
        // The same strip on every call.
        EXPECT_EQ(c.make().px, strip.px);
    }
}

TEST(Pictures, HaveTheSizesTheScenesDrawThemAt) {
    struct PictureCase {
        const char* name;
        std::function<Image()> make;
        int w, h;
    };
    const PictureCase pictures[] = {
        {"aa", picture_aa, 640, 480},      {"fd", picture_fd, 1280, 480},
        {"fa", picture_fa, 640, 480},      {"fc", picture_fc, 640, 480},
        {"fg.jpg", picture_fgj, 640, 480}, {"tv", picture_tv, 640, 480},
        {"bb", logo_upper, 640, 131},      {"ba", logo_lower, 640, 150},
        {"fg.png", tile_fg, 320, 240},
    };
    for (const PictureCase& c : pictures) {
        const Image img = c.make();
        EXPECT_EQ(img.w, c.w) << c.name;
        EXPECT_EQ(img.h, c.h) << c.name;
    }
}

TEST(Pictures, TheKeyedOnesAreKeyedAroundTheirArtAndTheTileRepeatsSeamlessly) {
    for (const auto& make :
         {std::function<Image()>(logo_upper), std::function<Image()>(logo_lower)}) {
        const Image logo = make();
        const Bytes rgb = to_rgb_keyed(logo);
        size_t keyed = 0, near_key = 0;
        for (size_t p = 0; p < size_t(logo.w) * size_t(logo.h); ++p) {
            keyed += is_key(rgb, p);
            near_key += !is_key(rgb, p) && distance_from_key(rgb, p) < 40;
        }
        EXPECT_GT(keyed, size_t(logo.w) * size_t(logo.h) / 5) << "a logo over a see-through ground";
        EXPECT_LT(keyed, size_t(logo.w) * size_t(logo.h)) << "and with art in it";
        EXPECT_EQ(near_key, 0u);
    }

    // The tile is laid side by side: its opposite edges must meet without a seam, i.e. the step
    // across the wrap is no larger than the steps inside the picture near it.
    const Image tile = tile_fg();
    const Bytes rgb = to_rgb(tile);
    auto at = [&](int x, int y, int ch) {
        return int(rgb[(size_t(y) * size_t(tile.w) + size_t(x)) * 3 + size_t(ch)]);
    };
    long across = 0, inside = 0;
    for (int y = 0; y < tile.h; ++y)
        for (int ch = 0; ch < 3; ++ch) {
            across += std::abs(at(tile.w - 1, y, ch) - at(0, y, ch));
            inside += std::abs(at(tile.w - 2, y, ch) - at(tile.w - 1, y, ch)) +
                      std::abs(at(0, y, ch) - at(1, y, ch));
        }
    for (int x = 0; x < tile.w; ++x)
        for (int ch = 0; ch < 3; ++ch) {
            across += std::abs(at(x, tile.h - 1, ch) - at(x, 0, ch));
            inside += std::abs(at(x, tile.h - 2, ch) - at(x, tile.h - 1, ch)) +
                      std::abs(at(x, 0, ch) - at(x, 1, ch));
        }
    EXPECT_LE(across, inside) << "the tile's wrap is a visible seam";
}
