#pragma once
// Swap2 openings: the first player places three stones (two black, one
// white); the second takes black, stays white and plays the fourth stone,
// or places the fourth and fifth and lets the first player choose a colour.
#include <string>
#include <vector>

#include "board/pos.h"
#include "search/search_settings.h"

namespace velmor {

// The reply to a SWAP2BOARD block with `stones` in playing order (black
// first): none asks for the three opening stones ("x,y x,y x,y"); three
// give "SWAP", the fourth stone, or the fourth and fifth; five give "SWAP"
// or the sixth stone. "SWAP" takes black. The caller has checked the count
// and that the points are on the board and distinct. Decided by short
// searches within the turn of `settings`.
std::string swap2Reply(const std::vector<Pos>& stones, const SearchSettings& settings);

}  // namespace velmor
