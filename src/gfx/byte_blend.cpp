#include "gfx/byte_blend.h"

#include "gfx/cpu_features.h"

namespace {

// blend_byte() of every destination value 0..255 toward one source value at one alpha. The few
// most recent tables are kept: the oscilloscope draws ~440 discs a frame with 3 channels × 2
// alphas, 6 tables in all. Each thread has its own (only the program thread draws, but nothing
// here relies on that). One ByteBlend takes at most 4 tables, fewer than the 8 kept, so none of
// its own is replaced while it is being made.
const Uint8* blend_table(int src, int alpha) {
    struct Table {
        int src = -1, alpha = -1;
        Uint8 out[256] = {};
    };
    thread_local Table tables[8];
    thread_local unsigned next = 0;
    for (Table& t : tables)
        if (t.src == src && t.alpha == alpha) return t.out;
    Table& t = tables[next++ % 8];
    t.src = src;
    t.alpha = alpha;
    for (int d = 0; d < 256; ++d) t.out[d] = static_cast<Uint8>(blend_byte(d, src, alpha));
    return t.out;
}

#ifdef ZYPHO_SIMD_SSE2
// The same as the AVX2 chunks below, 16 bytes at a time: see blend32.
template <bool Filled>
inline __m128i blend16(__m128i d, __m128i src, __m128i keep, __m128i fill, __m128i alpha) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i by255 = _mm_set1_epi16(static_cast<short>(0x8081));
    const __m128i down = _mm_subs_epu8(d, src);  // d - s where d > s, else 0
    const __m128i diff = _mm_or_si128(_mm_subs_epu8(src, d), down);
    __m128i lo = _mm_mullo_epi16(_mm_unpacklo_epi8(diff, zero), alpha);
    __m128i hi = _mm_mullo_epi16(_mm_unpackhi_epi8(diff, zero), alpha);
    lo = _mm_srli_epi16(_mm_mulhi_epu16(lo, by255), 7);
    hi = _mm_srli_epi16(_mm_mulhi_epu16(hi, by255), 7);
    const __m128i q = _mm_packus_epi16(lo, hi);
    const __m128i rising = _mm_cmpeq_epi8(down, zero);  // s >= d
    const __m128i out =
        _mm_sub_epi8(_mm_add_epi8(d, _mm_and_si128(q, rising)), _mm_andnot_si128(rising, q));
    if (!Filled) return out;
    return _mm_or_si128(_mm_and_si128(out, keep), fill);
}

inline __m128i load16(const Uint8* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

template <bool Filled>
inline void chunk16(Uint8* p, __m128i src, __m128i keep, __m128i fill, __m128i alpha) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), blend16<Filled>(load16(p), src, keep, fill, alpha));
}

// As avx2_run, 16 bytes at a time (at least 16): chunk k starts at offset 16k mod bpp within its
// pixel, 0, 1, 2, 0, ... for 3-byte pixels, so the chunks go in groups of three.
template <bool Filled>
void sse2_run(Uint8* p, int bytes, int bpp, const Uint8* pattern, const Uint8* keep,
              const Uint8* fill, int alpha) {
    const __m128i a = _mm_set1_epi16(static_cast<short>(alpha));
    const int last = bytes - 16, last_at = last % bpp;
    const __m128i last_chunk = load16(p + last);
    __m128i src[3], kp[3], fl[3];
    for (int k = 0; k < 3; ++k) {
        const int at = 16 * k % bpp;
        src[k] = load16(pattern + at);
        kp[k] = load16(keep + at);
        fl[k] = load16(fill + at);
    }
    int done = 0;
    for (; done + 48 <= bytes; done += 48) {
        chunk16<Filled>(p + done, src[0], kp[0], fl[0], a);
        chunk16<Filled>(p + done + 16, src[1], kp[1], fl[1], a);
        chunk16<Filled>(p + done + 32, src[2], kp[2], fl[2], a);
    }
    int k = 0;
    for (; done + 16 <= bytes; done += 16, ++k) chunk16<Filled>(p + done, src[k], kp[k], fl[k], a);
    if (done < bytes)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + last),
                         blend16<Filled>(last_chunk, load16(pattern + last_at), load16(keep + last_at),
                                         load16(fill + last_at), a));
}
#endif

