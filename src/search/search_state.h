#pragma once
#include <cstdint>
#include <string>

#include "board/board.h"
#include "board/generators.h"
#include "search/search_settings.h"
#include "search/search_stats.h"
#include "search/trans_table.h"

namespace velmor {

// Set by the node search when the hard time limit is hit; cleared at the
// start of every search. Only the brain thread touches it.
extern bool timeoutFlag;

// How a node was reached; decides only whether the ordering pre-search runs
// and is handed down by fixed rules.
enum NodeType : uint8_t { PVNode = 1, CutNode = 2, AllNode = 3 };

// The search object of one move request.
struct SearchState {
    const Board* board = nullptr;  // the caller's copy; never changed
    uint16_t rootStep = 0;         // stones at the root
    uint8_t rootLastMover = 0;     // the engine plays 1 - rootLastMover
    TransTable table;
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

    // Copies the settings and sizes the transposition table (a third of the
    // budget) and the threat cache (two thirds).
    void configure(const SearchSettings& settings);
    // Records the root snapshot of `root`.
    void setRoot(const Board& root);

    // Threat-space search: can the side to move on `board` force a win?
    bool dbSearch(const Board& board, SearchPath& line, bool useCache, bool foursOnly);

    // Milliseconds since startTime.
    int64_t elapsedMs() const;
    // The hard limit of the think: its time, its node budget or a stop
    // request from another thread.
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

    void reportIteration(const SearchPath& path);
    void reportTimeBudget() const;
    void reportSummary(const SearchPath& path) const;
};

// The move played when the root list is empty: the first empty point (scan
// order) where the opponent (`lastMover`) has its strongest shape, else the
// first empty point; (0, 0) only on a full board.
Pos fallbackMove(const Board& board, int lastMover);

// Memory budget used when the manager gives none (max_memory 0 or absent).
inline constexpr uint32_t kDefaultMemoryBudget = 350000000;

}  // namespace velmor
