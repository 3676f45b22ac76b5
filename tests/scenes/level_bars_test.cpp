#include "scenes/level_bars.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "audio/capture.h"
#include "support/headless.h"

namespace {
constexpr Uint32 WHITE = rgb(255, 255, 255);
constexpr Uint32 BACK = rgb(1, 2, 3);

// Hands `samples` to the capture hook as one mixed chunk.
void deliver(std::vector<Sint16> samples) {
    capture_callback(nullptr, reinterpret_cast<Uint8*>(samples.data()),
                     static_cast<int>(samples.size() * sizeof(Sint16)));
}

// 1280 samples of silence with the given ones set.
std::vector<Sint16> chunk_with(std::initializer_list<std::pair<int, Sint16>> set) {
    std::vector<Sint16> s(1280, 0);
    for (const auto& [index, value] : set) s[index] = value;
    return s;
}
}  // namespace

class LevelBarsScene : public ::testing::Test {
protected:
    HeadlessScreen screen;

    void SetUp() override {
        reset_capture_buffer();
        sample_scale = compute_sample_scale(480, 16);
    }
    void pass() {
        screen.fill(1, 2, 3);
        LevelBars bars(screen.surface(), SDL_MapRGB(screen.surface()->format, 255, 255, 255), program_capture());
        bars.render();
    }
    // The white rows of column x, in order.
    std::vector<int> white_rows(int x) const {
        std::vector<int> rows;
        for (int y = 0; y < 480; ++y)
            if (screen.rgb(x, y) == WHITE) rows.push_back(y);
        return rows;
    }
    int white_pixels() const {
        int n = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) n += screen.rgb(x, y) == WHITE;
        return n;
    }
    static std::vector<int> range(int first, int last) {
        std::vector<int> rows;
        for (int y = first; y <= last; ++y) rows.push_back(y);
        return rows;
    }
};

TEST_F(LevelBarsScene, SilenceDrawsNothing) {
    deliver(std::vector<Sint16>(1280, 0));
    pass();
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) ASSERT_EQ(screen.rgb(x, y), BACK) << x << "," << y;
}

TEST_F(LevelBarsScene, TwoHundredSeventyThreeDrawsNothingAndTwoHundredSeventyFourOnePixel) {
    deliver(chunk_with({{2, 274}, {3, -274}, {4, 273}, {5, -273}}));
    pass();
    EXPECT_EQ(white_rows(1), (std::vector<int>{120, 359}));  // down from 120, up from 360
    EXPECT_TRUE(white_rows(2).empty());
    EXPECT_EQ(white_pixels(), 2);
}

TEST_F(LevelBarsScene, FullScaleFillsColumnZeroDownFromTheUpperBaseAndUpToTheLowerOne) {
    deliver(chunk_with({{0, 32767}, {1, -32768}}));
    pass();
    // 32767 → 119 rows from 120 down; -32768 → 120 rows ending at 359. Row 239 stays.
    std::vector<int> expected = range(120, 238);
    for (int y : range(240, 359)) expected.push_back(y);
    EXPECT_EQ(white_rows(0), expected);
    EXPECT_EQ(white_pixels(), 239);
}

TEST_F(LevelBarsScene, TheLastPairIsDrawnInColumn639) {
    deliver(chunk_with({{1278, -32768}, {1279, 32767}}));
    pass();
    std::vector<int> expected = range(0, 119);
    for (int y : range(360, 478)) expected.push_back(y);  // row 479 is never drawn
    EXPECT_EQ(white_rows(639), expected);
    EXPECT_EQ(white_pixels(), 239);
}

TEST_F(LevelBarsScene, EveryColumnShowsItsStereoFrame) {
    // Left sample of frame x: x × 51 (bars of trunc(x × 0.187) rows down from 120); right:
    // -x × 25 (up from 360).
    std::vector<Sint16> s(1280);
    for (int x = 0; x < 640; ++x) {
        s[2 * x] = static_cast<Sint16>(x * 51);
        s[2 * x + 1] = static_cast<Sint16>(-x * 25);
    }
    deliver(s);
    pass();
    for (int x = 0; x < 640; x += 13) {
        const int down = x * 51 * 240 / 65536, up = x * 25 * 240 / 65536;
        std::vector<int> expected = range(120, 120 + down - 1);
        for (int y : range(360 - up, 359)) expected.push_back(y);
        EXPECT_EQ(white_rows(x), expected) << x;
    }
}

