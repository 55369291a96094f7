#include "search/time_budget.h"

#include <algorithm>

namespace velmor {

uint32_t safetyMarginMs(uint32_t turnTimeMs) {
    // A fixed part for the process and pipe (capped for very short turns,
    // where it would eat the whole move) plus 2% for a loaded machine.
    return std::min(turnTimeMs / 10, 10u) + turnTimeMs / 50;
}

TimeBudget computeTimeBudget(uint32_t stones, uint32_t turnTimeMs, uint32_t timeLeftMs) {
    // The turn is never exceeded: the manager forfeits a late move.
    const uint32_t turnLimit = turnTimeMs - safetyMarginMs(turnTimeMs);

    // The match clock is shared by the moves still to come. Games between
    // strong players are mostly decided before the 90th stone; the floor of
    // ten keeps a long game from spending its last reserve on one move.
    const uint32_t movesToGo = std::max<uint32_t>(10, stones < 90 ? (90 - stones) / 2 : 0);
    const uint32_t share = timeLeftMs / movesToGo;

    TimeBudget budget;
    budget.suggestMs = std::min(turnLimit, share);
    // A hard limit above the share lets an iteration that started in time
    // finish its first move; never more than a sixth of what is left.
    const uint32_t stretched = uint32_t(std::min<uint64_t>(3ull * budget.suggestMs, timeLeftMs / 6));
    budget.maxMs = std::min(turnLimit, std::max(budget.suggestMs, stretched));
    return budget;
}

}  // namespace velmor
