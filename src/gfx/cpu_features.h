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
