#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "board/board.h"
#include "board/patterns.h"
#include "support/positions.h"

namespace velmor {
namespace {

bool sameBytes(const Board& a, const Board& b) { return std::memcmp(&a, &b, sizeof(Board)) == 0; }

// Equal but for the renju watch marks, which may outlive the verdicts that
// set them, and the note of the last stone placed or taken.
bool sameButWatchMarks(Board a, Board b) {
    for (Board* board : {&a, &b}) {
        for (auto& column : board->cells)
            for (Cell& c : column) c.foulMark &= kFoulFlagged;
        board->lineWatchedPoints = {};
        board->foulStoneAt = Pos();
        board->foulStoneSide = 0;
    }
    return sameBytes(a, b);
}

TEST(Board, EmptyBoardIsConsistent) {
    for (int size : {15, 20}) {
        const Board board = test::emptyBoard(size);
        EXPECT_EQ(checkBoardConsistency(board, Renju), "") << size;
        for (int x = 0; x < size; ++x)
            for (int y = 0; y < size; ++y) {
                const Cell& c = board.cells[x][y];
                ASSERT_TRUE(c.stone == 2 && c.lineTypes[0] == 0 && c.lineTypes[1] == 0 && c.pointType[0] == None &&
                            c.pointType[1] == None);
            }
        EXPECT_EQ(board.sideToMove(), 0);
        EXPECT_EQ(board.lastMove, kNoStoneRecord);
    }
    // Only the used points enter the hash, so the two sizes differ.
    EXPECT_NE(test::emptyBoard(15).hashKey(), test::emptyBoard(20).hashKey());
}

TEST(Board, CornerMasksAreWalls) {
    struct Case {
        int x, y;
        uint8_t mask[4];
    };
    const Case cases[] = {
        {0, 0, {0xF0, 0xF0, 0xF0, 0xFF}},
        {14, 14, {0x0F, 0x0F, 0x0F, 0xFF}},
        {0, 14, {0x0F, 0xF0, 0xFF, 0x0F}},
        {14, 0, {0xF0, 0x0F, 0xFF, 0xF0}},
        {2, 7, {0x00, 0xC0, 0xC0, 0x03}},
        {7, 12, {0x03, 0x00, 0x03, 0x03}},
    };
    const Board board = test::emptyBoard(15);
    for (const Case& c : cases)
        for (int side = 0; side < 2; ++side)
            for (int d = 0; d < 4; ++d)
                EXPECT_EQ(board.cells[c.x][c.y].stoneMask[side][d], c.mask[d])
                    << "(" << c.x << "," << c.y << ") side " << side << " direction " << d;
}

TEST(Board, StonesOnTheEdgeTouchOnlyTheUsedCorner) {
    Board board = test::emptyBoard(15);
    const Board before = board;
    for (Pos p : {Pos(0, 0), Pos(14, 14), Pos(0, 14), Pos(14, 0), Pos(7, 14), Pos(14, 7)})
        ASSERT_TRUE(board.makeMove(p, uint8_t(board.sideToMove()), FreeStyle));
    EXPECT_EQ(checkBoardConsistency(board, FreeStyle), "");
    for (int x = 0; x < kMaxBoardSize; ++x)
        for (int y = 0; y < kMaxBoardSize; ++y) {
            if (x < 15 && y < 15) continue;
            ASSERT_EQ(std::memcmp(&board.cells[x][y], &before.cells[x][y], sizeof(Cell)), 0) << x << "," << y;
        }
}

TEST(Board, WalksStopAtDistanceFour) {
    Board board = test::playMoves(15, FreeStyle, {Pos(7, 7)});
    const Cell centre = board.cells[7][7];
    for (Pos p : {Pos(7, 12), Pos(12, 7), Pos(12, 12), Pos(2, 12), Pos(7, 2), Pos(2, 7), Pos(2, 2), Pos(12, 2)})
        ASSERT_TRUE(board.makeMove(p, uint8_t(board.sideToMove()), FreeStyle));
    EXPECT_EQ(std::memcmp(&centre, &board.cells[7][7], sizeof(Cell)), 0);
    EXPECT_EQ(checkBoardConsistency(board, FreeStyle), "");
}

TEST(Board, MakeMoveOnAnOccupiedPointChangesNothing) {
    Board board = test::playMoves(15, Renju, {Pos(7, 7), Pos(8, 8)});
    const Board before = board;
    EXPECT_FALSE(board.makeMove(Pos(7, 7), 0, Renju));
    EXPECT_FALSE(board.makeMove(Pos(8, 8), 0, Renju));
    EXPECT_TRUE(sameBytes(board, before));
    EXPECT_EQ(board.lastMove.stoneCount, 2);
}

TEST(Board, MakeMoveRecordsTheMove) {
    Board board = test::playMoves(15, FreeStyle, {Pos(7, 7), Pos(0, 0), Pos(8, 7), Pos(0, 1)});
    const uint8_t before = board.cells[9][7].pointType[0];
    ASSERT_EQ(before, WideThree);  // ..oo_.. : three in a row with room both ways
    ASSERT_TRUE(board.makeMove(Pos(9, 7), 0, FreeStyle));
    EXPECT_EQ(board.lastMove, (MoveRecord{Pos(9, 7), 5, WideThree, 0}));
    EXPECT_EQ(board.sideToMove(), 1);
}

TEST(Board, RemoveStoneGuards) {
    Board board = test::playMoves(15, FreeStyle, {Pos(7, 7)});
    const Board before = board;
    board.removeStone(Pos(3, 3), kNoStoneRecord, FreeStyle);  // empty point
    EXPECT_TRUE(sameBytes(board, before));
    board.lastMove.stoneCount = 0;  // a board that claims to hold no stone
    const Board zero = board;
    board.removeStone(Pos(7, 7), kNoStoneRecord, FreeStyle);
    EXPECT_TRUE(sameBytes(board, zero));
}

// Taking back the stones on the box's edges, down to none: the box shrinks
// to the stones that are left, and to "no stone" at the end.
TEST(Board, TakeBacksShrinkTheStoneBox) {
    const std::vector<Pos> moves = {Pos(7, 7), Pos(3, 9), Pos(11, 5), Pos(7, 12), Pos(2, 2)};
    Board board = test::playMoves(15, Renju, moves);
    std::vector<Board> before(moves.size());
    for (size_t n = 0; n < moves.size(); ++n) before[n] = test::playMoves(15, Renju, {moves.begin(), moves.begin() + n});
    for (size_t n = moves.size(); n-- > 0;) {
        board.removeStone(moves[n], before[n].lastMove, Renju);
        EXPECT_EQ(checkBoardConsistency(board, Renju), "") << n << " stones";
        EXPECT_EQ(std::vector<uint8_t>(board.stoneBox, board.stoneBox + 4),
                  std::vector<uint8_t>(before[n].stoneBox, before[n].stoneBox + 4))
            << n << " stones";
    }
}

TEST(Board, SixInARowUnderEachRule) {
    // Stones at x = 2,3,4 and 6,7 on row 7: a stone at (5,7) makes six.
    struct Case {
        GameRule rule;
        ChessType side0, side1;
    };
    const Case cases[] = {
        {FreeStyle, Five, Five},
        {ExactFive, None, None},
        {Renju, Forbidden, Five},
    };
    for (const Case& c : cases)
        for (int side = 0; side < 2; ++side) {
            std::vector<test::Stone> stones;
            for (int x : {2, 3, 4, 6, 7}) stones.push_back({x, 7, side});
            const Board board = test::placeStones(15, c.rule, stones, side);
            EXPECT_EQ(board.cells[5][7].pointType[side], side ? c.side1 : c.side0) << "rule " << int(c.rule)
                                                                                   << " side " << side;
        }
}

TEST(Board, PlaceGroupIsOnePly) {
    Board board = test::playMoves(15, Renju, {Pos(7, 7), Pos(8, 8), Pos(6, 6)});
    const uint64_t hash = board.hashKey();
    const MoveRecord last = board.lastMove;
    const Pos group[] = {Pos(9, 9), Pos(10, 10), Pos(5, 9)};
    ASSERT_TRUE(board.placeGroup(group, 3, Renju));
    EXPECT_EQ(board.lastMove.stoneCount, last.stoneCount + 1);
    EXPECT_EQ(board.lastMove.side, 1);
    EXPECT_EQ(board.lastMove.pos, Pos(9, 9));
    EXPECT_EQ(board.lastMove.chessType, last.chessType);
    EXPECT_EQ(board.hashKey(), hash);
    for (Pos p : group) EXPECT_EQ(board.cell(p).stone, 1);
    EXPECT_EQ(checkBoardConsistency(board, Renju, false), "");

    const Board before = board;
    EXPECT_FALSE(board.placeGroup(group, 0, Renju));
    EXPECT_TRUE(sameBytes(board, before));
}

TEST(Board, MainDirection) {
    // Side 0: a live three along direction 1 (x) and a rush four along
    // direction 0 (y) through (7,7); side 1 a three along y at (10,9).
    const std::vector<test::Stone> stones = {{5, 7, 0}, {6, 7, 0}, {7, 3, 1}, {7, 4, 0}, {7, 5, 0}, {7, 6, 0},
                                             {10, 10, 1}, {10, 8, 1}};
    const Board board = test::placeStones(15, FreeStyle, stones, 0);
    const Pos p(7, 7);
    ASSERT_EQ(board.cell(p).pointType[0], FourThree);
    EXPECT_EQ(board.mainDirection(p, 0), 0) << "the four is the strongest line";
    const Pos q(10, 9);
    ASSERT_EQ(board.cell(q).pointType[1], WideThree);
    EXPECT_EQ(board.mainDirection(q, 1), 0);
    EXPECT_EQ(board.mainDirection(Pos(0, 14), 1), 0) << "nothing anywhere: direction 0";
}

// Takes the last move of `history` back.
void takeBack(Board& board, std::vector<MoveRecord>& history, GameRule rule) {
    const MoveRecord undone = history.back();
    history.pop_back();
    board.removeStone(undone.pos, history.empty() ? kNoStoneRecord : history.back(), rule);
}

// Random games that keep to the neighbourhood of earlier stones, so that
// lines fill up with threes, fours, fives and overlines, with take-backs in
// between. After every step the board must equal a recomputation from its
// stones, and a move played and taken back must leave no trace at all.
// The searches copy the used corner and the fields beside it into boards
// that held anything before: what they then play must be what a whole copy
// plays, on either size and whatever lay past the corner.
TEST(Board, CopiedPositionPlaysLikeAWholeCopy) {
    std::mt19937 random(4711);
    for (GameRule rule : {FreeStyle, Renju})
        for (int size : {15, 20}) {
            Board board = test::emptyBoard(size);
            for (int ply = 0; ply < 60; ++ply) {
                Board copy;
                std::memset(static_cast<void*>(&copy), 0x5A ^ ply, sizeof copy);
                copyPosition(copy, board);
                Pos p;
                do p = Pos(int(random() % size), int(random() % 7) + size / 2 - 3);
                while (!board.isEmpty(p.x(), p.y()));
                const uint8_t side = uint8_t(board.sideToMove());
                ASSERT_TRUE(board.makeMove(p, side, rule));
                ASSERT_TRUE(copy.makeMove(p, side, rule));
                const std::size_t corner = sizeof(Cell) * kMaxBoardSize * std::size_t(size);
                ASSERT_EQ(std::memcmp(&copy, &board, corner), 0) << size << " ply " << ply;
                ASSERT_EQ(std::memcmp(&copy.lastMove, &board.lastMove, sizeof(Board) - sizeof(Board::cells)), 0)
                    << size << " ply " << ply;
            }
        }
}

TEST(Board, IncrementalStateMatchesRecomputation) {
    std::mt19937 random(20240611);
    int checks = 0;
    bool seen[ChessTypeCount] = {};
    for (GameRule rule : {FreeStyle, ExactFive, Renju})
        for (int size : {15, 20})
            for (int game = 0; game < 3; ++game) {
                Board board = test::emptyBoard(size);
                std::vector<MoveRecord> history;
                const int length = size * size / 2;
                for (int step = 0; step < length; ++step) {
                    if (!history.empty() && random() % 5 == 0) {
                        takeBack(board, history, rule);
                    } else {
                        Pos p;
                        do {
                            if (history.empty() || random() % 8 == 0) {
                                p = Pos(int(random() % size), int(random() % size));
                            } else {
                                const Pos near = history[random() % history.size()].pos;
                                const int x = near.x() + int(random() % 5) - 2, y = near.y() + int(random() % 5) - 2;
                                p = Pos(std::clamp(x, 0, size - 1), std::clamp(y, 0, size - 1));
                            }
                        } while (!board.isEmpty(p.x(), p.y()));

                        const Board before = board;
                        const uint8_t side = uint8_t(board.sideToMove());
                        ASSERT_TRUE(board.makeMove(p, side, rule));
                        Board undone = board;
                        undone.removeStone(p, before.lastMove, rule);
                        ASSERT_TRUE(sameButWatchMarks(undone, before)) << "take-back left a trace at step " << step;
                        history.push_back(board.lastMove);
                    }
                    const std::string problem = checkBoardConsistency(board, rule);
                    ASSERT_EQ(problem, "") << "rule " << int(rule) << " size " << size << " game " << game << " step "
                                           << step;
                    ++checks;
                    for (int t = 1; t < ChessTypeCount; ++t) seen[t] |= board.typeCount[0][t] | board.typeCount[1][t];
                }
            }
    EXPECT_GT(checks, 1000);
    for (int t = 1; t < ChessTypeCount; ++t) EXPECT_TRUE(seen[t]) << "no point of type " << t << " was ever checked";
}

// Renju games crowded into the corners and along the edges, where black's
// shapes flag many points and the lines are cut short: every verdict and its
// marks stay exact move after move and through take-backs. (The far corner
// holds the highest point indexes, where the window the moves read of the
// marked points ends.)
TEST(Board, RenjuVerdictsStayExactInCrowdedGames) {
    std::mt19937 random(4242);
    int flaggedSteps = 0;
    for (int size : {15, 20})
        for (int game = 0; game < 10; ++game) {
            Board board = test::emptyBoard(size);
            std::vector<MoveRecord> history;
            const int cx = game % 2 ? 2 : size - 3, cy = game % 3 == 0 ? size / 2 : game % 3 == 1 ? 3 : size - 3;
            for (int step = 0; step < 70; ++step) {
                if (!history.empty() && random() % 6 == 0) {
                    takeBack(board, history, Renju);
                } else {
                    Pos p;
                    int tries = 0;
                    do {
                        p = Pos(std::clamp(cx + int(random() % 9) - 4, 0, size - 1),
                                std::clamp(cy + int(random() % 9) - 4, 0, size - 1));
                    } while (!board.isEmpty(p.x(), p.y()) && ++tries < 200);
                    if (tries == 200) break;
                    ASSERT_TRUE(board.makeMove(p, uint8_t(board.sideToMove()), Renju));
                    history.push_back(board.lastMove);
                }
                ASSERT_EQ(checkBoardConsistency(board, Renju), "") << size << " game " << game << " step " << step;
                flaggedSteps += board.flaggedPoints.any();
            }
        }
    EXPECT_GT(flaggedSteps, 200);  // the games do reach the foul bookkeeping
}

// Groups of stones played as one ply keep the pattern data exact (the hash
// is left alone by design).
TEST(Board, PlaceGroupKeepsPatternsConsistent) {
    std::mt19937 random(77);
    for (GameRule rule : {FreeStyle, ExactFive, Renju}) {
        Board board = test::emptyBoard(15);
        // The 9x9 middle keeps the stones close; 15 plies of at most three
        // stones fill at most 45 of its 81 points.
        std::vector<Pos> free;
        for (int x = 3; x < 12; ++x)
            for (int y = 3; y < 12; ++y) free.push_back(Pos(x, y));
        std::shuffle(free.begin(), free.end(), random);
        for (int ply = 0; ply < 15; ++ply) {
            const int count = 1 + int(random() % 3);
            const Pos* group = &free[free.size() - count];
            ASSERT_TRUE(board.placeGroup(group, count, rule));
            free.resize(free.size() - count);
            ASSERT_EQ(checkBoardConsistency(board, rule, false), "") << "rule " << int(rule) << " ply " << ply;
        }
    }
}

// The scans read only the stones' box and four points around it, cut at the
// edges; a take-back of the stone that set an edge of the box shrinks it.
TEST(Board, ShapeAreaIsTheStoneBoxAndFourAround) {
    struct Case {
        int size;
        const char* moves;
        Board::ScanArea area;
    } cases[] = {
        {15, "", {0, 0, 0, 0}},
        {15, "7,7", {3, 12, 3, 12}},
        {15, "7,7 9,2", {3, 14, 0, 12}},
        {20, "0,0 19,19", {0, 20, 0, 20}},
        {20, "2,17 5,9", {0, 10, 5, 20}},
    };
    for (const Case& c : cases) {
        Board board = test::playMoves(c.size, FreeStyle, test::parsePoints(c.moves));
        const Board::ScanArea a = board.shapeArea();
        EXPECT_EQ(a.x0, c.area.x0) << c.moves;
        EXPECT_EQ(a.x1, c.area.x1) << c.moves;
        EXPECT_EQ(a.y0, c.area.y0) << c.moves;
        EXPECT_EQ(a.y1, c.area.y1) << c.moves;
    }
    Board board = test::playMoves(15, FreeStyle, test::parsePoints("7,7 9,2"));
    board.removeStone(Pos(9, 2), MoveRecord{Pos(7, 7), 1, 0, 0}, FreeStyle);
    EXPECT_EQ(board.shapeArea().y0, 3);
    EXPECT_EQ(board.shapeArea().x1, 12);
}

TEST(Board, HashDependsOnStonesNotOnOrder) {
    const Board a = test::playMoves(15, Renju, {Pos(7, 7), Pos(8, 8), Pos(6, 6), Pos(9, 9)});
    const Board b = test::playMoves(15, Renju, {Pos(6, 6), Pos(9, 9), Pos(7, 7), Pos(8, 8)});
    const Board c = test::playMoves(15, Renju, {Pos(8, 8), Pos(7, 7), Pos(9, 9), Pos(6, 6)});  // colours swapped
    EXPECT_EQ(a.hashKey(), b.hashKey());
    EXPECT_NE(a.hashKey(), c.hashKey());
}

// The key a search looks up before making a move is the key the move gives.
TEST(Board, KeyAfterAMoveIsKnownBeforeIt) {
    const Board board = test::playMoves(20, FreeStyle, {Pos(7, 7), Pos(8, 8), Pos(19, 0)});
    for (const Pos p : {Pos(0, 0), Pos(7, 8), Pos(19, 19), Pos(10, 3)})
        for (int side = 0; side < 2; ++side) {
            Board next = board;
            ASSERT_TRUE(next.makeMove(p, uint8_t(side), FreeStyle));
            EXPECT_EQ(board.hashKeyAfter(p, side), next.hashKey()) << p.x() << "," << p.y() << " side " << side;
        }
}

}  // namespace
}  // namespace velmor
