#pragma once
#include <cstdint>

namespace velmor {

// Time limits of one move, in milliseconds.
struct TimeBudget {
    uint32_t maxMs;      // hard limit: the node search aborts past it
    uint32_t suggestMs;  // soft limit: no new iteration starts past it
};

// The budget for a position with `stones` stones, `turnTimeMs` allowed per
// move and `timeLeftMs` left in the match.
TimeBudget computeTimeBudget(uint32_t stones, uint32_t turnTimeMs, uint32_t timeLeftMs);

}  // namespace velmor
