#pragma once
// Nodes other search threads of the move are in the middle of. A thread
// about to search a later move of a node first asks whether another thread
// is already inside the position it leads to; if so it leaves that move for
// last, when the other thread's result is likely waiting in the shared
// table. Two threads on the same root then split the tree between them
// instead of walking it in step.
#include <array>
#include <atomic>
#include <cstdint>

namespace velmor {

class BusyNodes {
public:
    // Is a thread other than `thread` searching the position of `key`?
    bool busyElsewhere(uint64_t key, uint32_t thread) const {
        const uint64_t word = slot(key).load(std::memory_order_relaxed);
        return (word & ~kThreadBits) == (key & ~kThreadBits) && (word & kThreadBits) != thread + 1;
    }
    // Thread `thread` enters or leaves the position of `key`. A slot holds
    // one position: a later entry takes it over, and a leave only clears
    // the slot while it still names this thread's entry.
    void enter(uint64_t key, uint32_t thread) {
        slot(key).store((key & ~kThreadBits) | (thread + 1), std::memory_order_relaxed);
    }
    void leave(uint64_t key, uint32_t thread) {
        uint64_t mine = (key & ~kThreadBits) | (thread + 1);
        slot(key).compare_exchange_strong(mine, 0, std::memory_order_relaxed);
    }

private:
    // The low 16 bits of a slot name the thread (plus one: 0 is an empty
    // slot); the rest is the position's key above them.
    static constexpr uint64_t kThreadBits = 0xFFFF;
    static constexpr size_t kSlots = 4096;

    std::atomic<uint64_t>& slot(uint64_t key) const { return slots_[(key >> 16) & (kSlots - 1)]; }

    mutable std::array<std::atomic<uint64_t>, kSlots> slots_{};
};

}  // namespace velmor
