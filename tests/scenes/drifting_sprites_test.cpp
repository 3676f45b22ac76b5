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

// The start layout the seed gives, drawn here with our own replay of the generator.
void replay_layout(DriftingSprite (&out)[DriftingSprites::SPRITE_COUNT]) {
    std::srand(244243);
    for (DriftingSprite& s : out) {
        s.x = replay_random(0, 640);
        s.y = replay_random(0, 400);
        s.speed = static_cast<float>(replay_random(3, 7));
        s.frame = replay_random(0, 7);
    }
}
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

TEST_F(DriftingSpritesPass, SeedGivesTheSameLayoutEveryTime) {
    SpriteSet current;
    std::rand();  // draws before construction change nothing: it seeds itself
    DriftingSprites first(screen.surface(), current, upper, lower);
    DriftingSprite expected[DriftingSprites::SPRITE_COUNT];
    replay_layout(expected);
    EXPECT_EQ(first.ticker.ms, 0);
    for (int i = 0; i < DriftingSprites::SPRITE_COUNT; ++i) {
        EXPECT_EQ(first.sprites[i].x, expected[i].x) << i;
        EXPECT_EQ(first.sprites[i].y, expected[i].y) << i;
        EXPECT_EQ(first.sprites[i].speed, expected[i].speed) << i;
        EXPECT_EQ(first.sprites[i].frame, expected[i].frame) << i;
        EXPECT_TRUE(first.sprites[i].x >= 0 && first.sprites[i].x <= 640);
        EXPECT_TRUE(first.sprites[i].y >= 0 && first.sprites[i].y <= 400);
        EXPECT_TRUE(first.sprites[i].speed >= 3.0f && first.sprites[i].speed <= 7.0f);
        EXPECT_TRUE(first.sprites[i].frame >= 0 && first.sprites[i].frame <= 7);
    }
    std::rand();
    DriftingSprites second(screen.surface(), current, upper, lower);
    for (int i = 0; i < DriftingSprites::SPRITE_COUNT; ++i) {
        EXPECT_EQ(second.sprites[i].x, expected[i].x) << i;
        EXPECT_EQ(second.sprites[i].frame, expected[i].frame) << i;
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
    DriftingSprite layout[DriftingSprites::SPRITE_COUNT];
    replay_layout(layout);  // the 160 draws of construction, then one frame draw per sprite
    int picked[DriftingSprites::SPRITE_COUNT];
    for (int i = 0; i < DriftingSprites::SPRITE_COUNT; ++i) {
        picked[i] = replay_random(0, 7);
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
    DriftingSprite layout[DriftingSprites::SPRITE_COUNT];
    replay_layout(layout);
    EXPECT_EQ(y1, replay_random(0, 400));
    EXPECT_EQ(scene.sprites[0].y, replay_random(0, 400));
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
