#pragma once
#include <cstdint>
#include <memory>

#include "board/chess_type.h"
#include "memory/zeroed_memory.h"

namespace velmor {

// One remembered threat-search result. Layout (8 bytes):
//   checkKey:4 | foursOnly:1 | result:1 | pad:2
struct ThreatCacheEntry {
    uint32_t checkKey;  // hashLow of the searched board
    uint8_t foursOnly;  // the search allowed fours only
    uint8_t result;     // 1 a win was found
};
static_assert(sizeof(ThreatCacheEntry) == 8);

// Process-wide, direct-mapped (slot = hashHigh mod count); kept from move to
// move and game to game while the budget, rule and board size stay the same.
//
// The search threads of a move share it without a lock: each entry is one
// 64-bit word, read and written whole, so no thread ever sees the check key
// of one board with the result of another (a torn entry could claim a win
// that does not exist). Only the owner sizes or empties it, never while
// searches run.
struct ThreatCache {
    uint32_t budget = 0;      // 2 * (maxMemory / 3) when last sized
    uint32_t entryCount = 0;  // a power of two; 0 while there is no table
    // Fresh zero pages from the system: building or emptying the table
    // costs nothing until touched, so it never holds up a move.
    std::unique_ptr<uint64_t[], ZeroedStorageDeleter> entries;
    // The key holds only the stones, so a result proven under one rule or on
    // one board size must not answer another: remember what filled the table.
    FilledFor filled;

    // Rebuilds (empty) when `budget` differs from the stored one.
    void resize(uint32_t budget);
    // Empties the table when the rule or board size differs from the ones
    // that filled it.
    void prepareFor(GameRule rule, int8_t size);
    void clear();
    // A zeroed table of `count` entries in place of the current one.
    void allocate(uint32_t count);
    bool usable() const { return entryCount != 0; }
    // The entry in the slot of `hashHigh`, and a new one for it.
    ThreatCacheEntry slot(uint32_t hashHigh) const;
    // Starts loading the slot of `hashHigh` into the cache: a search that
    // knows the next position's key a move ahead hides most of the memory
    // latency of the probe (the table is far larger than any cache).
    void prefetch(uint32_t hashHigh) const {
        if (entryCount) __builtin_prefetch(&entries[hashHigh & (entryCount - 1)]);
    }
    void store(uint32_t hashHigh, ThreatCacheEntry entry);
    // The remembered answer for the board of these key halves to a search
    // of fours only, or with threes: a win holds for every search, a no
    // found with threes for every search, a fours-only no only for a
    // fours-only search. False when nothing fitting is remembered.
    bool answer(uint32_t hashHigh, uint32_t hashLow, bool foursOnly, bool& win) const {
        const ThreatCacheEntry entry = slot(hashHigh);
        if (entry.checkKey != hashLow || !(entry.result == 1 || entry.foursOnly == 0 || foursOnly)) return false;
        win = entry.result == 1;
        return true;
    }
};

ThreatCache& threatCache();

}  // namespace velmor
