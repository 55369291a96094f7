#pragma once
// The learned evaluation tables (values in eval_weights.cpp, written by
// tools/tune; see evaluation.cpp for how they are read).
#include <cstdint>

#include "board/chess_type.h"
#include "board/line_combination.h"

namespace velmor {

// One entry per combination of four line types, and one more for a point
// that is a renju foul for black: a stone there loses, whatever its lines.
inline constexpr int kFoulEntry = kCombinationCount;
inline constexpr int kEvalEntries = kCombinationCount + 1;

// The tables a side reads: black and white differ only under renju.
enum EvalRuleSet : uint8_t { FreeStyleSet, ExactFiveSet, RenjuBlackSet, RenjuWhiteSet };
inline constexpr int kEvalRuleSets = 4;
inline int evalRuleSet(GameRule rule, int side) {
    return rule == Renju ? RenjuBlackSet + side : rule == ExactFive ? ExactFiveSet : FreeStyleSet;
}

struct EvalWeights {
    // For having the move, by the colour that has it: the first player's
    // edge is a fact of the game, not of any shape, and without a term of
    // its own the shape values would be bent to carry it.
    int16_t tempo[2];
    int16_t toMove[kEvalEntries];   // a point of the side to move
    int16_t waiting[kEvalEntries];  // a point of the side that moved last
};

extern const EvalWeights kEvalWeights[kEvalRuleSets];

}  // namespace velmor
