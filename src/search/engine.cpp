#include "search/engine.h"

namespace velmor {

// Stand-in until the full search lands: the fallback move of the search (a
// point of the opponent's strongest type, else the first empty point).
Pos AIVelmorSearch::getBestMove(Board& board, const SearchSettings&) {
    int opp = board.lastMove.side;
    int k = 0;
    for (int t = Five; t >= 1; --t)
        if (board.typeCount[opp][t] > 0) {
            k = t;
            break;
        }
    for (int x = 0; x < boardSize; ++x)
        for (int y = 0; y < boardSize; ++y)
            if (board.isEmpty(x, y) && board.cells[x][y].pointType[opp] == k) return Pos(x, y);
    for (int x = 0; x < boardSize; ++x)
        for (int y = 0; y < boardSize; ++y)
            if (board.isEmpty(x, y)) return Pos(x, y);
    return Pos(0, 0);
}

}  // namespace velmor
