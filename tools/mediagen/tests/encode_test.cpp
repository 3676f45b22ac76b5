// The generator's encoders: images to 8-bit pixels, PNG and JPEG bytes decoded back the way the
// demo loads them (SDL_image), and the same bytes for the same input.

#include "encode.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "media.h"

namespace {

using namespace mg;

// Decodes `file` with SDL_image and returns its pixels as RGBA bytes, row by row; w and h set.
Bytes decode(const Bytes& file, int& w, int& h) {
    SDL_RWops* rw = SDL_RWFromConstMem(file.data(), int(file.size()));
    SDL_Surface* raw = IMG_Load_RW(rw, 1);
    if (!raw) {
        ADD_FAILURE() << "SDL_image cannot decode: " << IMG_GetError();
        return {};
    }
    w = raw->w;
    h = raw->h;
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0x000000FF, 0x0000FF00,
                                          0x00FF0000, 0xFF000000);
    SDL_SetAlpha(raw, 0, 255);  // copy the alpha channel itself, not blend with it
    SDL_BlitSurface(raw, nullptr, s, nullptr);
    Bytes out(size_t(w) * size_t(h) * 4);
    for (int y = 0; y < h; ++y)
        std::memcpy(&out[size_t(y) * size_t(w) * 4],
                    static_cast<const Uint8*>(s->pixels) + y * s->pitch, size_t(w) * 4);
    const bool had_alpha = raw->format->Amask != 0;
    SDL_FreeSurface(s);
    SDL_FreeSurface(raw);
    if (!had_alpha)
        for (size_t i = 3; i < out.size(); i += 4) out[i] = 255;
    return out;
}

// A test card: every pixel a different colour from its coordinates.
Bytes card(int w, int h, int channels) {
    Bytes b;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            b.push_back(uint8_t(x * 7 + y));
            b.push_back(uint8_t(y * 11));
            b.push_back(uint8_t(255 - x * 3));
            if (channels == 4) b.push_back(uint8_t((x + y) % 2 ? 255 : x * 16));
        }
    return b;
}

uint32_t be32(const Bytes& b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

class Encoders : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SDL_Init(0), 0); }
    void TearDown() override { SDL_Quit(); }
};

}  // namespace

TEST(Pixels, OpaqueKeyedAndAlphaConversions) {
    Image img(3, 1);
    img.set(0, 0, {200, 100, 50, 1.0f});
    img.set(1, 0, {200, 100, 50, 0.5f});  // exactly half covered
    img.set(2, 0, {200, 100, 50, 0.25f});
    // Opaque: transparency laid over black.
    EXPECT_EQ(to_rgb(img), (Bytes{200, 100, 50, 100, 50, 25, 50, 25, 13}));
    // Keyed: at least half covered keeps its colour at full strength, the rest is the key.
    EXPECT_EQ(to_rgb_keyed(img), (Bytes{200, 100, 50, 200, 100, 50, 129, 255, 129}));
    // Alpha: straight colour, alpha scaled to 255.
    EXPECT_EQ(to_rgba(img), (Bytes{200, 100, 50, 255, 200, 100, 50, 128, 200, 100, 50, 64}));
    // Nothing at all: zero bytes, whatever the colour, and out-of-range values clamp.
    Image edge(2, 1);
    edge.set(0, 0, {300, -20, 128, 1.0f});
    EXPECT_EQ(to_rgba(edge), (Bytes{255, 0, 128, 255, 0, 0, 0, 0}));
    EXPECT_EQ(to_rgb(edge), (Bytes{255, 0, 128, 0, 0, 0}));
}

