#include "scenes/drifting_sprites.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "support/headless.h"
#include "support/sprite_scenes_fixtures.h"

namespace {
constexpr Uint32 UPPER = rgb(200, 20, 10);
constexpr Uint32 LOWER = rgb(10, 20, 200);
constexpr Uint32 BACKGROUND = rgb(50, 50, 50);
constexpr int FRAME_W = 64;  // wide enough that a sprite at x = −50 still shows 14 columns
constexpr int FRAME_H = 40;

// The layout srand(244243) gives: the C library's first 160 values after that seed taken four at
// a time as x = value mod 641, y = value mod 401, speed = 3 + value mod 5, frame = value mod 8
// (the first four values are 1538135363, 710102199, 244549541 and 1395123988: 96, 171, 4, 4).
struct Placement {
    int x, y, speed, frame;
};
constexpr Placement LAYOUT[DriftingSprites::SPRITE_COUNT] = {
    {96, 171, 4, 4},  {514, 155, 6, 3}, {268, 367, 6, 3}, {292, 296, 4, 6}, {179, 259, 7, 2},
    {576, 21, 6, 0},  {139, 214, 5, 6}, {184, 95, 7, 4},  {329, 286, 7, 3}, {427, 322, 4, 3},
    {478, 273, 7, 7}, {239, 140, 6, 3}, {443, 274, 6, 0}, {532, 88, 7, 0},  {515, 139, 3, 1},
    {63, 274, 3, 5},  {347, 274, 4, 1}, {607, 215, 7, 4}, {495, 199, 7, 2}, {254, 346, 7, 7},
    {265, 250, 7, 4}, {597, 100, 3, 3}, {552, 66, 4, 6},  {86, 70, 5, 1},   {522, 33, 6, 1},
    {417, 75, 7, 4},  {440, 171, 5, 6}, {57, 329, 3, 5},  {33, 247, 6, 3},  {248, 400, 3, 4},
    {41, 53, 3, 3},   {266, 288, 6, 3}, {185, 109, 7, 7}, {601, 282, 6, 2}, {518, 296, 5, 7},
    {518, 274, 5, 6}, {151, 154, 5, 0}, {126, 3, 4, 6},   {396, 219, 4, 6}, {235, 363, 3, 2},
};
// The generator's 161st value after the seed: the first one a pass draws.
constexpr int VALUE_161 = 1371733653;
// Values 161 to 200 taken mod 8: the frames of the first re-pick, in record order.
constexpr int FIRST_REPICK[DriftingSprites::SPRITE_COUNT] = {
    5, 7, 1, 4, 2, 4, 6, 6, 5, 6, 5, 3, 4, 1, 1, 7, 7, 3, 7, 3,
    3, 4, 1, 5, 3, 3, 4, 2, 2, 6, 4, 7, 5, 5, 3, 7, 1, 1, 5, 6,
};
// Values 161 (1371733653) and 162 taken mod 401: the heights of the first two wraps.
constexpr int FIRST_WRAP_Y = 71, SECOND_WRAP_Y = 309;
}  // namespace

class DriftingSpritesPass : public ::testing::Test {
protected:
    MediaDir media;
    HeadlessScreen screen;
    SDL_Surface* upper = make_rgb_surface(20, 10, UPPER);
    SDL_Surface* lower = make_rgb_surface(20, 10, LOWER);
    void SetUp() override { media.write_strip("st.png", FRAME_W, FRAME_H, 8); }
    void TearDown() override {
        SDL_FreeSurface(upper);
        SDL_FreeSurface(lower);
    }
    void pass(DriftingSprites& scene, int delta) {
        screen.fill(50, 50, 50);
        scene.render(delta);
    }
};