#ifdef ZYPHO_SIMD_X86
// One 32-byte chunk. Per byte: q = |s - d| * a / 255, exact in 16-bit lanes (the product is at
// most 255 × 255, and x / 255 == (x × 0x8081) >> 23 for every 16-bit x), then d + q where s >= d
// and d - q where s < d, neither of which can wrap since q <= |s - d|; last, the fill byte.
template <bool Filled>
__attribute__((target("avx2"))) inline __m256i blend32(__m256i d, __m256i src, __m256i keep,
                                                        __m256i fill, __m256i alpha) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i by255 = _mm256_set1_epi16(static_cast<short>(0x8081));
    const __m256i down = _mm256_subs_epu8(d, src);  // d - s where d > s, else 0
    const __m256i diff = _mm256_or_si256(_mm256_subs_epu8(src, d), down);
    __m256i lo = _mm256_mullo_epi16(_mm256_unpacklo_epi8(diff, zero), alpha);
    __m256i hi = _mm256_mullo_epi16(_mm256_unpackhi_epi8(diff, zero), alpha);
    lo = _mm256_srli_epi16(_mm256_mulhi_epu16(lo, by255), 7);
    hi = _mm256_srli_epi16(_mm256_mulhi_epu16(hi, by255), 7);
    const __m256i q = _mm256_packus_epi16(lo, hi);  // in-lane, undoing the unpacks
    const __m256i rising = _mm256_cmpeq_epi8(down, zero);  // s >= d
    const __m256i out = _mm256_sub_epi8(_mm256_add_epi8(d, _mm256_and_si256(q, rising)),
                                        _mm256_andnot_si256(rising, q));
    if (!Filled) return out;  // 3-byte pixels: every byte is a channel
    return _mm256_or_si256(_mm256_and_si256(out, keep), fill);
}

__attribute__((target("avx2"))) inline __m256i load(const Uint8* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// blend32 on the 32 bytes at p, in place.
template <bool Filled>
__attribute__((target("avx2"))) inline void chunk32(Uint8* p, __m256i src, __m256i keep,
                                                     __m256i fill, __m256i alpha) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), blend32<Filled>(load(p), src, keep, fill, alpha));
}

// All `bytes` (at least 32) bytes from p on, 32 at a time. A last part chunk is done as the 32
// bytes that end the run, read before anything is written: the bytes it shares with the chunk
// before it come out as that chunk wrote them, and no byte past the run is touched. `pattern`
// holds the source bytes from byte offset 0 of a pixel on, `keep` 0 on the fill byte and 0xFF
// elsewhere, `fill` the fill value on the fill byte and 0 elsewhere, each laid out far enough for a
// 32-byte load from any offset within a pixel.
template <bool Filled>
__attribute__((target("avx2"))) void avx2_run(Uint8* p, int bytes, int bpp, const Uint8* pattern,
                                              const Uint8* keep, const Uint8* fill, int alpha) {
    const __m256i a = _mm256_set1_epi16(static_cast<short>(alpha));
    const int last = bytes - 32, last_at = last % bpp;
    const __m256i last_chunk = load(p + last);
    // Chunk k starts at byte 32k, at offset 32k mod bpp within its pixel: for 3-byte pixels the
    // offsets go 0, 2, 1, 0, ...; for 4-byte pixels they stay 0. So the chunks go in groups of
    // three, each with its own source, keep and fill vectors held in registers.
    __m256i src[3], kp[3], fl[3];
    for (int k = 0; k < 3; ++k) {
        const int at = 32 * k % bpp;
        src[k] = load(pattern + at);
        kp[k] = load(keep + at);
        fl[k] = load(fill + at);
    }
    int done = 0;
    for (; done + 96 <= bytes; done += 96) {
        chunk32<Filled>(p + done, src[0], kp[0], fl[0], a);
        chunk32<Filled>(p + done + 32, src[1], kp[1], fl[1], a);
        chunk32<Filled>(p + done + 64, src[2], kp[2], fl[2], a);
    }
    int k = 0;
    for (; done + 32 <= bytes; done += 32, ++k) chunk32<Filled>(p + done, src[k], kp[k], fl[k], a);
    if (done < bytes)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + last),
                            blend32<Filled>(last_chunk, load(pattern + last_at), load(keep + last_at),
                                    load(fill + last_at), a));
}
#endif

}  // namespace

