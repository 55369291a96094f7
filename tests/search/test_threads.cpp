// The search on several threads: helpers that share the table and the threat
// cache with the thread that decides the move. Under ThreadSanitizer (CI)
// these tests also prove that the threads meet only where they should.
#include <gtest/gtest.h>

#include "search/clock.h"
#include "search/search_state.h"
#include "support/bench_positions.h"
#include "support/positions.h"
#include "threat/threat_cache.h"

namespace velmor::test {
namespace {

struct Think {
    Pos move;
    int32_t depth = 0;
    int64_t helperNodes = 0;
    double ms = 0;
};

Think think(const Board& board, GameRule rule, int32_t threads, int32_t maxDepth, uint32_t turnMs) {
    SearchSettings settings;
    settings.rule = rule;
    settings.maxMemory = 8000000;
    settings.turnTimeMs = turnMs;
    settings.maxDepth = maxDepth;
    settings.threads = threads;
    SearchState state;
    state.configure(settings);
    state.setRoot(board);
    const int64_t start = wallClockTicks();
    Think t;
    t.move = state.iterativeDeepening(start);
    t.ms = double(wallClockTicks() - start) / kTicksPerMs;
    t.depth = state.depth;
    t.helperNodes = state.helperNodes;
    return t;
}

// Every bench position, three threads to a fixed depth: a legal move each
// time, and the helpers do search.
TEST(ThreadedSearch, BenchPositionsGiveLegalMovesWithHelpersAtWork) {
    ensureEngineTables();
    int64_t helperNodes = 0;
    for (const BenchPosition& p : kBenchPositions) {
        SCOPED_TRACE(p.moves);
        const Board board = playMoves(p.size, p.rule, parsePoints(p.moves));
        const Think t = think(board, p.rule, 3, 4, 0xFFFFFFFFu);
        ASSERT_TRUE(Board::onBoard(t.move.x(), t.move.y()));
        EXPECT_TRUE(board.isEmpty(t.move.x(), t.move.y()));
        // A helper's deeper result can prove the game decided sooner.
        EXPECT_GE(t.depth, 2);
        EXPECT_LE(t.depth, 4);
        helperNodes += t.helperNodes;
    }
    EXPECT_GT(helperNodes, 0);
}

// A think against the clock ends within its turn, helpers and all, and the
// deciding thread still completes its iterations.
TEST(ThreadedSearch, TimedThinkEndsWithinTheTurn) {
    ensureEngineTables();
    const BenchPosition& p = kBenchPositions[19];
    const Board board = playMoves(p.size, p.rule, parsePoints(p.moves));
    const Think t = think(board, p.rule, 2, 20, 300);
    EXPECT_TRUE(board.isEmpty(t.move.x(), t.move.y()));
    EXPECT_GE(t.depth, 2);
    // The search's own hard limit is below the turn; the rest is slack for a
    // loaded machine and sanitizer builds.
    EXPECT_LT(t.ms, 300 + 200);
}

}  // namespace
}  // namespace velmor::test
