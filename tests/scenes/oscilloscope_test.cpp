#include "scenes/oscilloscope.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "audio/capture.h"
#include "gfx/image.h"
#include "gfx/sge.h"
#include "support/headless.h"

namespace {
constexpr Uint32 KEY = rgb(129, 255, 129);
constexpr Uint32 MARK = rgb(10, 20, 30);   // the canvas's one-pixel frame
constexpr Uint32 INK = rgb(248, 225, 170);  // trace colour
constexpr Uint32 BACK = rgb(0, 0, 0);       // the screen before each pass

// Hands `samples` to the capture hook as one mixed chunk (at most 2560 bytes are kept at 640 px).
void deliver(std::vector<Sint16> samples) {
    capture_callback(nullptr, reinterpret_cast<Uint8*>(samples.data()),
                     static_cast<int>(samples.size() * sizeof(Sint16)));
}

std::vector<Sint16> uniform(Sint16 value, size_t n = 1280) { return std::vector<Sint16>(n, value); }

// Left channel (even indexes) `left`, right channel `right`.
std::vector<Sint16> stereo(Sint16 left, Sint16 right) {
    std::vector<Sint16> s(1280);
    for (size_t i = 0; i < s.size(); ++i) s[i] = i % 2 ? right : left;
    return s;
}

// A w × h canvas picture: key colour inside a one-pixel frame of MARK.
std::vector<Uint32> framed(int w, int h) {
    std::vector<Uint32> px(static_cast<size_t>(w) * h, KEY);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (x == 0 || y == 0 || x == w - 1 || y == h - 1) px[y * w + x] = MARK;
    return px;
}

// Whether the w × h top-left parts of two surfaces of one format hold the same bytes.
bool same_pixels(SDL_Surface* a, SDL_Surface* b, int w, int h) {
    for (int y = 0; y < h; ++y)
        if (std::memcmp(static_cast<Uint8*>(a->pixels) + y * a->pitch,
                        static_cast<Uint8*>(b->pixels) + y * b->pitch,
                        static_cast<size_t>(w) * a->format->BytesPerPixel) != 0)
            return false;
    return true;
}
}  // namespace

class OscilloscopeScene : public ::testing::Test {
protected:
    MediaDir media;
    HeadlessScreen screen;
    FakeClock clock;  // 0 ms: both sines at 0, so the canvas sits at (240, 150)
    SDL_Surface* canvas = nullptr;

    void SetUp() override {
        reset_capture_buffer();
        sample_scale = compute_sample_scale(480, 16);
        sge_Update_OFF();
    }
    void TearDown() override { SDL_FreeSurface(canvas); }

    // Media/ab.png as w × h framed key colour, loaded and keyed as the shared image is.
    void make_canvas(int w = 240, int h = 150) {
        media.write_png("ab.png", w, h, framed(w, h));
        canvas = load_image("Media/ab.png");
        set_colour_key(canvas);
        ASSERT_NE(canvas, nullptr);
    }
    void pass(Oscilloscope& scope) {
        screen.fill(0, 0, 0);
        scope.render(16);
    }
    // What the screen shows at canvas point (x, y) with the canvas at (240, 150).
    Uint32 at(int x, int y) const { return screen.rgb(240 + x, 150 + y); }
    bool inked(int x, int y) const { return at(x, y) != BACK; }
};

TEST_F(OscilloscopeScene, TheTicksSwingTheCanvasHorizontallyThenVertically) {
    make_canvas();
    struct Case { Uint32 t1, t2; int x, y; };
    // corner = (trunc(sin(t1 / 400) × 160) + 240, trunc(sin(t2 / 490) × 140) + 150)
    const Case cases[] = {
        {0, 0, 240, 150},
        {628, 770, 399, 289},    // 159.99995 and 139.99997 truncate to 159 and 139
        {1885, 2309, 81, 11},    // -159.99999 and -139.99999 truncate toward zero
    };
    for (const Case& c : cases) {
        FakeClock ticks(c.t1, c.t2 - c.t1);
        Oscilloscope scope(ticks, screen.surface(), canvas, program_capture());
        screen.fill(0, 0, 0);
        scope.render(16);
        EXPECT_EQ(ticks.reads, 2) << c.t1;
        EXPECT_EQ(screen.rgb(c.x, c.y), MARK) << c.t1;
        EXPECT_EQ(screen.rgb(c.x - 1, c.y - 1), BACK) << c.t1;
        EXPECT_EQ(screen.rgb(c.x + 239, c.y + 149), MARK) << c.t1;
        EXPECT_EQ(screen.rgb(c.x + 1, c.y + 1), BACK) << c.t1;  // keyed: the screen shows through
    }
}

