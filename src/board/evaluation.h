#pragma once
#include <cstdint>

#include "board/board.h"

namespace velmor {

// Static score of `board` for `side` (positive is good for `side`).
int32_t evaluate(const Board& board, int side);
// Multiplier for side s at empty point p (room and support of single threes
// and fours); used by evaluate.
double typeFactor(const Board& board, Pos p, int side);

}  // namespace velmor
