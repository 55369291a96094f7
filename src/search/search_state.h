#pragma once
#include <atomic>
#include <cstdint>
#include <string>

#include "board/board.h"
#include "board/generators.h"
#include "search/search_settings.h"
#include "search/search_stats.h"
#include "search/trans_table.h"
#include "threat/threat_context.h"

namespace velmor {

class BusyNodes;
class HelperThreads;

// How a node was reached; decides only whether the ordering pre-search runs
// and is handed down by fixed rules.
enum NodeType : uint8_t { PVNode = 1, CutNode = 2, AllNode = 3 };

// The search object of one move request.
struct SearchState {
    const Board* board = nullptr;  // the caller's copy; never changed
    uint16_t rootStep = 0;         // stones at the root
    uint8_t rootLastMover = 0;     // the engine plays 1 - rootLastMover
    // The table this search reads and writes: its own, the game's, or the
    // one all threads of a move share.
    TransTable* table = &ownTable;
    TransTable ownTable;
    int32_t depth = 0;             // nominal depth of the current iteration
    int64_t startTime = 0;         // 100-ns ticks
    bool nullMoveEnabled = true;
    int32_t deepestStep = 0;       // deepest step dbSearch reached this iteration
    SearchStats stats;
    MessageSink messageSink;
    uint32_t timeMaxMs = 10000;    // hard limit
    uint32_t timeLeftMs = 0xFFFFFFFF;
    uint32_t maxMemory = 350000000;
    GameRule rule = FreeStyle;
    bool useHashTables = false;
    int32_t maxDepth = 20;
    int32_t minDepth = 2;
    int64_t maxNodes = 0;
    const std::atomic<bool>* stopRequest = nullptr;
    RootObserver* observer = nullptr;
    std::vector<Pos> excludedRootMoves;
    // Size of the root list the last search worked on (0: no candidate at
    // all, the move came from fallbackMove).
    uint32_t rootMoveCount = 0;
    // The threat searches' rule, cache, deadline, arena and counters.
    ThreatContext threat;

    // Raised when the search must end: the hard time limit has passed (seen
    // by any thread), or the thread that decides the move is done. All
    // threads of one move share the deciding thread's flag; cleared at the
    // start of every search.
    std::atomic<bool>* stop = &ownStop;
    std::atomic<bool> ownStop{false};
    bool stopped() const { return stop->load(std::memory_order_relaxed); }
    void raiseStop() { stop->store(true, std::memory_order_relaxed); }

    // Search threads of the move, this one included (1: no helpers).
    int32_t threads = 1;
    // 0 for the thread that decides the move, 1.. for its helpers.
    int32_t helperIndex = 0;
    // Helpers only: the depth the deciding thread is searching, and the
    // team that collects their completed iterations.
    const std::atomic<int32_t>* mainDepth = nullptr;
    HelperThreads* team = nullptr;
    // Helpers only: the deciding thread's stop flag. A helper's own flag
    // (`stop`) also ends an iteration the deciding thread has caught up
    // with; the helper then starts again ahead of it.
    const std::atomic<bool>* teamStop = nullptr;
    // With helpers: the positions each thread is inside, shared by all
    // threads of the move (null with one thread).
    BusyNodes* busy = nullptr;
    // Nodes the helpers searched in the last search (for the figures).
    int64_t helperNodes = 0;

    SearchState();
    SearchState(const SearchState&) = delete;
    SearchState& operator=(const SearchState&) = delete;

    // Copies the settings and sizes the transposition table (a third of the
    // budget) and the threat cache (two thirds).
    void configure(const SearchSettings& settings);
    // Records the root snapshot of `root`.
    void setRoot(const Board& root);

    // Threat-space search: can the side to move on `board` force a win? Counts
    // the call in the statistics, and a search the clock cut short stops the
    // node search too.
    bool dbSearch(const Board& board, SearchPath& line, bool useCache, bool foursOnly);

    // Milliseconds since startTime.
    int64_t elapsedMs() const;
    // The hard limit of the think: its time, its node budget or a stop
    // request from another thread; for a helper also the deciding thread's
    // stop, or its going past the helper's iteration.
    bool pastHardLimit() const;
    // Alpha-beta nodes of the whole think so far.
    int64_t nodesSearched() const { return int64_t(stats.ab) + stats.nodes; }
    bool isExcludedAtRoot(Pos move) const;
    // Hands one report line to the sink under the report mutex.
    void emit(const std::string& text) const;

    // Move-ordering memory of this search. A killer is a move that cut off
    // a sibling node at the same ply: in Gomoku the same point often
    // refutes every quiet move of the opponent (it is the point both sides
    // want). History counts, per side and point, how much depth the point's
    // cutoffs have saved anywhere in the tree.
    static constexpr int kMaxPly = 128;
    Pos killers[kMaxPly][2] = {};
    int32_t history[2][kMaxBoardSize * kMaxBoardSize] = {};

    // The soft limit of the current search: no new iteration starts after it.
    uint32_t timeSuggestMs = 0;
    // The best line of the last search with its rating, for analysis tools.
    SearchPath bestLine;

    // Runs the whole search of one move from the request's start (100-ns
    // ticks) and returns the move to play.
    Pos iterativeDeepening(int64_t startTicks);
    // Makes this state a helper of `main`'s search (same root, limits, table,
    // threat cache and stop flag; its own ordering memory and statistics).
    void becomeHelperOf(const SearchState& main, int32_t index, const std::atomic<int32_t>* depthOfMain);
    // A helper's iterations over its own copy of the root list, ahead of the
    // deciding thread, until the stop flag is raised or it is past the
    // deepest iteration the deciding thread may start.
    // What it finds reaches the deciding thread through the shared table.
    void helperSearch(MoveList rootMoves);
    // Fills the root list (shortcuts for a five, a forced block and a proven
    // threat win; otherwise candidates that do not lose to a threat sequence)
    // and may pre-fill the best path.
    void prepareRootMoves(MoveList& rootMoves, SearchPath& bestPath);
    // One iteration at `depth` over the root list; writes each searched
    // move's value into it and the best line into `current`. True when that
    // line's first move was searched to the end (a cut-short iteration may
    // still have settled one).
    bool searchRoot(MoveList& rootMoves, SearchPath& current);
    // Fail-hard negamax node over a fractional depth; appends the best
    // continuation to `path` and sets its rating.
    void alphaBeta(const Board& node, SearchPath& path, double nodeDepth, int32_t alpha, int32_t beta,
                   NodeType type, bool useTable);
    // The value of a move for the side that made it: alphaBeta on the
    // position after it, window and result seen from the other side.
    int32_t moveValue(const Board& next, SearchPath& line, double nodeDepth, int32_t alpha, int32_t beta,
                      NodeType type, bool useTable) {
        alphaBeta(next, line, nodeDepth, -beta, -alpha, type, useTable);
        return -line.rating;
    }

    void reportIteration(const SearchPath& path);
    void reportTimeBudget() const;
    void reportSummary(const SearchPath& path) const;
};

// Best first; equal values keep their order from the previous iteration, so
// a later move that merely ties the best one (a fail-hard null-window result)
// never displaces it.
void sortRootMoves(MoveList& rootMoves);

// The move played when the root list is empty: the first empty point (scan
// order) where the opponent (`lastMover`) has its strongest shape, else the
// first empty point; (0, 0) only on a full board.
Pos fallbackMove(const Board& board, int lastMover);

// Memory budget used when the manager gives none (max_memory 0 or absent).
inline constexpr uint32_t kDefaultMemoryBudget = 350000000;

}  // namespace velmor