TEST_F(OscilloscopeScene, TheDriftedPeriodsSwingTheNextPass) {
    make_canvas();
    clock.step = 13221;
    Oscilloscope scope(clock, screen.surface(), canvas, program_capture());
    clock.now = 10000;  // t1 = 10000, t2 = 23221
    pass(scope);
    EXPECT_EQ(screen.rgb(219, 114), MARK);  // periods 400 and 490: -21 and -36
    clock.now = 10000;
    pass(scope);
    EXPECT_EQ(screen.rgb(220, 112), MARK);  // periods 399.9f and 489.9f: -20 and -38
    EXPECT_EQ(screen.rgb(219, 114), BACK);
}

TEST_F(OscilloscopeScene, SilenceDrawsAFlatTraceAndTwoDiscsOfRadiusFive) {
    make_canvas();
    Oscilloscope scope(clock, screen.surface(), canvas, program_capture());
    deliver(uniform(0));
    pass(scope);
    // Columns 10 .. 229 plot themselves and both neighbours: 9 .. 230, on row 100 only.
    for (int x = 9; x <= 230; ++x) {
        EXPECT_EQ(at(x, 100), INK) << x;
        EXPECT_FALSE(inked(x, 99)) << x;
        EXPECT_FALSE(inked(x, 101)) << x;
    }
    EXPECT_FALSE(inked(8, 100));
    EXPECT_FALSE(inked(231, 100));
    // Discs of radius 5 around (50, 50) and (100, 50): 11 px across.
    for (int c : {50, 100}) {
        EXPECT_TRUE(inked(c - 5, 50) && inked(c + 5, 50) && inked(c, 45) && inked(c, 55)) << c;
        EXPECT_FALSE(inked(c - 6, 50) || inked(c + 6, 50) || inked(c, 44) || inked(c, 56)) << c;
        EXPECT_NE(at(c, 50), INK);  // translucent: blended over the key colour, not painted
    }
}

TEST_F(OscilloscopeScene, MinusOneHundredKeepsTheTraceOnRowHundredAndShrinksTheSecondDisc) {
    make_canvas();
    Oscilloscope scope(clock, screen.surface(), canvas, program_capture());
    deliver(uniform(-100));
    pass(scope);
    EXPECT_EQ(at(120, 100), INK);  // v = trunc(-0.0458) = 0
    EXPECT_TRUE(inked(55, 50));    // first radius 2 × 0 + 5
    EXPECT_FALSE(inked(56, 50));
    EXPECT_TRUE(inked(104, 50));   // second radius trunc(-0.0916 + 5) = 4
    EXPECT_FALSE(inked(105, 50));
    EXPECT_FALSE(inked(95, 50));
}

TEST_F(OscilloscopeScene, FullScaleStereoAlternatesTheTraceAndGivesTheLargestDiscs) {
    make_canvas();
    Oscilloscope scope(clock, screen.surface(), canvas, program_capture());
    deliver(stereo(32767, -32768));
    pass(scope);
    // Even columns (left, 32767): v = 14, row 114; odd columns (right, -32768): v = -15, row 85.
    EXPECT_EQ(at(9, 114), INK);    // only as the left neighbour of column 10
    EXPECT_FALSE(inked(9, 85));
    EXPECT_EQ(at(230, 85), INK);   // only as the right neighbour of column 229
    EXPECT_FALSE(inked(230, 114));
    for (int x = 10; x <= 229; ++x) {
        EXPECT_EQ(at(x, 85), INK) << x;
        EXPECT_EQ(at(x, 114), INK) << x;
        EXPECT_FALSE(inked(x, 100)) << x;
    }
    // First disc: radius 33 from the left samples (the right ones give -25: nothing).
    EXPECT_TRUE(inked(17, 50));
    EXPECT_FALSE(inked(16, 50));
    EXPECT_TRUE(inked(50, 17));
    EXPECT_FALSE(inked(50, 16));
    EXPECT_TRUE(inked(50, 83));
    EXPECT_FALSE(inked(50, 84));
    // Second disc: radius trunc(29.9989 + 5) = 34 from the sample before each odd column.
    EXPECT_TRUE(inked(134, 50));
    EXPECT_FALSE(inked(135, 50));
    EXPECT_TRUE(inked(100, 16));
    EXPECT_FALSE(inked(100, 15));
}

