#include "search/engine.h"

#include "search/clock.h"
#include "search/search_state.h"

namespace velmor {

Pos AIVelmorSearch::getBestMove(Board& board, const SearchSettings& settings) {
    // The clock starts before anything else: sizing and clearing the
    // transposition table is part of the time this move takes.
    const int64_t requestStart = wallClockTicks();
    SearchState state;
    state.configure(settings);
    state.setRoot(board);
    const Pos move = state.iterativeDeepening(requestStart);
    state.table.release();
    return move;
}

}  // namespace velmor
