#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "board/chess_type.h"
#include "board/pos.h"
#include "board/small_list.h"

namespace velmor {

// Receives every report line of a search, without a line terminator.
using MessageSink = std::function<void(const std::string&)>;

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