// The audio thread may deliver a chunk while the bars are drawn. Chunks go A, A, B, B, A, A, ...
// so both slots keep changing; each picture must still come from one chunk: A = 16384 everywhere
// (bars down from both base lines), B = -16384 (bars up).
TEST_F(LevelBarsScene, OnePassNeverMixesTwoChunks) {
    auto chunk = [](int k) { return std::vector<Sint16>(1280, k / 2 % 2 ? -16384 : 16384); };
    deliver(chunk(0));
    std::atomic<bool> done{false};
    std::atomic<int> delivered{1};
    std::thread audio([&] {
        for (int k = 1; !done.load(); ++k) {
            std::this_thread::sleep_for(std::chrono::microseconds(50));
            deliver(chunk(k));
            ++delivered;
        }
    });
    const Uint32 white = SDL_MapRGB(screen.surface()->format, 255, 255, 255);
    const Uint32* px = static_cast<const Uint32*>(screen.surface()->pixels);
    const int stride = screen.surface()->pitch / 4;
    for (int n = 0; n < 2000 && (n < 200 || delivered.load() < 20); ++n) {
        pass();
        int down = 0, up = 0;  // columns with a bar below / above the upper base line
        for (int x = 0; x < 640; ++x) {
            down += px[150 * stride + x] == white;
            up += px[90 * stride + x] == white;
        }
        ASSERT_TRUE((down == 640 && up == 0) || (down == 0 && up == 640))
            << "pass " << n << ": " << down << " columns of A, " << up << " of B";
    }
    done = true;
    audio.join();
}

namespace {
int slot_copies = 0;
void count_copy() { ++slot_copies; }
}  // namespace

// A pass reads the capture buffer once, through one copy; without a screen it reads nothing.
TEST(LevelBarsReads, OneCopyOfTheSlotPerPassAndNoneWithoutAScreen) {
    HeadlessScreen screen;
    reset_capture_buffer();
    slot_copies = 0;
    capture_buffer.after_copy = count_copy;
    LevelBars without(nullptr, 0xFFFFFFFF, program_capture());
    without.render();
    EXPECT_EQ(slot_copies, 0);
    LevelBars bars(screen.surface(), 0xFFFFFFFF, program_capture());
    bars.render();
    EXPECT_EQ(slot_copies, 1);
    bars.render();
    EXPECT_EQ(slot_copies, 2);
    capture_buffer.after_copy = nullptr;
}

// A screen wider than a slot holds frames for: columns from 2048 on show silence, and nothing is
// read past the slot.
TEST(LevelBarsOnAWideScreen, ColumnsPastTheSlotShowSilence) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    SDL_Surface* screen = SDL_SetVideoMode(2100, 480, 32, SDL_SWSURFACE);
    ASSERT_NE(screen, nullptr);
    reset_capture_buffer();
    sample_scale = compute_sample_scale(480, 16);
    std::vector<Sint16> loud(CAPTURE_SLOT_SAMPLES, 32767);
    for (int n = 0; n < 3; ++n) deliver(loud);  // slot 1 current: the slot at the buffer's end
    SDL_FillRect(screen, nullptr, 0);
    LevelBars bars(screen, SDL_MapRGB(screen->format, 255, 255, 255), program_capture());
    bars.render();
    const Uint32* px = static_cast<const Uint32*>(screen->pixels);
    const int stride = screen->pitch / 4;
    EXPECT_NE(px[200 * stride + 2047], 0u);
    EXPECT_NE(px[400 * stride + 2047], 0u);
    for (int x = 2048; x < 2100; ++x) {
        EXPECT_EQ(px[200 * stride + x], 0u) << x;
        EXPECT_EQ(px[400 * stride + x], 0u) << x;
    }
    SDL_Quit();
}