TEST_F(DriftingSpritesPass, SeedGivesTheKnownLayoutEveryTimeWithFourDrawsPerSprite) {
    SpriteSet current;
    std::rand();  // draws before construction change nothing: it seeds itself
    DriftingSprites first(screen.surface(), current, upper, lower);
    EXPECT_EQ(std::rand(), VALUE_161) << "construction takes 160 values, no more, no fewer";
    EXPECT_EQ(first.ticker.ms, 0);
    for (int i = 0; i < DriftingSprites::SPRITE_COUNT; ++i) {
        const DriftingSprite& s = first.sprites[i];
        EXPECT_EQ(s.x, LAYOUT[i].x) << i;
        EXPECT_EQ(s.y, LAYOUT[i].y) << i;
        EXPECT_EQ(s.speed, static_cast<float>(LAYOUT[i].speed)) << i;
        EXPECT_EQ(s.frame, LAYOUT[i].frame) << i;
        EXPECT_TRUE(s.x >= 0 && s.x <= 640) << i;
        EXPECT_TRUE(s.y >= 0 && s.y <= 400) << i;
        EXPECT_TRUE(s.speed == 3.0f || s.speed == 4.0f || s.speed == 5.0f || s.speed == 6.0f ||
                    s.speed == 7.0f)
            << i;
        EXPECT_TRUE(s.frame >= 0 && s.frame <= 7) << i;
    }
    std::rand();
    DriftingSprites second(screen.surface(), current, upper, lower);
    for (int i = 0; i < DriftingSprites::SPRITE_COUNT; ++i) {
        EXPECT_EQ(second.sprites[i].x, LAYOUT[i].x) << i;
        EXPECT_EQ(second.sprites[i].y, LAYOUT[i].y) << i;
        EXPECT_EQ(second.sprites[i].frame, LAYOUT[i].frame) << i;
    }
}

TEST_F(DriftingSpritesPass, DrawsEverySpriteBeforeMovingItThenTheLogos) {
    SpriteSet current;
    DriftingSprites scene(screen.surface(), current, upper, lower);
    DriftingSprite before[DriftingSprites::SPRITE_COUNT];
    std::copy(std::begin(scene.sprites), std::end(scene.sprites), before);
    pass(scene, 16);

    // Each sprite's top-left pixel shows the frame of the last sprite drawn over it.
    auto covers = [](const DriftingSprite& s, int x, int y) {
        return x >= s.x && x < s.x + FRAME_W && y >= s.y && y < s.y + FRAME_H;
    };
    int checked = 0;
    for (const DriftingSprite& s : before) {
        if (s.x >= 640 || (s.x < 20 && (s.y < 10 || (s.y >= 306 && s.y < 316)))) continue;
        int top = -1;
        for (int j = 0; j < DriftingSprites::SPRITE_COUNT; ++j)
            if (covers(before[j], s.x, s.y)) top = j;
        EXPECT_EQ(frame_at(screen, s.x, s.y), before[top].frame) << s.x << "," << s.y;
        ++checked;
    }
    EXPECT_GT(checked, 30);
    // The logos over everything.
    EXPECT_EQ(screen.rgb(0, 0), UPPER);
    EXPECT_EQ(screen.rgb(19, 9), UPPER);
    EXPECT_EQ(screen.rgb(0, 306), LOWER);
    EXPECT_EQ(screen.rgb(19, 315), LOWER);

    // Moved by their speed; no re-pick at 16 ms.
    EXPECT_EQ(scene.ticker.ms, 16);
    for (int i = 0; i < DriftingSprites::SPRITE_COUNT; ++i) {
        const int moved = before[i].x + static_cast<int>(before[i].speed);
        EXPECT_EQ(scene.sprites[i].x, moved <= 640 ? moved : -50) << i;
        EXPECT_EQ(scene.sprites[i].frame, before[i].frame) << i;
    }
}

