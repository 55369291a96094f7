#include "search/engine.h"

#include <utility>

#include "search/clock.h"
#include "search/search_state.h"
#include "threat/threat_cache.h"

namespace velmor {

namespace {
// The transposition table of the game, handed to each move's search and
// taken back after it. Only the brain thread calls getBestMove.
TransTable gameTable;
}  // namespace

Pos AIVelmorSearch::getBestMove(Board& board, const SearchSettings& settings) {
    // The clock starts before anything else: sizing or emptying the table
    // is part of the time this move takes.
    const int64_t requestStart = wallClockTicks();
    SearchState state;
    std::swap(state.table, gameTable);
    state.configure(settings);
    state.setRoot(board);
    const Pos move = state.iterativeDeepening(requestStart);
    std::swap(state.table, gameTable);
    return move;
}

void clearSearchTables() {
    gameTable.clear();
    threatCache().clear();
}

}  // namespace velmor
