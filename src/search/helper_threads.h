#pragma once
// The helper threads of one move's search. Every helper searches the same
// root as the thread that decides the move, on its own board copies with its
// own killers, history and statistics, one or two plies ahead of it; they
// meet only in the shared transposition table and threat cache, where the
// deciding thread finds their results as cutoffs and hash moves. It alone
// chooses the move and watches the time.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "board/generators.h"

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

private:
    SearchState& main_;
    std::atomic<int32_t> mainDepth_{0};
    std::vector<std::unique_ptr<SearchState>> helpers_;
    std::mutex mutex_;
    std::condition_variable done_;
    int32_t running_ = 0;
    bool finished_ = false;
};

}  // namespace velmor