bool blend_path_available(BlendPath path, CpuFeatures cpu) {
    cpu = cpu.runnable();
    switch (path) {
        case BlendPath::Tables: return true;
        case BlendPath::Sse2: return cpu.sse2;
        case BlendPath::Avx2: return cpu.avx2;
    }
    return false;
}

BlendPath best_blend_path(CpuFeatures cpu) {
    cpu = cpu.runnable();
    return cpu.avx2 ? BlendPath::Avx2 : cpu.sse2 ? BlendPath::Sse2 : BlendPath::Tables;
}

const char* blend_path_name(BlendPath path) {
    switch (path) {
        case BlendPath::Tables: return "tables";
        case BlendPath::Sse2: return "sse2";
        case BlendPath::Avx2: return "avx2";
    }
    return "?";
}

ByteBlend::ByteBlend(int bpp, const Uint8 source[4], int alpha, int fill_offset, Uint8 fill_value)
    : bpp_(bpp == 3 ? 3 : 4),
      alpha_(alpha),
      source_{source[0], source[1], source[2], source[3]},
      channel_{},
      table_{},
      fill_offset_(bpp_ == 4 ? fill_offset : -1),
      fill_value_(fill_value) {
    for (int i = 0, c = 0; i < bpp_; ++i) {
        if (i == fill_offset_) continue;
        channel_[c++] = i;
        table_[i] = blend_table(source_[i], alpha_);
    }
    for (int i = 0; i < LAYOUT_BYTES; ++i) {
        const int at = i % bpp_;
        const bool filled = at == fill_offset_;
        pattern_[i] = source_[at];
        keep_[i] = filled ? 0x00 : 0xFF;
        fill_[i] = filled ? fill_value_ : 0x00;
    }
}

// Pixel by pixel, one look-up per channel byte.
template <int Bpp>
void ByteBlend::tables(Uint8* p, int n) const {
    // Locals: the byte stores could alias the members, which would then be reloaded.
    const int c0 = channel_[0], c1 = channel_[1], c2 = channel_[2], fill_at = fill_offset_;
    const Uint8 *t0 = table_[c0], *t1 = table_[c1], *t2 = table_[c2];
    const Uint8 fill = fill_value_;
    for (; n > 0; --n, p += Bpp) {
        p[c0] = t0[p[c0]];
        p[c1] = t1[p[c1]];
        p[c2] = t2[p[c2]];
        if (Bpp == 4) p[fill_at] = fill;
    }
}

BlendPath ByteBlend::run(BlendPath path, Uint8* p, int n, CpuFeatures cpu) const {
    if (!blend_path_available(path, cpu)) path = best_blend_path(cpu);
    if (n <= 0) return path;
    const int bytes = n * bpp_;
#ifdef ZYPHO_SIMD_X86
    if (path == BlendPath::Avx2 && bytes >= 32) {
        if (bpp_ == 4)
            avx2_run<true>(p, bytes, bpp_, pattern_, keep_, fill_, alpha_);
        else
            avx2_run<false>(p, bytes, bpp_, pattern_, keep_, fill_, alpha_);
        return BlendPath::Avx2;
    }
#endif
#ifdef ZYPHO_SIMD_SSE2
    // Runs too short for AVX2's 32 bytes take SSE2's 16 where they can.
    if (path != BlendPath::Tables && bytes >= 16) {
        if (bpp_ == 4)
            sse2_run<true>(p, bytes, bpp_, pattern_, keep_, fill_, alpha_);
        else
            sse2_run<false>(p, bytes, bpp_, pattern_, keep_, fill_, alpha_);
        return BlendPath::Sse2;
    }
#endif
    if (bpp_ == 4)
        tables<4>(p, n);
    else
        tables<3>(p, n);
    return BlendPath::Tables;
}
