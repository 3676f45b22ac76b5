#include "gfx/blur_kernel.h"

#include "gfx/cpu_features.h"

namespace {

Uint32* row_at(Uint8* pixels, int pitch, int y) {
    return reinterpret_cast<Uint32*>(pixels + static_cast<long>(y) * pitch);
}

// One smoothed word: every byte is the sum of the three bytes at its place divided by 3 (at most
// 765 / 3 = 255, so it stays a byte); the bytes outside `channels` are then those of `base`.
inline Uint32 smooth_word(Uint32 left, Uint32 pixel, Uint32 right, Uint32 channels,
                          Uint32 base) {
    Uint32 out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const Uint32 sum = (left >> shift & 0xFF) + (pixel >> shift & 0xFF) + (right >> shift & 0xFF);
        out |= sum / 3 << shift;
    }
    return (out & channels) | base;
}

// Columns x0..last_x of one row, with column x0 - 1 already smoothed (or column 0).
void smooth_row_from(Uint32* row, int x0, int last_x, Uint32 channels, Uint32 base) {
    Uint32 left = row[x0 - 1], pixel = row[x0];
    for (int x = x0; x <= last_x; ++x) {
        const Uint32 right = row[x + 1];
        left = row[x] = smooth_word(left, pixel, right, channels, base);
        pixel = right;
    }
}

// Four rows side by side in one loop: each row is one long chain of dependent steps, and four
// independent chains keep the processor busy where one would leave it waiting.
void smooth_four_rows(Uint32* const r[4], int last_x, Uint32 channels, Uint32 base) {
    Uint32 left[4], pixel[4];
    for (int i = 0; i < 4; ++i) {
        left[i] = r[i][0];
        pixel[i] = r[i][1];
    }
    for (int x = 1; x <= last_x; ++x)
        for (int i = 0; i < 4; ++i) {
            const Uint32 right = r[i][x + 1];
            left[i] = r[i][x] = smooth_word(left[i], pixel[i], right, channels, base);
            pixel[i] = right;
        }
}

// Each of the three *_rows functions smooths rows first_y..last_y and names itself, the kernel
// that ran.
BlurKernel portable_rows(Uint8* pixels, int pitch, int first_y, int last_y, int last_x,
                         Uint32 channels, Uint32 base) {
    int y = first_y;
    for (; y + 3 <= last_y; y += 4) {
        Uint32* const r[4] = {row_at(pixels, pitch, y), row_at(pixels, pitch, y + 1),
                              row_at(pixels, pitch, y + 2), row_at(pixels, pitch, y + 3)};
        smooth_four_rows(r, last_x, channels, base);
    }
    for (; y <= last_y; ++y) smooth_row_from(row_at(pixels, pitch, y), 1, last_x, channels, base);
    return BlurKernel::Portable;
}

#ifdef ZYPHO_SIMD_SSE2

// The vector kernels keep each word as two vectors of 16-bit lanes: the even bytes (0 and 2 of
// every word) and the odd bytes (1 and 3), split with a mask and a shift and joined again with a
// shift and an or, so that smoothing a column takes no shuffle. The lanes hold channel sums of at
// most 765; (s × 21846) >> 16 is s / 3 rounded down for every such s (21846 / 65536 exceeds 1/3
// by less than 1/3 of 1/765).
constexpr short THIRD = 21846;

// SSE2: four rows at a time, one per 32-bit lane. A block of four rows by four columns is
// transposed so that each vector holds one column of the four rows; the columns are smoothed left
// to right like single pixels, and the block is transposed back and stored.

inline void transpose4(__m128i& a, __m128i& b, __m128i& c, __m128i& d) {
    const __m128i ab_lo = _mm_unpacklo_epi32(a, b), cd_lo = _mm_unpacklo_epi32(c, d);
    const __m128i ab_hi = _mm_unpackhi_epi32(a, b), cd_hi = _mm_unpackhi_epi32(c, d);
    a = _mm_unpacklo_epi64(ab_lo, cd_lo);
    b = _mm_unpackhi_epi64(ab_lo, cd_lo);
    c = _mm_unpacklo_epi64(ab_hi, cd_hi);
    d = _mm_unpackhi_epi64(ab_hi, cd_hi);
}

// Column x of the four rows, as one vector (lane i: row i).
inline __m128i column4(Uint32* const r[4], int x) {
    return _mm_set_epi32(static_cast<int>(r[3][x]), static_cast<int>(r[2][x]),
                         static_cast<int>(r[1][x]), static_cast<int>(r[0][x]));
}

struct Split4 {
    __m128i even, odd;
};

inline Split4 split4(__m128i v) {
    return Split4{_mm_and_si128(v, _mm_set1_epi16(0xFF)), _mm_srli_epi16(v, 8)};
}

