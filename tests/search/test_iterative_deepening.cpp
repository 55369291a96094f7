// Whole searches of one move: the root shortcuts, the iteration loop, the
// lines it reports and the move it answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "board/evaluation.h"
#include "board/generators.h"
#include "search/clock.h"
#include "search/engine.h"
#include "search/time_budget.h"
#include "threat/threat_cache.h"
#include "search_fixture.h"

namespace velmor {
namespace {

using test::blackHasFive;
using test::forbiddenBlock;
using test::loadDataCases;
using test::placeStones;
using test::quiet;
using test::SearchFixture;
using test::Stone;

struct Answer {
    Pos move;
    std::vector<std::string> lines;
};

Answer think(const Board& position, GameRule rule, uint32_t turnTimeMs = 1000000, uint32_t timeLeftMs = 1000000000,
             int32_t maxDepth = 20) {
    Answer answer;
    SearchSettings settings;
    settings.rule = rule;
    settings.maxMemory = test::kTestMemory;
    settings.turnTimeMs = turnTimeMs;
    settings.timeLeftMs = timeLeftMs;
    settings.maxDepth = maxDepth;
    settings.messageSink = [&answer](const std::string& text) { answer.lines.push_back(text); };
    Board copy = position;
    AIVelmorSearch engine;
    answer.move = engine.getBestMove(copy, settings);
    EXPECT_EQ(std::memcmp(&copy, &position, sizeof(Board)), 0) << "the board copy was changed";
    return answer;
}

// The line with every number (a leading minus after ':' included) replaced
// by '#', to compare the layout of lines whose values vary.
std::string shape(const std::string& line) {
    std::string out;
    for (size_t i = 0; i < line.size();) {
        const bool minus = line[i] == '-' && i > 0 && line[i - 1] == ':' && i + 1 < line.size() &&
                           std::isdigit(static_cast<unsigned char>(line[i + 1]));
        if (minus || std::isdigit(static_cast<unsigned char>(line[i]))) {
            out += '#';
            ++i;
            while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) ++i;
        } else {
            out += line[i++];
        }
    }
    return out;
}

bool isEmptyPoint(const Board& b, Pos p) { return Board::onBoard(p.x(), p.y()) && b.isEmpty(p.x(), p.y()); }

// Free-style, black to move; white threatens five at (3,7) only.
Board plainBlock() {
    return placeStones(15, FreeStyle,
                       {{7, 7, 0}, {8, 8, 0}, {3, 2, 0}, {2, 7, 0}, {3, 3, 1}, {3, 4, 1}, {3, 5, 1}, {3, 6, 1}, {5, 5, 1}},
                       0);
}

// White (who just moved) has two live threes far apart; black has nothing.
Board twoLiveThrees() {
    return placeStones(15, FreeStyle,
                       {{3, 3, 1}, {4, 3, 1}, {5, 3, 1}, {10, 10, 1}, {10, 11, 1}, {10, 12, 1},
                        {7, 7, 0}, {12, 3, 0}, {3, 11, 0}, {0, 14, 0}, {14, 0, 0}, {13, 13, 0}},
                       0);
}

// White has one live three on row 3; black nothing that answers with fours.
Board oneLiveThree() {
    return placeStones(15, FreeStyle,
                       {{3, 3, 1}, {4, 3, 1}, {5, 3, 1}, {10, 12, 1}, {1, 9, 1},
                        {7, 7, 0}, {12, 3, 0}, {3, 11, 0}, {0, 14, 0}, {14, 0, 0}, {13, 13, 0}},
                       0);
}

struct Prepared {
    MoveList rootMoves;
    SearchPath bestPath;
};

Prepared prepare(const Board& b, GameRule rule) {
    SearchFixture f;
    f.prepare(b, rule);
    Prepared p;
    p.bestPath.reset(b.lastMove.stoneCount);
    f.state.prepareRootMoves(p.rootMoves, p.bestPath);
    return p;
}

TEST(RootMoves, ImmediateFive) {
    Prepared p = prepare(blackHasFive(), FreeStyle);
    ASSERT_EQ(p.rootMoves.size(), 1u);
    EXPECT_EQ(p.rootMoves[0].pos, Pos(2, 7));
    EXPECT_EQ(p.rootMoves[0].value, 10000);
    EXPECT_EQ(p.rootMoves[0].ownType, Five);
    EXPECT_EQ(p.bestPath.rating, kWin);
    EXPECT_EQ(p.bestPath.moves.size(), 1u);
    EXPECT_EQ(p.bestPath.endStep, p.bestPath.startStep + 1);
}

TEST(RootMoves, ForcedBlocks) {
    // The only block is forbidden to black: the game is lost, but a foul is
    // never the answer while a legal point remains.
    const Board lost = forbiddenBlock();
    Prepared forbidden = prepare(lost, Renju);
    ASSERT_EQ(forbidden.rootMoves.size(), 1u);
    EXPECT_NE(forbidden.rootMoves[0].pos, Pos(7, 7));
    EXPECT_TRUE(isEmptyPoint(lost, forbidden.rootMoves[0].pos));
    EXPECT_NE(lost.cell(forbidden.rootMoves[0].pos).pointType[0], Forbidden);
    EXPECT_EQ(forbidden.bestPath.rating, kLoss);

    const Board b = plainBlock();
    Prepared plain = prepare(b, FreeStyle);
    ASSERT_EQ(plain.rootMoves.size(), 1u);
    EXPECT_EQ(plain.rootMoves[0].pos, Pos(3, 7));
    EXPECT_EQ(plain.rootMoves[0].ownType, b.cells[3][7].pointType[0]);
    EXPECT_EQ(plain.bestPath.rating, evaluate(b, 0, FreeStyle));
}

// Real renju problems: a proven threat win becomes the only root move.
TEST(RootMoves, ProvenThreatWin) {
    const auto cases = loadDataCases("vcf_renju_lfz084.txt");
    for (int i : {0, 2, 4}) {
        SCOPED_TRACE(cases[i].id);
        const Board b = cases[i].board();
        Prepared p = prepare(b, Renju);
        ASSERT_EQ(p.rootMoves.size(), 1u);
        EXPECT_EQ(p.rootMoves[0].value, 10000);
        EXPECT_EQ(p.rootMoves[0].ownType, 0);
        EXPECT_NE(std::find(cases[i].best.begin(), cases[i].best.end(), p.rootMoves[0].pos), cases[i].best.end());
        EXPECT_EQ(p.bestPath.rating, kWin);
        EXPECT_EQ(p.bestPath.moves[0], p.rootMoves[0].pos);
        EXPECT_EQ(p.bestPath.endStep, p.bestPath.startStep + p.bestPath.moves.size());
    }
}

TEST(RootMoves, CandidatesThatLoseToAThreatSequenceGo) {
    const Board b = oneLiveThree();
    MoveList all;
    generateCandidates(b, all);
    Prepared p = prepare(b, FreeStyle);
    ASSERT_FALSE(p.rootMoves.empty());
    EXPECT_LT(p.rootMoves.size(), all.size());
    // Only moves at the three survive.
    const Pos answers[] = {Pos(1, 3), Pos(2, 3), Pos(6, 3), Pos(7, 3)};
    for (const ScoredMove& m : p.rootMoves) {
        EXPECT_NE(m.value, kLoss);
        EXPECT_NE(std::find(std::begin(answers), std::end(answers), m.pos), std::end(answers))
            << m.pos.x() << "," << m.pos.y();
    }
}

TEST(RootMoves, WhenEveryCandidateLosesAllStay) {
    const Board b = twoLiveThrees();
    MoveList all;
    generateCandidates(b, all);
    Prepared p = prepare(b, FreeStyle);
    EXPECT_EQ(p.rootMoves.size(), all.size());
    for (const ScoredMove& m : p.rootMoves) EXPECT_EQ(m.value, kLoss);
    // ... and the search still picks one of them.
    Answer a = think(b, FreeStyle, 1000000, 1000000000, 3);
    EXPECT_TRUE(isEmptyPoint(b, a.move));
}

TEST(Search, ImmediateFiveReportsOnlyTheSummary) {
    Answer a = think(blackHasFive(), FreeStyle);
    EXPECT_EQ(a.move, Pos(2, 7));
    EXPECT_EQ(a.lines, (std::vector<std::string>{
                           "depth:2 [2,7] complex:0 ab:0 leaf:0 scout:0 quies:0 null:0 bestmove:0",
                           "hit:0 miss:0 clash:0 cover:0",
                           "DBSearch count:0 total:0 max:0",
                       }));
}

TEST(Search, ForbiddenBlockIsNeverPlayed) {
    const Board lost = forbiddenBlock();
    Answer a = think(lost, Renju);
    EXPECT_TRUE(isEmptyPoint(lost, a.move));
    EXPECT_NE(lost.cell(a.move).pointType[0], Forbidden);
    ASSERT_EQ(a.lines.size(), 3u);
}

TEST(Search, IterationsThenTimeLineThenSummary) {
    const Board b = quiet();
    Answer a = think(b, FreeStyle, 1000000, 1000000000, 3);
    EXPECT_TRUE(isEmptyPoint(b, a.move));
    ASSERT_EQ(a.lines.size(), 6u);
    for (int i : {0, 1}) {
        const std::string s = shape(a.lines[i]);
        const std::string head = "depth: #-# [#,#] rating:# time:#ms node:# path:";
        ASSERT_EQ(s.compare(0, head.size(), head), 0) << a.lines[i];
        std::string rest = s.substr(head.size());
        ASSERT_FALSE(rest.empty());
        while (rest.rfind("[#,#]", 0) == 0) rest.erase(0, 5);
        EXPECT_EQ(rest, "") << a.lines[i];
    }
    EXPECT_EQ(a.lines[0].rfind("depth: 2-", 0), 0u);
    EXPECT_EQ(a.lines[1].rfind("depth: 3-", 0), 0u);
    const TimeBudget budget = computeTimeBudget(6, 1000000, 1000000000);
    EXPECT_EQ(a.lines[2], "time max:" + std::to_string(budget.maxMs) + "ms suggest:" +
                              std::to_string(budget.suggestMs) + "ms");
    EXPECT_EQ(shape(a.lines[3]), "depth:# [#,#] complex:# ab:# leaf:# scout:# quies:# null:# bestmove:#");
    EXPECT_EQ(a.lines[3].rfind("depth:3 ", 0), 0u);
    EXPECT_NE(a.lines[3].find(" quies:0 "), std::string::npos);
    EXPECT_EQ(shape(a.lines[4]), "hit:# miss:# clash:# cover:#");
    EXPECT_NE(a.lines[4].find(" miss:0 clash:0 "), std::string::npos);
    EXPECT_EQ(shape(a.lines[5]), "DBSearch count:# total:# max:#");
    // The move is the head of the list, which after a complete iteration is
    // the first move of the reported line.
    const std::string point = "[" + std::to_string(a.move.x()) + "," + std::to_string(a.move.y()) + "]";
    EXPECT_EQ(a.lines[3].find("depth:3 " + point), 0u) << a.lines[3];
    EXPECT_NE(a.lines[1].find(" " + point + " rating:"), std::string::npos) << a.lines[1];
}

// A clock that has run out: the first iteration is cut short, still used,
// and ends the search.
TEST(Search, CutShortFirstIterationIsUsed) {
    const Board b = quiet();
    SearchFixture f;
    f.prepare(b, FreeStyle);
    f.state.timeLeftMs = 0;
    const Pos move = f.state.iterativeDeepening(wallClockTicks() - 5 * kTicksPerMs);
    EXPECT_TRUE(isEmptyPoint(b, move));
    const std::vector<std::string>& lines = f.lines;
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].rfind("depth: 2-", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1], "time max:0ms suggest:0ms");
    EXPECT_EQ(lines[2].rfind("depth:2 ", 0), 0u) << lines[2];
}

