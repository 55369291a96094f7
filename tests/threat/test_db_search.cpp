// The driver: cache answers and stores, statistics, the line handed back,
// and the refutation limit.
#include <gtest/gtest.h>

#include <cstring>

#include "search/search_state.h"
#include "threat/db_search.h"
#include "threat/threat_cache.h"
#include "threat/threat_positions.h"

namespace velmor::test {
namespace {

// Black wins at once with the double four 8,7 (free-style and exact five);
// under renju that point is forbidden and there is no win by fours.
Board doubleFour(GameRule rule, int size = 15) {
    return stonesBoard(size, rule, "5,7 6,7 7,7 8,4 8,5 8,6", "4,7 8,3 1,1 13,13", 0);
}
// No four anywhere, but the double three 8,7 wins with threes.
Board doubleThree() { return stonesBoard(15, FreeStyle, "6,7 7,7 8,5 8,6", "1,1 13,13 2,12 12,2", 0); }
// Nothing to threaten with.
Board quiet() { return stonesBoard(15, FreeStyle, "7,7", "8,8", 0); }

// An empty table, marked as filled under free-style on 15x15 so that a
// search of that kind keeps what a test writes into it.
ThreatCache& freshCache() {
    ThreatCache& cache = threatCache();
    cache.resize(1 << 16);
    cache.prepareFor(FreeStyle, 15);
    cache.clear();
    return cache;
}

struct Call {
    bool win;
    SearchPath path;
};

Call run(SearchState& state, const Board& board, bool useCache, bool foursOnly) {
    Call c;
    c.path.reset(board.lastMove.stoneCount);
    c.win = state.dbSearch(board, c.path, useCache, foursOnly);
    return c;
}

TEST(ThreatCacheUse, FoursOnlyNegativeDoesNotAnswerAThreesCall) {
    freshCache();
    SearchState s;
    s.rule = FreeStyle;
    Board b = doubleThree();
    EXPECT_FALSE(run(s, b, true, true).win);
    EXPECT_FALSE(run(s, b, true, true).win);  // answered by the stored negative
    EXPECT_EQ(s.stats.hit, 1u);
    EXPECT_TRUE(run(s, b, true, false).win);  // searched again
    EXPECT_EQ(s.stats.hit, 1u);
    const ThreatCacheEntry e = threatCache().slot(b.hashHigh);
    EXPECT_EQ(e.checkKey, b.hashLow);
    EXPECT_EQ(e.foursOnly, 0);
    EXPECT_EQ(e.result, 1);
}

TEST(ThreatCacheUse, NegativeWithThreesAnswersEveryCall) {
    freshCache();
    SearchState s;
    s.rule = FreeStyle;
    Board b = quiet();
    EXPECT_FALSE(run(s, b, true, false).win);
    EXPECT_FALSE(run(s, b, true, true).win);
    EXPECT_FALSE(run(s, b, true, false).win);
    EXPECT_EQ(s.stats.hit, 2u);
    EXPECT_EQ(s.stats.dbSearchCount, 3);
}

TEST(ThreatCacheUse, WinAnswersLaterCallsWithoutTouchingTheLine) {
    freshCache();
    SearchState s;
    s.rule = FreeStyle;
    Board b = doubleFour(FreeStyle);
    ASSERT_TRUE(run(s, b, true, false).win);
    const int32_t nodes = s.stats.dbTotal;

    SearchPath path;
    path.reset(b.lastMove.stoneCount);
    path.moves.push_back(Pos(1, 2));
    path.endStep = 99;
    EXPECT_TRUE(s.dbSearch(b, path, true, true));
    EXPECT_EQ(path.moves.size(), 1u);
    EXPECT_EQ(path.endStep, 99);
    EXPECT_EQ(s.stats.hit, 1u);
    EXPECT_EQ(s.stats.dbTotal, nodes);  // no search ran
    EXPECT_EQ(s.stats.dbSearchCount, 2);
}

// The entry answers by its 32-bit check alone: any board with the same
// hashLow on the same slot is answered, right or wrong.
TEST(ThreatCacheUse, AnswersByCheckKeyAndSlot) {
    ThreatCache& cache = freshCache();
    SearchState s;
    s.rule = FreeStyle;
    Board b = quiet();
    cache.store(b.hashHigh, {b.hashLow, 1, 1});
    EXPECT_TRUE(run(s, b, true, true).win);
    EXPECT_EQ(s.stats.hit, 1u);

    // An untouched (all zero) entry reads as "no win, threes allowed" for a
    // board whose hashLow happens to be 0.
    cache.clear();
    Board zero = doubleFour(FreeStyle);
    zero.hashLow = 0;
    EXPECT_FALSE(run(s, zero, true, true).win);
    EXPECT_EQ(s.stats.hit, 2u);
}

TEST(ThreatCacheUse, WithoutUseCacheNothingIsProbedOrStoredButEverythingCounts) {
    ThreatCache& cache = freshCache();
    SearchState s;
    s.rule = FreeStyle;
    Board b = doubleFour(FreeStyle);
    cache.store(b.hashHigh, {b.hashLow, 0, 0});  // a stored "no win" that must not be read
    Call c = run(s, b, false, true);
    EXPECT_TRUE(c.win);
    EXPECT_EQ(cache.slot(b.hashHigh).result, 0);  // and not overwritten
    EXPECT_EQ(s.stats.hit, 0u);
    EXPECT_EQ(s.stats.dbSearchCount, 1);
    EXPECT_EQ(s.stats.dbTotal, 1);  // the double four, the one move made
    EXPECT_EQ(s.stats.dbMax, 1);
    // The four and its block: 2 * 1 + 10 stones.
    EXPECT_EQ(s.deepestStep, 12);
}

// With useCache set but no table (never built, or its allocation failed)
// the call searches exactly as without a cache.
TEST(ThreatCacheUse, MissingTableMeansNoCache) {
    ThreatCache& cache = threatCache();
    cache.entries.reset();
    cache.entryCount = 0;
    cache.budget = 0;
    ASSERT_FALSE(cache.usable());
    SearchState s;
    s.rule = FreeStyle;
    EXPECT_TRUE(run(s, doubleFour(FreeStyle), true, true).win);
    EXPECT_FALSE(run(s, quiet(), true, false).win);
    EXPECT_EQ(s.stats.hit, 0u);
    EXPECT_EQ(s.stats.dbSearchCount, 2);
    EXPECT_FALSE(cache.usable());
}

// The key holds only the stones: a win proven under one rule must not answer
// the same stones under another, nor a win on one board size the other.
TEST(ThreatCacheUse, RuleOrBoardSizeChangeEmptiesTheCache) {
    freshCache();
    SearchState freeStyle;
    freeStyle.rule = FreeStyle;
    SearchState renju;
    renju.rule = Renju;
    Board fs = doubleFour(FreeStyle);
    Board rj = doubleFour(Renju);
    ASSERT_EQ(fs.hashLow, rj.hashLow);
    ASSERT_EQ(fs.hashHigh, rj.hashHigh);

    ASSERT_TRUE(run(freeStyle, fs, true, true).win);
    EXPECT_FALSE(run(renju, rj, true, true).win);  // searched, not answered
    EXPECT_EQ(renju.stats.hit, 0u);
    EXPECT_TRUE(run(freeStyle, fs, true, true).win);  // the renju search replaced the table's contents
    EXPECT_EQ(freeStyle.stats.hit, 0u);
    EXPECT_TRUE(run(freeStyle, fs, true, true).win);
    EXPECT_EQ(freeStyle.stats.hit, 1u);

    // A 20x20 search empties what 15x15 searches stored.
    Board big = doubleFour(FreeStyle, 20);
    EXPECT_TRUE(run(freeStyle, big, true, true).win);
    Board small = doubleFour(FreeStyle, 15);
    EXPECT_TRUE(run(freeStyle, small, true, true).win);
    EXPECT_EQ(freeStyle.stats.hit, 1u);
}

TEST(DbSearchDriver, WinningLineIsAppendedAndEndStepSet) {
    SearchState s;
    s.rule = FreeStyle;
    Board b = doubleFour(FreeStyle);
    SearchPath path;
    path.reset(7);
    path.moves.push_back(Pos(0, 0));
    path.rating = 123;
    ASSERT_TRUE(s.dbSearch(b, path, false, true));
    // attack 8,7 (a double four, followed as its first four), the block, the five
    ASSERT_EQ(path.moves.size(), 4u);
    EXPECT_EQ(path.moves[1], Pos(8, 7));
    EXPECT_EQ(path.moves[2], Pos(8, 8));
    EXPECT_EQ(path.moves[3], Pos(9, 7));
    EXPECT_EQ(path.endStep, 7 + 4);
    EXPECT_EQ(path.rating, 123);
}

TEST(DbSearchDriver, NoThreatMeansOnePassAndOnlyTheRoot) {
    SearchState s;
    s.rule = FreeStyle;
    Call c = run(s, quiet(), false, false);
    EXPECT_FALSE(c.win);
    EXPECT_TRUE(c.path.moves.empty());
    EXPECT_EQ(s.stats.dbTotal, 1);
    EXPECT_EQ(s.deepestStep, 2);  // no line below the root: just the stones
}

TEST(DbSearchDriver, CountersAccumulateOverCalls) {
    SearchState s;
    s.rule = FreeStyle;
    run(s, doubleFour(FreeStyle), false, true);
    run(s, quiet(), false, true);
    run(s, doubleThree(), false, false);
    EXPECT_EQ(s.stats.dbSearchCount, 3);
    // fours: one four made, then none to make; threes: no four, four threat nodes
    EXPECT_EQ(s.stats.dbTotal, 1 + 0 + 4);
    EXPECT_EQ(s.stats.dbMax, 4);
    EXPECT_EQ(s.deepestStep, 12);  // the highest of the three calls
}

TEST(DbSearchDriver, BoardIsLeftUntouched) {
    SearchState s;
    s.rule = Renju;
    Board b = doubleFour(Renju);
    Board before = b;
    run(s, b, false, false);
    EXPECT_EQ(std::memcmp(&before, &b, sizeof(Board)), 0);
}

// Black's only win here needs the combination stage: the dependency stage
// alone finds nothing.
Board needsCombination() {
    return stonesBoard(15, FreeStyle, "8,8 6,10 4,9 10,6 4,6 9,5 3,7 3,8 3,3 3,11",
                       "10,10 8,6 5,7 6,6 7,4 7,10 8,5 11,4 6,5", 0);
}

bool runPassesWith(const Board& b, int32_t refutationsBefore, int level) {
    ThreatContext context;
    DBSearchState state;
    state.rule = FreeStyle;
    state.level = uint8_t(level);
    state.board = &b;
    state.context = &context;
    state.refutations = refutationsBefore;
    return runPasses(state, nullptr);
}

// The limit is checked only when a pass ends: a pass that finds a verified
// win succeeds whatever the count, and once over the limit no further pass
// runs even though one would have won.
TEST(DbSearchDriver, RefutationLimitIsTestedAtTheEndOfAPass) {
    Board dependency = doubleFour(FreeStyle);
    EXPECT_TRUE(runPassesWith(dependency, kRefutationLimit + 1, FoursOnly));

    Board combined = needsCombination();
    EXPECT_TRUE(runPassesWith(combined, 0, FoursOnly));
    EXPECT_TRUE(runPassesWith(combined, kRefutationLimit, FoursOnly));
    EXPECT_FALSE(runPassesWith(combined, kRefutationLimit + 1, FoursOnly));
}

TEST(DbSearchDriver, CombinationStageIsWhatFindsTheJoinedWin) {
    Board b = needsCombination();
    ThreatContext context;
    DBSearchState state;
    state.rule = FreeStyle;
    state.level = FoursOnly;
    state.board = &b;
    state.context = &context;
    state.root = newThreatNode(state);
    state.pass = 1;
    ThreatLine line;
    expandNode(state, state.root, b, line);
    EXPECT_FALSE(state.found);

    SearchState s;
    s.rule = FreeStyle;
    EXPECT_TRUE(run(s, b, false, true).win);
}

}  // namespace
}  // namespace velmor::test
