#include <gtest/gtest.h>

#include <vector>

#include "board/evaluation.h"
#include "support/positions.h"

namespace velmor {
namespace {

using test::placeStones;
using test::Stone;

constexpr int B = 0, W = 1;

struct XY {
    int x, y;
};

std::vector<Stone> blackStones(const std::vector<XY>& points) {
    std::vector<Stone> out;
    for (XY p : points) out.push_back({p.x, p.y, B});
    return out;
}

TEST(Evaluate, EmptyBoardIsTheTempo) {
    for (int size : {15, 20}) {
        const Board b = test::emptyBoard(size);
        EXPECT_EQ(evaluate(b, 0), 60) << size;
        EXPECT_EQ(evaluate(b, 1), -60) << size;
    }
}

TEST(Evaluate, LoneStoneCountsItsTwosForTheSideThatPlayedIt) {
    // Black at the centre, white to move: eight live twos (6 each) and eight
    // twos (2 each) for black, nothing for white.
    const Board b = test::playMoves(15, FreeStyle, {Pos(7, 7)});
    EXPECT_EQ(evaluate(b, W), 0 - 64 + 60);
    EXPECT_EQ(evaluate(b, B), 64 - 0 - 60);
}

TEST(Evaluate, ForbiddenPointsCostTenToTheRestrictedSide) {
    // Black's (7,7) makes two threes: a double three under free-style, a
    // forbidden point under renju. Nothing else differs between the rules for
    // these stones, so the scores differ by that point's weights alone.
    const auto stones = blackStones({{7, 5}, {7, 6}, {5, 7}, {6, 7}});
    struct Case {
        int toMove;
        int difference;  // free-style minus renju, for black
    };
    for (const Case c : {Case{B, 100 - -10}, Case{W, 30 - -10}}) {
        const Board free = placeStones(15, FreeStyle, stones, c.toMove);
        const Board renju = placeStones(15, Renju, stones, c.toMove);
        ASSERT_EQ(free.cells[7][7].pointType[B], DoubleThree);
        ASSERT_EQ(renju.cells[7][7].pointType[B], Forbidden);
        ASSERT_EQ(renju.typeCount[B][Forbidden], 1);
        EXPECT_EQ(evaluate(free, B) - evaluate(renju, B), c.difference) << "to move " << c.toMove;
        EXPECT_EQ(typeFactor(renju, Pos(7, 7), B), 1.0);
        EXPECT_EQ(typeFactor(free, Pos(7, 7), B), 1.0);
    }
}

TEST(TypeFactor, WorkedExamples) {
    struct Case {
        const char* name;
        std::vector<Stone> stones;
        ChessType type;
        double factor;
        int contribution;  // truncated factor x weight
    };
    const Case cases[] = {
        // A three up the column; the row and one diagonal open without
        // support; the other diagonal closed on one side by white (8,6).
        {"one side closed", {{7, 9, B}, {7, 10, B}, {8, 6, W}}, LiveThree, 0.8, 9},
        // A three up the column; both row neighbours are four points for
        // black (diagonals (3,4)-(7,8) and (11,4)-(7,8)): 1.2 x 1.2.
        {"supported both ways",
         blackStones({{7, 8}, {7, 9}, {3, 4}, {4, 5}, {10, 5}, {11, 4}}),
         WideThree,
         1.44,
         17},
    };
    for (const Case& c : cases) {
        const Board b = placeStones(15, FreeStyle, c.stones, W);
        ASSERT_EQ(b.cells[7][7].pointType[B], c.type) << c.name;
        const double factor = typeFactor(b, Pos(7, 7), B);
        EXPECT_DOUBLE_EQ(factor, c.factor) << c.name;
        EXPECT_EQ(int(factor * 12), c.contribution) << c.name;
    }
}

// The factor read the slow way, point by point along each line, from the
// stones and point types alone; the engine's version works on stone masks.
double factorByWalking(const Board& b, Pos p, int s) {
    const Cell& cell = b.cell(p);
    const int t = cell.pointType[s];
    if (t < LiveThree || t > RushFourPlus) return 1.0;
    double h = 1.0;
    bool found = false;
    for (int j = 0; j < 4; ++j) {
        const int n = (cell.lineTypes[s] >> (4 * j)) & 0xF;
        if (!found && n == t) {
            found = true;
        } else if (n > WeakTwo) {
            h += 0.5;
        } else {
            double x = 1.0;
            int open = 0;
            for (int sign : {-1, 1}) {
                bool blocked = false;
                for (int k = 1; k <= 2 && !blocked; ++k) {
                    const int qx = p.x() + sign * k * kDirDx[j], qy = p.y() + sign * k * kDirDy[j];
                    if (!Board::onBoard(qx, qy) || b.cells[qx][qy].stone == 1 - s) blocked = true;
                    else if (b.cells[qx][qy].stone == 2 && b.cells[qx][qy].pointType[s] > DeadThree) x *= 1.2;
                }
                open += !blocked;
            }
            h *= open == 0 ? 0.7 : open == 1 ? 0.8 : x;
        }
    }
    return h;
}

// Every single three or four of both sides on real positions, near the edges
// and among other shapes: closed lines, shaped lines and supporting points
// all occur there.
TEST(TypeFactor, AgreesWithAWalkAlongEachLine) {
    int compared = 0;
    for (const char* file : {"vct_renju_quintet.txt", "vcf_renju_quintet.txt", "vcf_renju_lfz084.txt"})
        for (const auto& data : test::loadDataCases(file)) {
            const Board b = data.board();
            for (int x = 0; x < data.size; ++x)
                for (int y = 0; y < data.size; ++y) {
                    if (b.cells[x][y].stone != 2) continue;
                    for (int s = 0; s < 2; ++s) {
                        const int t = b.cells[x][y].pointType[s];
                        compared += t >= LiveThree && t <= RushFourPlus;
                        EXPECT_DOUBLE_EQ(typeFactor(b, Pos(x, y), s), factorByWalking(b, Pos(x, y), s))
                            << data.id << " (" << x << "," << y << ") side " << s;
                    }
                }
        }
    EXPECT_GT(compared, 1000);
}

// The score is the per-point, per-side truncated sum of the weights: checked
// against a plain recomputation on real renju positions.
TEST(Evaluate, SumsTruncatedPointScores) {
    constexpr int weight[15][2] = {{0, 0},   {0, 0},    {2, 2},    {6, 6},   {2, 2},     {12, 12},  {12, 12}, {18, 18},
                                   {26, 26}, {100, 30}, {200, 50}, {400, 50}, {200, 20}, {1000, 50}, {-10, -10}};
    const auto cases = test::loadDataCases("vct_renju_quintet.txt");
    ASSERT_FALSE(cases.empty());
    for (const auto& data : cases) {
        const Board b = data.board();
        const int me = b.sideToMove(), opp = 1 - me;
        int sumMe = 0, sumOpp = 0;
        for (int x = 0; x < data.size; ++x)
            for (int y = 0; y < data.size; ++y) {
                const Cell& c = b.cells[x][y];
                if (c.stone != 2) continue;
                sumMe += int(typeFactor(b, Pos(x, y), me) * weight[c.pointType[me]][0]);
                sumOpp += int(typeFactor(b, Pos(x, y), opp) * weight[c.pointType[opp]][1]);
            }
        EXPECT_EQ(evaluate(b, me), sumMe - sumOpp + 60) << data.id;
        EXPECT_EQ(evaluate(b, opp), -(sumMe - sumOpp + 60)) << data.id;
    }
}

}  // namespace
}  // namespace velmor