// The real thing: a generated track played through SDL_mixer on the dummy audio driver, captured
// by the post-mix hook as start-up registers it. Each pass checked is drawn with the audio thread
// held off (SDL_LockAudio keeps the mixer's callback, and the capture hook in it, from running),
// so the slot the test reads is the one the pass read: every column's bars must have the lengths
// of that chunk's samples, show the tone (left 0.8 of full scale, right 0.5), and change from
// chunk to chunk.
TEST(LevelBarsWithMusic, TheCaptureFillsAndTheBarsMove) {
    MediaDir media;
    media.write_track("s.ogg", 4.0);  // long enough to still play on a slow, busy machine
    HeadlessScreen screen(SDL_INIT_VIDEO | SDL_INIT_AUDIO);
    reset_capture_buffer();
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 4096), 0) << Mix_GetError();
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    sample_bits = format & 0xFF;
    sample_scale = compute_sample_scale(480, sample_bits);
    ASSERT_EQ(sample_bits, 16);
    Mix_Music* music = Mix_LoadMUS("Media/s.ogg");
    ASSERT_NE(music, nullptr) << Mix_GetError();
    Mix_SetPostMix(capture_callback, nullptr);
    ASSERT_EQ(Mix_PlayMusic(music, 1), 0);

    const Uint32 white = SDL_MapRGB(screen.surface()->format, 255, 255, 255);
    LevelBars bars(screen.surface(), white, program_capture());
    struct Pass {
        Uint32 chunk = 0;              // chunks captured when the pass was drawn; 0: none came
        std::vector<Sint16> samples;   // the current slot's first 1280 samples at that moment
        std::vector<Uint32> px;        // the picture
        bool held = false;             // no chunk arrived while the pass was drawn
    };
    // Waits (at most ~3 s; a chunk comes every 93 ms) for a loud chunk published after chunk
    // `after`, and draws a pass on it with the audio thread held off.
    auto held_pass = [&](Uint32 after) {
        Pass p;
        for (int waited = 0; waited < 3000; waited += 5) {
            SDL_LockAudio();
            const Uint32 chunk = capture_buffer.chunks_captured.load();
            const Sint16* s = capture_buffer.slots[capture_buffer.current_slot.load() & 1];
            int loudest = 0;
            for (int i = 0; i < 1280; ++i) loudest = std::max(loudest, std::abs(static_cast<int>(s[i])));
            if (chunk > after && loudest > 10000) {
                p.chunk = chunk;
                p.samples.assign(s, s + 1280);
                screen.fill(0, 0, 0);
                bars.render();
                const Uint32* first = static_cast<const Uint32*>(screen.surface()->pixels);
                p.px.assign(first, first + 640 * 480);
                p.held = capture_buffer.chunks_started.load() == chunk;
                SDL_UnlockAudio();
                return p;
            }
            SDL_UnlockAudio();
            SDL_Delay(5);
        }
        return p;
    };
    // Every column against the samples: a bar of |sample| × 240 / 32768 px (within a pixel) from
    // its base line, down for a positive sample and up for a negative one. "" when all match.
    auto mismatches = [](const Pass& p) {
        std::string report;
        for (int x = 0; x < 640; ++x)
            for (int channel = 0; channel < 2; ++channel) {
                const int base = channel == 0 ? 120 : 360;
                const int sample = p.samples[static_cast<size_t>(2 * x + channel)];
                int lit = 0;
                for (int y = base - 120; y < base + 120; ++y) lit += p.px[static_cast<size_t>(y * 640 + x)] != 0;
                const double length = std::abs(sample) * 240.0 / 65536.0;
                bool ok = std::abs(lit - length) <= 1.0;
                if (length >= 3) {
                    const int inside = sample > 0 ? base + 1 : base - 2;
                    const int outside = sample > 0 ? base - 2 : base + 1;
                    ok = ok && p.px[static_cast<size_t>(inside * 640 + x)] != 0 &&
                         p.px[static_cast<size_t>(outside * 640 + x)] == 0;
                }
                if (!ok && report.size() < 400)
                    report += "column " + std::to_string(x) + " channel " + std::to_string(channel) +
                              ": sample " + std::to_string(sample) + ", " + std::to_string(lit) +
                              " px lit\n";
            }
        return report;
    };
    // The longest bar above and below the middle of the screen.
    struct Extent { int left = 0, right = 0; };
    auto extent = [&](const std::vector<Uint32>& px) {
        Extent e;
        for (int x = 0; x < 640; ++x) {
            int upper = 0, lower = 0;
            for (int y = 0; y < 240; ++y) upper += px[static_cast<size_t>(y * 640 + x)] == white;
            for (int y = 240; y < 480; ++y) lower += px[static_cast<size_t>(y * 640 + x)] == white;
            e.left = std::max(e.left, upper);
            e.right = std::max(e.right, lower);
        }
        return e;
    };

    const Pass first = held_pass(0);
    const Pass second = first.chunk ? held_pass(first.chunk) : Pass{};
    Mix_HaltMusic();
    Mix_FreeMusic(music);
    Mix_CloseAudio();
    ASSERT_NE(first.chunk, 0u) << "no sound captured";
    ASSERT_NE(second.chunk, 0u) << "no second chunk captured";
    EXPECT_TRUE(first.held && second.held) << "a chunk arrived while the audio thread was held";

    EXPECT_EQ(mismatches(first), "");
    EXPECT_EQ(mismatches(second), "");
    // 0.8 and 0.5 of full scale: about 96 and 60 px (lossy coding moves them a little).
    const Extent a = extent(first.px), b = extent(second.px);
    EXPECT_GT(a.left, 80);
    EXPECT_LT(a.left, 110);
    EXPECT_GT(a.right, 48);
    EXPECT_LT(a.right, 72);
    EXPECT_GT(b.left, 80);
    EXPECT_GT(b.right, 48);
    // 440 Hz moves on by 0.87 of a cycle from one 4096-frame chunk to the next.
    EXPECT_NE(first.samples, second.samples);
    EXPECT_NE(first.px, second.px);
}
