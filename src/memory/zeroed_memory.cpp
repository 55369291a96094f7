#include "memory/zeroed_memory.h"

#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>
#elif defined(__unix__) || defined(__APPLE__)
#include <sys/mman.h>
#define VELMOR_HAVE_MMAP 1
#endif

namespace velmor {

void* allocateZeroed(std::size_t bytes) {
    if (bytes == 0) return nullptr;
#if defined(_WIN32)
    return VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
#elif defined(VELMOR_HAVE_MMAP)
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) return nullptr;
#if defined(MADV_HUGEPAGE)
    constexpr std::size_t kLargePageBytes = std::size_t(2) << 20;
    // Large pages for the big tables: a probe lands anywhere in them, and
    // with small pages nearly every probe misses the TLB. It matters more
    // with threads: a page read before it is written maps the shared zero
    // page, and the write that replaces it must flush the other cores' TLBs
    // (an interrupt to each). Per 2 MB that happens 512 times less often.
    // Only a hint; where the system refuses it the table works as before.
    if (bytes >= kLargePageBytes) madvise(block, bytes, MADV_HUGEPAGE);
#endif
    return block;
#else
    return std::calloc(1, bytes);
#endif
}

void releaseZeroed(void* block, std::size_t bytes) {
    if (!block) return;
#if defined(_WIN32)
    (void)bytes;
    VirtualFree(block, 0, MEM_RELEASE);
#elif defined(VELMOR_HAVE_MMAP)
    munmap(block, bytes);
#else
    (void)bytes;
    std::free(block);
#endif
}

}  // namespace velmor
