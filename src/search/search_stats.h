#pragma once
#include <cstdint>

namespace velmor {

// Counters of one search, reported by the iteration and summary lines.
struct SearchStats {
    int32_t nodes = 0;     // alphaBeta calls in the current iteration
    int32_t ab = 0;        // nodes of all reported iterations
    int32_t leaf = 0;      // static evaluations below depth 1
    int32_t scout = 0;     // ordering pre-searches
    int32_t quies = 0;     // always 0
    int32_t null = 0;      // null-move cutoffs
    int32_t bestmove = 0;  // nodes ordered by a hash move
    int32_t complex = 0;   // re-searches after a null-window result inside the window
    uint64_t hit = 0;      // table cutoffs plus threat-cache answers
    uint64_t miss = 0;     // always 0
    uint64_t clash = 0;    // always 0
    uint64_t cover = 0;    // table probes that did not end the node
    int32_t dbSearchCount = 0;  // dbSearch calls, cache answers included
    int32_t dbTotal = 0;        // threat nodes over those calls
    int32_t dbMax = 0;          // most threat nodes of one call
};

}  // namespace velmor
