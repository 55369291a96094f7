// The known-answer suite: the threat search against the truth of each
// position, and every returned line replayed on a board.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "search/search_state.h"
#include "support/positions.h"
#include "threat/line_check.h"
#include "threat/matetrack.h"
#include "threat/vcf_oracle.h"

namespace velmor::test {
namespace {

Board caseBoard(const MatetrackCase& c) {
    std::vector<Stone> stones;
    for (Pos p : parsePoints(c.black)) stones.push_back({p.x(), p.y(), 0});
    for (Pos p : parsePoints(c.white)) stones.push_back({p.x(), p.y(), 1});
    return placeStones(c.size, c.rule, stones, c.toMove);
}

std::vector<Pos> sorted(std::vector<Pos> v) {
    std::sort(v.begin(), v.end(), [](Pos a, Pos b) { return a.raw < b.raw; });
    return v;
}

bool contains(const std::vector<Pos>& v, Pos p) { return std::find(v.begin(), v.end(), p) != v.end(); }

std::string str(Pos p) { return std::to_string(p.x()) + "," + std::to_string(p.y()); }

struct Outcome {
    bool win;
    SmallList<Pos, 64> line;
};

Outcome search(const Board& board, GameRule rule, bool foursOnly) {
    SearchState state;
    state.rule = rule;
    SearchPath path;
    path.reset(board.lastMove.stoneCount);
    bool win = state.dbSearch(board, path, false, foursOnly);
    return {win, path.moves};
}

}  // namespace

void PrintTo(const MatetrackCase& c, std::ostream* os) { *os << c.name; }

namespace {

class Matetrack : public ::testing::TestWithParam<MatetrackCase> {};

// The table's truth holds: the exhaustive checker finds exactly the listed
// VCF first moves, proves each listed three-first win and each "no win".
TEST_P(Matetrack, TableHoldsTheTruth) {
    const MatetrackCase& c = GetParam();
    Board board = caseBoard(c);
    ASSERT_EQ(checkBoardConsistency(board, c.rule), "");
    VcfOracle oracle(c.rule);
    EXPECT_EQ(sorted(oracle.vcfWinningMoves(board)), sorted(parsePoints(c.vcfWins)));
    for (Pos m : parsePoints(c.vctWins)) {
        EXPECT_TRUE(oracle.winsAfterEveryReply(board, m)) << str(m);
    }
    if (c.threes == ThreesTruth::NoWin) {
        EXPECT_TRUE(oracle.provesNoThreatWin(board, 3));
    }
    if (c.threes == ThreesTruth::Win && *c.vcfWins == 0) {
        EXPECT_FALSE(std::string(c.vctWins).empty());
    }
}

TEST_P(Matetrack, FoursOnlyAgreesWithTheTruth) {
    const MatetrackCase& c = GetParam();
    Board board = caseBoard(c);
    const std::vector<Pos> wins = parsePoints(c.vcfWins);
    Outcome got = search(board, c.rule, true);
    const bool expected = !wins.empty() && !(c.known & MissesFours);
    ASSERT_EQ(got.win, expected) << c.note;
    if (!got.win) return;
    EXPECT_TRUE(contains(wins, got.line[0])) << "false claim: first move " << str(got.line[0]);
    EXPECT_EQ(checkWinningLine(board, c.rule, got.line, true), "");
}

TEST_P(Matetrack, WithThreesAgreesWithTheTruth) {
    const MatetrackCase& c = GetParam();
    Board board = caseBoard(c);
    Outcome got = search(board, c.rule, false);
    bool expected = c.threes == ThreesTruth::Win && !(c.known & MissesThrees);
    if (c.known & ThreesClaimOpen) expected = true;
    ASSERT_EQ(got.win, expected) << c.note;
    if (!got.win) return;
    EXPECT_EQ(checkWinningLine(board, c.rule, got.line, false), "");
    if (c.known & ThreesClaimOpen) return;  // only the line can be checked
    std::vector<Pos> proven = parsePoints(c.vcfWins);
    for (Pos m : parsePoints(c.vctWins)) proven.push_back(m);
    EXPECT_TRUE(contains(proven, got.line[0])) << "unproven first move " << str(got.line[0]);
}

INSTANTIATE_TEST_SUITE_P(Positions, Matetrack, ::testing::ValuesIn(kMatetrack),
                         [](const ::testing::TestParamInfo<MatetrackCase>& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(MatetrackSuite, CoversRulesSizesAndShapes) {
    int perRule[3] = {0, 0, 0}, twenty = 0, wins = 0, none = 0;
    for (const MatetrackCase& c : kMatetrack) {
        ++perRule[c.rule];
        twenty += c.size == 20;
        (*c.vcfWins ? wins : none) += 1;
    }
    EXPECT_GE(std::size(kMatetrack), 40u);
    for (int n : perRule) EXPECT_GE(n, 6);
    EXPECT_GE(twenty, 8);
    EXPECT_GE(wins, 15);
    EXPECT_GE(none, 8);
}

}  // namespace
}  // namespace velmor::test
