#include "search/engine.h"

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
    return state.iterativeDeepening(requestStart);
}

void clearSearchTables() {
    gameTable.clear();
    threatCache().clear();
}

}  // namespace velmor
