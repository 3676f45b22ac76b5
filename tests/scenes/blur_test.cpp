#include "scenes/blur.h"

#include <gtest/gtest.h>

#include <vector>

#include "gfx/sge.h"
#include "support/headless.h"

namespace {

class BlurPass : public ::testing::Test {
protected:
    HeadlessScreen screen;
    void SetUp() override { sge_Update_OFF(); }
    std::vector<Uint32> pixels() const {
        const Uint32* p = static_cast<const Uint32*>(screen.surface()->pixels);
        return std::vector<Uint32>(p, p + 640 * 480);
    }
    void put(int x, int y, Uint32 c) {
        sge_PutPixel(screen.surface(), static_cast<Sint16>(x), static_cast<Sint16>(y),
                     static_cast<Uint8>(c >> 16), static_cast<Uint8>(c >> 8),
                     static_cast<Uint8>(c));
    }
    // A picture with a different colour almost everywhere.
    void fill_pattern() {
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                put(x, y,
                    rgb(static_cast<Uint8>(x * 7 + y), static_cast<Uint8>(y * 3),
                        static_cast<Uint8>(x ^ y)));
    }
};

TEST_F(BlurPass, UniformPictureIsUnchanged) {
    screen.fill(37, 201, 90);
    const std::vector<Uint32> before = pixels();
    Blur blur(screen.surface());
    for (int pass = 0; pass < 3; ++pass) blur.render(16);
    EXPECT_EQ(pixels(), before);
}

TEST_F(BlurPass, SmearsARedPixelToTheRightWithTheLeftNeighbourAlreadySmoothed) {
    screen.fill(0, 0, 0);
    put(300, 200, rgb(255, 0, 0));
    Blur blur(screen.surface());
    blur.render(16);
    // x - 2 .. x + 5: 0, 255/3, (85 + 255)/3, (113 + 0)/3, 37/3, 12/3, 4/3, 1/3.
    const Uint32 reds[] = {0, 85, 113, 37, 12, 4, 1, 0};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(screen.rgb(298 + i, 200), rgb(static_cast<Uint8>(reds[i]), 0, 0)) << 298 + i;
    EXPECT_EQ(screen.rgb(400, 200), 0u);
    // Rows are smoothed on their own: nothing reaches up or down.
    for (int x = 295; x < 310; ++x) {
        EXPECT_EQ(screen.rgb(x, 199), 0u);
        EXPECT_EQ(screen.rgb(x, 201), 0u);
    }
}

TEST_F(BlurPass, BordersKeepTheirValues) {
    fill_pattern();
    const std::vector<Uint32> before = pixels();
    Blur blur(screen.surface());
    for (int pass = 0; pass < 4; ++pass) blur.render(16);
    const std::vector<Uint32> after = pixels();
    for (int x = 0; x < 640; ++x) {
        EXPECT_EQ(after[x], before[x]) << x;
        EXPECT_EQ(after[479 * 640 + x], before[479 * 640 + x]) << x;
    }
    for (int y = 0; y < 480; ++y) {
        EXPECT_EQ(after[y * 640], before[y * 640]) << y;
        EXPECT_EQ(after[y * 640 + 639], before[y * 640 + 639]) << y;
    }
    EXPECT_NE(after[240 * 640 + 320], before[240 * 640 + 320]);
}

TEST_F(BlurPass, EdgeColumnsAreReadAsNeighbours) {
    screen.fill(0, 0, 0);
    put(0, 100, rgb(0, 90, 0));    // left border: feeds column 1
    put(639, 100, rgb(0, 0, 99));  // right border: feeds column 638
    Blur blur(screen.surface());
    blur.render(16);
    EXPECT_EQ(screen.rgb(1, 100), rgb(0, 30, 0));
    EXPECT_EQ(screen.rgb(2, 100), rgb(0, 10, 0));
    EXPECT_EQ(screen.rgb(638, 100), rgb(0, 0, 33));
    EXPECT_EQ(screen.rgb(0, 100), rgb(0, 90, 0));
    EXPECT_EQ(screen.rgb(639, 100), rgb(0, 0, 99));
}

TEST(BlurFormats, KeepsAlphaBitsOpaqueOnA32BitSurfaceWithAlpha) {
    HeadlessScreen screen;
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 64, 48, 32, 0x000000FF, 0x0000FF00,
                                          0x00FF0000, 0xFF000000);
    ASSERT_NE(s, nullptr);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 10, 20, 30));
    reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + 10 * s->pitch)[10] =
        SDL_MapRGB(s->format, 250, 20, 30);
    Blur blur(s);
    blur.render(16);
    // Red along row 10: column 9 gets (10 + 10 + 250) / 3 = 90, column 10 (90 + 250 + 10) / 3 =
    // 116, column 11 (116 + 10 + 10) / 3 = 45.
    const Uint32 right =
        reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + 10 * s->pitch)[11];
    EXPECT_EQ(right, SDL_MapRGB(s->format, 45, 20, 30));
    EXPECT_EQ(right & 0xFF000000u, 0xFF000000u);
    SDL_FreeSurface(s);
}

TEST(BlurFormats, SmallAndPalettedSurfacesStayInside) {
    HeadlessScreen screen;
    SDL_Surface* s8 = SDL_CreateRGBSurface(SDL_SWSURFACE, 5, 4, 8, 0, 0, 0, 0);
    SDL_Surface* s24 = SDL_CreateRGBSurface(SDL_SWSURFACE, 3, 3, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    SDL_Surface* s1 = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    ASSERT_TRUE(s8 && s24 && s1);
    SDL_FillRect(s8, nullptr, 3);
    SDL_FillRect(s24, nullptr, SDL_MapRGB(s24->format, 9, 99, 199));
    Blur(s8).render(16);
    Blur(s24).render(16);
    Blur(s1).render(16);
    Blur(nullptr).render(16);
    // A palette may hold a colour more than once: the smoothed interior keeps the colour, the
    // border keeps its very index.
    Uint8 r, g, b, r3, g3, b3;
    SDL_GetRGB(3, s8->format, &r3, &g3, &b3);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            const Uint8 index = static_cast<Uint8*>(s8->pixels)[y * s8->pitch + x];
            SDL_GetRGB(index, s8->format, &r, &g, &b);
            EXPECT_EQ(rgb(r, g, b), rgb(r3, g3, b3)) << x << "," << y;
            if (x == 0 || x == 4 || y == 0 || y == 3) {
                EXPECT_EQ(index, 3) << x << "," << y;
            }
        }
    SDL_GetRGB(sge_GetPixel(s24, 1, 1), s24->format, &r, &g, &b);
    EXPECT_EQ(rgb(r, g, b), rgb(9, 99, 199));
    SDL_FreeSurface(s8);
    SDL_FreeSurface(s24);
    SDL_FreeSurface(s1);
}

}  // namespace
