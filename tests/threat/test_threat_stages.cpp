// The tree stages and the verification, driven through their own entry
// points on small positions and hand-made threat nodes.
#include <gtest/gtest.h>

#include <initializer_list>

#include "search/search_state.h"
#include "threat/db_search.h"
#include "threat/threat_positions.h"

namespace velmor::test {
namespace {

// A search record over `board`, with its tree in its own context's arena.
struct Search {
    explicit Search(const Board& b, GameRule rule, int level = FoursOnly) {
        state.rule = rule;
        state.level = uint8_t(level);
        state.board = &b;
        state.context = &context;
        state.root = newThreatNode(state);
        state.pass = 1;
    }

    ThreatNode* node(Pos move, uint8_t type, std::initializer_list<Pos> defences) {
        ThreatNode* n = newThreatNode(state);
        n->kind = ThreatNode::Dependency;
        n->pass = state.pass;
        n->move = move;
        n->type = type;
        Pos* d = static_cast<Pos*>(context.arena.allocate(sizeof(Pos) * (defences.size() + 1)));
        for (Pos p : defences) d[n->defenceCount++] = p;
        n->defences = d;
        return n;
    }

    ThreatContext context;
    DBSearchState state;
};

// A whole threat search from `b` under `rule` finds a win whose line is the
// single move `move`.
void expectOneMoveWin(const Board& b, GameRule rule, bool foursOnly, Pos move) {
    SearchState s;
    s.rule = rule;
    SearchPath path;
    ASSERT_TRUE(s.dbSearch(b, path, false, foursOnly));
    ASSERT_EQ(path.moves.size(), 1u);
    EXPECT_EQ(path.moves[0], move);
}

// A whole threat search from `b` finds nothing and makes no node beyond the
// root: the attacker has no threat it may try.
void expectNoThreatTried(const Board& b) {
    SearchState s;
    SearchPath path;
    EXPECT_FALSE(s.dbSearch(b, path, false, false));
    EXPECT_EQ(s.stats.dbTotal, 1);
}

MoveList threats(std::initializer_list<ScoredMove> moves) {
    MoveList list;
    for (const ScoredMove& m : moves) list.push_back(m);
    return list;
}

// ---- dependency stage ----

TEST(DependencyStage, FiveOnOfferIsTheOnlyThreatTried) {
    // Three five points; the first in scan order (x, then y) is 7,3.
    Board b = stonesBoard(15, FreeStyle, "3,3 4,3 5,3 6,3 9,9 9,10 9,11 9,12", "2,3 1,1 13,13 0,14 14,0 5,5", 0);
    Search s(b, FreeStyle);
    ThreatLine line;
    expandNode(s.state, s.state.root, b, line);
    ASSERT_TRUE(s.state.found);
    ASSERT_EQ(s.state.root->childCount, 1u);
    EXPECT_EQ(s.state.root->firstChild->move, Pos(7, 3));
    EXPECT_EQ(s.state.root->firstChild->type, Five);
    EXPECT_EQ(s.state.root->firstChild->defenceCount, 0);
    EXPECT_EQ(s.context.nodes, 2);
}

TEST(DependencyStage, DefenderFivePointLeavesNoThreat) {
    // Black's double four 8,7 would win, but white's four (five point 14,10)
    // comes first.
    Board b = stonesBoard(15, FreeStyle, "5,7 6,7 7,7 8,4 8,5 8,6 9,10", "4,7 8,3 10,10 11,10 12,10 13,10", 0);
    expectNoThreatTried(b);
}

TEST(DependencyStage, DefenderOpenThreeLeavesFoursOnly) {
    // Black's winning double three is no four; white's open three 3..5,12
    // allows black nothing but fours, and black has none.
    Board b = stonesBoard(15, FreeStyle, "6,7 7,7 8,5 8,6", "1,1 13,13 3,12 4,12 5,12", 0);
    expectNoThreatTried(b);
}

TEST(DependencyStage, FourThreeIsFollowedAsItsFour) {
    Board b = stonesBoard(15, FreeStyle, "5,7 6,7 7,7 8,5 8,6", "4,7 1,1 13,13", 0);
    Search s(b, FreeStyle);
    ThreatLine line;
    expandNode(s.state, s.state.root, b, line);
    ASSERT_TRUE(s.state.found);
    const ThreatNode* first = s.state.root->firstChild;
    EXPECT_EQ(first->move, Pos(8, 7));
    EXPECT_EQ(first->type, RushFour);  // along the row, not the column's three
    ASSERT_EQ(first->defenceCount, 1);
    EXPECT_EQ(first->defences[0], Pos(9, 7));
}

TEST(DependencyStage, FourThatCannotBeBlockedWins) {
    // White's four at 6,7 has its completion 7,7 on a double three of black.
    Board b = stonesBoard(15, Renju, "2,7 7,5 7,6 8,8 9,9 13,13", "3,7 4,7 5,7 1,1 12,1", 1);
    expectOneMoveWin(b, Renju, true, Pos(6, 7));
}

TEST(DependencyStage, ThreatThatLetsTheDefenderFiveIsDropped) {
    // White has a five point at 14,10 that black's four 8,7 does not stop.
    Board b = stonesBoard(15, FreeStyle, "5,7 6,7 7,7 9,10", "4,7 10,10 11,10 12,10 13,10", 0);
    Search s(b, FreeStyle);
    ThreatLine line;
    expandThreats(s.state, s.state.root, b, line, threats({{Pos(8, 7), 7, 1, 0}}));
    EXPECT_FALSE(s.state.found);
    EXPECT_TRUE(s.state.progress);
    EXPECT_EQ(s.state.root->childCount, 0u);
    EXPECT_EQ(s.context.nodes, 2);  // made, counted, discarded
    EXPECT_TRUE(line.empty());

    // A five is no threat to drop: it ends the game first.
    Board five = stonesBoard(15, FreeStyle, "3,3 4,3 5,3 6,3 9,10", "2,3 10,10 11,10 12,10 13,10", 0);
    Search f(five, FreeStyle);
    expandThreats(f.state, f.state.root, five, line, threats({{Pos(7, 3), 13, 1, 0}}));
    EXPECT_TRUE(f.state.found);
    ASSERT_EQ(line.size(), 1u);
    EXPECT_EQ(line[0]->move, Pos(7, 3));
}

TEST(DependencyStage, ThreeWithoutDefenceStopsItsParent) {
    // White's three 6..8,7 can only be stopped at 5,7 and 9,7, both double
    // threes of black: no defence square is left, and the next threat in the
    // list (a plain four) is not looked at.
    Board b = stonesBoard(15, Renju, "5,5 5,6 3,5 4,6 9,4 9,5 11,5 10,6 13,13",
                          "6,7 7,7 1,1 1,3 1,4 1,5", 1);
    ASSERT_EQ(b.cell(Pos(5, 7)).pointType[0], Forbidden);
    ASSERT_EQ(b.cell(Pos(9, 7)).pointType[0], Forbidden);
    Search s(b, Renju, WithThrees);
    ThreatLine line;
    expandThreats(s.state, s.state.root, b, line, threats({{Pos(8, 7), 6, 1, 0}, {Pos(1, 6), 7, 0, 0}}));
    EXPECT_FALSE(s.state.found);
    EXPECT_EQ(s.state.root->childCount, 0u);
    EXPECT_EQ(s.context.nodes, 2);
}

// ---- combination stage ----

// Black stones 4,7 5,7 and the node's own stone 6,7; a chain at 8,7 joins
// them into a five at 7,7.
struct JoinSetup {
    JoinSetup(GameRule rule, const char* extraBlack, const char* extraWhite)
        : board(stonesBoard(15, rule, std::string("4,7 5,7 6,7 ") + extraBlack, std::string("1,1 ") + extraWhite, 0)),
          s(board, rule, WithThrees) {
        node = s.node(Pos(6, 7), LiveThree, {Pos(3, 7)});
        chainNode = s.node(Pos(8, 7), RushFour, {Pos(12, 12)});
        s.state.root->appendChild(chainNode);
    }
    bool combine() {
        ThreatLine line, chain;
        line.push_back(node);
        combineWith(s.state, node, line, board, s.state.root, chain);
        return node->childCount > 0;
    }
    Board board;
    Search s;
    ThreatNode* node;
    ThreatNode* chainNode;
};

TEST(CombinationStage, ChainsJoinOnASharedLine) {
    JoinSetup j(FreeStyle, "", "");
    EXPECT_TRUE(j.combine());
    EXPECT_TRUE(j.s.state.progress);
    EXPECT_EQ(j.node->firstChild->kind, ThreatNode::CombinationCopy);
    EXPECT_EQ(j.node->firstChild->move, Pos(8, 7));
}

TEST(CombinationStage, UnplayableChainsAreSkipped) {
    JoinSetup occupied(FreeStyle, "", "8,7");
    EXPECT_FALSE(occupied.combine());
    JoinSetup defenceTaken(FreeStyle, "", "12,12");
    EXPECT_FALSE(defenceTaken.combine());
    // Under renju 8,7 becomes a double three for black (with 8,5 8,6 and
    // 10,5 9,6): a chain may not start from a forbidden point.
    JoinSetup forbidden(Renju, "8,5 8,6 10,5 9,6", "");
    ASSERT_EQ(forbidden.board.cell(Pos(8, 7)).pointType[0], Forbidden);
    EXPECT_FALSE(forbidden.combine());
    EXPECT_FALSE(forbidden.s.state.progress);
}

TEST(CombinationStage, MovesOnNoCommonLineNeverCombine) {
    Board b = stonesBoard(15, FreeStyle, "5,5 6,5 7,5", "1,1", 0);
    Search s(b, FreeStyle, WithThrees);
    ThreatNode* n = s.node(Pos(5, 5), LiveThree, {});
    ThreatLine line, chain;
    const int32_t before = s.context.nodes;
    EXPECT_FALSE(combineOnLine(s.state, n, line, b, Pos(7, 6), chain));
    EXPECT_EQ(n->childCount, 0u);
    EXPECT_EQ(s.context.nodes, before);
}

// ---- verification ----

TEST(Verification, LineEndingInAFiveIsAccepted) {
    Board b = stonesBoard(15, FreeStyle, "5,7 6,7 7,7 8,7", "4,7 1,1", 0);
    Search s(b, FreeStyle);
    ThreatLine line;
    line.push_back(s.node(Pos(9, 7), Five, {}));
    EXPECT_TRUE(verifyWin(s.state, line));
    EXPECT_EQ(s.state.refutations, 0);
}

TEST(Verification, LiveFourHoldsUnlessTheDefenderHasAFive) {
    Board open = stonesBoard(15, FreeStyle, "5,7 6,7 7,7", "1,1 13,13", 0);
    Search s(open, FreeStyle);
    ThreatLine line;
    line.push_back(s.node(Pos(8, 7), LiveFour, {Pos(4, 7), Pos(9, 7)}));
    EXPECT_TRUE(verifyWin(s.state, line));

    Board facingFour = stonesBoard(15, FreeStyle, "5,7 6,7 7,7 9,10", "10,10 11,10 12,10 13,10", 0);
    Search t(facingFour, FreeStyle);
    ThreatLine line2;
    line2.push_back(t.node(Pos(8, 7), LiveFour, {Pos(4, 7), Pos(9, 7)}));
    EXPECT_FALSE(verifyWin(t.state, line2));
    EXPECT_TRUE(line2[0]->refuted);
    EXPECT_EQ(t.state.refutations, 1);
}

TEST(Verification, FourLeavingTheDefenderAFiveMarksTheRestOfTheLine) {
    Board b = stonesBoard(15, FreeStyle, "5,7 6,7 7,7 8,4 8,5 8,6 9,10", "4,7 8,3 10,10 11,10 12,10 13,10", 0);
    Search s(b, FreeStyle);
    ThreatLine line;
    line.push_back(s.node(Pos(1, 14), DeadThree, {Pos(0, 14)}));  // an earlier step, not tested
    line.push_back(s.node(Pos(8, 7), RushFour, {Pos(8, 8)}));
    line.push_back(s.node(Pos(9, 7), Five, {}));
    EXPECT_FALSE(verifyWin(s.state, line));
    EXPECT_FALSE(line[0]->refuted);
    EXPECT_TRUE(line[1]->refuted);
    EXPECT_TRUE(line[2]->refuted);
    EXPECT_EQ(s.state.refutations, 1);

    // Marked once, rejected at once: no replay and no second count.
    EXPECT_FALSE(verifyWin(s.state, line));
    EXPECT_EQ(s.state.refutations, 1);
}

TEST(Verification, DefenderFourOnALineSquareRefutesWithoutMarking) {
    // After black's three 6..8,7 white's fours are 10,7 and 10,8; 10,7 is a
    // square the line still needs (the next threat's defence).
    Board b = stonesBoard(15, FreeStyle, "6,7 7,7 10,3", "10,4 10,5 10,6 1,1", 0);
    Search s(b, FreeStyle);
    ThreatLine line;
    line.push_back(s.node(Pos(8, 7), WideThree, {Pos(5, 7), Pos(9, 7)}));
    line.push_back(s.node(Pos(4, 7), LiveFour, {Pos(3, 7), Pos(10, 7)}));
    EXPECT_FALSE(verifyWin(s.state, line));
    EXPECT_EQ(s.state.refutations, 1);
    EXPECT_FALSE(line[0]->refuted);
    EXPECT_FALSE(line[1]->refuted);
}

TEST(Verification, DefenderFourOnTheThreesOwnDefenceIsInterference) {
    // White's fours are 9,7 and 9,8; 9,7 is a defence square of the three.
    Board b = stonesBoard(15, FreeStyle, "6,7 7,7 9,3", "9,4 9,5 9,6 1,1", 0);
    Search s(b, FreeStyle);
    ThreatLine line;
    line.push_back(s.node(Pos(8, 7), WideThree, {Pos(5, 7), Pos(9, 7)}));
    EXPECT_FALSE(verifyWin(s.state, line));
    EXPECT_EQ(s.state.refutations, 1);
    EXPECT_FALSE(line[0]->refuted);
}

TEST(Verification, DefenderWinningFoursRefuteTheThree) {
    // White answers black's three with the double four 10,5.
    Board b = stonesBoard(15, FreeStyle, "6,7 7,7 10,1 14,5", "10,2 10,3 10,4 11,5 12,5 13,5", 0);
    Search s(b, FreeStyle);
    ThreatLine line;
    line.push_back(s.node(Pos(8, 7), WideThree, {Pos(5, 7), Pos(9, 7)}));
    line.push_back(s.node(Pos(9, 7), LiveFour, {Pos(10, 7), Pos(5, 7)}));
    EXPECT_FALSE(verifyWin(s.state, line));
    EXPECT_TRUE(line[0]->refuted);
    EXPECT_TRUE(line[1]->refuted);
    EXPECT_EQ(s.state.refutations, 1);
}

TEST(Verification, EverySingleDefenceIsTried) {
    // Black's three 6..8,7 answered at 5,7 still allows the live four 9,7
    // (with 10,7 free); answered at 9,7 it does not: the line fails.
    Board b = stonesBoard(15, FreeStyle, "6,7 7,7", "1,1 13,13", 0);
    Search s(b, FreeStyle);
    ThreatLine line;
    line.push_back(s.node(Pos(8, 7), WideThree, {Pos(5, 7), Pos(9, 7)}));
    line.push_back(s.node(Pos(4, 7), LiveFour, {Pos(3, 7)}));
    EXPECT_FALSE(verifyWin(s.state, line));
}

// A four whose block on this board is not among the defences the line tries
// (a chain joined from another branch) fails, and so does a "four" that
// leaves no five point at all.
TEST(Verification, FourMustBeBlockedWhereTheLineSays) {
    Board b = stonesBoard(15, FreeStyle, "5,7 6,7 7,7", "4,7 1,1", 0);
    Search s(b, FreeStyle);
    ThreatLine line;
    line.push_back(s.node(Pos(8, 7), RushFour, {Pos(10, 10)}));  // the real block is 9,7
    line.push_back(s.node(Pos(9, 7), Five, {}));
    EXPECT_FALSE(verifyWin(s.state, line));
    EXPECT_EQ(s.state.refutations, 1);
    EXPECT_FALSE(line[0]->refuted);

    Search t(b, FreeStyle);
    ThreatLine bogus;
    bogus.push_back(t.node(Pos(3, 3), RushFour, {Pos(3, 4)}));
    EXPECT_FALSE(verifyWin(t.state, bogus));
}

// Under renju the replay, with one defender stone per reply, can differ from
// the tree's board: a black move there may be a foul, and a black three may
// have no live four black is allowed to make. Either breaks the line.
TEST(Verification, FoulMoveOnTheReplayedBoardBreaksTheLine) {
    Board b = stonesBoard(15, Renju, "5,7 6,7 7,7 8,4 8,5 8,6", "4,7 8,3 1,1", 0);
    ASSERT_EQ(b.cell(Pos(8, 7)).pointType[0], Forbidden);
    Search s(b, Renju);
    ThreatLine line;
    line.push_back(s.node(Pos(8, 7), RushFour, {Pos(9, 7)}));
    EXPECT_FALSE(verifyWin(s.state, line));
    EXPECT_EQ(s.state.refutations, 1);
    EXPECT_FALSE(line[0]->refuted);
}

TEST(Verification, ThreeWithoutAPlayableLiveFourIsNoThreat) {
    // Black 3,7 makes 3,7 3,8 _ 3,10, but its live four 3,9 would also be a
    // four on row 9: a double four, forbidden to black.
    Board b = stonesBoard(15, Renju, "3,8 3,10 4,9 6,9 7,9", "8,9 1,1 13,13 12,12", 0);
    Search s(b, Renju, WithThrees);
    ThreatLine line;
    line.push_back(s.node(Pos(3, 7), LiveThree, {Pos(3, 9)}));
    EXPECT_FALSE(verifyWin(s.state, line));
    EXPECT_EQ(s.state.refutations, 1);

    // The same stones in free-style: the three is real and the line holds.
    Board fs = stonesBoard(15, FreeStyle, "3,8 3,10 4,9 6,9 7,9", "8,9 1,1 13,13 12,12", 0);
    Search t(fs, FreeStyle, WithThrees);
    ThreatLine free;
    free.push_back(t.node(Pos(3, 7), LiveThree, {Pos(3, 9)}));
    EXPECT_TRUE(verifyWin(t.state, free));
}

// Under exact five six stones in a row do not end the game, and the board,
// which sees four points each way, takes 3,7 and 10,7 for five points of
// black: each would really make seven. No five, no win.
TEST(DependencyStage, FiveBesideAnOverlineIsNoFive) {
    Board b = stonesBoard(15, ExactFive, "4,7 5,7 6,7 7,7 8,7 9,7", "4,8 5,8 6,8 1,1 13,13", 0);
    ASSERT_GT(b.typeCount[0][Five], 0);
    for (bool foursOnly : {true, false}) {
        SearchState s;
        s.rule = ExactFive;
        SearchPath path;
        EXPECT_FALSE(s.dbSearch(b, path, false, foursOnly));
    }

    // A real five later in scan order is the one played.
    Board real = stonesBoard(15, ExactFive, "4,7 5,7 6,7 7,7 8,7 9,7 11,1 11,2 11,3 11,4", "4,8 5,8 6,8 1,1 13,13", 0);
    expectOneMoveWin(real, ExactFive, true, Pos(11, 0));
}

// The joining line's scan skips points forbidden to black, as the threat
// generators do: 7,7 would extend 6,7 _ 8,7 but is a double three of black.
TEST(CombinationStage, JoiningLineSkipsFoulPoints) {
    Board b = stonesBoard(15, Renju, "6,7 8,7 7,5 7,6 8,8 9,9", "1,1 13,13", 0);
    ASSERT_EQ(b.cell(Pos(7, 7)).pointType[0], Forbidden);
    Search s(b, Renju, WithThrees);
    ThreatNode* n = s.node(Pos(6, 7), LiveThree, {});
    ThreatNode* other = s.node(Pos(8, 7), LiveThree, {});
    ThreatLine line, chain;
    line.push_back(n);
    chain.push_back(other);
    ASSERT_TRUE(combineOnLine(s.state, n, line, b, Pos(8, 7), chain));
    const ThreatNode* copy = n->firstChild;
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->kind, ThreatNode::CombinationCopy);
    for (const ThreatNode* c = copy->firstChild; c; c = c->nextSibling) EXPECT_FALSE(c->move == Pos(7, 7));
}

}  // namespace
}  // namespace velmor::test