TEST_F(OscilloscopeScene, ReadsOnlySamplesNineToTwoHundredTwentyNine) {
    make_canvas();
    Oscilloscope scope(clock, screen.surface(), canvas, program_capture());
    deliver(uniform(0));
    pass(scope);
    const std::vector<Uint32> silent(static_cast<Uint32*>(screen.surface()->pixels),
                                     static_cast<Uint32*>(screen.surface()->pixels) + 640 * 480);

    // Samples 0 .. 8 and 230 on are never read with a 240-px canvas.
    auto loud = uniform(32767);
    for (int i = 9; i <= 229; ++i) loud[i] = 0;
    deliver(loud);
    pass(scope);
    EXPECT_TRUE(std::equal(silent.begin(), silent.end(), static_cast<Uint32*>(screen.surface()->pixels)));

    // Sample 9 is the second disc's at column 10; sample 229 is column 229's.
    std::vector<Sint16> edges(1280, 0);
    edges[9] = 32767;
    edges[229] = 32767;
    deliver(edges);
    pass(scope);
    EXPECT_TRUE(inked(134, 50));  // one disc of radius 34 at alpha 10
    EXPECT_FALSE(inked(135, 50));
    EXPECT_TRUE(inked(17, 50));   // one disc of radius 33 at alpha 11
    EXPECT_FALSE(inked(16, 50));
    for (int x = 228; x <= 230; ++x) EXPECT_EQ(at(x, 114), INK) << x;
    EXPECT_FALSE(inked(227, 114));
}

TEST_F(OscilloscopeScene, TheCanvasIsRestoredAfterEveryPass) {
    make_canvas();
    SDL_Surface* original = load_image("Media/ab.png");
    ASSERT_NE(original, nullptr);
    Oscilloscope scope(clock, screen.surface(), canvas, program_capture());
    const std::vector<std::vector<Sint16>> chunks = {stereo(32767, -32768), uniform(12345), uniform(0)};
    for (const auto& chunk : chunks) {
        deliver(chunk);
        pass(scope);
        EXPECT_TRUE(same_pixels(canvas, original, 240, 150)) << chunk[0];
    }
    // The last pass (silence) shows nothing of the loud passes before it.
    EXPECT_FALSE(inked(60, 50));
    EXPECT_FALSE(inked(100, 114));
    SDL_FreeSurface(original);
}

TEST_F(OscilloscopeScene, ACanvasTwentyPixelsWideIsShownRestoredAndDriftsButGetsNoDrawing) {
    media.write_solid("ab.png", 20, 12, MARK);
    canvas = load_image("Media/ab.png");
    set_colour_key(canvas);
    Oscilloscope scope(clock, screen.surface(), canvas, program_capture());
    deliver(uniform(32767));
    pass(scope);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(at(x, y), MARK) << x << "," << y;
    EXPECT_EQ(at(20, 0), BACK);
    EXPECT_EQ(scope.period_x, 400.0f - 0.1f);
    EXPECT_EQ(scope.period_y, 490.0f - 0.1f);
    EXPECT_EQ(clock.reads, 2);
}

TEST_F(OscilloscopeScene, ACanvasTwentyOnePixelsWideGetsColumnTenAlone) {
    media.write_png("ab.png", 21, 120, framed(21, 120));
    canvas = load_image("Media/ab.png");
    set_colour_key(canvas);
    Oscilloscope scope(clock, screen.surface(), canvas, program_capture());
    deliver(uniform(0));
    pass(scope);
    for (int x = 9; x <= 11; ++x) EXPECT_EQ(at(x, 100), INK) << x;
    EXPECT_FALSE(inked(8, 100));
    EXPECT_FALSE(inked(12, 100));
    EXPECT_FALSE(inked(10, 50));  // the discs around (50, 50) and (100, 50) lie off the canvas
}

