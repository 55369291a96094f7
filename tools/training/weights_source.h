#pragma once
// The generated source file of the learned evaluation tables.
#include <string>
#include <vector>

#include "board/eval_weights.h"

namespace velmor::training {

// The whole text of eval_weights.cpp: `header` (comment lines without the
// leading "// ") above the tables.
std::string formatWeightsSource(const EvalWeights* sets, const std::vector<std::string>& header);

// The header lines of a file written by formatWeightsSource.
std::vector<std::string> headerOf(const std::string& source);

}  // namespace velmor::training
