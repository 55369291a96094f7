#include "search/helper_threads.h"

#include <algorithm>

#include "pool/thread_pool.h"
#include "search/search_state.h"

namespace velmor {

HelperThreads::HelperThreads(SearchState& main, const MoveList& rootMoves, int32_t count) : main_(main) {
    mainDepth_.store(main.depth, std::memory_order_relaxed);
    // The deciding thread's threat searches now also answer to the shared
    // flag, so that they end with the others when a helper sees the time out.
    main.threat.stop = main.stop;
    main.busy = &busy_;
    ThreadPool& pool = ThreadPool::getInstance();
    pool.ensureWorkers(count);
    for (int32_t i = 1; i <= count; ++i) {
        helpers_.push_back(std::make_unique<SearchState>());
        helpers_.back()->becomeHelperOf(main, i, &mainDepth_);
        helpers_.back()->team = this;
        helpers_.back()->busy = main.busy;
    }
    running_ = count;
    for (auto& helper : helpers_) {
        SearchState* state = helper.get();
        pool.submit([this, state, rootMoves] {
            state->helperSearch(rootMoves);
            std::lock_guard lock(mutex_);
            if (--running_ == 0) done_.notify_all();
        });
    }
}

HelperThreads::~HelperThreads() { finish(); }

void HelperThreads::offer(int32_t depth, const SearchPath& line) {
    std::lock_guard lock(mutex_);
    if (depth <= deepestDepth_ || line.moves.empty()) return;
    deepestDepth_ = depth;
    deepestLine_ = line;
}

int64_t HelperThreads::finish() {
    if (!finished_) {
        finished_ = true;
        main_.raiseStop();
        std::unique_lock lock(mutex_);
        done_.wait(lock, [this] { return running_ == 0; });
        main_.threat.stop = nullptr;
        main_.busy = nullptr;
    }
    int64_t nodes = 0;
    for (const auto& helper : helpers_) nodes += int64_t(helper->stats.ab) + helper->stats.nodes;
    return nodes;
}

void SearchState::becomeHelperOf(const SearchState& main, int32_t index, const std::atomic<int32_t>* depthOfMain) {
    board = main.board;
    rootStep = main.rootStep;
    rootLastMover = main.rootLastMover;
    rule = main.rule;
    useHashTables = main.useHashTables;
    minDepth = main.minDepth;
    maxDepth = main.maxDepth;
    startTime = main.startTime;
    timeMaxMs = main.timeMaxMs;
    timeLeftMs = main.timeLeftMs;
    timeSuggestMs = main.timeSuggestMs;
    threads = main.threads;
    // A stop request from the front end ends the helpers too. The node budget
    // and the reports are the deciding thread's alone.
    stopRequest = main.stopRequest;
    maxNodes = 0;
    observer = nullptr;
    table = main.table;
    stop = &ownStop;
    teamStop = main.stop;
    threat.rule = main.rule;
    threat.cache = main.threat.cache;
    threat.deadline = main.threat.deadline;
    threat.stop = main.stop;
    helperIndex = index;
    mainDepth = depthOfMain;
}

void SearchState::helperSearch(MoveList rootMoves) {
    // Every helper searches the deciding thread's iteration, or the next
    // one when it has finished that first. The threads split each tree
    // between them by putting off the moves another thread is inside
    // (BusyNodes), and a helper that falls behind starts again at the
    // deciding thread's depth. Helpers one or two plies ahead, without that
    // split, spared the deciding thread about a tenth of its nodes to depth 8
    // on the bench positions; this way, about 30%.
    SearchPath current;
    int32_t searched = 0;
    while (!teamStop->load(std::memory_order_relaxed)) {
        ownStop.store(false, std::memory_order_relaxed);
        depth = std::max(searched + 1, mainDepth->load(std::memory_order_relaxed));
        // One beyond the deepest iteration the deciding thread may start, so
        // that its last one still finds results waiting.
        if (depth > maxDepth + 1) break;
        deepestStep = rootStep;
        current.reset(rootStep);
        searchRoot(rootMoves, current);
        // Cut short: the deciding thread went past this iteration (start
        // again at its depth), or the time or the move is up.
        if (stopped()) {
            if (mainDepth->load(std::memory_order_relaxed) > depth) continue;
            break;
        }
        sortRootMoves(rootMoves);
        team->offer(depth, current);
        stats.ab += stats.nodes;
        stats.nodes = 0;
        searched = depth;
        // A proven result gets no better deeper; the table already holds it.
        if (current.rating >= kWin || current.rating == kLoss) break;
    }
}

}  // namespace velmor