TEST_F(OscilloscopeScene, ThePeriodsDriftInSinglePrecisionAndStepOverZero) {
    Oscilloscope scope(clock, screen.surface(), nullptr, program_capture());  // no canvas: the periods drift all the same
    scope.render(16);
    EXPECT_FLOAT_EQ(scope.period_x, 399.899994f);
    EXPECT_EQ(scope.period_x, 400.0f - 0.1f);
    scope.render(16);
    EXPECT_EQ(scope.period_x, 399.799988f);
    EXPECT_EQ(scope.period_y, 489.799988f);
    EXPECT_EQ(clock.reads, 4);

    float x = 400.0f - 0.1f - 0.1f, y = 490.0f - 0.1f - 0.1f;
    for (int n = 3; n <= 4900; ++n) {
        x -= 0.1f;
        y -= 0.1f;
        scope.render(16);
        ASSERT_EQ(scope.period_x, x) << n;
        ASSERT_EQ(scope.period_y, y) << n;
        if (n == 1800) {
            EXPECT_NEAR(scope.period_x, 219.989f, 1e-3);
            EXPECT_NEAR(scope.period_y, 309.989f, 1e-3);
        }
        if (n == 3999) {
            EXPECT_NEAR(scope.period_x, 0.0848f, 1e-4);
        }
        if (n == 4000) {
            EXPECT_NEAR(scope.period_x, -0.0152f, 1e-4);
        }
        if (n == 4899) {
            EXPECT_NEAR(scope.period_y, 0.0793f, 1e-4);
        }
        if (n == 4900) {
            EXPECT_NEAR(scope.period_y, -0.0207f, 1e-4);
        }
    }
}

TEST_F(OscilloscopeScene, APeriodOfZeroRestsTheSwing) {
    make_canvas();
    Oscilloscope scope(clock, screen.surface(), canvas, program_capture());
    scope.period_x = 0.0f;
    scope.period_y = 0.0f;
    clock.now = 1000;
    pass(scope);
    EXPECT_EQ(screen.rgb(240, 150), MARK);
}

TEST_F(OscilloscopeScene, WithoutPristineTheDrawingStaysOnTheCanvas) {
    // No Media/ab.png: only the shared canvas (made here) exists.
    canvas = make_rgb_surface(240, 150, KEY);
    set_colour_key(canvas);
    Oscilloscope scope(clock, screen.surface(), canvas, program_capture());
    EXPECT_EQ(scope.pristine, nullptr);
    deliver(uniform(0));
    pass(scope);
    EXPECT_EQ(at(100, 100), INK);
    EXPECT_EQ(rgb_at(canvas, 100, 100), INK);  // nothing to restore from
    pass(scope);
    EXPECT_EQ(at(100, 100), INK);
}

TEST_F(OscilloscopeScene, APristineOfAnotherSizeRestoresTheSharedPart) {
    media.write_png("ab.png", 240, 150, framed(240, 150));
    deliver(uniform(0));
    {
        canvas = make_rgb_surface(300, 200, KEY);  // larger than pristine
        set_colour_key(canvas);
        Oscilloscope scope(clock, screen.surface(), canvas, program_capture());
        pass(scope);
        EXPECT_EQ(at(250, 100), INK);  // columns 9 .. 290 traced
        EXPECT_EQ(rgb_at(canvas, 250, 100), INK);  // beyond pristine: kept
        EXPECT_EQ(rgb_at(canvas, 100, 100), KEY);  // within: restored
        EXPECT_EQ(rgb_at(canvas, 0, 0), MARK);
        SDL_FreeSurface(canvas);
    }
    {
        canvas = make_rgb_surface(100, 60, KEY);  // smaller: row 100 is off the canvas
        set_colour_key(canvas);
        Oscilloscope scope(clock, screen.surface(), canvas, program_capture());
        pass(scope);
        EXPECT_TRUE(inked(50, 50));
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 100; ++x)
                ASSERT_EQ(rgb_at(canvas, x, y), (x == 0 || y == 0) ? MARK : KEY) << x << "," << y;
    }
}

TEST_F(OscilloscopeScene, APictureWithAlphaIsCopiedBackNotBlended) {
    std::vector<Uint32> px(240 * 150, 0x80000000 | KEY);  // half transparent
    px[0] = 0xFF000000 | MARK;
    media.write_png("ab.png", 240, 150, px, true);
    canvas = load_image("Media/ab.png");
    set_colour_key(canvas);
    SDL_Surface* original = load_image("Media/ab.png");
    Oscilloscope scope(clock, screen.surface(), canvas, program_capture());
    for (int n = 0; n < 2; ++n) {
        deliver(stereo(32767, -32768));
        pass(scope);
        EXPECT_TRUE(same_pixels(canvas, original, 240, 150)) << n;
    }
    SDL_FreeSurface(original);
}

