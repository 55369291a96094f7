#pragma once
// Replays a winning line returned by the threat search on a Board and checks
// it against the stones alone.
#include <string>

#include "board/board.h"
#include "board/small_list.h"
#include "threat/vcf_oracle.h"

namespace velmor::test {

// Empty string when `moves` (attack, defence, attack, ...) is a sound win for
// the side to move on `start`: every move on an empty point the mover may
// take (the attacker), every attack a threat (a four or five when `foursOnly`), no defence
// completing a five, and the end a five or a four the defender cannot stop.
// Otherwise a description of the first fault.
std::string checkWinningLine(const Board& start, GameRule rule, const SmallList<Pos, 64>& moves, bool foursOnly);

}  // namespace velmor::test
