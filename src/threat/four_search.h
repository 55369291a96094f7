#pragma once
// The win by fours alone, played out stone by stone. Every attacker four has
// one forced reply, so this tree is narrow enough to search move by move on
// the board itself; the node search asks it at almost every node, where the
// threat-space search (threatSearch) cost two thirds of the whole think.
#include <cstdint>

#include "board/board.h"
#include "board/small_list.h"
#include "threat/threat_context.h"

namespace velmor {

// Can the side to move on `board` win by an unbroken series of fours? The
// caller guarantees that neither side has a five to complete. On a win the
// line (four, block, four, ..., the last four) is appended to `line`.
//
// Exact where it answers yes: every four, forced block and counter-four is
// made on the board (a block that makes a four of the defender must be
// answered by a four of the attacker, or the line fails). Not complete where
// it answers no: after the first four it follows only fours on the lines of
// the last one, so two chains of fours that meet only at the end escape it;
// and it gives up past kMaxFours fours in a line or kFourSearchBudget
// attacker moves in all. The cache keeps that no as for a fours-only
// threat search.
ThreatResult winByFours(ThreatContext& context, const Board& board, SmallList<Pos, 64>& line, bool useCache);

inline constexpr int kMaxFours = 30;
inline constexpr int32_t kFourSearchBudget = 2000;

}  // namespace velmor
