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
    return block == MAP_FAILED ? nullptr : block;
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
