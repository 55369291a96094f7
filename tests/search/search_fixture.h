#pragma once
// A SearchState ready to search one constructed position, and the report
// lines it emits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/clock.h"
#include "search/search_state.h"
#include "support/positions.h"

namespace velmor::test {

// The same budget everywhere, so the process-wide threat cache keeps its
// size from test to test (a new budget would rebuild it).
inline constexpr uint32_t kTestMemory = 3u << 20;

// Positions several search tests start from.

// Black (to move) completes five at (2,7) or (7,7); (2,7) is first in scan
// order.
inline Board blackHasFive() {
    return placeStones(15, FreeStyle,
                       {{3, 7, 0}, {4, 7, 0}, {5, 7, 0}, {6, 7, 0}, {10, 10, 1}, {11, 11, 1}, {12, 3, 1}, {3, 12, 1}},
                       0);
}

// Renju, black to move. White's first five point in scan order, (7,7), would
// give black an overline (4..9 on row 7); white has a second one at (12,5).
inline Board forbiddenBlock() {
    return placeStones(15, Renju,
                       {{4, 7, 0}, {5, 7, 0}, {6, 7, 0}, {8, 7, 0}, {9, 7, 0}, {7, 12, 0}, {12, 0, 0},
                        {7, 8, 1}, {7, 9, 1}, {7, 10, 1}, {7, 11, 1}, {12, 1, 1}, {12, 2, 1}, {12, 3, 1}, {12, 4, 1}},
                       0);
}

// A quiet opening, black to move: twos and threes for both, no fours.
inline Board quiet() {
    return placeStones(15, FreeStyle, {{7, 7, 0}, {8, 8, 0}, {10, 5, 0}, {7, 9, 1}, {8, 9, 1}, {3, 3, 1}}, 0);
}

struct SearchFixture {
    SearchState state;
    std::vector<std::string> lines;

    // Configures a search of `root` under `rule`: no time pressure, tables on,
    // the given iteration depth.
    void prepare(const Board& root, GameRule rule, int32_t iterationDepth = 4) {
        EXPECT_EQ(checkBoardConsistency(root, rule), "");
        SearchSettings settings;
        settings.rule = rule;
        settings.maxMemory = kTestMemory;
        settings.turnTimeMs = 1000000;
        settings.messageSink = [this](const std::string& text) { lines.push_back(text); };
        state.configure(settings);
        state.setRoot(root);
        state.startTime = wallClockTicks();
        state.depth = iterationDepth;
        state.deepestStep = state.rootStep;
        state.stop->store(false);
    }

    // Runs one node on `node` with a path that starts there.
    SearchPath node(const Board& node, double depth, int32_t alpha, int32_t beta, NodeType type = PVNode,
                    bool useTable = true) {
        SearchPath path;
        path.reset(node.lastMove.stoneCount);
        state.alphaBeta(node, path, depth, alpha, beta, type, useTable);
        return path;
    }
};

}  // namespace velmor::test
