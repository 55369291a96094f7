#pragma once
// The Board's side of the exact foul check (foul_check.cpp).
#include "board/board.h"

namespace velmor {

// For a point whose line `dir` a verdict read stone by stone: does what a
// black stone at the point makes along that line differ from before the
// stone the Board notes in foulStoneAt came or went? The point is given by
// its index x * 20 + y.
bool lineFactsChanged(const Board& board, int index, int dir);

}  // namespace velmor
