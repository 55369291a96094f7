#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <type_traits>
#include <utility>
#include <vector>

#include "board/evaluation.h"
#include "board/generators.h"
#include "board/line_walk.h"
#include "support/positions.h"

namespace velmor {
namespace {

using test::placeStones;
using test::Stone;
using XY = std::pair<int, int>;

constexpr int B = 0, W = 1;  // sides: black moves first

// (x, y, value) of a move list, for readable comparisons.
struct Entry {
    int x, y, value;
    friend bool operator==(const Entry&, const Entry&) = default;
    friend void PrintTo(const Entry& e, std::ostream* os) { *os << "(" << e.x << "," << e.y << ")=" << e.value; }
};

std::vector<Entry> entries(const MoveList& list) {
    std::vector<Entry> out;
    for (const ScoredMove& m : list) out.push_back({m.pos.x(), m.pos.y(), m.value});
    return out;
}

std::vector<XY> points(const PosList& list) {
    std::vector<XY> out;
    for (Pos p : list) out.push_back({p.x(), p.y()});
    return out;
}

// Sorted by value, equal values in scan order: the order among equal values
// is free, so comparisons normalise it.
std::vector<Entry> normalised(const MoveList& list) {
    std::vector<Entry> out = entries(list);
    std::sort(out.begin(), out.end(), [](const Entry& a, const Entry& b) {
        return a.value != b.value ? a.value > b.value : std::pair(a.x, a.y) < std::pair(b.x, b.y);
    });
    return out;
}

bool contains(const MoveList& list, int x, int y) {
    return std::any_of(list.begin(), list.end(), [&](const ScoredMove& m) { return m.pos == Pos(x, y); });
}

std::vector<Stone> stones(const std::vector<XY>& black, const std::vector<XY>& white) {
    std::vector<Stone> out;
    for (auto [x, y] : black) out.push_back({x, y, B});
    for (auto [x, y] : white) out.push_back({x, y, W});
    return out;
}

// ---------------------------------------------------------------- candidates

TEST(Candidates, OwnFiveComesBeforeBlockingTheOpponents) {
    // Both sides have an open four; black to move wins and lists only that.
    const Board b = placeStones(15, FreeStyle, stones({{3, 3}, {3, 4}, {3, 5}, {3, 6}}, {{10, 3}, {10, 4}, {10, 5}, {10, 6}}), B);
    MoveList list;
    EXPECT_EQ(generateCandidates(b, list), 2);
    EXPECT_EQ(entries(list), (std::vector<Entry>{{3, 2, 13}, {3, 7, 13}}));
    for (const ScoredMove& m : list) EXPECT_TRUE(m.ownType == Five && m.dir == 0);
}

TEST(Candidates, AnOpponentFiveLeavesOnlyTheBlocksAndHisForbiddenPoints) {
    // Renju, white to move: black's four must be blocked at (3,7). Black's
    // double-three point (11,11) is forbidden to him and is listed too.
    const Board b = placeStones(
        15, Renju, stones({{3, 3}, {3, 4}, {3, 5}, {3, 6}, {11, 9}, {11, 10}, {9, 11}, {10, 11}}, {{3, 2}, {0, 14}, {14, 0}}),
        W);
    ASSERT_EQ(b.cells[11][11].pointType[B], Forbidden);
    MoveList list;
    generateCandidates(b, list);
    EXPECT_EQ(entries(list), (std::vector<Entry>{{3, 7, Five}, {11, 11, Forbidden}}));
}

TEST(Candidates, ABlockForbiddenToTheMoverIsNoCandidate) {
    // Renju, black to move must stop white's five at (3,7), but (3,7) is a
    // double three for black: nothing is left.
    const Board b = placeStones(15, Renju, stones({{3, 2}, {4, 7}, {5, 7}, {4, 8}, {5, 9}}, {{3, 3}, {3, 4}, {3, 5}, {3, 6}, {12, 12}}), B);
    ASSERT_EQ(b.cells[3][7].pointType[B], Forbidden);
    ASSERT_EQ(b.cells[3][7].pointType[W], Five);
    MoveList list;
    EXPECT_EQ(generateCandidates(b, list), 0);
}

TEST(Candidates, OpponentLiveFourPointRestrictsToFours) {
    // White to move. Black has an open three (live-four points (7,4), (7,8));
    // white has a three of his own at the edge column 1.
    const Board b = placeStones(15, FreeStyle, stones({{7, 5}, {7, 6}, {7, 7}, {12, 12}}, {{1, 1}, {1, 2}, {1, 3}}), W);
    MoveList list;
    generateCandidates(b, list);
    // White's fours first: value own + 7, ranked by own type alone.
    EXPECT_EQ(normalised(list), (std::vector<Entry>{{1, 4, LiveFour + 7},
                                                   {1, 0, RushFour + 7},
                                                   {1, 5, RushFour + 7},
                                                   {7, 3, 7},
                                                   {7, 4, 7},
                                                   {7, 8, 7},
                                                   {7, 9, 7}}));
}

TEST(Candidates, OpponentFourThreeAlsoAdmitsThreePoints) {
    // White to move. Black: a blocked three (7,5)-(7,7) and a two (5,8),(6,8)
    // that make (7,8) a four-three point; no live-four point.
    const Board b = placeStones(15, FreeStyle, stones({{7, 5}, {7, 6}, {7, 7}, {5, 8}, {6, 8}}, {{7, 4}, {0, 0}}), W);
    ASSERT_EQ(b.typeCount[B][LiveFour], 0);
    ASSERT_EQ(b.cells[7][8].pointType[B], FourThree);
    ASSERT_EQ(b.cells[8][8].pointType[B], LiveThree);
    ASSERT_EQ(b.cells[9][8].pointType[B], DeadThree);
    MoveList list;
    generateCandidates(b, list);
    EXPECT_TRUE(contains(list, 7, 8));
    EXPECT_TRUE(contains(list, 8, 8));   // black three point: kept under a four-three
    EXPECT_FALSE(contains(list, 9, 8));  // black dead three: not
    for (const ScoredMove& m : list) EXPECT_EQ(m.value, m.ownType + 5);
}

TEST(Candidates, QuietPositionsWidenOnlyInTheOpening) {
    // One black stone: its eight neighbours (live twos) and the eight points
    // two away (twos) are the candidates; the points three away (weak twos)
    // are not.
    const Board one = test::playMoves(15, FreeStyle, {Pos(7, 7)});
    MoveList list;
    EXPECT_EQ(generateCandidates(one, list), 16);
    for (const ScoredMove& m : list) {
        const int dist = std::max(std::abs(m.pos.x() - 7), std::abs(m.pos.y() - 7));
        EXPECT_EQ(m.value, dist == 1 ? LiveTwo : Two);
    }

    // The same lone black stone among five (then six) scattered stones: from
    // six stones on, his twos no longer make a white candidate.
    auto scattered = [](bool sixth) {
        auto s = stones({{7, 7}, {13, 1}, {13, 13}}, {{1, 1}, {1, 13}});
        if (sixth) s.push_back({0, 7, B});
        return placeStones(15, FreeStyle, s, W);
    };
    MoveList five, six;
    generateCandidates(scattered(false), five);
    generateCandidates(scattered(true), six);
    EXPECT_TRUE(contains(five, 8, 8));
    EXPECT_FALSE(contains(six, 8, 8));
    EXPECT_TRUE(contains(six, 2, 2));  // next to a white stone: own two
}

TEST(Candidates, AppendToTheCallersList) {
    const Board b = test::playMoves(15, FreeStyle, {Pos(7, 7)});
    MoveList list;
    list.push_back({Pos(0, 0), 99, 0, 0});
    EXPECT_EQ(generateCandidates(b, list), 17);
    EXPECT_EQ(list[0].value, 99);
}

// ------------------------------------------------------------------- threats

// Black to move with a five point (2,6) (its four is closed at both ends), a
// blocked three (rush-four points
// (12,5), (12,6)) and a two (8,8),(9,8) whose three points include (7,8).
Board threatPosition() {
    return placeStones(15, FreeStyle,
                       stones({{2, 2}, {2, 3}, {2, 4}, {2, 5}, {12, 2}, {12, 3}, {12, 4}, {8, 8}, {9, 8}},
                              {{2, 1}, {2, 7}, {12, 1}, {0, 14}, {14, 14}, {14, 10}, {5, 14}, {9, 14}}),
                       B);
}

TEST(Threats, LevelsFilterAndTheWholeListIsSorted) {
    const Board b = threatPosition();
    MoveList fives, fours, threes;
    collectThreats(b, FivesOnly, fives);
    EXPECT_EQ(entries(fives), (std::vector<Entry>{{2, 6, Five}}));

    collectThreats(b, FoursOnly, fours);
    EXPECT_EQ(normalised(fours), (std::vector<Entry>{{2, 6, Five}, {12, 5, RushFour}, {12, 6, RushFour}}));

    // The caller's earlier entries are sorted along with the new ones.
    threes.push_back({Pos(0, 0), 1, 0, 0});
    threes.push_back({Pos(0, 1), 500, 0, 0});
    collectThreats(b, WithThrees, threes);
    EXPECT_TRUE(contains(threes, 7, 8));
    EXPECT_TRUE(contains(threes, 10, 8));
    EXPECT_EQ(threes[0].value, 500);
    EXPECT_EQ(threes.back().value, 1);
    for (uint32_t i = 1; i < threes.size(); ++i) EXPECT_GE(threes[i - 1].value, threes[i].value);
    for (const ScoredMove& m : threes) {
        if (m.value >= LiveThree && m.value <= Five) {
            EXPECT_EQ(m.dir, b.mainDirection(m.pos, B)) << m.pos.x() << "," << m.pos.y();
        }
    }
}

TEST(ThreatsAround, LevelZeroAppendsOnlyTheFirstFiveAndDoesNotSort) {
    const Board b = threatPosition();
    MoveList list;
    list.push_back({Pos(0, 0), 1, 0, 0});
    list.push_back({Pos(0, 1), 5, 0, 0});
    collectThreatsAround(b, Pos(12, 4), WithThrees, list, true);
    EXPECT_EQ(entries(list), (std::vector<Entry>{{0, 0, 1}, {0, 1, 5}, {2, 6, 1000}}));
    EXPECT_EQ(list.back().dir, 0);

    // Without a five point, level 0 appends nothing.
    const Board quiet = test::playMoves(15, FreeStyle, {Pos(7, 7), Pos(8, 8), Pos(7, 8)});
    MoveList none;
    collectThreatsAround(quiet, Pos(7, 7), FivesOnly, none, true);
    EXPECT_TRUE(none.empty());
}

TEST(ThreatsAround, WalksPassOwnStonesAndStopAtTheOpponents) {
    // Black to move, centre (7,7). Down the column: three points (7,6), (7,5);
    // up it, the walk passes black (7,8) and stops at white (7,10). Along the
    // row, white (8,7) hides black's four point (9,7). (7,4) makes no three in
    // the column but a rush four on the diagonal (8,5)-(10,7).
    const Board b = placeStones(15, FreeStyle,
                                stones({{7, 7}, {7, 8}, {10, 7}, {11, 7}, {12, 7}, {8, 5}, {9, 6}},
                                       {{8, 7}, {7, 10}, {11, 8}, {0, 0}, {14, 14}, {0, 14}, {14, 0}}),
                                B);
    ASSERT_EQ(b.cells[9][7].pointType[B], RushFour);
    ASSERT_EQ(b.cells[7][4].pointType[B], RushFour);

    struct Case {
        int level;
        bool extra;
        std::vector<Entry> expected;
    };
    const Case cases[] = {
        {WithThrees, false, {{7, 5, LiveThree}, {7, 6, LiveThree}}},
        {WithThrees, true, {{7, 5, LiveThree}, {7, 6, LiveThree}, {7, 4, 2}}},
        {FoursOnly, false, {}},
        {FoursOnly, true, {{7, 4, 2}}},
    };
    for (const Case& c : cases) {
        MoveList list;
        collectThreatsAround(b, Pos(7, 7), c.level, list, c.extra);
        EXPECT_EQ(normalised(list), c.expected) << "level " << c.level << " extra " << c.extra;
        // Line threats carry their line; the extra point its main direction.
        for (const ScoredMove& m : list) EXPECT_EQ(m.dir, m.value == 2 ? 2 : 0);
    }
}

TEST(ThreatsAround, ForbiddenPointsAreSteppedOver) {
    // Renju, black to move: (7,7) is a double three for black. The column walk
    // from (7,5) skips it and still finds the three point (7,8) behind it.
    const Board b = placeStones(15, Renju, stones({{7, 5}, {7, 6}, {5, 7}, {6, 7}}, {{0, 0}, {14, 14}, {0, 14}, {14, 0}}), B);
    ASSERT_EQ(b.cells[7][7].pointType[B], Forbidden);
    MoveList list;
    collectThreatsAround(b, Pos(7, 5), WithThrees, list, true);
    EXPECT_FALSE(contains(list, 7, 7));
    EXPECT_TRUE(contains(list, 7, 8));
    EXPECT_TRUE(contains(list, 7, 4));
}

// ------------------------------------------------------------------ defences

// The attacker (white) has just played `at`; black defends.
PosList defencesOf(const Board& b, XY at, ChessType threat, int dir, GameRule rule) {
    PosList list;
    collectDefences(b, Pos(at.first, at.second), threat, uint8_t(dir), list, rule);
    return list;
}

// White stones, the last one played last, black to move.
Board whiteJustPlayed(GameRule rule, const std::vector<XY>& black, const std::vector<XY>& white) {
    return placeStones(15, rule, stones(black, white), B);
}

TEST(Defences, Fours) {
    struct Case {
        const char* name;
        GameRule rule;
        std::vector<XY> black, white;
        ChessType threat;
        std::vector<XY> expected;
    };
    const Case cases[] = {
        {"live four: both ends, minus side first", FreeStyle, {{0, 0}, {14, 14}, {0, 14}},
         {{7, 3}, {7, 4}, {7, 5}, {7, 6}}, LiveFour, {{7, 2}, {7, 7}}},
        {"rush four: its one completion point", FreeStyle, {{7, 2}, {14, 14}, {0, 14}},
         {{7, 3}, {7, 4}, {7, 5}, {7, 6}}, RushFour, {{7, 7}}},
        {"split rush four", FreeStyle, {{7, 2}, {14, 14}, {0, 14}}, {{7, 3}, {7, 4}, {7, 6}, {7, 7}}, RushFourPlus, {{7, 5}}},
        // (3,7) is a double three for black: he may not play it.
        {"rush four completed on a forbidden point", Renju, {{3, 2}, {4, 7}, {5, 7}, {4, 8}, {5, 9}},
         {{3, 3}, {3, 4}, {3, 5}, {3, 6}, {12, 12}}, RushFour, {}},
        {"live four with one forbidden end", Renju, {{4, 7}, {5, 7}, {4, 8}, {5, 9}, {14, 14}},
         {{3, 3}, {3, 4}, {3, 5}, {3, 6}, {12, 12}}, LiveFour, {{3, 2}}},
    };
    for (const Case& c : cases) {
        const Board b = whiteJustPlayed(c.rule, c.black, c.white);
        const XY at = c.white[3];
        EXPECT_EQ(points(defencesOf(b, at, c.threat, 0, c.rule)), c.expected) << c.name;
    }
    // A five needs no defence.
    const Board five = whiteJustPlayed(FreeStyle, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}, {{7, 3}, {7, 4}, {7, 5}, {7, 6}, {7, 7}});
    EXPECT_TRUE(defencesOf(five, {7, 7}, Five, 0, FreeStyle).empty());
}

TEST(Defences, Threes) {
    struct Case {
        const char* name;
        std::vector<XY> black, white;
        XY at;
        ChessType threat;
        std::vector<XY> expected;
    };
    const Case cases[] = {
        {"wide three: the two ends", {{0, 0}, {14, 14}}, {{7, 5}, {7, 6}, {7, 7}}, {7, 7}, WideThree, {{7, 4}, {7, 8}}},
        {"split three: the gap and both far ends", {{0, 0}, {14, 14}}, {{7, 4}, {7, 5}, {7, 7}}, {7, 7}, LiveThree,
         {{7, 6}, {7, 3}, {7, 8}}},
        {"three against a stone: the live-four point and beyond it", {{7, 3}, {14, 14}}, {{7, 5}, {7, 6}, {7, 7}}, {7, 7},
         LiveThree, {{7, 8}, {7, 4}, {7, 9}}},
    };
    for (const Case& c : cases) {
        const Board b = whiteJustPlayed(FreeStyle, c.black, c.white);
        EXPECT_EQ(points(defencesOf(b, c.at, c.threat, 0, FreeStyle)), c.expected) << c.name;
    }
}

// After black plays `defence`, white's point q no longer makes a double threat.
bool defuses(const Board& b, Pos defence, Pos q, GameRule rule) {
    Board copy = b;
    copy.makeMove(defence, B, rule);
    const int t = copy.cell(q).pointType[W];
    return copy.cell(q).stone != 2 || (t != DoubleThree && t != FourThree && t != DoubleFour);
}

TEST(Defences, DoubleThreatNextToTheThreat) {
    struct Case {
        const char* name;
        std::vector<XY> black, white;
        ChessType pointType;
        std::vector<XY> expected;
    };
    const Case cases[] = {
        // White just played (6,7); beside it (7,7) makes two threes.
        {"double three", {{0, 0}, {14, 14}, {0, 14}}, {{7, 5}, {7, 6}, {5, 7}, {6, 7}}, DoubleThree,
         {{7, 7}, {7, 4}, {7, 8}, {4, 7}, {8, 7}}},
        // Here the column is a blocked three: (7,7) makes a four and a three.
        {"four-three", {{7, 3}, {14, 14}, {0, 14}}, {{7, 4}, {7, 5}, {7, 6}, {5, 7}, {6, 7}}, FourThree,
         {{7, 7}, {7, 8}, {4, 7}, {8, 7}}},
    };
    for (const Case& c : cases) {
        const Board b = whiteJustPlayed(FreeStyle, c.black, c.white);
        ASSERT_EQ(b.cells[7][7].pointType[W], c.pointType) << c.name;
        const PosList list = defencesOf(b, {6, 7}, DoubleThree, 1, FreeStyle);
        EXPECT_EQ(points(list), c.expected) << c.name;
        for (Pos p : list) EXPECT_TRUE(defuses(b, p, Pos(7, 7), FreeStyle)) << c.name << " " << p.x() << "," << p.y();
    }
    // Without any double-threat point of the attacker there is nothing to do.
    const Board plain = whiteJustPlayed(FreeStyle, {{0, 0}, {14, 14}}, {{5, 7}, {6, 7}});
    EXPECT_TRUE(defencesOf(plain, {6, 7}, DoubleThree, 1, FreeStyle).empty());
}

// ----------------------------------------------------- seeded random games

bool onLine(Pos at, int dir, Pos p) {
    for (int k = -8; k <= 8; ++k)
        if (Pos(at.x() + k * kDirDx[dir], at.y() + k * kDirDy[dir]) == p) return true;
    return false;
}

// Whether some empty point within four steps of `at` along `dir` has line
// type `type` for `side` in that direction.
bool lineHas(const Board& b, Pos at, int dir, int side, int type) {
    for (int k = -4; k <= 4; ++k) {
        const int x = at.x() + k * kDirDx[dir], y = at.y() + k * kDirDy[dir];
        if (!Board::onBoard(x, y) || b.cells[x][y].stone != 2) continue;
        if (lineTypeAt(b.cells[x][y].lineTypes[side], dir) == type) return true;
    }
    return false;
}

// Nothing a generator returns may be occupied or forbidden to `side`.
template <class List>
void expectPlayable(const Board& b, const List& list, int side, const char* what) {
    for (const auto& item : list) {
        Pos p;
        if constexpr (std::is_same_v<List, PosList>) p = item;
        else p = item.pos;
        ASSERT_TRUE(Board::onBoard(p.x(), p.y())) << what;
        EXPECT_EQ(b.cell(p).stone, 2) << what << " returned an occupied point";
        EXPECT_NE(b.cell(p).pointType[side], Forbidden) << what << " returned a forbidden point";
    }
}

void expectSorted(const MoveList& list, const char* what) {
    for (uint32_t i = 1; i < list.size(); ++i) ASSERT_GE(list[i - 1].value, list[i].value) << what;
}

// The defences of the threat white or black just made along `dir` really
// answer it: no completion point of a four survives them all, and no
// live-four point of a three survives any one of them.
void checkDefences(const Board& before, const Board& after, Pos at, int dir, GameRule rule) {
    const int attacker = after.lastMove.side, defender = 1 - attacker;
    const int threat = lineTypeAt(before.cell(at).lineTypes[attacker], dir);
    PosList list;
    collectDefences(after, at, uint8_t(threat), uint8_t(dir), list, rule);
    expectPlayable(after, list, defender, "collectDefences");

    const bool four = threat == LiveFour || threat == RushFour || threat == RushFourPlus;
    const bool three = threat == LiveThree || threat == WideThree;
    if (!four && !three) return;
    // A single line threat is answered on its line.
    for (Pos p : list) EXPECT_TRUE(onLine(at, dir, p));
    // Only threats made by this very move, and whose answers are all
    // allowed to the defender, can be checked for completeness.
    const int aim = four ? Five : LiveFour;
    if (lineHas(before, at, dir, attacker, aim) || lineHas(before, at, dir, attacker, Five)) return;
    for (int k = -4; k <= 4; ++k) {
        const int x = at.x() + k * kDirDx[dir], y = at.y() + k * kDirDy[dir];
        if (Board::onBoard(x, y) && after.cells[x][y].stone == 2 &&
            lineTypeAt(after.cells[x][y].lineTypes[attacker], dir) == aim &&
            after.cells[x][y].pointType[defender] == Forbidden)
            return;
    }
    // Under exact five a "three" may have no live-four point at all (the
    // open four it aims at would be an overline): nothing to answer then.
    if (!lineHas(after, at, dir, attacker, aim)) return;
    ASSERT_FALSE(list.empty()) << "no defence against line type " << threat;
    if (four) {
        Board answered = after;
        for (Pos p : list) answered.makeMove(p, uint8_t(defender), rule);
        EXPECT_FALSE(lineHas(answered, at, dir, attacker, Five))
            << "a four survives its defences at " << at.x() << "," << at.y() << " dir " << dir;
    } else {
        for (Pos p : list) {
            Board answered = after;
            answered.makeMove(p, uint8_t(defender), rule);
            EXPECT_FALSE(lineHas(answered, at, dir, attacker, LiveFour))
                << "a three survives the defence " << p.x() << "," << p.y() << " of " << at.x() << "," << at.y()
                << " dir " << dir;
        }
    }
}

void checkPosition(const Board& before, const Board& b, GameRule rule) {
    ASSERT_EQ(checkBoardConsistency(b, rule), "");
    const int me = b.sideToMove();

    MoveList candidates;
    const int count = generateCandidates(b, candidates);
    EXPECT_EQ(count, int(candidates.size()));
    expectPlayable(b, candidates, me, "generateCandidates");
    for (const ScoredMove& m : candidates) EXPECT_EQ(m.ownType, b.cell(m.pos).pointType[me]);

    for (int level = FivesOnly; level <= WithThrees; ++level) {
        MoveList all;
        collectThreats(b, level, all);
        expectPlayable(b, all, me, "collectThreats");
        expectSorted(all, "collectThreats");
        for (bool extra : {false, true}) {
            MoveList around;
            collectThreatsAround(b, b.lastMove.pos, level, around, extra);
            expectPlayable(b, around, me, "collectThreatsAround");
            if (b.typeCount[me][Five] == 0) expectSorted(around, "collectThreatsAround");
        }
    }

    EXPECT_EQ(evaluate(b, 0, rule), -evaluate(b, 1, rule));

    for (int dir = 0; dir < kDirCount; ++dir) {
        checkDefences(before, b, b.lastMove.pos, dir, rule);
        PosList doubles;
        collectDefences(b, b.lastMove.pos, DoubleThree, uint8_t(dir), doubles, rule);
        expectPlayable(b, doubles, me, "collectDefences (double threat)");
        for (uint32_t i = 0; i < doubles.size(); ++i)
            for (uint32_t j = i + 1; j < doubles.size(); ++j) EXPECT_FALSE(doubles[i] == doubles[j]) << "duplicate defence";
    }
}

// Plays games from the candidates themselves, so positions are full of
// threats, forced replies and (under renju) forbidden points.
TEST(GeneratorsOnRandomGames, ReturnOnlyPlayablePointsAndConsistentAnswers) {
    std::mt19937 rng(20240611);
    for (GameRule rule : {FreeStyle, ExactFive, Renju})
        for (int size : {15, 20})
            for (int game = 0; game < 8; ++game) {
                Board b = test::emptyBoard(size);
                b.makeMove(Pos(size / 2 + int(rng() % 3) - 1, size / 2 + int(rng() % 3) - 1), 0, rule);
                for (int ply = 0; ply < 70; ++ply) {
                    MoveList moves;
                    if (generateCandidates(b, moves) == 0) break;
                    // Mostly the strongest-looking moves, sometimes any.
                    sortByValue(moves);
                    const uint32_t pick = rng() % 4 == 0 ? rng() % moves.size() : rng() % std::min(moves.size(), 4u);
                    const Board before = b;
                    b.makeMove(moves[pick].pos, uint8_t(b.sideToMove()), rule);
                    checkPosition(before, b, rule);
                    if (HasFatalFailure()) return;
                    if (b.lastMove.chessType == Five) break;
                }
            }
}

}  // namespace
}  // namespace velmor