TEST_F(OscilloscopeScene, AnEightBitCanvasIsDrawnAndRestoredSafely) {
    media.write_png("ab.png", 240, 150, framed(240, 150));
    canvas = SDL_CreateRGBSurface(SDL_SWSURFACE, 240, 150, 8, 0, 0, 0, 0);
    ASSERT_NE(canvas, nullptr);
    Oscilloscope scope(clock, screen.surface(), canvas, program_capture());
    // Silence: small discs, as the palette's nearest-colour search makes every blend slow.
    deliver(uniform(0));
    pass(scope);
    EXPECT_EQ(clock.reads, 2);
    SDL_Surface* original = SDL_CreateRGBSurface(SDL_SWSURFACE, 240, 150, 8, 0, 0, 0, 0);
    SDL_Rect to{0, 0, 0, 0};
    SDL_UpperBlit(scope.pristine, nullptr, original, &to);
    EXPECT_TRUE(same_pixels(canvas, original, 240, 150));
    SDL_FreeSurface(original);
}

// The audio thread may deliver a chunk while a pass is drawing. Chunks go A, A, B, B, A, A, ...,
// so both slots keep changing; each pass must still show one chunk only: a trace on row 107
// (A = 16384, v = 7) or on row 93 (B = -16384, v = -7), never parts of both.
TEST_F(OscilloscopeScene, OnePassNeverMixesTwoChunks) {
    make_canvas();
    Oscilloscope scope(clock, screen.surface(), canvas, program_capture());
    auto chunk = [](int k) { return uniform(k / 2 % 2 ? -16384 : 16384); };
    deliver(chunk(0));
    std::atomic<bool> done{false};
    std::atomic<int> delivered{1};
    std::thread audio([&] {
        for (int k = 1; !done.load(); ++k) {
            std::this_thread::sleep_for(std::chrono::microseconds(100));
            deliver(chunk(k));
            ++delivered;
        }
    });
    // At least 50 passes and 20 chunks delivered meanwhile (at most 2000 passes).
    for (int n = 0; n < 2000 && (n < 50 || delivered.load() < 20); ++n) {
        pass(scope);
        int on_a = 0, on_b = 0;
        for (int x = 9; x <= 230; ++x) {
            on_a += at(x, 107) == INK;
            on_b += at(x, 93) == INK;
        }
        ASSERT_TRUE((on_a == 222 && on_b == 0) || (on_a == 0 && on_b == 222))
            << "pass " << n << ": " << on_a << " columns of A, " << on_b << " of B";
    }
    done = true;
    audio.join();
    EXPECT_GE(delivered.load(), 20);
}

// A canvas wider than a slot holds samples for: columns from 4096 on show silence, and nothing
// is read past the slot.
TEST(OscilloscopeOnAWideCanvas, ColumnsPastTheSlotShowSilence) {
    MediaDir media;
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    SDL_Surface* screen = SDL_SetVideoMode(4500, 320, 32, SDL_SWSURFACE);
    ASSERT_NE(screen, nullptr);
    reset_capture_buffer();
    sample_scale = compute_sample_scale(480, 16);
    std::vector<Uint32> px(4200 * 150, KEY);
    media.write_png("ab.png", 4200, 150, px);
    SDL_Surface* canvas = load_image("Media/ab.png");
    set_colour_key(canvas);
    FakeClock clock;
    Oscilloscope scope(clock, screen, canvas, program_capture());

    // A whole slot of 16384 (the wide screen lets the hook fill all 4096 samples): row 107.
    // Three chunks: both slots full, slot 1 current (the one just before the end of the buffer).
    for (int n = 0; n < 3; ++n) deliver(uniform(16384, CAPTURE_SLOT_SAMPLES));
    ASSERT_EQ(capture_buffer.current_slot.load(), 1);
    SDL_FillRect(screen, nullptr, 0);
    scope.render(16);
    auto ink_at = [&](int x, int y) { return rgb_at(screen, 240 + x, 150 + y) == INK; };
    EXPECT_TRUE(ink_at(4094, 107));
    EXPECT_FALSE(ink_at(4094, 100));
    EXPECT_TRUE(ink_at(4096, 100));   // column 4096 and on: silence
    EXPECT_FALSE(ink_at(4097, 107));
    EXPECT_TRUE(ink_at(4190, 100));   // the last column's right neighbour
    EXPECT_FALSE(ink_at(4191, 100));
    SDL_FreeSurface(canvas);
    SDL_Quit();
}
