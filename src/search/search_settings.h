#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "board/chess_type.h"
#include "board/pos.h"
#include "board/small_list.h"

namespace velmor {

// Receives every report line of a search, without a line terminator.
using MessageSink = std::function<void(const std::string&)>;

// Root-move events of a search, for front ends that show the think as it
// runs. Called on the searching thread between nodes, never inside one, so
// an observer may take its time; values are for the side to move at the root.
class RootObserver {
public:
    virtual ~RootObserver() = default;
    virtual void rootMoveStarted(Pos) {}
    virtual void rootMoveDone(Pos, int32_t /*value*/) {}
    // The iteration's best move so far, each time an iteration finds one.
    virtual void bestMoveFound(Pos, int32_t /*value*/) {}
    // A root move that loses by force whatever follows.
    virtual void rootMoveLost(Pos) {}
};

// The deepest iteration a think may be given; deeper than any think reaches
// within a turn, and within the ply-indexed tables of the node search.
inline constexpr int32_t kDepthCeiling = 64;

// What the brain thread hands the engine for one move.
struct SearchSettings {
    GameRule rule = FreeStyle;
    uint32_t turnTimeMs = 30000;
    uint32_t timeLeftMs = 1000000000;
    uint32_t maxMemory = 0;  // bytes for the transposition table and threat cache
    MessageSink messageSink;
    int32_t minDepth = 2;
    int32_t maxDepth = 20;
    bool useHashTables = true;
    // Alpha-beta nodes after which the think ends as if its time were up; 0
    // for no such limit.
    int64_t maxNodes = 0;
    // Set by another thread to end the think as if its time were up.
    const std::atomic<bool>* stopRequest = nullptr;
    RootObserver* observer = nullptr;
    // Root moves the search must not choose (the n-best analysis searches
    // the position again without the moves it has already reported).
    std::vector<Pos> excludedRootMoves;
    // Search threads (1: the calling thread alone; more: helpers on the
    // worker pool share its transposition table and threat cache).
    int32_t threads = 1;
};

// A line of play handed between the alpha-beta search and the threat search.
struct SearchPath {
    SmallList<Pos, 64> moves;
    int32_t rating = 0;      // value of the line for the side to move at its start
    uint16_t startStep = 0;  // stone count where the line starts
    uint16_t endStep = 0;    // startStep + number of moves

    void reset(uint16_t step) {
        moves.clear();
        startStep = endStep = step;
    }
};

// Values of all searches, from the side to move's point of view.
inline constexpr int32_t kWin = 10000;
inline constexpr int32_t kLoss = -10000;
inline constexpr int32_t kAborted = 9000;
inline constexpr int32_t kInfinity = 2147483647;

}  // namespace velmor
