#pragma once
// Where the tuner starts, and what a table entry falls back to when the data
// hardly meets it: the hand-set weights per combined point type that the
// evaluation used before it was learned.
#include <vector>

#include "board/eval_weights.h"

namespace velmor::training {

// Fills `sets` (kEvalRuleSets of them) with the hand-set values.
void handSetWeights(EvalWeights* sets);

}  // namespace velmor::training
