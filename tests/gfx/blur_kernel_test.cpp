// The blur's word kernels against its per-pixel pass (Blur::render_reference, through the SGE
// layer and SDL_MapRGB): the same picture smoothed both ways must give the same 32-bit words
// everywhere, border columns and rows included, after 1, 2 and 7 passes, with every kernel this
// processor can run.

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "gfx/sge.h"
#include "scenes/blur.h"
#include "support/headless.h"
#include "support/processor.h"

namespace {

const std::string MEDIA = std::string(ZYPHO_SOURCE_DIR) + "/Media/";

// The screen's own channel layout, and a blue-first one.
struct Layout {
    Uint32 r, g, b, a;
};
constexpr Layout XRGB{0xFF0000, 0xFF00, 0xFF, 0};
constexpr Layout XBGR{0xFF, 0xFF00, 0xFF0000, 0};
constexpr Layout ARGB{0xFF0000, 0xFF00, 0xFF, 0xFF000000u};
constexpr Layout RGBX{0xFF000000u, 0xFF0000, 0xFF00, 0};

SDL_Surface* make_surface(int w, int h, const Layout& l) {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, l.r, l.g, l.b, l.a);
}

Uint32* words(SDL_Surface* s, int y) {
    return reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
}

SDL_Surface* copy_of(SDL_Surface* s) {
    SDL_Surface* c = SDL_CreateRGBSurface(SDL_SWSURFACE, s->w, s->h, 32, s->format->Rmask,
                                          s->format->Gmask, s->format->Bmask, s->format->Amask);
    for (int y = 0; y < s->h; ++y) std::memcpy(words(c, y), words(s, y), size_t(s->w) * 4);
    return c;
}

// Smooths a copy of `picture` `passes` times with render_reference and another copy with
// `kernel`; every word of the two must agree, and nothing outside the smoothed area may move.
void expect_same_words(SDL_Surface* picture, BlurKernel kernel, int passes,
                       const std::string& what) {
    SDL_Surface* reference = copy_of(picture);
    SDL_Surface* fast = copy_of(picture);
    ASSERT_TRUE(Blur::fast_path_applies(fast)) << what;
    Blur slow_blur(reference), fast_blur(fast);
    fast_blur.kernel = kernel;
    for (int pass = 0; pass < passes; ++pass) {
        slow_blur.render_reference();
        fast_blur.render(16);
    }
    int differing = 0;
    for (int y = 0; y < picture->h; ++y)
        for (int x = 0; x < picture->w; ++x) {
            const Uint32 want = words(reference, y)[x], got = words(fast, y)[x];
            if (want != got && ++differing <= 5)
                ADD_FAILURE() << what << ", " << passes << " pass(es), " << blur_kernel_name(kernel)
                              << ": (" << x << ", " << y << ") is 0x" << std::hex << got
                              << ", the per-pixel pass gives 0x" << want;
            const bool smoothed = x >= 1 && x <= std::min(638, picture->w - 2) && y >= 1 &&
                                  y <= std::min(478, picture->h - 2);
            if (!smoothed && got != words(picture, y)[x] && ++differing <= 5)
                ADD_FAILURE() << what << ": border word (" << x << ", " << y << ") changed";
        }
    EXPECT_EQ(differing, 0) << what << ", " << passes << " pass(es), " << blur_kernel_name(kernel);
    SDL_FreeSurface(reference);
    SDL_FreeSurface(fast);
}

void expect_same_words_after_1_2_7(SDL_Surface* picture, BlurKernel kernel,
                                   const std::string& what) {
    for (int passes : {1, 2, 7}) expect_same_words(picture, kernel, passes, what);
}

// Random words, the byte outside the channels included (the kernels must not let it leak in).
SDL_Surface* random_picture(int w, int h, const Layout& l, unsigned seed) {
    SDL_Surface* s = make_surface(w, h, l);
    std::mt19937 gen(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) words(s, y)[x] = static_cast<Uint32>(gen());
    return s;
}

