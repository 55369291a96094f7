#pragma once
#include <cassert>
#include <cstdint>

#include "board/board.h"

namespace velmor {

// The first empty point in scan order (x outer, y inner) whose combined type
// for `side` is `type`, a shape (not None). False when there is none. Every
// shape lies in the Board's shapeArea, so the scan covers that alone (the
// search asks this at every node where the opponent threatens five).
inline bool firstPointOfType(const Board& board, int side, uint8_t type, Pos& found) {
    assert(type != None);
    const Board::ScanArea area = board.shapeArea();
    for (int x = area.x0; x < area.x1; ++x)
        for (int y = area.y0; y < area.y1; ++y) {
            const Cell& c = board.cells[x][y];
            if (c.stone == 2 && c.pointType[side] == type) {
                found = Pos(x, y);
                return true;
            }
        }
    return false;
}

// The first empty point in scan order that `side` may play: not forbidden
// to it under renju. False when there is none.
inline bool firstPlayablePoint(const Board& board, int side, Pos& found) {
    for (int x = 0; x < boardSize; ++x)
        for (int y = 0; y < boardSize; ++y) {
            const Cell& c = board.cells[x][y];
            if (c.stone == 2 && c.pointType[side] != Forbidden) {
                found = Pos(x, y);
                return true;
            }
        }
    return false;
}

}  // namespace velmor
