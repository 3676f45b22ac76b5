#pragma once
// What the processor running the tests can do, asked independently of the program's own
// feature checks (gfx/cpu_features.h), so that the tests can hold those checks to it.

// SSE2: every x86-64 processor, and a WebAssembly build with 128-bit SIMD.
constexpr bool processor_has_sse2() {
#if defined(__x86_64__) || (defined(__wasm_simd128__) && defined(__SSE2__))
    return true;
#else
    return false;
#endif
}

// AVX2: asked of the processor itself; never on other architectures.
inline bool processor_has_avx2() {
#if defined(__x86_64__)
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}