// What this build on this processor can run, asked here without the production code: AVX2
// where an x86-64 processor has it, SSE2 on every x86-64 processor (and in a WebAssembly build
// with SIMD), the portable kernel everywhere.
bool processor_runs(BlurKernel kernel) {
    switch (kernel) {
        case BlurKernel::Portable: return true;
        case BlurKernel::Sse2:
            return processor_has_sse2();
        case BlurKernel::Avx2:
            return processor_has_avx2();
    }
    return false;
}

// Each test runs once per kernel; a kernel this processor lacks is skipped, not silently run as
// another.
class BlurKernels : public ::testing::TestWithParam<BlurKernel> {
protected:
    HeadlessScreen screen;
    void SetUp() override {
        if (!processor_runs(GetParam()))
            GTEST_SKIP() << blur_kernel_name(GetParam()) << " is not available on this processor";
        sge_Update_OFF();
    }
};

TEST_P(BlurKernels, RandomPicturesGiveTheReferenceWords) {
    unsigned seed = 1;
    for (const Layout& l : {XRGB, XBGR, ARGB, RGBX}) {
        SDL_Surface* s = random_picture(640, 480, l, seed++);
        expect_same_words_after_1_2_7(s, GetParam(), "640 x 480 random, mask R " + std::to_string(l.r));
        SDL_FreeSurface(s);
    }
}

// Sizes around the vector widths (4 and 8 rows, 4 and 8 columns) and larger than the display,
// where the pass stops at column 638 and row 478.
TEST_P(BlurKernels, EverySizeGivesTheReferenceWords) {
    const int sizes[][2] = {{3, 3},   {4, 4},   {5, 5},   {6, 10},  {7, 11},   {9, 9},
                            {10, 12}, {11, 13}, {12, 18}, {13, 19}, {17, 3},   {18, 17},
                            {19, 25}, {33, 34}, {3, 40},  {641, 7}, {700, 500}, {639, 479}};
    unsigned seed = 100;
    for (const auto& size : sizes) {
        SDL_Surface* s = random_picture(size[0], size[1], XRGB, seed++);
        expect_same_words_after_1_2_7(
            s, GetParam(), std::to_string(size[0]) + " x " + std::to_string(size[1]) + " random");
        SDL_FreeSurface(s);
    }
}

TEST_P(BlurKernels, ImpulsesGiveTheReferenceWords) {
    // Full-strength single pixels of each channel and of white on black, on the border columns
    // and rows, next to them, at the vector block edges and in the middle.
    SDL_Surface* s = make_surface(640, 480, XRGB);
    SDL_FillRect(s, nullptr, 0);
    const int xs[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 16, 17, 320, 631, 632, 633, 636, 637, 638, 639};
    const int ys[] = {0, 1, 2, 4, 5, 8, 9, 240, 470, 471, 472, 475, 476, 477, 478, 479};
    const Uint32 colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    int i = 0;
    for (int y : ys)
        for (int x : xs) words(s, y)[x] = colours[i++ % 4];
    expect_same_words_after_1_2_7(s, GetParam(), "impulses");
    SDL_FreeSurface(s);
}

TEST_P(BlurKernels, UniformColoursGiveTheReferenceWords) {
    for (Uint32 c : {0x000000u, 0xFFFFFFu, 0x81FF81u, 0x010203u, 0xFEFDFCu, 0x7F8081u}) {
        SDL_Surface* s = make_surface(640, 480, XRGB);
        SDL_FillRect(s, nullptr, c);
        expect_same_words_after_1_2_7(s, GetParam(), "uniform " + std::to_string(c));
        // A uniform picture is also unchanged.
        SDL_Surface* blurred = copy_of(s);
        Blur blur(blurred);
        blur.kernel = GetParam();
        for (int pass = 0; pass < 3; ++pass) blur.render(16);
        EXPECT_EQ(std::memcmp(blurred->pixels, s->pixels, size_t(s->pitch) * s->h), 0) << c;
        SDL_FreeSurface(blurred);
        SDL_FreeSurface(s);
    }
}

