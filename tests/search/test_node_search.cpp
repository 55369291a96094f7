// The node search on constructed positions, observed through its counters,
// the lines it returns and what it leaves in the transposition table.
#include <gtest/gtest.h>

#include "board/evaluation.h"
#include "board/generators.h"
#include "search/clock.h"
#include "search_fixture.h"

namespace velmor {
namespace {

using test::blackHasFive;
using test::forbiddenBlock;
using test::placeStones;
using test::quiet;
using test::SearchFixture;
using test::Stone;

// Black to move has no stone and white's six stones stand alone: no
// candidate at all.
Board noCandidates() {
    return placeStones(15, FreeStyle, {{1, 1, 1}, {7, 1, 1}, {13, 1, 1}, {1, 13, 1}, {7, 13, 1}, {13, 13, 1}}, 0);
}

bool stored(const SearchState& s, const Board& b) {
    const std::optional<TransEntry> e = s.table->slotOf(b);
    return e && e->checkKey == b.hashLow;
}

TEST(NodeSearch, FiveForTheSideToMoveWinsBelowDepthOneAndAfterTheTimeout) {
    const Board b = blackHasFive();
    for (bool timedOut : {false, true})
        for (double depth : {0.0, 0.5, 3.0}) {
            SCOPED_TRACE(testing::Message() << "timeout " << timedOut << " depth " << depth);
            SearchFixture f;
            f.prepare(b, FreeStyle);
            f.state.stop->store(timedOut);
            SearchPath p = f.node(b, depth, -kInfinity, kInfinity);
            EXPECT_EQ(p.rating, kWin);
            EXPECT_EQ(f.state.stats.leaf, 0);
            EXPECT_EQ(f.state.stats.dbSearchCount, 0);
            EXPECT_TRUE(p.moves.empty());
            EXPECT_FALSE(stored(f.state, b));
        }
}

TEST(NodeSearch, AForbiddenBlockLoses) {
    const Board b = forbiddenBlock();
    ASSERT_EQ(b.cells[7][7].pointType[1], Five);
    ASSERT_EQ(b.cells[7][7].pointType[0], Forbidden);
    ASSERT_EQ(b.cells[12][5].pointType[1], Five);
    ASSERT_NE(b.cells[12][5].pointType[0], Forbidden);
    ASSERT_EQ(b.typeCount[0][Five], 0);

    SearchFixture f;
    f.prepare(b, Renju);
    SearchPath p = f.node(b, 2.0, -kInfinity, kInfinity);
    EXPECT_EQ(p.rating, kLoss);
    EXPECT_EQ(f.state.stats.nodes, 1);
    EXPECT_EQ(f.state.stats.dbSearchCount, 0);
    EXPECT_FALSE(stored(f.state, b));
}

TEST(NodeSearch, FailHardReturnsTheWindowEdges) {
    const Board b = quiet();
    for (bool useTable : {false, true}) {
        SCOPED_TRACE(useTable ? "with table" : "without table");
        SearchFixture exact;
        exact.prepare(b, FreeStyle);
        const int32_t v = exact.node(b, 1.0, -kInfinity, kInfinity, PVNode, useTable).rating;
        ASSERT_GT(v, -1000);
        ASSERT_LT(v, 1000);

        SearchFixture low;
        low.prepare(b, FreeStyle);
        EXPECT_EQ(low.node(b, 1.0, v + 10, v + 20, PVNode, useTable).rating, v + 10);
        SearchFixture high;
        high.prepare(b, FreeStyle);
        EXPECT_EQ(high.node(b, 1.0, v - 20, v - 10, PVNode, useTable).rating, v - 10);
        SearchFixture inside;
        inside.prepare(b, FreeStyle);
        EXPECT_EQ(inside.node(b, 1.0, v - 1, v + 1, PVNode, useTable).rating, v);
    }
}

TEST(NodeSearch, FailHardBoundsAreStoredAsSuch) {
    const Board b = quiet();
    SearchFixture exact;
    exact.prepare(b, FreeStyle);
    const int32_t v = exact.node(b, 1.0, -kInfinity, kInfinity).rating;
    EXPECT_EQ(exact.state.table->slotOf(b)->boundType(), BoundExact);
    EXPECT_EQ(exact.state.table->slotOf(b)->value, v);

    SearchFixture low;
    low.prepare(b, FreeStyle);
    low.node(b, 1.0, v + 10, v + 20);
    EXPECT_EQ(low.state.table->slotOf(b)->boundType(), BoundUpper);
    EXPECT_EQ(low.state.table->slotOf(b)->value, v + 10);

    SearchFixture high;
    high.prepare(b, FreeStyle);
    high.node(b, 1.0, v - 20, v - 10);
    EXPECT_EQ(high.state.table->slotOf(b)->boundType(), BoundLower);
    EXPECT_EQ(high.state.table->slotOf(b)->value, v - 10);
}

// The null move is tried only above depth 3; at 3.5 the opponent's second
// move is a static evaluation.
TEST(NodeSearch, NullMoveThreshold) {
    const Board b = quiet();
    Board passed = b;
    passed.lastMove.side = uint8_t(1 - passed.lastMove.side);
    const int32_t nullValue = -evaluate(passed, passed.sideToMove(), FreeStyle);

    struct Case {
        double depth;
        int32_t beta;
        bool cuts;
    };
    const Case cases[] = {
        {3.5, nullValue, true},       // v >= beta
        {3.5, nullValue - 50, true},  // well above beta
        {3.5, nullValue + 1, false},  // v < beta: the moves are searched
        {3.0, nullValue - 50, false}, // no null move at exactly 3
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "depth " << c.depth << " beta " << c.beta);
        SearchFixture f;
        f.prepare(b, FreeStyle);
        SearchPath p = f.node(b, c.depth, c.beta - 1, c.beta, CutNode);
        EXPECT_EQ(f.state.stats.null, c.cuts ? 1 : 0);
        if (c.cuts) {
            EXPECT_EQ(p.rating, c.beta);
            EXPECT_EQ(f.state.stats.nodes, 2);  // the node and the null move's leaf
            EXPECT_EQ(f.state.stats.leaf, 1);
            EXPECT_FALSE(stored(f.state, b));
        } else {
            EXPECT_GT(f.state.stats.nodes, 2);
            EXPECT_TRUE(stored(f.state, b));
        }
        EXPECT_TRUE(f.state.nullMoveEnabled);
    }
}

// Pre-searches order the moves only at principal-variation nodes above depth
// 5 that have no hash move, one per move.
TEST(NodeSearch, PreSearchThreshold) {
    const Board b = quiet();
    MoveList candidates;
    const int count = generateCandidates(b, candidates);
    ASSERT_GT(count, 1);

    SearchFixture at5;
    at5.prepare(b, FreeStyle);
    at5.node(b, 5.0, -kInfinity, kInfinity, PVNode, false);
    EXPECT_EQ(at5.state.stats.scout, 0);

    // A narrow window far above the real value: the null move does not cut
    // here, while every child is cut at once by its own null move, which
    // keeps the search small.
    SearchFixture cut;
    cut.prepare(b, FreeStyle);
    cut.node(b, 6.0, 7999, 8000, CutNode, false);
    EXPECT_EQ(cut.state.stats.scout, 0);

    SearchFixture pv;
    pv.prepare(b, FreeStyle);
    pv.node(b, 6.0, 7999, 8000, PVNode, false);
    EXPECT_GE(pv.state.stats.scout, count);  // one per move here, more below it

    // With a move from an earlier iteration in the table, no pre-search runs
    // at this node (its children may still run their own).
    SearchFixture hashed;
    hashed.prepare(b, FreeStyle, 6);
    hashed.state.table->store(b, 0, 9, BoundExact, candidates[0].pos, 5);
    SearchPath p = hashed.node(b, 6.0, 7999, 8000, PVNode, true);
    EXPECT_GE(hashed.state.stats.bestmove, 1);
    EXPECT_LT(hashed.state.stats.scout, pv.state.stats.scout);
    EXPECT_EQ(p.rating, 7999);
}

// The extension follows the mover's shape at the move: fours keep the
// parent's depth, threes lose half a ply, everything else a whole ply.
TEST(NodeSearch, ExtensionDepths) {
    const Board root = quiet();
    const Pos move(12, 1);  // far from every stone: the position stays quiet
    Board child = root;
    child.makeMove(move, 0, FreeStyle);
    // A reply that makes a three for white: searched at child depth - 0.5.
    const Pos three(6, 9);
    ASSERT_EQ(child.cells[6][9].pointType[1], WideThree);
    Board grandchild = child;
    grandchild.makeMove(three, 1, FreeStyle);

    struct Case {
        uint8_t ownType;
        double extension;
    };
    const Case cases[] = {
        {None, 0},          {WeakTwo, 0},         {Two, 0},        {LiveTwo, 0},    {DeadThree, 0},
        {LiveThree, 0.5},   {WideThree, 0.5},     {RushFour, 1},   {RushFourPlus, 1}, {DoubleThree, 0.5},
        {FourThree, 1},     {DoubleFour, 1},      {LiveFour, 1},   {Five, 0},       {Forbidden, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "ownType " << int(c.ownType));
        // Iteration 3: the child is searched at 2 + extension and stores its
        // depth truncated.
        SearchFixture f;
        f.prepare(root, FreeStyle, 3);
        MoveList rootMoves;
        rootMoves.push_back({move, 0, 0, c.ownType});
        SearchPath current;
        current.reset(root.lastMove.stoneCount);
        f.state.searchRoot(rootMoves, current);
        ASSERT_TRUE(stored(f.state, child));
        EXPECT_EQ(f.state.table->slotOf(child)->storedDepth, c.extension == 1 ? 3 : 2);

        // Iteration 2: the child sits at 1 + extension, so white's three
        // reply is a node of its own (depth 1.0) only after a half-ply
        // extension, and a leaf otherwise.
        SearchFixture g;
        g.prepare(root, FreeStyle, 2);
        current.reset(root.lastMove.stoneCount);
        g.state.searchRoot(rootMoves, current);
        EXPECT_EQ(stored(g.state, grandchild), c.extension > 0);
    }
}

TEST(NodeSearch, EarlierIterationsOrderButNeverCut) {
    const Board b = quiet();
    SearchFixture f;
    f.prepare(b, FreeStyle, 5);
    const SearchPath first = f.node(b, 2.0, -kInfinity, kInfinity);
    ASSERT_FALSE(first.moves.empty());
    ASSERT_EQ(f.state.table->slotOf(b)->iterationTag(), 5);
    ASSERT_EQ(f.state.table->slotOf(b)->bestMove, first.moves[0]);

    // Iteration 6: the node is searched again, its old move first.
    f.state.stats = {};
    f.state.depth = 6;
    const SearchPath again = f.node(b, 2.0, -kInfinity, kInfinity);
    EXPECT_GT(f.state.stats.nodes, 1);
    EXPECT_GE(f.state.stats.bestmove, 1);
    EXPECT_EQ(again.rating, first.rating);
    EXPECT_EQ(again.moves[0], first.moves[0]);
    EXPECT_EQ(f.state.table->slotOf(b)->iterationTag(), 6);

    // Within the iteration that stored it, the entry ends the node at once
    // and hands back its move.
    f.state.stats = {};
    const SearchPath cut = f.node(b, 2.0, -kInfinity, kInfinity);
    EXPECT_EQ(f.state.stats.nodes, 1);
    EXPECT_EQ(f.state.stats.hit, 1u);
    EXPECT_EQ(cut.rating, first.rating);
    ASSERT_EQ(cut.moves.size(), 1u);
    EXPECT_EQ(cut.moves[0], first.moves[0]);
    EXPECT_EQ(cut.endStep, cut.startStep + 1);
}

TEST(NodeSearch, TimeoutAbortsInteriorNodesAgainstTheEngine) {
    const Board b = quiet();  // black to move, so the engine is black
    Board reply = b;
    reply.makeMove(Pos(12, 1), 0, FreeStyle);  // white to move

    SearchFixture f;
    f.prepare(b, FreeStyle);
    f.state.timeMaxMs = 0;
    f.state.startTime = wallClockTicks() - 50 * kTicksPerMs;
    EXPECT_EQ(f.node(b, 2.0, -kInfinity, kInfinity).rating, -kAborted);  // engine to move
    EXPECT_TRUE(f.state.stopped());
    EXPECT_EQ(f.node(reply, 2.0, -kInfinity, kInfinity).rating, kAborted);  // opponent to move
    // Leaves still evaluate.
    EXPECT_EQ(f.node(b, 0.5, -kInfinity, kInfinity).rating, evaluate(b, 0, FreeStyle));
    EXPECT_FALSE(stored(f.state, b));
    EXPECT_FALSE(stored(f.state, reply));
}

TEST(NodeSearch, NoMovesFailsLowAndStoresNoMove) {
    const Board b = noCandidates();
    MoveList none;
    ASSERT_EQ(generateCandidates(b, none), 0);

    SearchFixture f;
    f.prepare(b, FreeStyle);
    SearchPath p = f.node(b, 1.0, -kInfinity, kInfinity);
    EXPECT_EQ(p.rating, -kInfinity);
    EXPECT_TRUE(p.moves.empty());
    EXPECT_EQ(p.endStep, b.lastMove.stoneCount);
    const std::optional<TransEntry> e = f.state.table->slotOf(b);
    ASSERT_TRUE(stored(f.state, b));
    EXPECT_EQ(e->value, 1);  // -2147483647 keeps its low 16 bits
    EXPECT_EQ(e->boundType(), BoundUpper);
    EXPECT_EQ(e->bestMove.raw, 0xFFFF);

    // A later probe cuts only when alpha >= 1, answers alpha, and adds no
    // move to the line.
    f.state.stats = {};
    EXPECT_EQ(f.node(b, 1.0, 0, 5).rating, 0);
    EXPECT_EQ(f.state.stats.cover, 1u);  // (a threat-cache answer counts as a hit)
    f.state.stats = {};
    SearchPath cut = f.node(b, 1.0, 3, 5);
    EXPECT_EQ(cut.rating, 3);
    EXPECT_EQ(f.state.stats.cover, 0u);
    EXPECT_EQ(f.state.stats.hit, 1u);
    EXPECT_TRUE(cut.moves.empty());
    EXPECT_EQ(f.state.stats.bestmove, 0);
}

// A root move after which the opponent has no move at all is worth the
// largest value; nothing can beat it, and the iteration ends there instead of
// opening a null window above it (which would overflow).
TEST(NodeSearch, RootStopsAtTheLargestValue) {
    // White (the engine, to move) has six lone stones; black has none.
    const Board root = placeStones(
        15, FreeStyle, {{1, 1, 1}, {7, 1, 1}, {13, 1, 1}, {1, 13, 1}, {7, 13, 1}, {13, 13, 1}}, 1);
    SearchFixture f;
    f.prepare(root, FreeStyle, 2);
    MoveList rootMoves;
    rootMoves.push_back({Pos(7, 7), 5, 0, 0});    // another lone stone: black is left without a move
    rootMoves.push_back({Pos(10, 10), 3, 0, 0});
    SearchPath current;
    current.reset(root.lastMove.stoneCount);
    f.state.searchRoot(rootMoves, current);
    EXPECT_EQ(current.rating, kInfinity);
    ASSERT_EQ(current.moves.size(), 1u);
    EXPECT_EQ(current.moves[0], Pos(7, 7));
    EXPECT_EQ(f.state.stats.nodes, 1);      // the second move was never searched
    EXPECT_EQ(rootMoves[1].value, 3);
}

// Off the principal variation, a node near the horizon searches only its
// first quiet moves; on the principal variation, and deeper, every move. The
// window lies above every value, so no move cuts the list short.
TEST(NodeSearch, LateQuietMovesArePrunedOffThePrincipalVariation) {
    const Board b = quiet();
    MoveList candidates;
    const int count = generateCandidates(b, candidates);
    int quietCount = 0;
    for (const ScoredMove& m : candidates) quietCount += m.ownType < LiveThree && b.cell(m.pos).pointType[1] < LiveThree;
    ASSERT_GT(quietCount, 15);

    for (NodeType type : {PVNode, CutNode, AllNode}) {
        SCOPED_TRACE(testing::Message() << "node type " << int(type));
        SearchFixture f;
        f.prepare(b, FreeStyle);
        f.node(b, 1.0, 7999, 8000, type, false);
        if (type == PVNode) {
            EXPECT_EQ(f.state.stats.leaf, count + f.state.stats.complex);
        } else {
            EXPECT_GT(f.state.stats.leaf, count - quietCount);  // the moves that are not quiet, and some quiet ones
            EXPECT_LT(f.state.stats.leaf, count);
        }
    }
}

// On 20x20 a node can have more than 255 moves; every one is searched.
TEST(NodeSearch, MoreThan255Moves) {
    std::vector<Stone> stones;
    for (int x = 1; x < 20; x += 3)
        for (int y = 1; y < 20; y += 3) stones.push_back({x, y, 0});
    stones.push_back({0, 19, 1});
    const Board b = placeStones(20, FreeStyle, stones, 0);
    MoveList candidates;
    const int count = generateCandidates(b, candidates);
    ASSERT_GT(count, 255);

    SearchFixture f;
    f.prepare(b, FreeStyle);
    f.node(b, 1.0, -kInfinity, kInfinity, PVNode, false);
    // Every move is a leaf, once, plus once more for each re-search.
    EXPECT_EQ(f.state.stats.leaf, count + f.state.stats.complex);
    EXPECT_EQ(f.state.stats.nodes, 1 + count + f.state.stats.complex);
}

}  // namespace
}  // namespace velmor
