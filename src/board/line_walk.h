#pragma once
// Walking along one line from a point: the shared step of the threat and
// defence generators, which look at most four points each way.
#include "board/board.h"

namespace velmor {

// The two halves of a line through a point, in the order every walk uses:
// the minus side first, then the plus side.
inline constexpr int kLineSides[2] = {-1, +1};

// Visits the points at distance 1..4 from `from` along direction `dir` on one
// side (`sign` -1 or +1). The walk ends at the board edge, at a stone of side
// `blocker`, or when `visit` returns false; stones of the other side are passed
// over without a visit. `visit(Pos, const Cell&)` sees empty points only.
// The masks of `from` already hold what lies along the line (the edge is a
// bit of both sides), so the walk reads no cell it does not visit and tests
// no coordinate.
template <class Visit>
inline void walkEmpties(const Board& board, Pos from, int dir, int sign, int blocker, Visit&& visit) {
    const Cell& at = board.cells[from.x()][from.y()];
    const unsigned stops = at.stoneMask[blocker][dir];  // the blocker's stones and the edge
    const unsigned taken = stops | at.stoneMask[1 - blocker][dir];
    const int dx = kDirDx[dir] * sign, dy = kDirDy[dir] * sign;
    int x = from.x(), y = from.y();
    for (int k = 1; k <= 4; ++k) {
        x += dx;
        y += dy;
        const unsigned bit = sign < 0 ? 0x08u << k : 0x10u >> k;
        if (stops & bit) return;
        if (taken & bit) continue;
        if (!visit(Pos(x, y), board.cells[x][y])) return;
    }
}

// The line type of direction `dir` in a lineTypes word.
inline int lineTypeAt(uint16_t lineTypes, int dir) { return (lineTypes >> (4 * dir)) & 0xF; }

}  // namespace velmor