// The shipped pictures, as the screen shows them (blitted from the format SDL_image gives),
// the background both halves.
TEST_P(BlurKernels, ShippedPicturesGiveTheReferenceWords) {
    struct Shot {
        const char* file;
        int x;
    };
    const Shot shots[] = {{"aa.jpg", 0}, {"fd.jpg", 0}, {"fd.jpg", -640}, {"fa.jpg", 0},
                          {"fc.jpg", 0}, {"fg.jpg", 0}, {"tv.jpg", 0},    {"alp.png", -600},
                          {"ba.png", 0}, {"sm.png", 0}};
    for (const Shot& shot : shots) {
        SDL_Surface* image = IMG_Load((MEDIA + shot.file).c_str());
        ASSERT_NE(image, nullptr) << shot.file;
        SDL_Surface* s = make_surface(640, 480, XRGB);
        SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0, 215, 246));
        SDL_Rect at{static_cast<Sint16>(shot.x), 0, 0, 0};
        SDL_BlitSurface(image, nullptr, s, &at);
        expect_same_words_after_1_2_7(s, GetParam(), std::string(shot.file) + " at x " +
                                                         std::to_string(shot.x));
        SDL_FreeSurface(s);
        SDL_FreeSurface(image);
    }
}

// On the display itself, as the demo runs it: render takes the kernel and gives what the
// per-pixel pass gives on a copy.
TEST_P(BlurKernels, TheDisplayGivesTheReferenceWords) {
    SDL_Surface* display = screen.surface();
    ASSERT_TRUE(Blur::fast_path_applies(display));
    std::mt19937 gen(7);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) words(display, y)[x] = static_cast<Uint32>(gen()) & 0xFFFFFF;
    SDL_Surface* reference = copy_of(display);
    Blur fast(display), slow(reference);
    fast.kernel = GetParam();
    for (int pass = 0; pass < 2; ++pass) {
        fast.render(16);
        slow.render_reference();
    }
    for (int y = 0; y < 480; ++y)
        ASSERT_EQ(std::memcmp(words(display, y), words(reference, y), 640 * 4), 0) << "row " << y;
    SDL_FreeSurface(reference);
}

INSTANTIATE_TEST_SUITE_P(, BlurKernels,
                         ::testing::Values(BlurKernel::Portable, BlurKernel::Sse2, BlurKernel::Avx2),
                         [](const ::testing::TestParamInfo<BlurKernel>& info) {
                             return std::string(blur_kernel_name(info.param));
                         });

