#pragma once
#include <cstddef>

namespace velmor {

// Large tables (the transposition table, the threat cache) that must start
// all zero. The memory comes straight from the operating system as fresh
// pages, which read as zero and cost nothing until first touched: a table
// of a third of the memory budget is ready at once, whatever the allocator
// did with earlier blocks, and only the pages a search reaches are ever
// written. Null when the memory is not available.
void* allocateZeroed(std::size_t bytes);
// Returns a block from allocateZeroed (null is allowed).
void releaseZeroed(void* block, std::size_t bytes);

// Owner of such a block, for std::unique_ptr.
struct ZeroedStorageDeleter {
    std::size_t bytes = 0;
    void operator()(void* block) const { releaseZeroed(block, bytes); }
};

}  // namespace velmor
