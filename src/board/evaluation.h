#pragma once
#include <cstdint>

#include "board/board.h"
#include "board/eval_weights.h"

namespace velmor {

// Static score of `board` under `rule` for `side` (positive is good for
// `side`), within +-kEvalLimit.
int32_t evaluate(const Board& board, int side, GameRule rule);
inline constexpr int32_t kEvalLimit = 4000;

// The table entry of a point with these line types, or of a renju foul of
// black, which has its own entry whatever its lines.
inline int evalEntryOf(uint16_t lineTypes, bool foul) { return foul ? kFoulEntry : combinationIndex(lineTypes); }

// The table entry of side `s` at the empty point `c`.
inline int evalEntry(const Cell& c, int s) {
    return evalEntryOf(c.lineTypes[s], s == 0 && c.pointType[s] == Forbidden);
}

// Calls f(entry of side 0, entry of side 1) for every point evaluate sums:
// the empty points where either side has a shape (all inside the Board's
// shapeArea). Entry 0 (no shape) is worth nothing in every table. The tuner
// reads its terms from this walk too, so that what is fitted is what is
// played.
template <typename F>
void forEachEvalPoint(const Board& board, F&& f) {
    const Board::ScanArea area = board.shapeArea();
    for (int x = area.x0; x < area.x1; ++x) {
        const Cell* column = board.cells[x];
        for (int y = area.y0; y < area.y1; ++y) {
            const Cell& c = column[y];
            if (c.stone != 2 || (c.lineTypes[0] | c.lineTypes[1]) == 0) continue;
            f(evalEntry(c, 0), evalEntry(c, 1));
        }
    }
}

}  // namespace velmor
