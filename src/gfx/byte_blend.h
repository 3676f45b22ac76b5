#pragma once
// Translucent fills on pixels whose colour channels are whole bytes, one run of pixels at a time:
// the inner loop of sge_FilledCircleAlpha. Each channel byte d of a pixel becomes
//
//     d + (s - d) * a / 255      (C++ division: the change truncates toward 0, the result toward d)
//
// with s the source colour's byte for that channel and a the alpha; the fourth byte of a 4-byte
// pixel, which is not a channel, is set to a fixed value (what SDL_MapRGB puts there).
//
// Three ways give the same bytes: look-up tables, one per channel (everywhere); SSE2, 16 bytes at
// a time without tables (every x86-64 processor, and the WebAssembly build with SIMD); and AVX2,
// 32 bytes at a time (x86-64 processors that have it, asked at run time: gfx/cpu_features.h).

#include <SDL.h>

#include "gfx/cpu_features.h"

// d + (s - d) * a / 255 with C++ division. Stays within 0..255 since |(s - d) * a / 255| <= |s - d|.
inline int blend_byte(int d, int s, int a) { return d + (s - d) * a / 255; }

enum class BlendPath { Tables, Sse2, Avx2 };

// Whether `cpu` (this build and this processor unless told) can run `path`.
bool blend_path_available(BlendPath path, CpuFeatures cpu = CpuFeatures::here());

// The fastest path `cpu` runs.
BlendPath best_blend_path(CpuFeatures cpu = CpuFeatures::here());

// The name of a path, for test and benchmark labels: "tables", "sse2", "avx2".
const char* blend_path_name(BlendPath path);

// One colour at one alpha, laid out for pixels of `bpp` (3 or 4) bytes.
class ByteBlend {
public:
    // source[i]: the source byte for byte offset i of a pixel; for a 4-byte pixel, fill_offset
    // names the byte that is set to fill_value instead (ignored for 3-byte pixels).
    ByteBlend(int bpp, const Uint8 source[4], int alpha, int fill_offset, Uint8 fill_value);

    // Blends the `n` pixels from p on, with `path` (a path that `cpu` cannot run runs as the
    // best one it can), and returns the path that ran: a run shorter than a vector (32 bytes for
    // AVX2, 16 for SSE2) takes the next narrower one, down to the tables.
    BlendPath run(Uint8* p, int n) const { return run(best_blend_path(), p, n); }
    BlendPath run(BlendPath path, Uint8* p, int n, CpuFeatures cpu = CpuFeatures::here()) const;

private:
    template <int Bpp>
    void tables(Uint8* p, int n) const;

    int bpp_;
    int alpha_;
    Uint8 source_[4];
    int channel_[3];         // the byte offsets of the three channels
    const Uint8* table_[4];  // per byte offset; null for the fill byte
    int fill_offset_;
    Uint8 fill_value_;
    // For the vector path: the source bytes, a mask that is 0 on the fill byte, and the fill
    // value there, laid out from byte offset 0 of a pixel on, far enough for a 32-byte load from
    // any offset within a pixel (0..3).
    static constexpr int LAYOUT_BYTES = 35;
    Uint8 pattern_[LAYOUT_BYTES], keep_[LAYOUT_BYTES], fill_[LAYOUT_BYTES];
};
