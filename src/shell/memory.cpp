#include "shell/memory.h"

#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {
constexpr std::size_t PAGE = 4096;  // the smallest page size of the machines the demo runs on

// Writes one byte per page with its own value: the page is then mapped and backed.
void touch(volatile unsigned char* p, std::size_t n) {
    for (std::size_t i = 0; i < n; i += PAGE) p[i] = p[i];
    if (n) p[n - 1] = p[n - 1];
}
}  // namespace

void prepare_memory(SDL_Surface* screen) {
    if (screen && screen->pixels && screen->pitch > 0 && screen->h > 0)
        touch(static_cast<volatile unsigned char*>(screen->pixels),
              static_cast<std::size_t>(screen->pitch) * static_cast<std::size_t>(screen->h));
#if defined(__GLIBC__)
    // Blocks up to this size come from the heap, and freed memory at the heap's top stays there,
    // so the pages written below serve the allocations that follow.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(2 * PREPARED_HEAP_BYTES));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(4 * PREPARED_HEAP_BYTES));
    if (void* block = std::malloc(PREPARED_HEAP_BYTES)) {
        touch(static_cast<volatile unsigned char*>(block), PREPARED_HEAP_BYTES);
        std::free(block);
    }
#endif
}
