#pragma once
// Move generators over the Board's pattern data: candidate moves for the
// alpha-beta search, attacking threats and defence squares for the threat
// search. None changes the board it is given.
#include <cstdint>

#include "board/board.h"
#include "board/small_list.h"

namespace velmor {

// A generated move. Layout (6 bytes): pos:2 | value:2 | dir:1 | ownType:1
struct ScoredMove {
    Pos pos;
    int16_t value;    // ordering value, larger is more urgent
    uint8_t dir;      // threat generators: direction of the threat
    uint8_t ownType;  // generateCandidates: pointType of the mover at pos
};
static_assert(sizeof(ScoredMove) == 6);

// Caller-owned result lists; generators append and never clear. The inline
// room covers every list of a 15x15 board without a heap allocation.
using MoveList = SmallList<ScoredMove, 256>;
using PosList = SmallList<Pos, 32>;

// Threat levels of the threat generators.
enum ThreatLevel : uint8_t {
    FivesOnly = 0,   // moves that make five
    FoursOnly = 1,   // a four or better
    WithThrees = 2,  // a three or better
};

// Candidates for the side to move, narrowed to the forced replies when either
// side threatens. Unsorted. Returns the list's length afterwards.
int generateCandidates(const Board& board, MoveList& list);
// Whole-board threats of the side to move at `level`, sorted by value.
void collectThreats(const Board& board, int level, MoveList& list);
// Threats on the four lines through `centre`, sorted by value except on the
// two early returns (a five found, or level 0).
void collectThreatsAround(const Board& board, Pos centre, int level, MoveList& list, bool extra);
// The defender's answers to the attacker's (lastMove.side) threat of type
// `threat` along `dir` through `at`.
void collectDefences(const Board& board, Pos at, uint8_t threat, uint8_t dir, PosList& list, GameRule rule);
// Unstable sort by value, highest first.
void sortByValue(MoveList& list);

}  // namespace velmor
