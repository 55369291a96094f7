#include "search/time_budget.h"

#include <algorithm>

namespace velmor {

// Early moves get little of the match clock, the opening middle game more,
// and the game is expected to be decided by about the 60th stone. All
// divisions are integer divisions on purpose: the table is part of how the
// engine plays and tests pin every row.
static TimeBudget budgetTable(uint32_t n, uint32_t T, uint32_t L) {
    if (n < 5) {
        uint32_t maxMs = std::min(L / 10, T);
        return {maxMs, maxMs / 3 * 2};
    }
    if (n < 20) {
        if (L < T) return {L / 8, L / 16};
        if (L / 8 < T) return {L / 8, L / 24};
        return {T, T / 3};
    }
    if (n < 60) {
        if (L < T) return {L / 8, L / 24};
        if (L / 16 < T) return {L / 16, L / 48};
        return {T, T / 3};
    }
    return {L / 10, L / 20};
}

TimeBudget computeTimeBudget(uint32_t stones, uint32_t turnTimeMs, uint32_t timeLeftMs) {
    TimeBudget budget = budgetTable(stones, turnTimeMs, timeLeftMs);
    // The manager forfeits a move that takes longer than timeout_turn, and
    // from the 60th stone on the table does not look at it at all (with the
    // default time_left of 1000000000 that would be 100000 s a move): the
    // turn limit caps the hard limit, and the soft limit never exceeds the
    // hard one.
    budget.maxMs = std::min(budget.maxMs, turnTimeMs);
    budget.suggestMs = std::min(budget.suggestMs, budget.maxMs);
    return budget;
}

}  // namespace velmor