// Smooths one column from the smoothed left column (`left`, which becomes this column's result),
// the column itself and the right column; returns the words to store.
inline __m128i smooth4(Split4& left, const Split4& pixel, const Split4& right, __m128i channels,
                       __m128i base) {
    const __m128i third = _mm_set1_epi16(THIRD);
    left.even =
        _mm_mulhi_epu16(_mm_add_epi16(_mm_add_epi16(left.even, pixel.even), right.even), third);
    left.odd = _mm_mulhi_epu16(_mm_add_epi16(_mm_add_epi16(left.odd, pixel.odd), right.odd), third);
    const __m128i joined = _mm_or_si128(left.even, _mm_slli_epi16(left.odd, 8));
    return _mm_or_si128(_mm_and_si128(joined, channels), base);
}

inline void load_block4(Uint32* const r[4], int x, __m128i c[4]) {
    for (int i = 0; i < 4; ++i) c[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r[i] + x));
    transpose4(c[0], c[1], c[2], c[3]);
}

// Rows y..y + 3, columns 1..last_x.
void sse2_four_rows(Uint8* pixels, int pitch, int y, int last_x, Uint32 channel_mask,
                    Uint32 base_word) {
    Uint32* const r[4] = {row_at(pixels, pitch, y), row_at(pixels, pitch, y + 1),
                          row_at(pixels, pitch, y + 2), row_at(pixels, pitch, y + 3)};
    const __m128i channels = _mm_set1_epi32(static_cast<int>(channel_mask));
    const __m128i base = _mm_set1_epi32(static_cast<int>(base_word));
    Split4 left = split4(column4(r, 0));
    int x = 1;
    __m128i block[4];
    if (x + 3 <= last_x) load_block4(r, x, block);
    while (x + 3 <= last_x) {
        // The next block is loaded before this one is stored: its first column is the right
        // neighbour of this block's last, and must be read as it was.
        __m128i next[4];
        const bool full = x + 7 <= last_x;
        if (full) load_block4(r, x + 4, next);
        else next[0] = column4(r, x + 4);
        Split4 pixel = split4(block[0]);
        __m128i out[4];
        for (int k = 0; k < 4; ++k) {
            const Split4 right = split4(k < 3 ? block[k + 1] : next[0]);
            out[k] = smooth4(left, pixel, right, channels, base);
            pixel = right;
        }
        transpose4(out[0], out[1], out[2], out[3]);
        for (int i = 0; i < 4; ++i) _mm_storeu_si128(reinterpret_cast<__m128i*>(r[i] + x), out[i]);
        if (full)
            for (int i = 0; i < 4; ++i) block[i] = next[i];
        x += 4;
    }
    // The last columns, fewer than four, row by row from the words just stored.
    if (x <= last_x)
        for (int i = 0; i < 4; ++i) smooth_row_from(r[i], x, last_x, channel_mask, base_word);
}

BlurKernel sse2_rows(Uint8* pixels, int pitch, int first_y, int last_y, int last_x,
                     Uint32 channels, Uint32 base) {
    int y = first_y;
    for (; y + 3 <= last_y; y += 4) sse2_four_rows(pixels, pitch, y, last_x, channels, base);
    portable_rows(pixels, pitch, y, last_y, last_x, channels, base);  // the last 0..3 rows
    return BlurKernel::Sse2;
}

#endif  // ZYPHO_SIMD_SSE2

#ifdef ZYPHO_SIMD_X86

// AVX2: eight rows at a time, four columns per block. The low 128-bit half of a vector holds
// rows 0-3, the high half rows 4-7, so the block is transposed within each half, as in SSE2,
// and never across them.

__attribute__((target("avx2"))) inline void transpose4x2(__m256i c[4]) {
    const __m256i ab_lo = _mm256_unpacklo_epi32(c[0], c[1]), cd_lo = _mm256_unpacklo_epi32(c[2], c[3]);
    const __m256i ab_hi = _mm256_unpackhi_epi32(c[0], c[1]), cd_hi = _mm256_unpackhi_epi32(c[2], c[3]);
    c[0] = _mm256_unpacklo_epi64(ab_lo, cd_lo);
    c[1] = _mm256_unpackhi_epi64(ab_lo, cd_lo);
    c[2] = _mm256_unpacklo_epi64(ab_hi, cd_hi);
    c[3] = _mm256_unpackhi_epi64(ab_hi, cd_hi);
}

__attribute__((target("avx2"))) inline __m256i column8(Uint32* const r[8], int x) {
    return _mm256_set_epi32(static_cast<int>(r[7][x]), static_cast<int>(r[6][x]),
                            static_cast<int>(r[5][x]), static_cast<int>(r[4][x]),
                            static_cast<int>(r[3][x]), static_cast<int>(r[2][x]),
                            static_cast<int>(r[1][x]), static_cast<int>(r[0][x]));
}

struct Split8 {
    __m256i even, odd;
};

__attribute__((target("avx2"))) inline Split8 split8(__m256i v) {
    return Split8{_mm256_and_si256(v, _mm256_set1_epi16(0xFF)), _mm256_srli_epi16(v, 8)};
}

