#include "search/engine.h"

#include <utility>

#include "search/clock.h"
#include "search/search_state.h"

namespace velmor {

namespace {
// The table of the previous move. Handing a table of a third of the memory
// budget back to the system takes several milliseconds once a search has
// touched it; done after this move's deadline it would lengthen every
// answer, done at the start of the next request it is part of that
// request's own budget. Only the brain thread calls getBestMove.
TransTable retiredTable;
}  // namespace

Pos AIVelmorSearch::getBestMove(Board& board, const SearchSettings& settings) {
    // The clock starts before anything else: giving back the last table and
    // sizing the new one are part of the time this move takes.
    const int64_t requestStart = wallClockTicks();
    retiredTable.release();
    SearchState state;
    state.configure(settings);
    state.setRoot(board);
    const Pos move = state.iterativeDeepening(requestStart);
    retiredTable = std::move(state.table);
    return move;
}

}  // namespace velmor
