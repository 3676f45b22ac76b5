#include "gfx/byte_blend.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/processor.h"

namespace {

const char* name(BlendPath path) { return blend_path_name(path); }

// A channel byte d blended toward s at alpha a: d + (s - d) * a / 255, the quotient truncated
// toward zero, written out here as the change |s - d| * a / 255 (always rounded down) taken
// toward s.
int blended(int d, int s, int a) {
    const int change = (s > d ? s - d : d - s) * a / 255;
    return s > d ? d + change : d - change;
}

// What each byte of a run must become: the channel bytes blended, each toward the source byte
// of its offset within the pixel; the fill byte of a 4-byte pixel set outright.
std::vector<Uint8> expected(const std::vector<Uint8>& before, int bpp, const Uint8 source[4],
                            int alpha, int fill_offset, Uint8 fill_value) {
    std::vector<Uint8> out(before);
    for (size_t i = 0; i < out.size(); ++i) {
        const int at = static_cast<int>(i % bpp);
        out[i] = bpp == 4 && at == fill_offset
                     ? fill_value
                     : static_cast<Uint8>(blended(before[i], source[at], alpha));
    }
    return out;
}

// What this build on this processor can run, asked here without the production code: AVX2
// where an x86-64 processor has it, SSE2 on every x86-64 processor (and in a WebAssembly build
// with SIMD), the tables everywhere.
bool processor_runs(BlendPath path) {
    switch (path) {
        case BlendPath::Tables: return true;
        case BlendPath::Sse2:
            return processor_has_sse2();
        case BlendPath::Avx2:
            return processor_has_avx2();
    }
    return false;
}

// Each test runs once per path; a path this processor lacks is skipped, not silently run as
// another.
class ByteBlendPaths : public ::testing::TestWithParam<BlendPath> {
protected:
    void SetUp() override {
        if (!processor_runs(GetParam()))
            GTEST_SKIP() << name(GetParam()) << " is not available on this processor";
    }
};

INSTANTIATE_TEST_SUITE_P(, ByteBlendPaths,
                         ::testing::Values(BlendPath::Tables, BlendPath::Sse2, BlendPath::Avx2),
                         [](const ::testing::TestParamInfo<BlendPath>& info) {
                             return std::string(blend_path_name(info.param));
                         });

}  // namespace

// The formula of the header, on the figures it gives as examples: 250 toward 0 at alpha 10 is
// 241 (the change 9.8 truncated to 9), 0 toward 250 is 9.
TEST(ByteBlend, TheFormulaRoundsTheChangeTowardZero) {
    EXPECT_EQ(blend_byte(250, 0, 10), 241);
    EXPECT_EQ(blend_byte(0, 250, 10), 9);
    EXPECT_EQ(blend_byte(100, 100, 255), 100);
    EXPECT_EQ(blend_byte(7, 200, 255), 200);
    EXPECT_EQ(blend_byte(7, 200, 0), 7);
    for (int d = 0; d < 256; ++d)
        for (int s = 0; s < 256; s += 5)
            for (int a = 0; a < 256; a += 3) ASSERT_EQ(blend_byte(d, s, a), blended(d, s, a));
}

// Every destination byte toward every source byte at every alpha, on 3-byte pixels, each channel
// with another source so that every offset of the 32-byte chunks within a pixel is met.
TEST_P(ByteBlendPaths, GiveTheFormulaForEveryByteSourceAndAlpha) {
    std::vector<Uint8> before(256 * 3);
    for (int d = 0; d < 256; ++d)
        for (int c = 0; c < 3; ++c) before[3 * d + c] = static_cast<Uint8>(d);
    for (BlendPath path : {GetParam()}) {
        for (int alpha = 0; alpha < 256; ++alpha) {
            for (int s = 0; s < 256; ++s) {
                const Uint8 source[4] = {static_cast<Uint8>(s), static_cast<Uint8>(255 - s),
                                         static_cast<Uint8>(s ^ 0x5A), 0};
                std::vector<Uint8> run(before);
                ASSERT_EQ(ByteBlend(3, source, alpha, 3, 0).run(path, run.data(), 256), path);
                const std::vector<Uint8> want = expected(before, 3, source, alpha, 3, 0);
                ASSERT_EQ(run, want) << name(path) << ", alpha " << alpha << ", source " << s;
            }
        }
    }
}

// Runs of every length from every start within a 32-byte block, for both pixel sizes and each
// place of the fill byte: the paths agree with the formula, and no byte before or after the run
// changes.
TEST_P(ByteBlendPaths, RunsOfEveryLengthTouchOnlyTheirOwnBytes) {
    const Uint8 source[4] = {248, 225, 170, 3};
    for (int bpp : {3, 4}) {
        for (int fill_offset = 0; fill_offset < bpp; ++fill_offset) {
            const ByteBlend blend(bpp, source, 11, fill_offset, 0xC3);
            for (BlendPath path : {GetParam()}) {
                for (int guard = 32; guard < 64; ++guard) {  // every start within a 32-byte block
                    for (int n = 0; n <= 80; ++n) {
                        std::vector<Uint8> before(static_cast<size_t>(guard + n * bpp + guard));
                        for (size_t i = 0; i < before.size(); ++i)
                            before[i] = static_cast<Uint8>(i * 37 + 11);
                        std::vector<Uint8> buffer(before);
                        blend.run(path, buffer.data() + guard, n);

                        std::vector<Uint8> want(before.begin() + guard, before.end() - guard);
                        want = expected(want, bpp, source, 11, fill_offset, 0xC3);
                        want.insert(want.begin(), before.begin(), before.begin() + guard);
                        want.insert(want.end(), before.end() - guard, before.end());
                        ASSERT_EQ(buffer, want)
                            << name(path) << ", " << bpp << "-byte pixels, fill at " << fill_offset
                            << ", " << n << " pixels from byte " << guard;
                    }
                }
            }
        }
    }
}

