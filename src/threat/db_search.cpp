// The threat-search driver: the cache in front, the pass loop, and the
// winning line handed back to the alpha-beta search.
#include "threat/db_search.h"

#include "search/clock.h"
#include "search/search_state.h"
#include "threat/threat_cache.h"

namespace velmor {

int32_t threatNodeCounter = 0;
thread_local int64_t threatDeadline = 0;

namespace {
// Set once the deadline has passed during the current dbSearch call; from
// then on every new node ends its stage.
thread_local bool threatClockOut = false;
}  // namespace

NodeArena& threatArena() {
    // One per thread: the search itself is single-threaded, but a test or
    // tool that runs two searches side by side must not share a tree.
    thread_local NodeArena arena;
    return arena;
}

ThreatNode* newThreatNode(DBSearchState& state) {
    // The clock every 256 nodes. Once it has run out every stage, nested
    // defender searches included, unwinds as after a win, and runPasses
    // reports none.
    if ((++threatNodeCounter & 255) == 0 && threatDeadline && wallClockTicks() > threatDeadline)
        threatClockOut = true;
    if (threatClockOut) {
        state.found = true;
        state.stopReason = StopTimeout;
    }
    return state.arena->make<ThreatNode>();
}

bool SearchState::dbSearch(const Board& board, SearchPath& line, bool useCache, bool foursOnly) {
    // Step 1. Every call counts, also one the cache answers.
    ++stats.dbSearchCount;

    // Step 2. Cache probe. Without a table (no budget, or the allocation
    // failed) the call searches as if no cache had been asked for. The table
    // is emptied when the rule or board size differs from what filled it:
    // its key holds only the stones.
    ThreatCache& cache = threatCache();
    useCache = useCache && cache.usable();
    if (useCache) {
        cache.prepareFor(rule, boardSize);
        const ThreatCacheEntry& entry = cache.slot(board.hashHigh);
        // A win holds for every call; a negative found with threes allowed
        // holds for every call; a fours-only negative only for fours-only.
        if (entry.checkKey == board.hashLow && (entry.result == 1 || entry.foursOnly == 0 || foursOnly)) {
            ++stats.hit;
            return entry.result == 1;
        }
    }

    // Step 3. Count this call's nodes from zero.
    threatNodeCounter = 0;

    // Step 4. The working record.
    NodeArena& arena = threatArena();
    DBSearchState state;
    state.rule = rule;
    state.level = foursOnly ? FoursOnly : WithThrees;
    state.board = &board;
    state.arena = &arena;

    // Step 5. Search. A search the clock cut short proves nothing, so the
    // node search is told to stop as well and the cache keeps no answer.
    // (A nested search cut short may even have let a line pass as a win.)
    const uint32_t lineLength = line.moves.size();
    threatClockOut = false;
    bool result = runPasses(state, &line.moves);
    const bool timedOut = threatClockOut;
    if (timedOut) {
        result = false;
        line.moves.resize_down(lineLength);
        timeoutFlag = true;
    }

    // Step 6. Node statistics.
    stats.dbTotal += threatNodeCounter;
    if (threatNodeCounter > stats.dbMax) stats.dbMax = threatNodeCounter;

    // Step 7. How far beyond this board the threat lines reached, in stones.
    int32_t reached = 2 * state.maxThreatDepth + board.lastMove.stoneCount;
    if (reached > deepestStep) deepestStep = reached;

    // Step 8. The line's end.
    if (result) line.endStep = uint16_t(line.startStep + line.moves.size());

    // Step 9. Remember the answer.
    if (useCache && !timedOut) {
        ThreatCacheEntry& entry = cache.slot(board.hashHigh);
        entry.checkKey = board.hashLow;
        entry.foursOnly = foursOnly;
        entry.result = result;
    }

    // Step 10. Free the whole tree at once.
    arena.reset();
    return result;
}

bool runPasses(DBSearchState& state, SmallList<Pos, 64>* line) {
    // Step 1. The root.
    state.root = newThreatNode(state);
    state.pass = 0;
    state.progress = true;

    // Step 2. One stage per pass while something new appears.
    while (state.progress) {
        state.progress = false;
        ThreatLine nodes;
        if (state.pass == 0) {
            // Step 2a. Dependency stage.
            state.pass = 1;
            expandNode(state, state.root, *state.board, nodes);
        } else {
            // Step 2b. One combination pass over the whole tree.
            combinePass(state, state.root, *state.board, nodes);
            ++state.pass;
        }

        // Step 2c. A win: attack, defence, attack, ..., ending with the first
        // threat that leaves no defence (a five or an unstoppable four), or
        // with the first defence of a closing live four.
        if (state.found) {
            if (state.stopReason == StopTimeout) return false;
            if (line) {
                for (ThreatNode* n : nodes) {
                    line->push_back(n->move);
                    if (n->defenceCount == 0) break;
                    line->push_back(n->defences[0]);
                }
            }
            return true;
        }

        // Step 2d. Too many lines looked winning and were not: give up. Tested
        // only here, so the pass that reached the limit still runs to its end.
        if (state.refutations > kRefutationLimit) return false;
    }

    // Step 3. A pass found nothing new.
    return false;
}

}  // namespace velmor