TEST_F(DriftingSpritesPass, RepicksAbove100InRecordOrderAndMovesPerPass) {
    SpriteSet current;
    DriftingSprites scene(screen.surface(), current, nullptr, nullptr);
    // A grid with no overlaps and no wraps for the three passes below.
    for (int i = 0; i < DriftingSprites::SPRITE_COUNT; ++i) {
        scene.sprites[i].x = (i % 8) * 75;
        scene.sprites[i].y = (i / 8) * 80;
    }
    DriftingSprite before[DriftingSprites::SPRITE_COUNT];
    std::copy(std::begin(scene.sprites), std::end(scene.sprites), before);

    pass(scene, 100);  // exactly 100: no re-pick
    EXPECT_EQ(scene.ticker.ms, 100);
    for (int i = 0; i < DriftingSprites::SPRITE_COUNT; ++i)
        EXPECT_EQ(scene.sprites[i].frame, before[i].frame) << i;

    pass(scene, 1);  // 101: every sprite re-picks, after being drawn with its old frame
    EXPECT_EQ(scene.ticker.ms, 0);
    const int* picked = FIRST_REPICK;  // the draws right after construction's 160, in record order
    for (int i = 0; i < DriftingSprites::SPRITE_COUNT; ++i) {
        EXPECT_EQ(scene.sprites[i].frame, picked[i]) << i;
        const int drawn_x = before[i].x + static_cast<int>(before[i].speed);
        EXPECT_EQ(frame_at(screen, drawn_x + 1, before[i].y + 1), before[i].frame) << i;
    }

    pass(scene, 1000);  // a long pass moves no farther than a short one; it shows the new frames
    for (int i = 0; i < DriftingSprites::SPRITE_COUNT; ++i) {
        const int step = static_cast<int>(before[i].speed);
        EXPECT_EQ(scene.sprites[i].x, before[i].x + 3 * step) << i;
        EXPECT_EQ(frame_at(screen, before[i].x + 2 * step + 1, before[i].y + 1), picked[i]) << i;
    }
}

TEST_F(DriftingSpritesPass, WrapsOnlyPast640AndComesBackAtMinus50) {
    SpriteSet current;
    DriftingSprites scene(screen.surface(), current, nullptr, nullptr);
    for (DriftingSprite& s : scene.sprites) s.x = -200;  // out of sight, never wrapping
    scene.sprites[0] = {636, 100, 4.0f, 2};
    scene.sprites[1] = {636, 300, 5.0f, 5};

    pass(scene, 16);
    EXPECT_EQ(frame_at(screen, 639, 101), 2);
    EXPECT_EQ(frame_at(screen, 639, 301), 5);
    EXPECT_EQ(scene.sprites[0].x, 640);  // 640 is not past the edge
    EXPECT_EQ(scene.sprites[0].y, 100);
    EXPECT_EQ(scene.sprites[1].x, -50);  // 641 is: a new height
    const int y1 = scene.sprites[1].y;

    pass(scene, 16);
    EXPECT_EQ(screen.rgb(639, 101), BACKGROUND);  // drawn at 640: nothing shows
    EXPECT_EQ(scene.sprites[0].x, -50);
    EXPECT_EQ(frame_at(screen, 0, y1 + 1), 5);  // drawn at x = −50: columns 0..13 show
    EXPECT_EQ(frame_at(screen, 13, y1 + 1), 5);
    EXPECT_EQ(screen.rgb(14, y1 + 1), BACKGROUND);
    EXPECT_EQ(scene.sprites[1].x, -45);
    EXPECT_EQ(scene.sprites[1].y, y1);

    // The new heights are the two draws after the layout's 160, in wrap order.
    EXPECT_EQ(y1, FIRST_WRAP_Y);
    EXPECT_EQ(scene.sprites[0].y, SECOND_WRAP_Y);
}

TEST_F(DriftingSpritesPass, MissingOrTooNarrowStripDrawsOnlyTheLogos) {
    media.write_solid("st.png", 7, 1, rgb(1, 2, 3));  // 8 frames of width 0
    SpriteSet current;
    ASSERT_NE(current[st], nullptr);
    DriftingSprites scene(screen.surface(), current, upper, lower);
    std::remove(media.path("st.png").c_str());
    SpriteSet missing;
    ASSERT_EQ(missing[st], nullptr);
    DriftingSprites absent(screen.surface(), missing, nullptr, nullptr);
    for (DriftingSprites* s : {&scene, &absent}) {
        pass(*s, 16);
        pass(*s, 101);
        for (int y = 20; y < 300; y += 3)
            for (int x = 0; x < 640; x += 3) ASSERT_EQ(screen.rgb(x, y), BACKGROUND) << x << "," << y;
    }
    EXPECT_EQ(screen.rgb(0, 0), BACKGROUND);
}