// Blending the same run again and again, as the oscilloscope's stacked discs do: each pass starts
// from what the last one wrote, and the bytes stay those of the formula.
TEST_P(ByteBlendPaths, RepeatedBlendsFollowTheFormula) {
    const Uint8 source[4] = {170, 225, 248, 0};
    std::vector<Uint8> want(69 * 4), got(69 * 4);
    for (size_t i = 0; i < want.size(); ++i) want[i] = got[i] = static_cast<Uint8>(i * 7);
    for (int pass = 0; pass < 220; ++pass) {
        const int alpha = 10 + pass % 2;
        want = expected(want, 4, source, alpha, 3, 0xFF);
        ByteBlend(4, source, alpha, 3, 0xFF).run(GetParam(), got.data(), 69);
    }
    EXPECT_EQ(got, want);
    // The first pixel has moved toward the source, and stops short of it where a step would
    // round to nothing: (170 - d) * 11 / 255 is 0 from d = 147 on.
    EXPECT_GE(got[0], 140);
    EXPECT_LT(got[0], 170);
    EXPECT_EQ(got[3], 0xFF);
}

// A run takes the path asked for when it is at least one vector long, else the next narrower
// path: AVX2 needs 32 bytes, SSE2 16.
TEST_P(ByteBlendPaths, RunsSayWhichPathRan) {
    const Uint8 source[4] = {1, 2, 3, 4};
    const BlendPath path = GetParam();
    std::vector<Uint8> bytes(400, 9);
    for (int bpp : {3, 4}) {
        const ByteBlend blend(bpp, source, 128, 3, 0);
        for (int n = 1; n * bpp <= 96; ++n) {
            const int length = n * bpp;
            BlendPath want = BlendPath::Tables;
            if (path == BlendPath::Avx2 && length >= 32) want = BlendPath::Avx2;
            else if (path != BlendPath::Tables && length >= 16) want = BlendPath::Sse2;
            EXPECT_EQ(blend.run(path, bytes.data(), n), want)
                << name(path) << ", " << n << " pixels of " << bpp << " bytes";
        }
    }
}

TEST(ByteBlend, TheBestPathIsTheWidestThisProcessorRuns) {
    const BlendPath widest = processor_runs(BlendPath::Avx2)   ? BlendPath::Avx2
                             : processor_runs(BlendPath::Sse2) ? BlendPath::Sse2
                                                               : BlendPath::Tables;
    EXPECT_EQ(best_blend_path(), widest) << "best is " << name(best_blend_path());
    for (BlendPath path : {BlendPath::Tables, BlendPath::Sse2, BlendPath::Avx2})
        EXPECT_EQ(blend_path_available(path), processor_runs(path)) << name(path);
    // The demo's own blends take the best path: a long run without a path named.
    const Uint8 source[4] = {248, 225, 170, 0};
    std::vector<Uint8> bytes(640 * 4, 0);
    EXPECT_EQ(ByteBlend(4, source, 11, 3, 0).run(bytes.data(), 640), widest);
}

// A path the processor lacks runs as the best one it has, with the same bytes: asked of
// processors with fewer features than this one (an answer can only take features away).
TEST(ByteBlend, AMissingPathRunsAsTheBest) {
    struct Case {
        CpuFeatures cpu;
        BlendPath best;
    };
    const BlendPath sse2_or_tables =
        processor_runs(BlendPath::Sse2) ? BlendPath::Sse2 : BlendPath::Tables;
    const Uint8 source[4] = {248, 225, 170, 0};
    for (const Case& c :
         {Case{{false, false}, BlendPath::Tables}, Case{{true, false}, sse2_or_tables}}) {
        EXPECT_EQ(best_blend_path(c.cpu), c.best);
        EXPECT_FALSE(blend_path_available(BlendPath::Avx2, c.cpu));
        for (BlendPath path : {BlendPath::Sse2, BlendPath::Avx2}) {
            if (blend_path_available(path, c.cpu)) continue;
            std::vector<Uint8> bytes(64 * 4, 100);
            EXPECT_EQ(ByteBlend(4, source, 11, 3, 0).run(path, bytes.data(), 64, c.cpu), c.best)
                << name(path);
            EXPECT_EQ(bytes, expected(std::vector<Uint8>(64 * 4, 100), 4, source, 11, 3, 0))
                << name(path);
        }
    }
}