// Elapsed times count from the request itself, not from the start of its
// second: no reported time can exceed the call's own duration.
TEST(Search, TimesCountFromTheRequest) {
    const Board b = quiet();
    const int64_t before = wallClockTicks();
    Answer a = think(b, FreeStyle, 1000000, 1000000000, 3);
    const int64_t callMs = (wallClockTicks() - before) / kTicksPerMs;
    int reported = 0;
    for (const std::string& line : a.lines) {
        if (line.rfind("depth: ", 0) != 0) continue;
        ++reported;
        const int64_t ms = std::stoll(line.substr(line.find(" time:") + 6));
        EXPECT_LE(ms, callMs) << line;
        EXPECT_GE(ms, 0) << line;
    }
    EXPECT_EQ(reported, 2);
}

// With the same table contents (here: none), the same search gives
// the same move and the same counts.
TEST(Search, SameSearchSameAnswerAndNodes) {
    const Board b = quiet();
    clearSearchTables();
    Answer first = think(b, FreeStyle, 1000000, 1000000000, 4);
    clearSearchTables();
    Answer second = think(b, FreeStyle, 1000000, 1000000000, 4);
    EXPECT_EQ(first.move, second.move);
    ASSERT_EQ(first.lines.size(), second.lines.size());
    // The summary holds no times.
    for (size_t i = first.lines.size() - 3; i < first.lines.size(); ++i) EXPECT_EQ(first.lines[i], second.lines[i]);
}