TEST_F(Encoders, PngComesBackPixelForPixelWithItsRowsUnfiltered) {
    for (int channels : {3, 4}) {
        SCOPED_TRACE(channels);
        const int w = 37, h = 23;
        const Bytes pixels = card(w, h, channels);
        const Bytes png = encode_png(pixels, w, h, channels);
        ASSERT_GT(png.size(), 33u);
        EXPECT_EQ(Bytes(png.begin(), png.begin() + 8),
                  (Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
        EXPECT_EQ(be32(png, 16), uint32_t(w));
        EXPECT_EQ(be32(png, 20), uint32_t(h));
        EXPECT_EQ(png[24], 8);                      // bits per channel
        EXPECT_EQ(png[25], channels == 3 ? 2 : 6);  // RGB or RGBA
        int dw = 0, dh = 0;
        const Bytes back = decode(png, dw, dh);
        ASSERT_EQ(dw, w);
        ASSERT_EQ(dh, h);
        for (size_t p = 0; p < size_t(w) * size_t(h); ++p)
            for (int ch = 0; ch < channels; ++ch)
                ASSERT_EQ(back[p * 4 + size_t(ch)], pixels[p * size_t(channels) + size_t(ch)])
                    << "pixel " << p;

        // The image data, inflated: every row starts with filter type 0 (None).
        Bytes idat;
        for (size_t at = 8; at + 8 <= png.size();) {
            const uint32_t len = be32(png, at);
            if (std::memcmp(&png[at + 4], "IDAT", 4) == 0)
                idat.insert(idat.end(), png.begin() + long(at + 8),
                            png.begin() + long(at + 8 + len));
            at += 12 + len;
        }
        const size_t row = 1 + size_t(w) * size_t(channels);
        Bytes raw(row * size_t(h) + 16);
        uLongf raw_len = uLongf(raw.size());
        ASSERT_EQ(uncompress(raw.data(), &raw_len, idat.data(), uLong(idat.size())), Z_OK);
        ASSERT_EQ(raw_len, row * size_t(h));
        for (int y = 0; y < h; ++y) EXPECT_EQ(raw[size_t(y) * row], 0) << "row " << y;
    }
}

TEST_F(Encoders, JpegKeepsFlatBlocksExactAndDoesNotSubsampleColour) {
    // 8 × 8 blocks of one colour each: with a DC step of 1 and full-resolution chroma a flat block
    // decodes to its colour (the key colour exactly).
    const int w = 32, h = 16;
    const uint8_t colours[][3] = {{129, 255, 129}, {0, 215, 246}, {248, 225, 170}, {18, 13, 40},
                                  {255, 0, 0},     {0, 0, 255},   {255, 255, 255}, {0, 0, 0}};
    Bytes rgb;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* c = colours[(y / 8) * 4 + x / 8];
            rgb.insert(rgb.end(), c, c + 3);
        }
    const Bytes jpeg = encode_jpeg(rgb, w, h, 88);
    int dw = 0, dh = 0;
    const Bytes back = decode(jpeg, dw, dh);
    ASSERT_EQ(dw, w);
    ASSERT_EQ(dh, h);
    // The key colour exactly; other colours within the colour conversion's rounding (one step).
    for (size_t p = 0; p < size_t(w) * size_t(h); ++p) {
        const bool key = rgb[p * 3] == 129 && rgb[p * 3 + 1] == 255 && rgb[p * 3 + 2] == 129;
        for (int ch = 0; ch < 3; ++ch)
            ASSERT_NEAR(back[p * 4 + size_t(ch)], rgb[p * 3 + size_t(ch)], key ? 0 : 1)
                << "pixel " << p;
    }

    // Baseline, three components, each sampled 1 × 1.
    size_t sof = 0;
    for (size_t i = 2; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            sof = i;
            break;
        }
    ASSERT_NE(sof, 0u) << "no baseline frame header";
    ASSERT_EQ(jpeg[sof + 9], 3);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(jpeg[sof + 11 + size_t(c) * 3], 0x11) << "component " << c;

    // A keyed picture through the check the generator applies to keyed JPEGs.
    Bytes keyed = rgb;
    EXPECT_EQ(verify_keyed_jpeg(jpeg, keyed, w, h), "");
    keyed[0] = 1;  // the first pixel no longer meant as key, yet it decodes as key
    EXPECT_NE(verify_keyed_jpeg(jpeg, keyed, w, h), "");
    EXPECT_NE(verify_keyed_jpeg(jpeg, rgb, w + 8, h), "");  // the wrong size
    EXPECT_NE(verify_keyed_jpeg(Bytes{1, 2, 3}, rgb, w, h), "");
}

TEST_F(Encoders, TheSameInputGivesTheSameBytes) {
    const Bytes pixels = card(64, 40, 3);
    EXPECT_EQ(encode_png(pixels, 64, 40, 3), encode_png(pixels, 64, 40, 3));
    EXPECT_EQ(encode_jpeg(pixels, 64, 40, 88), encode_jpeg(pixels, 64, 40, 88));
    Bytes other = pixels;
    other[100] ^= 1;
    EXPECT_NE(encode_png(other, 64, 40, 3), encode_png(pixels, 64, 40, 3));
    std::vector<int16_t> tone(2 * 44100 / 4);
    for (size_t i = 0; i < tone.size(); ++i) tone[i] = int16_t((i / 2) % 100 < 50 ? 8000 : -8000);
    EXPECT_EQ(encode_ogg(tone, 0.25f), encode_ogg(tone, 0.25f));
}
