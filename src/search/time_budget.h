#pragma once
#include <cstdint>

namespace velmor {

// Time limits of one move, in milliseconds.
struct TimeBudget {
    uint32_t maxMs;      // hard limit: the node search aborts past it
    uint32_t suggestMs;  // soft limit: no iteration starts that cannot reach
                         // its first move's result before it
};

// The part of the turn kept back for what the manager counts and the search
// does not see: waking the brain thread, unwinding an aborted search,
// writing the answer, the pipe and the scheduler of a busy machine.
uint32_t safetyMarginMs(uint32_t turnTimeMs);

// The budget for a position with `stones` stones, `turnTimeMs` allowed per
// move and `timeLeftMs` left in the match.
TimeBudget computeTimeBudget(uint32_t stones, uint32_t turnTimeMs, uint32_t timeLeftMs);

}  // namespace velmor
