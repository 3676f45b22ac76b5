#pragma once
// The blur's pass on 32-bit pixel words whose red, green and blue each fill one whole byte, done
// without a library call per pixel. It gives exactly the words of the per-pixel pass in Blur:
// every row is smoothed from column 1 to last_x, left to right, each pixel from the left
// neighbour already smoothed, itself and the right neighbour as it was, each channel sum divided
// by 3 with the remainder dropped. The bytes outside `channels` become those of `base`.
//
// Rows do not depend on each other, so the vector kernels smooth several rows at once, one row per
// 32-bit lane: four with SSE2, eight with AVX2. The portable kernel runs everywhere; SSE2 on every
// x86-64 processor and in the WebAssembly build with SIMD; AVX2 where an x86-64 processor has it,
// asked at run time (gfx/cpu_features.h).

#include <SDL.h>

#include "gfx/cpu_features.h"

enum class BlurKernel { Portable, Sse2, Avx2 };

// Whether `cpu` (this build and this processor unless told) can run `kernel`.
bool blur_kernel_available(BlurKernel kernel, CpuFeatures cpu = CpuFeatures::here());

// The fastest kernel `cpu` runs.
BlurKernel best_blur_kernel(CpuFeatures cpu = CpuFeatures::here());

// The name of a kernel, for test and benchmark labels: "portable", "sse2", "avx2".
const char* blur_kernel_name(BlurKernel kernel);

// Smooths rows 1..last_y, columns 1..last_x, of the 32-bit words at `pixels` (rows `pitch` bytes
// apart; column last_x + 1 and row last_y + 1 must exist, and are read but not written, as are
// column 0 and row 0). `channels` is the mask of the three colour bytes; each written word is
// (smoothed channel bytes) | base, where `base` has no bit inside `channels`. `pixels` and
// `pitch` must be multiples of 4. A kernel that `cpu` cannot run runs as the best one it can.
// Returns the kernel that ran (the one that would have, when there is nothing to smooth).
BlurKernel blur_words(BlurKernel kernel, Uint8* pixels, int pitch, int last_x, int last_y,
                      Uint32 channels, Uint32 base, CpuFeatures cpu = CpuFeatures::here());
