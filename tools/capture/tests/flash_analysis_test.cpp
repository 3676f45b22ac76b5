// The flash analyser on made-up sequences with known answers, fed frame by frame: flickers of
// known rate, area and colour, and fades. Frames are 64 × 48 pixels at 60 frames a second (the
// analysis is the same per pixel at any size; areas are fractions of the frame).

#include "flash_analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "flash_report.h"

namespace {

constexpr int W = 64, H = 48, PIXELS = W * H, FPS = 60;

struct Rgb {
    std::uint8_t r, g, b;
};
constexpr Rgb BLACK{0, 0, 0}, WHITE{255, 255, 255}, RED{255, 0, 0};

// Plays `frames` frames whose pixel `p` of frame `n` is colour(n, p); the analyser's answer for
// every frame.
std::vector<FlashFrame> play(int frames, const std::function<Rgb(int n, int p)>& colour) {
    FlashAnalyser analyser(W, H, FPS);
    std::vector<std::uint8_t> rgb(PIXELS * 3);
    std::vector<FlashFrame> out;
    for (int n = 0; n < frames; ++n) {
        for (int p = 0; p < PIXELS; ++p) {
            const Rgb c = colour(n, p);
            rgb[p * 3] = c.r;
            rgb[p * 3 + 1] = c.g;
            rgb[p * 3 + 2] = c.b;
        }
        out.push_back(analyser.add_frame(rgb.data()));
    }
    return out;
}

// A square wave of `hz` cycles a second at 60 frames a second: `a` for the first half of each
// cycle, `b` for the second, on the first `lit` pixels; the rest stays `rest`.
std::function<Rgb(int, int)> flicker(double hz, Rgb a, Rgb b, int lit = PIXELS, Rgb rest = BLACK) {
    const double half = FPS / hz / 2;  // frames
    return [=](int n, int p) {
        if (p >= lit) return rest;
        return static_cast<int>(n / half) % 2 == 0 ? a : b;
    };
}

struct Verdict {
    bool general_fails = false, red_fails = false;
    int most_general = 0, most_red = 0;  // flashes a second over 25 % of the frame
    double most_general_area = 0;        // fraction with more than three
    int first_failing = -1;              // frame
};

Verdict judge(const std::vector<FlashFrame>& frames) {
    Verdict v;
    for (std::size_t n = 0; n < frames.size(); ++n) {
        const FlashFrame& f = frames[n];
        v.general_fails = v.general_fails || f.general_fails;
        v.red_fails = v.red_fails || f.red_fails;
        v.most_general = std::max(v.most_general, f.general_flashes);
        v.most_red = std::max(v.most_red, f.red_flashes);
        v.most_general_area = std::max(v.most_general_area, f.general_area);
        if (f.fails() && v.first_failing < 0) v.first_failing = static_cast<int>(n);
    }
    return v;
}

}  // namespace

TEST(FlashColours, RelativeLuminanceAndRedAtKnownColours) {
    EXPECT_EQ(flash::relative_luminance(0, 0, 0), 0);
    EXPECT_NEAR(flash::relative_luminance(255, 255, 255), flash::UNIT, 1);
    EXPECT_NEAR(flash::relative_luminance(255, 0, 0), 212600, 1);
    EXPECT_NEAR(flash::relative_luminance(0, 255, 0), 715200, 1);
    // sRGB 128 is 21.59 % of full light, not half.
    EXPECT_NEAR(flash::linear_channel(128), 215861, 2);
    // Below sRGB 0.04045 the curve is linear: 10 / 255 / 12.92.
    EXPECT_NEAR(flash::linear_channel(10), 3035, 1);

    EXPECT_EQ(flash::red_value(255, 0, 0), 320LL * flash::UNIT);
    EXPECT_EQ(flash::red_value(255, 255, 255), 0);  // negative (R - G - B) counts as 0
    EXPECT_TRUE(flash::saturated_red(255, 0, 0));
    EXPECT_TRUE(flash::saturated_red(255, 60, 0));      // R / (R + G + B) = 0.96, linear
    EXPECT_FALSE(flash::saturated_red(255, 128, 128));  // 0.70
    EXPECT_FALSE(flash::saturated_red(0, 0, 0));        // black has no hue
}

TEST(GeneralFlashes, FullScreenBlackWhiteFlicker) {
    // 5 Hz: ten transitions, five flashes in every second. It fails from the frame of its eighth
    // transition (the fourth flash): one every 6 frames, so frame 48.
    Verdict v = judge(play(3 * FPS, flicker(5, BLACK, WHITE)));
    EXPECT_TRUE(v.general_fails);
    EXPECT_FALSE(v.red_fails);  // white and black hold no red
    EXPECT_EQ(v.most_general, 5);
    EXPECT_EQ(v.most_general_area, 1.0);
    EXPECT_EQ(v.first_failing, 48);

    // 2 Hz: two flashes a second, within the limit of three.
    v = judge(play(3 * FPS, flicker(2, BLACK, WHITE)));
    EXPECT_FALSE(v.general_fails);
    EXPECT_EQ(v.most_general, 2);
    EXPECT_EQ(v.most_general_area, 0.0);
}

