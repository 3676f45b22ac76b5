#include "gfx/byte_blend.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr BlendPath PATHS[] = {BlendPath::Tables, BlendPath::Avx2};

const char* name(BlendPath path) { return path == BlendPath::Tables ? "tables" : "avx2"; }

// What each byte of a run must become: the channel bytes blended by the formula, each toward the
// source byte of its offset within the pixel; the fill byte of a 4-byte pixel set outright.
std::vector<Uint8> expected(const std::vector<Uint8>& before, int bpp, const Uint8 source[4],
                            int alpha, int fill_offset, Uint8 fill_value) {
    std::vector<Uint8> out(before);
    for (size_t i = 0; i < out.size(); ++i) {
        const int at = static_cast<int>(i % bpp);
        out[i] = bpp == 4 && at == fill_offset
                     ? fill_value
                     : static_cast<Uint8>(blend_byte(before[i], source[at], alpha));
    }
    return out;
}

}  // namespace

// Every destination byte toward every source byte at every alpha, on 3-byte pixels, each channel
// with another source so that every offset of the 32-byte chunks within a pixel is met.
TEST(ByteBlend, EveryPathGivesTheFormulaForEveryByteSourceAndAlpha) {
    std::vector<Uint8> before(256 * 3);
    for (int d = 0; d < 256; ++d)
        for (int c = 0; c < 3; ++c) before[3 * d + c] = static_cast<Uint8>(d);
    for (BlendPath path : PATHS) {
        for (int alpha = 0; alpha < 256; ++alpha) {
            for (int s = 0; s < 256; ++s) {
                const Uint8 source[4] = {static_cast<Uint8>(s), static_cast<Uint8>(255 - s),
                                         static_cast<Uint8>(s ^ 0x5A), 0};
                std::vector<Uint8> run(before);
                ByteBlend(3, source, alpha, 3, 0).run(path, run.data(), 256);
                const std::vector<Uint8> want = expected(before, 3, source, alpha, 3, 0);
                ASSERT_EQ(run, want) << name(path) << ", alpha " << alpha << ", source " << s;
            }
        }
    }
}

// Runs of every length from every start within a 32-byte block, for both pixel sizes and each
// place of the fill byte: the paths agree with the formula, and no byte before or after the run
// changes.
TEST(ByteBlend, RunsOfEveryLengthTouchOnlyTheirOwnBytes) {
    const Uint8 source[4] = {248, 225, 170, 3};
    for (int bpp : {3, 4}) {
        for (int fill_offset = 0; fill_offset < bpp; ++fill_offset) {
            const ByteBlend blend(bpp, source, 11, fill_offset, 0xC3);
            for (BlendPath path : PATHS) {
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

// Blending the same run again and again, as the oscilloscope's stacked discs do, keeps the paths
// together: each pass starts from what the last one wrote.
TEST(ByteBlend, RepeatedBlendsStayTogether) {
    const Uint8 source[4] = {170, 225, 248, 0};
    std::vector<Uint8> tables(69 * 4), vector(69 * 4);
    for (size_t i = 0; i < tables.size(); ++i) tables[i] = vector[i] = static_cast<Uint8>(i * 7);
    for (int pass = 0; pass < 220; ++pass) {
        const int alpha = 10 + pass % 2;
        ByteBlend(4, source, alpha, 3, 0xFF).run(BlendPath::Tables, tables.data(), 69);
        ByteBlend(4, source, alpha, 3, 0xFF).run(BlendPath::Avx2, vector.data(), 69);
    }
    EXPECT_EQ(tables, vector);
    // The first pixel has moved toward the source, and stops short of it where a step would
    // round to nothing: (170 - d) * 11 / 255 is 0 from d = 147 on.
    EXPECT_GE(tables[0], 140);
    EXPECT_LT(tables[0], 170);
    EXPECT_EQ(tables[3], 0xFF);
}

TEST(ByteBlend, TheBestPathIsOneThisProcessorCanRun) {
    EXPECT_TRUE(blend_path_available(BlendPath::Tables));
    EXPECT_TRUE(blend_path_available(best_blend_path()));
}
