#include "shell/memory.h"

#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
#endif
#include <cstdint>

namespace {
constexpr std::size_t PAGE = 4096;  // the smallest page size of the machines the demo runs on

// Writes one byte per page with its own value: the page is then mapped and backed.
void touch_pages(volatile unsigned char* p, std::size_t n) {
    for (std::size_t i = 0; i < n; i += PAGE) p[i] = p[i];
    if (n) p[n - 1] = p[n - 1];
}

// Maps and backs every page of the n bytes at p, leaving the bytes as they are. Linux does the
// whole page-aligned middle in one call, without a fault per page (MADV_POPULATE_WRITE, since
// 5.14), its whole 2 MiB stretches asked for as huge pages first (MADV_HUGEPAGE: 512 times fewer
// pages to back, and fewer misses later); the part pages at the two ends, and everything where
// the call is missing, are written.
void touch(unsigned char* p, std::size_t n) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    const std::uintptr_t from = (reinterpret_cast<std::uintptr_t>(p) + PAGE - 1) / PAGE * PAGE;
    const std::uintptr_t to = (reinterpret_cast<std::uintptr_t>(p) + n) / PAGE * PAGE;
    constexpr std::uintptr_t HUGE = 2u << 20;
    const std::uintptr_t hfrom = (from + HUGE - 1) / HUGE * HUGE, hto = to / HUGE * HUGE;
    if (hto > hfrom) madvise(reinterpret_cast<void*>(hfrom), hto - hfrom, MADV_HUGEPAGE);
    if (to > from && madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE) == 0) {
        touch_pages(p, from - reinterpret_cast<std::uintptr_t>(p));
        touch_pages(reinterpret_cast<unsigned char*>(to), reinterpret_cast<std::uintptr_t>(p) + n - to);
        return;
    }
#endif
    touch_pages(p, n);
}
}  // namespace

void prepare_memory(SDL_Surface* screen) {
    if (screen && screen->pixels && screen->pitch > 0 && screen->h > 0)
        touch(static_cast<unsigned char*>(screen->pixels),
              static_cast<std::size_t>(screen->pitch) * static_cast<std::size_t>(screen->h));
#if defined(__GLIBC__) || defined(__EMSCRIPTEN__)
#if defined(__GLIBC__)
    // Blocks up to this size come from the heap, and freed memory at the heap's top stays there,
    // so the pages written below serve the allocations that follow.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(2 * PREPARED_HEAP_BYTES));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(4 * PREPARED_HEAP_BYTES));
#endif
    // In WebAssembly the heap grows the module's one memory, which never shrinks: growing it now
    // spares the allocations after the zero point the growth (and the browser its new buffer).
    if (void* block = std::malloc(PREPARED_HEAP_BYTES)) {
        touch(static_cast<unsigned char*>(block), PREPARED_HEAP_BYTES);
        std::free(block);
    }
#endif
}