TEST(Search, NoCandidateAnswersAtOnceWithoutReport) {
    // Black to move has no stone; white's lone stones give no candidate.
    const Board b = placeStones(15, FreeStyle,
                                {{1, 1, 1}, {7, 1, 1}, {13, 1, 1}, {1, 13, 1}, {7, 13, 1}, {13, 13, 1}}, 0);
    Answer a = think(b, FreeStyle);
    EXPECT_TRUE(a.lines.empty());
    EXPECT_TRUE(isEmptyPoint(b, a.move));
    EXPECT_EQ(a.move, fallbackMove(b, 1));
    // White's strongest shape, first in scan order.
    int strongest = 0;
    for (int t = Five; t >= 1 && !strongest; --t)
        if (b.typeCount[1][t]) strongest = t;
    EXPECT_EQ(b.cell(a.move).pointType[1], strongest);
}

// Renju, every point filled except (6,7), an overline point for black who
// just moved: no empty point has black's strongest type (none), yet the
// answer must still be that empty point.
TEST(Search, FallbackNeverAnswersAnOccupiedPoint) {
    std::vector<Stone> stones;
    for (int x = 0; x < 15; ++x)
        for (int y = 0; y < 15; ++y) {
            if (x == 6 && y == 7) continue;
            // Pairs along x, alternating along y: no line longer than two...
            int side = (x / 2 + y) % 2;
            // ... except black's 3,4,5 _ 7,8 on row 7.
            if (y == 7 && (x == 3 || x == 4 || x == 5 || x == 7 || x == 8)) side = 0;
            stones.push_back({x, y, side});
        }
    const Board b = placeStones(15, Renju, stones, 1);
    ASSERT_EQ(checkBoardConsistency(b, Renju), "");
    ASSERT_EQ(b.cells[6][7].pointType[0], Forbidden);
    EXPECT_EQ(fallbackMove(b, 0), Pos(6, 7));
}

}  // namespace
}  // namespace velmor
