#pragma once
#include <cstdint>
#include <memory>
#include <optional>

#include "board/board.h"
#include "memory/zeroed_memory.h"

namespace velmor {

enum BoundType : uint8_t { BoundExact = 1, BoundLower = 2, BoundUpper = 3 };

// One entry as the search reads it. Layout of the fields (12 bytes):
//   checkKey:4 | value:2 | bestMove:2 | storedDepth:1 | tag:6 bound:2 | pad:2
struct TransEntry {
    uint32_t checkKey;    // hashLow of the stored position
    int16_t value;        // rating truncated to 16 bits
    Pos bestMove;         // 0xFFFF when the node had none
    uint8_t storedDepth;  // depth truncated toward zero
    uint8_t tagAndBound;  // bits 0-5 iteration depth mod 64, bits 6-7 BoundType

    uint8_t iterationTag() const { return tagAndBound & 0x3F; }
    uint8_t boundType() const { return tagAndBound >> 6; }
};
static_assert(sizeof(TransEntry) == 12);

// One slot as it is stored: three words that the search threads read and
// write one at a time, without a lock. The first holds the check key folded
// (xor) with the two data words, so a slot whose words come from two
// different writes (a thread read it while another was writing it) fails its
// key check like a slot of another position, and is never believed.
struct TransSlot {
    uint32_t keyAndData;  // checkKey ^ valueAndMove ^ depthAndTag
    uint32_t valueAndMove;
    uint32_t depthAndTag;
};
static_assert(sizeof(TransSlot) == sizeof(TransEntry));

// What a probe tells the node search.
struct TransProbe {
    bool cutoff = false;       // the entry ends the node with `rating`
    int32_t rating = 0;
    bool hasMove = false;      // `move` is an on-board point: the hash move
    Pos move = Pos(0xFFFF);    // the entry's best move (0xFFFF: none)
};

// Transposition table of the game: slot = hashHigh mod count. It outlives
// the move search that fills it, since the positions of the next move are
// mostly ones this move has already searched; a value depends only on the
// position and the rule, so only another rule or board size empties it.
//
// All search threads of a move probe and store at once; only the thread
// that owns the table sizes or empties it, and never while they run.
struct TransTable {
    uint32_t budgetKey = 0;   // maxMemory / 3 when last sized
    uint32_t entryCount = 0;  // a power of two
    FilledFor filled;         // what the entries were searched under
    // Fresh zero pages from the system: a new table per move costs nothing
    // to clear (100 MB of clearing would eat much of a short turn).
    std::unique_ptr<TransSlot[], ZeroedStorageDeleter> entries;

    // Sizes for budget B = maxMemory / 3 unless B equals budgetKey.
    void resize(uint32_t budget);
    void release();
    // Empties the table unless its entries were searched under this rule
    // on a board of this size.
    void prepareFor(GameRule rule, int8_t size);
    // Every entry back to zero (a fresh zeroed block of the same size).
    void clear();

    // Looks `board` up for a node of depth `depth` with window (alpha, beta)
    // during the iteration of nominal depth `iterationDepth`. A table without
    // entries (failed allocation) never answers.
    TransProbe probe(const Board& board, double depth, int32_t alpha, int32_t beta,
                     int32_t iterationDepth) const;
    // Starts loading the slot of the position whose key's high half is
    // `hashHigh`, so that the probe, a board copy and a move later, finds it
    // in the cache instead of waiting on memory.
    void prefetch(uint32_t hashHigh) const {
        if (entryCount) __builtin_prefetch(&entries[hashHigh & (entryCount - 1)]);
    }
    // Always replaces the slot of `board`.
    void store(const Board& board, int32_t rating, double depth, BoundType bound, Pos bestMove,
               int32_t iterationDepth);
    // The entry in slot `index`, read as a probe reads it; for tests and tools.
    TransEntry entryAt(uint32_t index) const;
    // The entry of the slot `board` maps to (none without entries); for tests
    // and tools.
    std::optional<TransEntry> slotOf(const Board& board) const {
        if (!entryCount) return std::nullopt;
        return entryAt(board.hashHigh & (entryCount - 1));
    }
};

}  // namespace velmor
