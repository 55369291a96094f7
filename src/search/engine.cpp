#include "search/engine.h"

#include <algorithm>

#include "search/clock.h"
#include "search/search_state.h"
#include "threat/threat_cache.h"

namespace velmor {

namespace {
// The transposition table of the game, lent to each move's search. Only the
// brain thread calls getBestMove and sizes or empties the table.
TransTable gameTable;
}  // namespace

Pos AIVelmorSearch::getBestMove(Board& board, const SearchSettings& settings) {
    // The clock starts before anything else: sizing or emptying the table
    // is part of the time this move takes.
    const int64_t requestStart = wallClockTicks();
    SearchState state;
    state.table = &gameTable;
    state.configure(settings);
    state.setRoot(board);
    const Pos move = state.iterativeDeepening(requestStart);

    outcome_.move = move;
    outcome_.value = state.bestLine.rating;
    outcome_.depth = state.depth;
    outcome_.selDepth = std::max(0, state.deepestStep - int32_t(state.rootStep));
    outcome_.nodes = state.nodesSearched() + state.helperNodes;
    outcome_.ms = (wallClockTicks() - requestStart) / kTicksPerMs;
    outcome_.line.assign(state.bestLine.moves.begin(), state.bestLine.moves.end());
    // The head of the root list and the best line agree after a complete
    // iteration; where they do not, the move played leads.
    if (outcome_.line.empty() || !(outcome_.line[0] == move)) outcome_.line = {move};
    outcome_.rootMoves = state.rootMoveCount;
    return move;
}

void clearSearchTables() {
    gameTable.clear();
    threatCache().clear();
}

}  // namespace velmor
