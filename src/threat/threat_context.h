#pragma once
// What the threat search needs from its caller, and nothing more: the rule,
// the cache of earlier answers, when to give up, and the scratch memory and
// counters of the searches one thread runs. Each search thread owns one
// context; only the cache (and the stop flag) may be shared between them.
#include <atomic>
#include <cstdint>

#include "board/board.h"
#include "board/small_list.h"
#include "threat/node_arena.h"
#include "threat/threat_cache.h"

namespace velmor {

struct ThreatContext {
    GameRule rule = FreeStyle;
    // Earlier answers; null for none. Shared by all threads of a search, so
    // its entries are single atomic words.
    ThreatCache* cache = nullptr;
    // Raised by the caller when its search must end (the time is spent, or
    // the thread that decides the move is done): a search under way gives up
    // at its next clock check. Null for none.
    const std::atomic<bool>* stop = nullptr;
    // The tick of `clock` past which a search gives up, or 0 for none. A
    // search with threes can run for tens of milliseconds, and the move must
    // still come within the turn.
    int64_t deadline = 0;
    int64_t (*clock)() = nullptr;

    // The tree of the running search; reset when the search returns.
    NodeArena arena;
    // ThreatNodes created since the start of the current search, nested
    // defender searches included.
    int32_t nodes = 0;
    // Set once the deadline has passed (or the stop flag was seen) during the
    // current search; from then on every new node ends its stage.
    bool clockOut = false;

    // winByFours: positions its current call found no win from (keyed with
    // the last four that led there), with the fours they were searched for.
    // Fours made in another order meet in the same position; this table
    // searches each once. Direct-mapped; an entry counts only with the
    // current call's stamp, so nothing is ever cleared.
    struct FourMemoSlot {
        uint64_t key;
        uint32_t stamp;
        int32_t foursLeft;
    };
    static constexpr uint32_t kFourMemoSlots = 4096;
    FourMemoSlot fourMemo[kFourMemoSlots] = {};
    uint32_t fourStamp = 0;

    ThreatContext() = default;
    ThreatContext(const ThreatContext&) = delete;
    ThreatContext& operator=(const ThreatContext&) = delete;
};

// The context's cache, made ready for its rule and board size (the key holds
// only the stones, so a table filled under others is emptied), or null when
// the caller wants none or there is no table (no budget, or the allocation
// failed): the search then runs as without a cache.
inline ThreatCache* readyCache(ThreatContext& context, bool wanted) {
    ThreatCache* cache = context.cache;
    if (!wanted || !cache || !cache->usable()) return nullptr;
    cache->prepareFor(context.rule, boardSize);
    return cache;
}

// What one threat search found, and what it cost.
struct ThreatResult {
    bool win = false;
    bool fromCache = false;  // answered by the cache; nothing was searched
    bool timedOut = false;   // cut short: proves nothing either way
    int32_t nodes = 0;       // threat nodes of this search
    int32_t reachStep = 0;   // how far beyond the board its lines reached, in stones
};

// Can the side to move on `board` force a win by threats (fours only, or
// fours and threes)? On a win the line (attack, defence, attack, ...) is
// appended to `line`; a search cut short leaves `line` as it was.
ThreatResult threatSearch(ThreatContext& context, const Board& board, SmallList<Pos, 64>& line, bool useCache,
                          bool foursOnly);

}  // namespace velmor