TEST(BlurFastPath, TakenOnlyWhereItGivesTheReferenceWords) {
    HeadlessScreen screen;
    SDL_Surface* display = screen.surface();
    // With updating on, every pixel written also updates the display: only the per-pixel pass
    // does that.
    sge_Update_ON();
    EXPECT_FALSE(Blur::fast_path_applies(display));
    sge_Update_OFF();
    EXPECT_TRUE(Blur::fast_path_applies(display));

    // A clip rectangle smaller than the smoothed area: the per-pixel writes clip, so the
    // per-pixel pass runs, and nothing outside the clip rectangle changes.
    SDL_Surface* s = random_picture(64, 48, XRGB, 3);
    SDL_Surface* before = copy_of(s);
    SDL_Rect clip{10, 10, 20, 20};
    SDL_SetClipRect(s, &clip);
    EXPECT_FALSE(Blur::fast_path_applies(s));
    Blur(s).render(16);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            if (x < 10 || x >= 30 || y < 10 || y >= 30) {
                ASSERT_EQ(words(s, y)[x], words(before, y)[x]) << x << "," << y;
            }
    SDL_FreeSurface(before);
    SDL_FreeSurface(s);

    // Formats without byte-wide channels, and surfaces too small to smooth.
    SDL_Surface* s16 = SDL_CreateRGBSurface(SDL_SWSURFACE, 16, 16, 16, 0xF800, 0x07E0, 0x1F, 0);
    SDL_Surface* s24 = SDL_CreateRGBSurface(SDL_SWSURFACE, 16, 16, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_Surface* tiny = make_surface(2, 40, XRGB);
    EXPECT_FALSE(Blur::fast_path_applies(s16));
    EXPECT_FALSE(Blur::fast_path_applies(s24));
    EXPECT_FALSE(Blur::fast_path_applies(tiny));
    EXPECT_FALSE(Blur::fast_path_applies(nullptr));
    SDL_FreeSurface(s16);
    SDL_FreeSurface(s24);
    SDL_FreeSurface(tiny);
}

// The kernel asked for is the one that runs: each says so, whatever the size of the picture.
TEST_P(BlurKernels, TheKernelAskedForRuns) {
    for (const auto& size : {std::pair{640, 480}, std::pair{3, 3}, std::pair{13, 19}}) {
        SDL_Surface* s = random_picture(size.first, size.second, XRGB, 5);
        EXPECT_EQ(blur_words(GetParam(), static_cast<Uint8*>(s->pixels), s->pitch,
                             std::min(638, s->w - 2), std::min(478, s->h - 2), 0xFFFFFF, 0),
                  GetParam())
            << size.first << " x " << size.second;
        SDL_FreeSurface(s);
    }
}

TEST(BlurFastPath, TheBestKernelIsTheWidestThisProcessorRuns) {
    const BlurKernel widest = processor_runs(BlurKernel::Avx2)   ? BlurKernel::Avx2
                              : processor_runs(BlurKernel::Sse2) ? BlurKernel::Sse2
                                                                 : BlurKernel::Portable;
    EXPECT_EQ(best_blur_kernel(), widest) << "best is " << blur_kernel_name(best_blur_kernel());
    for (BlurKernel k : {BlurKernel::Portable, BlurKernel::Sse2, BlurKernel::Avx2})
        EXPECT_EQ(blur_kernel_available(k), processor_runs(k)) << blur_kernel_name(k);
    // The demo's blur starts with it.
    EXPECT_EQ(Blur(nullptr).kernel, widest);
}

// A kernel the processor lacks runs as the best one it has, with the same words: asked of
// processors with fewer features than this one (an answer can only take features away).
TEST(BlurFastPath, AMissingKernelRunsAsTheBest) {
    struct Case {
        CpuFeatures cpu;
        BlurKernel best;
    };
    const BlurKernel sse2_or_portable = processor_runs(BlurKernel::Sse2) ? BlurKernel::Sse2
                                                                         : BlurKernel::Portable;
    for (const Case& c : {Case{{false, false}, BlurKernel::Portable},
                          Case{{true, false}, sse2_or_portable}}) {
        EXPECT_EQ(best_blur_kernel(c.cpu), c.best);
        EXPECT_FALSE(blur_kernel_available(BlurKernel::Avx2, c.cpu));
        for (BlurKernel k : {BlurKernel::Sse2, BlurKernel::Avx2}) {
            if (blur_kernel_available(k, c.cpu)) continue;
            SDL_Surface* s = random_picture(64, 48, XRGB, 9);
            SDL_Surface* want = copy_of(s);
            blur_words(BlurKernel::Portable, static_cast<Uint8*>(want->pixels), want->pitch, 62,
                       46, 0xFFFFFF, 0);
            EXPECT_EQ(blur_words(k, static_cast<Uint8*>(s->pixels), s->pitch, 62, 46, 0xFFFFFF, 0,
                                 c.cpu),
                      c.best)
                << blur_kernel_name(k);
            for (int y = 0; y < s->h; ++y)
                EXPECT_EQ(0, std::memcmp(words(s, y), words(want, y), size_t(s->w) * 4))
                    << blur_kernel_name(k) << ", row " << y;
            SDL_FreeSurface(s);
            SDL_FreeSurface(want);
        }
    }
}

}  // namespace
