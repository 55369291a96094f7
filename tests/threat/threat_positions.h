#pragma once
// Small helpers shared by the threat-search tests.
#include <string>
#include <vector>

#include "support/positions.h"

namespace velmor::test {

// A position from "x,y ..." lists of black and white stones.
inline Board stonesBoard(int size, GameRule rule, const std::string& black, const std::string& white, int toMove) {
    std::vector<Stone> stones;
    for (Pos p : parsePoints(black)) stones.push_back({p.x(), p.y(), 0});
    for (Pos p : parsePoints(white)) stones.push_back({p.x(), p.y(), 1});
    return placeStones(size, rule, stones, toMove);
}

}  // namespace velmor::test
