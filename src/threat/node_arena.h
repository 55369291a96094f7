#pragma once
// Bump allocator for the threat tree. A threat search builds thousands of tiny
// nodes and drops them all at once when it returns, so one pointer bump per
// node and a single reset replace a malloc and a free per node. Marks give the
// stack discipline the search needs: a nested defender search, or a candidate
// node that verification rejects, is released by rolling back to a mark taken
// before it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

namespace velmor {

class NodeArena {
public:
    struct Mark {
        uint32_t block;
        uint32_t used;
    };

    NodeArena() = default;
    NodeArena(const NodeArena&) = delete;
    NodeArena& operator=(const NodeArena&) = delete;
    ~NodeArena() {
        for (char* b : blocks_) std::free(b);
    }

    // Raw storage for `bytes`, aligned to 8; valid until a release or reset
    // that rolls back past it.
    void* allocate(size_t bytes) {
        bytes = (bytes + 7) & ~size_t(7);
        if (current_ >= blocks_.size() || used_ + bytes > kBlockBytes) nextBlock(bytes);
        void* p = blocks_[current_] + used_;
        used_ += uint32_t(bytes);
        return p;
    }

    template <class T>
    T* make() {
        return new (allocate(sizeof(T))) T();
    }

    Mark mark() const { return {current_, used_}; }
    void release(Mark m) {
        current_ = m.block;
        used_ = m.used;
    }
    // Empties the arena. A few blocks stay for the next search so that the
    // common small search never touches the heap; a rare huge tree does not
    // pin its memory for the life of the process.
    void reset() {
        while (blocks_.size() > kKeptBlocks) {
            std::free(blocks_.back());
            blocks_.pop_back();
        }
        current_ = 0;
        used_ = 0;
    }

private:
    static constexpr uint32_t kBlockBytes = 64 * 1024;
    static constexpr size_t kKeptBlocks = 4;

    void nextBlock(size_t bytes) {
        if (bytes > kBlockBytes) std::abort();  // nodes and defence lists are far smaller
        if (current_ < blocks_.size()) ++current_;  // the first call finds no block at all
        if (current_ >= blocks_.size()) {
            char* b = static_cast<char*>(std::malloc(kBlockBytes));
            if (!b) std::abort();
            blocks_.push_back(b);
            current_ = uint32_t(blocks_.size() - 1);
        }
        used_ = 0;
    }

    std::vector<char*> blocks_;
    uint32_t current_ = 0;
    uint32_t used_ = 0;
};

}  // namespace velmor
