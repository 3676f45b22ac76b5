#pragma once
// Which vector instructions the pixel kernels (byte_blend, blur_kernel) are built with, and which
// of them this processor runs.
//
// - ZYPHO_SIMD_X86: an x86-64 build. SSE2 is part of every x86-64 processor; AVX2 kernels are
//   built too, each function marked for it, and run only where cpu_has_avx2() says so.
// - ZYPHO_SIMD_WASM: a WebAssembly build with 128-bit SIMD (-msimd128 -msse2): the SSE2
//   kernels, compiled from the same intrinsics onto wasm's vector instructions. A browser that
//   cannot run them refuses the whole module, so nothing is asked at run time.
// - ZYPHO_SIMD_SSE2: either of the two: the SSE2 kernels are built and always run.
// Elsewhere only the portable kernels are built.

#if defined(__x86_64__) && defined(__GNUC__)
#define ZYPHO_SIMD_X86 1
#define ZYPHO_SIMD_SSE2 1
#include <immintrin.h>
#elif defined(__wasm_simd128__) && defined(__SSE2__)
#define ZYPHO_SIMD_WASM 1
#define ZYPHO_SIMD_SSE2 1
#include <emmintrin.h>
#endif

// Whether the SSE2 kernels are built (and so run: every processor that runs this build has it).
constexpr bool cpu_has_sse2() {
#ifdef ZYPHO_SIMD_SSE2
    return true;
#else
    return false;
#endif
}

// Whether the AVX2 kernels are built and this processor runs them; asked of the processor once.
inline bool cpu_has_avx2() {
#ifdef ZYPHO_SIMD_X86
    static const bool has = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
    return has;
#else
    return false;
#endif
}

// The answer the kernels pick their path by: which vector kernels may run. Every function that
// picks one takes it, defaulting to this build on this processor; a test hands in a processor
// with fewer features to run the choice it would make there. A kernel runs only where the answer
// and this build and processor both allow it, so an answer can take features away, never add.
struct CpuFeatures {
    bool sse2;
    bool avx2;

    // This build on this processor.
    static CpuFeatures here() { return {cpu_has_sse2(), cpu_has_avx2()}; }
    // `this` as far as this build and processor run it (AVX2 processors all have SSE2).
    CpuFeatures runnable() const {
        return {sse2 && cpu_has_sse2(), avx2 && sse2 && cpu_has_avx2()};
    }
};
