// The threat-search driver: the cache in front, the pass loop, and the
// winning line handed back to the alpha-beta search.
#include "threat/db_search.h"

#include "threat/threat_cache.h"
#include "threat/threat_context.h"

namespace velmor {

ThreatNode* newThreatNode(DBSearchState& state) {
    // The clock (and the caller's stop flag) every 256 nodes. Once it has run
    // out every stage, nested defender searches included, unwinds as after a
    // win, and runPasses reports none.
    ThreatContext& context = *state.context;
    if ((++context.nodes & 255) == 0 && !context.clockOut &&
        ((context.deadline && context.clock() > context.deadline) ||
         (context.stop && context.stop->load(std::memory_order_relaxed))))
        context.clockOut = true;
    if (context.clockOut) {
        state.found = true;
        state.stopReason = StopTimeout;
    }
    return context.arena.make<ThreatNode>();
}

ThreatResult threatSearch(ThreatContext& context, const Board& board, SmallList<Pos, 64>& line, bool useCache,
                          bool foursOnly) {
    ThreatResult result;

    // Step 1. Cache probe.
    ThreatCache* cache = readyCache(context, useCache);
    if (cache && cache->answer(board.hashHigh, board.hashLow, foursOnly, result.win)) {
        result.fromCache = true;
        return result;
    }

    // Step 2. Count this call's nodes from zero.
    context.nodes = 0;

    // Step 3. The working record.
    DBSearchState state;
    state.rule = context.rule;
    state.level = foursOnly ? FoursOnly : WithThrees;
    state.board = &board;
    state.context = &context;

    // Step 4. Search. A search the clock cut short proves nothing, so the
    // caller is told to stop as well and the cache keeps no answer. (A
    // nested search cut short may even have let a line pass as a win.)
    const uint32_t lineLength = line.size();
    context.clockOut = false;
    result.win = runPasses(state, &line);
    result.timedOut = context.clockOut;
    if (result.timedOut) {
        result.win = false;
        line.resize_down(lineLength);
    }

    // Step 5. Node count, and how far beyond this board the threat lines
    // reached, in stones.
    result.nodes = context.nodes;
    result.reachStep = 2 * state.maxThreatDepth + board.lastMove.stoneCount;

    // Step 6. Remember the answer.
    if (cache && !result.timedOut) {
        cache->store(board.hashHigh, {board.hashLow, uint8_t(foursOnly), uint8_t(result.win)});
    }

    // Step 7. Free the whole tree at once.
    context.arena.reset();
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