__attribute__((target("avx2"))) inline __m256i smooth8(Split8& left, const Split8& pixel,
                                                       const Split8& right, __m256i channels,
                                                       __m256i base) {
    const __m256i third = _mm256_set1_epi16(THIRD);
    left.even = _mm256_mulhi_epu16(
        _mm256_add_epi16(_mm256_add_epi16(left.even, pixel.even), right.even), third);
    left.odd = _mm256_mulhi_epu16(
        _mm256_add_epi16(_mm256_add_epi16(left.odd, pixel.odd), right.odd), third);
    const __m256i joined = _mm256_or_si256(left.even, _mm256_slli_epi16(left.odd, 8));
    return _mm256_or_si256(_mm256_and_si256(joined, channels), base);
}

// Row i (low half) and row i + 4 (high half), columns x..x + 3, for i = 0..3, transposed into
// one vector per column.
__attribute__((target("avx2"))) inline void load_block8(Uint32* const r[8], int x, __m256i c[4]) {
    for (int i = 0; i < 4; ++i)
        c[i] = _mm256_inserti128_si256(
            _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(r[i] + x))),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(r[i + 4] + x)), 1);
    transpose4x2(c);
}

__attribute__((target("avx2"))) void avx2_eight_rows(Uint8* pixels, int pitch, int y,
                                                     int last_x, Uint32 channel_mask,
                                                     Uint32 base_word) {
    Uint32* r[8];
    for (int i = 0; i < 8; ++i) r[i] = row_at(pixels, pitch, y + i);
    const __m256i channels = _mm256_set1_epi32(static_cast<int>(channel_mask));
    const __m256i base = _mm256_set1_epi32(static_cast<int>(base_word));
    Split8 left = split8(column8(r, 0));
    int x = 1;
    __m256i block[4];
    if (x + 3 <= last_x) load_block8(r, x, block);
    while (x + 3 <= last_x) {
        __m256i next[4];
        const bool full = x + 7 <= last_x;
        if (full) load_block8(r, x + 4, next);
        else next[0] = column8(r, x + 4);
        Split8 pixel = split8(block[0]);
        __m256i out[4];
        for (int k = 0; k < 4; ++k) {
            const Split8 right = split8(k < 3 ? block[k + 1] : next[0]);
            out[k] = smooth8(left, pixel, right, channels, base);
            pixel = right;
        }
        transpose4x2(out);
        for (int i = 0; i < 4; ++i) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(r[i] + x), _mm256_castsi256_si128(out[i]));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(r[i + 4] + x),
                             _mm256_extracti128_si256(out[i], 1));
        }
        if (full)
            for (int i = 0; i < 4; ++i) block[i] = next[i];
        x += 4;
    }
    if (x <= last_x)
        for (int i = 0; i < 8; ++i) smooth_row_from(r[i], x, last_x, channel_mask, base_word);
}

__attribute__((target("avx2"))) BlurKernel avx2_rows(Uint8* pixels, int pitch, int first_y,
                                                     int last_y, int last_x, Uint32 channels,
                                                     Uint32 base) {
    int y = first_y;
    for (; y + 7 <= last_y; y += 8) avx2_eight_rows(pixels, pitch, y, last_x, channels, base);
    sse2_rows(pixels, pitch, y, last_y, last_x, channels, base);  // the last 0..7 rows
    return BlurKernel::Avx2;
}

#endif  // ZYPHO_SIMD_X86

}  // namespace

bool blur_kernel_available(BlurKernel kernel, CpuFeatures cpu) {
    cpu = cpu.runnable();
    switch (kernel) {
        case BlurKernel::Portable: return true;
        case BlurKernel::Sse2: return cpu.sse2;
        case BlurKernel::Avx2: return cpu.avx2;
    }
    return false;
}

BlurKernel best_blur_kernel(CpuFeatures cpu) {
    cpu = cpu.runnable();
    return cpu.avx2 ? BlurKernel::Avx2 : cpu.sse2 ? BlurKernel::Sse2 : BlurKernel::Portable;
}

const char* blur_kernel_name(BlurKernel kernel) {
    switch (kernel) {
        case BlurKernel::Portable: return "portable";
        case BlurKernel::Sse2: return "sse2";
        case BlurKernel::Avx2: return "avx2";
    }
    return "?";
}

BlurKernel blur_words(BlurKernel kernel, Uint8* pixels, int pitch, int last_x, int last_y,
                      Uint32 channels, Uint32 base, CpuFeatures cpu) {
    if (!blur_kernel_available(kernel, cpu)) kernel = best_blur_kernel(cpu);
    if (!pixels || last_x < 1 || last_y < 1) return kernel;
    switch (kernel) {
#ifdef ZYPHO_SIMD_X86
        case BlurKernel::Avx2: return avx2_rows(pixels, pitch, 1, last_y, last_x, channels, base);
#endif
#ifdef ZYPHO_SIMD_SSE2
        case BlurKernel::Sse2: return sse2_rows(pixels, pitch, 1, last_y, last_x, channels, base);
#endif
        default: return portable_rows(pixels, pitch, 1, last_y, last_x, channels, base);
    }
}
