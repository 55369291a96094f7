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
        timeoutFlag = false;
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
