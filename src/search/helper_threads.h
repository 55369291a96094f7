#pragma once
// The helper threads of one move's search. Every helper searches the same
// root as the thread that decides the move, on its own board copies with its
// own killers, history and statistics, at its depth; they meet in the shared
// transposition table and threat cache, where each finds the others' results
// as cutoffs and hash moves, and in the busy table (BusyNodes), through which
// they split each tree between them. The deciding thread alone
// watches the time, and it chooses the move: its own, or the line of a
// helper that completed a deeper iteration than it did.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "board/generators.h"
#include "search/busy_nodes.h"
#include "search/search_settings.h"

namespace velmor {

struct SearchState;

class HelperThreads {
public:
    // Starts `count` helpers of `main` on the worker pool, each with its own
    // copy of the root list.
    HelperThreads(SearchState& main, const MoveList& rootMoves, int32_t count);
    // Stops and waits for them, if finish() has not.
    ~HelperThreads();
    HelperThreads(const HelperThreads&) = delete;
    HelperThreads& operator=(const HelperThreads&) = delete;

    // The deciding thread starts an iteration of this depth.
    void publishDepth(int32_t depth) { mainDepth_.store(depth, std::memory_order_relaxed); }
    // Raises the stop flag, waits until every helper has returned, and gives
    // the number of nodes they searched.
    int64_t finish();

    // A helper completed an iteration of `depth` with best line `line`.
    void offer(int32_t depth, const SearchPath& line);
    // The deepest iteration a helper completed (depth 0: none yet) and its
    // best line.
    int32_t deepestDepth() const { return deepestDepth_; }
    const SearchPath& deepestLine() const { return deepestLine_; }

private:
    SearchState& main_;
    BusyNodes busy_;
    std::atomic<int32_t> mainDepth_{0};
    std::vector<std::unique_ptr<SearchState>> helpers_;
    std::mutex mutex_;
    std::condition_variable done_;
    int32_t running_ = 0;
    bool finished_ = false;
    // Written under mutex_ by the helpers; the deciding thread reads them
    // after finish().
    int32_t deepestDepth_ = 0;
    SearchPath deepestLine_;
};

}  // namespace velmor
