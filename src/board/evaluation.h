#pragma once
#include <cstdint>

#include "board/board.h"
#include "board/eval_weights.h"

namespace velmor {

// Static score of `board` under `rule` for `side` (positive is good for
// `side`), within +-kEvalLimit.
int32_t evaluate(const Board& board, int side, GameRule rule);
inline constexpr int32_t kEvalLimit = 4000;

// The table entry of side `s` at the empty point `c`.
inline int evalEntry(const Cell& c, int s) {
    return c.pointType[s] == Forbidden && s == 0 ? kFoulEntry : combinationIndex(c.lineTypes[s]);
}

// Calls f(side, entry) for every point evaluate sums, for each side: the
// terms of the evaluation, as the tuner sees them.
template <typename F>
void forEachEvalTerm(const Board& board, F&& f) {
    for (int x = 0; x < boardSize; ++x)
        for (int y = 0; y < boardSize; ++y) {
            const Cell& c = board.cells[x][y];
            if (c.stone != 2 || (c.lineTypes[0] | c.lineTypes[1]) == 0) continue;
            if (c.lineTypes[0]) f(0, evalEntry(c, 0));
            if (c.lineTypes[1]) f(1, evalEntry(c, 1));
        }
}

}  // namespace velmor