TEST(GeneralFlashes, TheAreaDecides) {
    // 5 Hz on a 20 × 15 block, 9.8 % of the frame: too small to fail, however fast.
    const auto block = [](int n, int p) {
        const bool inside = p % W < 20 && p / W < 15;
        return inside && (n / 6) % 2 == 1 ? WHITE : BLACK;
    };
    Verdict v = judge(play(3 * FPS, block));
    EXPECT_FALSE(v.general_fails);
    EXPECT_EQ(v.most_general, 0);
    EXPECT_DOUBLE_EQ(v.most_general_area, 300.0 / PIXELS);

    // Exactly a quarter of the frame fails; one pixel less passes.
    v = judge(play(3 * FPS, flicker(5, BLACK, WHITE, PIXELS / 4)));
    EXPECT_TRUE(v.general_fails);
    EXPECT_EQ(v.most_general, 5);
    v = judge(play(3 * FPS, flicker(5, BLACK, WHITE, PIXELS / 4 - 1)));
    EXPECT_FALSE(v.general_fails);
    EXPECT_EQ(v.most_general, 0);
}

TEST(GeneralFlashes, ChangesThatAreNoFlash) {
    // A fade from black to white over 2 s is one rise: one transition per pixel, no flash.
    const auto fade = [](int n, int) {
        const auto level = static_cast<std::uint8_t>(n >= 120 ? 255 : n * 255 / 120);
        return Rgb{level, level, level};
    };
    const std::vector<FlashFrame> frames = play(3 * FPS, fade);
    const Verdict v = judge(frames);
    EXPECT_FALSE(v.general_fails);
    EXPECT_EQ(v.most_general, 0);
    int with_transition = 0;
    for (const FlashFrame& f : frames) with_transition += f.transition_area > 0;
    EXPECT_EQ(with_transition, 1);

    // White against light grey (relative luminance 0.83): a change of 0.17, but the darker state
    // is not below 0.80.
    EXPECT_FALSE(judge(play(3 * FPS, flicker(5, WHITE, Rgb{235, 235, 235}))).general_fails);
    // Grey against black must change relative luminance by 0.1: sRGB 89 gives 0.0999, 90 gives
    // 0.1022.
    EXPECT_FALSE(judge(play(3 * FPS, flicker(5, BLACK, Rgb{89, 89, 89}))).general_fails);
    EXPECT_TRUE(judge(play(3 * FPS, flicker(5, BLACK, Rgb{90, 90, 90}))).general_fails);
}

TEST(RedFlashes, SaturatedRedFlicker) {
    // Full red against black at 5 Hz fails as a red flash: its red value moves by 320. By the
    // formulas it fails as a general flash too: relative luminance 0.2126 against 0.
    Verdict v = judge(play(3 * FPS, flicker(5, BLACK, RED)));
    EXPECT_TRUE(v.red_fails);
    EXPECT_EQ(v.most_red, 5);
    EXPECT_TRUE(v.general_fails);
    EXPECT_EQ(v.most_general, 5);

    // A dim red (sRGB 128, 0, 0) changes relative luminance by only 0.046, below the general
    // threshold, but its red value by 69, above 20: only the red test fails it.
    v = judge(play(3 * FPS, flicker(5, BLACK, Rgb{128, 0, 0})));
    EXPECT_TRUE(v.red_fails);
    EXPECT_FALSE(v.general_fails);

    // The red value must change by more than 20: sRGB (70, 0, 0) gives 19.6, (71, 0, 0) 20.2.
    EXPECT_FALSE(judge(play(3 * FPS, flicker(5, BLACK, Rgb{70, 0, 0}))).red_fails);
    EXPECT_TRUE(judge(play(3 * FPS, flicker(5, BLACK, Rgb{71, 0, 0}))).red_fails);
    // Pink is not a saturated red (R / (R + G + B) = 0.70): no red flash, only a general one.
    v = judge(play(3 * FPS, flicker(5, BLACK, Rgb{255, 128, 128})));
    EXPECT_FALSE(v.red_fails);
    EXPECT_TRUE(v.general_fails);
    // Red at 2 Hz passes both tests.
    v = judge(play(3 * FPS, flicker(2, BLACK, RED)));
    EXPECT_FALSE(v.red_fails || v.general_fails);
}

TEST(FlashReport, SummaryNamesTheFailingStretchAndItsScenes) {
    // The 5 Hz flicker placed 10 s into the timeline, in the falling logos.
    const std::vector<FlashFrame> frames = play(3 * FPS, flicker(5, BLACK, WHITE));
    std::vector<FlashRecord> records;
    for (int i = 0; i < 3 * FPS; ++i)
        records.push_back({600 + i, (600 + i) * 1000 / FPS, frames[static_cast<std::size_t>(i)]});
    EXPECT_FALSE(flash_records_pass(records));
    const std::string summary = flash_summary(records, FPS);
    EXPECT_NE(summary.find("general flashes: FAIL"), std::string::npos) << summary;
    EXPECT_NE(
        summary.find(
            "5 flashes a second over 25 % of the screen, 100 % of the screen with more than three"),
        std::string::npos)
        << summary;
    // From the start of the first failing second (frame 648's) to the last frame, 12.983 s.
    EXPECT_NE(summary.find("failing: 10.000 s to 12.983 s, general flashes (falling logos)"),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find("red flashes: pass"), std::string::npos) << summary;
    EXPECT_EQ(summary.substr(summary.size() - 13), "result: FAIL\n") << summary;

    std::string csv = flash_csv_header();
    append_flash_csv_row(csv, records[48]);
    EXPECT_EQ(csv,
              "time_s,scene,transition_area,general_flashes_1s,general_area_over_3,"
              "red_flashes_1s,red_area_over_3,fails\n"
              "10.800,falling logos,1.000000,4,1.000000,0,0.000000,1\n");
}
