#include "protocol/game_context.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "board/evaluation.h"
#include "protocol/brain.h"
#include "protocol/protocol_settings.h"
#include "protocol/send_line.h"

namespace velmor {
namespace {

// Every Board field that the position defines (padding excluded).
void expectSameBoard(const Board& a, const Board& b) {
    for (int x = 0; x < kMaxBoardSize; ++x)
        for (int y = 0; y < kMaxBoardSize; ++y) {
            const Cell &p = a.cells[x][y], &q = b.cells[x][y];
            ASSERT_EQ(p.stone, q.stone) << x << "," << y;
            if (p.stone == 2) {  // line and point types mean something only on empty points
                ASSERT_EQ(p.lineTypes[0], q.lineTypes[0]) << x << "," << y;
                ASSERT_EQ(p.lineTypes[1], q.lineTypes[1]) << x << "," << y;
                ASSERT_EQ(p.pointType[0], q.pointType[0]) << x << "," << y;
                ASSERT_EQ(p.pointType[1], q.pointType[1]) << x << "," << y;
            }
            for (int s = 0; s < 2; ++s)
                for (int d = 0; d < 4; ++d) ASSERT_EQ(p.stoneMask[s][d], q.stoneMask[s][d]) << x << "," << y;
        }
    EXPECT_EQ(a.lastMove, b.lastMove);
    EXPECT_EQ(a.hashKey(), b.hashKey());
    for (int s = 0; s < 2; ++s)
        for (int t = 1; t < ChessTypeCount; ++t) EXPECT_EQ(a.typeCount[s][t], b.typeCount[s][t]) << s << "/" << t;
}

class GameContextTest : public ::testing::Test {
protected:
    void SetUp() override {
        protocolSettings.reset();
        captureRepliesForTesting([this](const std::string& line) { replies.push_back(line); });
    }
    void TearDown() override {
        captureRepliesForTesting({});
        protocolSettings.reset();
        releaseGameContext();
    }
    bool start(int width, int height) {
        protocolSettings.boardWidth = width;
        protocolSettings.boardHeight = height;
        replies.clear();
        return startGame();
    }
    const Board& board() { return *currentGame()->board; }
    const std::vector<MoveRecord>& history() { return currentGame()->history; }

    std::vector<std::string> replies;
};

TEST_F(GameContextTest, StartAcceptsOnlySquare15And20) {
    struct Case {
        int width, height;
        bool accepted;
    } cases[] = {{15, 15, true}, {20, 20, true}, {10, 10, false}, {15, 20, false}, {20, 15, false}, {25, 25, false}, {19, 19, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(start(c.width, c.height), c.accepted) << c.width << "x" << c.height;
        ASSERT_EQ(replies.size(), 1u);
        EXPECT_EQ(replies[0], c.accepted ? "OK" : "ERROR size of the board, only support 15*15 or 20*20");
        ASSERT_NE(currentGame(), nullptr);
        EXPECT_EQ(gameReady(), c.accepted);
        EXPECT_EQ(int(boardSize), c.accepted ? c.width : 15);
        EXPECT_TRUE(history().empty());
        if (c.accepted) {
            EXPECT_EQ(board().lastMove, kNoStoneRecord);
            EXPECT_EQ(board().sideToMove(), 0);
            EXPECT_GE(currentGame()->history.capacity(), 225u);
        }
    }
}

TEST_F(GameContextTest, StonesAlternateAndHistoryRecordsThem) {
    ASSERT_TRUE(start(15, 15));
    const int moves[][2] = {{7, 7}, {8, 8}, {7, 8}};
    for (const auto& m : moves) playMove(m[0], m[1], FreeStyle);
    ASSERT_EQ(history().size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(history()[i].pos, Pos(moves[i][0], moves[i][1]));
        EXPECT_EQ(history()[i].side, i % 2);
        EXPECT_EQ(history()[i].stoneCount, i + 1);
        EXPECT_EQ(board().cells[moves[i][0]][moves[i][1]].stone, i % 2);
    }
    EXPECT_EQ(history().back(), board().lastMove);
    EXPECT_EQ(board().sideToMove(), 1);
    EXPECT_EQ(checkBoardConsistency(board(), FreeStyle), "");
}

TEST_F(GameContextTest, HistoryRecordsThePatternEachMoveCompletes) {
    ASSERT_TRUE(start(15, 15));
    // The first player fills 3..7 on row 2; the second plays far away.
    for (int i = 0; i < 5; ++i) {
        playMove(3 + i, 2, FreeStyle);
        if (i < 4) playMove(3 + i, 12, FreeStyle);
    }
    ASSERT_EQ(history().size(), 9u);
    EXPECT_EQ(history().back().chessType, Five);
    EXPECT_EQ(history().back().side, 0);
    EXPECT_LT(history().front().chessType, DeadThree);  // the first stone completes nothing
}

TEST_F(GameContextTest, PlayOnAnOccupiedPointLeavesHistoryInStep) {
    ASSERT_TRUE(start(15, 15));
    playMove(7, 7, FreeStyle);
    playMove(7, 7, FreeStyle);
    EXPECT_EQ(history().size(), 1u);
    EXPECT_EQ(board().lastMove.stoneCount, 1);
}

TEST_F(GameContextTest, TakeBackRestoresBoardAndHashExactly) {
    for (GameRule rule : {FreeStyle, ExactFive, Renju}) {
        ASSERT_TRUE(start(15, 15));
        const Board empty = board();
        playMove(7, 7, rule);
        const Board afterOne = board();
        playMove(8, 6, rule);
        playMove(6, 8, rule);
        const Board afterThree = board();
        playMove(5, 9, rule);

        takeBack(rule);
        expectSameBoard(board(), afterThree);
        takeBack(rule);
        takeBack(rule);
        expectSameBoard(board(), afterOne);
        EXPECT_EQ(board().sideToMove(), 1);
        takeBack(rule);
        expectSameBoard(board(), empty);
        EXPECT_EQ(board().lastMove, kNoStoneRecord);
        EXPECT_TRUE(history().empty());

        takeBack(rule);  // nothing left: no change
        expectSameBoard(board(), empty);
        EXPECT_EQ(checkBoardConsistency(board(), rule), "");

        playMove(3, 3, rule);  // the first stone again belongs to the first player
        EXPECT_EQ(history().back().side, 0);
    }
}

TEST_F(GameContextTest, RepeatedStartsGiveTheSameKeys) {
    auto hashAfterMoves = [&](int size) {
        EXPECT_TRUE(start(size, size));
        playMove(7, 7, FreeStyle);
        playMove(3, 11, FreeStyle);
        return board().hashKey();
    };
    const uint64_t first = hashAfterMoves(15);
    const uint64_t emptyFirst = [&] {
        EXPECT_TRUE(start(15, 15));
        return board().hashKey();
    }();
    hashAfterMoves(20);
    EXPECT_EQ(hashAfterMoves(15), first);
    ASSERT_TRUE(start(15, 15));
    EXPECT_EQ(board().hashKey(), emptyFirst);
}

TEST_F(GameContextTest, NewGameKeepsTheEngineAndEmptiesTheRest) {
    ASSERT_TRUE(start(20, 20));
    playMove(1, 1, FreeStyle);
    currentGame()->engine = std::make_unique<AIVelmorSearch>();
    AIEngine* engine = currentGame()->engine.get();
    newGame();
    EXPECT_TRUE(history().empty());
    EXPECT_EQ(board().lastMove, kNoStoneRecord);
    EXPECT_TRUE(board().isEmpty(1, 1));
    EXPECT_EQ(currentGame()->engine.get(), engine);
}

TEST(WorkerCount, OneProcessorLeftOnLargerMachines) {
    const int cases[][2] = {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 4}, {8, 7}, {16, 15}, {64, 63}};
    for (const auto& c : cases) EXPECT_EQ(workerCountFor(c[0]), c[1]) << c[0] << " processors";
}

// The brain's move choice on the game context.
class ChooseMoveTest : public GameContextTest {
protected:
    SearchSettings quickSettings() {
        protocolSettings.turnTimeMs = 100;
        protocolSettings.timeLeftMs = 1000;
        protocolSettings.maxMemory = 4000000;
        return searchSettingsNow();
    }
};

TEST_F(ChooseMoveTest, EngineOpensNextToTheCentre) {
    ASSERT_TRUE(start(15, 15));
    EXPECT_EQ(chooseMove(quickSettings()), Pos(6, 6));
    ASSERT_TRUE(start(20, 20));
    EXPECT_EQ(chooseMove(quickSettings()), Pos(9, 9));
    EXPECT_EQ(currentGame()->engine, nullptr);  // no search ran
}

TEST_F(ChooseMoveTest, LoneCentreStoneIsAnsweredByANeighbour) {
    for (int size : {15, 20}) {
        ASSERT_TRUE(start(size, size));
        const int c = size / 2;
        playMove(c, c, FreeStyle);
        Pos move = chooseMove(quickSettings());
        EXPECT_LE(std::abs(move.x() - c), 1);
        EXPECT_LE(std::abs(move.y() - c), 1);
        EXPECT_FALSE(move == Pos(c, c));
        EXPECT_EQ(currentGame()->engine, nullptr);
    }
}

TEST_F(ChooseMoveTest, OwnMoveIsCheckedBeforeItIsPlayed) {
    ASSERT_TRUE(start(15, 15));
    playMove(7, 7, FreeStyle);
    struct Case {
        Pos move;
        std::vector<std::string> replies;
        std::size_t historyAfter;
    } cases[] = {
        {Pos(7, 7), {"ERROR my move [7,7]", "7,7"}, 1},
        {Pos(15, 3), {"ERROR my move [15,3]", "15,3"}, 1},
        {Pos(-1, 0), {"ERROR my move [-1,0]", "-1,0"}, 1},
        {Pos(8, 7), {"8,7"}, 2},
    };
    for (const Case& c : cases) {
        replies.clear();
        playOwnMove(c.move);
        EXPECT_EQ(replies, c.replies);
        EXPECT_EQ(history().size(), c.historyAfter);
    }
    EXPECT_EQ(history().back().side, 1);
}

TEST(NeighbourOfCentre, OffsetsFollowTheDrawnIndex) {
    // The index is the first mt19937 output AND 7; offsets 0..7 are
    // (0,-1) (0,+1) (-1,0) (+1,0) (-1,-1) (+1,+1) (+1,-1) (-1,+1).
    const int dx[8] = {0, 0, -1, 1, -1, 1, 1, -1}, dy[8] = {-1, 1, 0, 0, -1, 1, -1, 1};
    std::set<unsigned> seen;
    for (uint32_t seed = 0; seen.size() < 8 && seed < 1000; ++seed) {
        const unsigned k = std::mt19937(seed)() & 7;
        seen.insert(k);
        EXPECT_EQ(neighbourOfCentre(Pos(7, 7), seed), Pos(7 + dx[k], 7 + dy[k])) << "seed " << seed;
    }
    EXPECT_EQ(seen.size(), 8u);
    // The default-seeded generator's first output, 3499211612, gives k = 4.
    EXPECT_EQ(neighbourOfCentre(Pos(10, 10), 5489), Pos(9, 9));
}

TEST_F(ChooseMoveTest, EveryOtherPositionAsksTheEngineOnACopy) {
    ASSERT_TRUE(start(15, 15));
    playMove(6, 6, FreeStyle);  // not the centre: the search decides
    const Board before = board();
    Pos move = chooseMove(quickSettings());
    EXPECT_TRUE(Board::onBoard(move.x(), move.y()));
    EXPECT_TRUE(board().isEmpty(move.x(), move.y()));
    EXPECT_NE(currentGame()->engine, nullptr);
    expectSameBoard(board(), before);  // the search played on its own copy
}

// The start of a game builds every table the board and the evaluation
// read. (Each test runs in a process of its own, so nothing was built
// before.) Without the evaluation's index every point was worth nothing and
// the engine played on tactics alone.
TEST_F(GameContextTest, StartBuildsTheEvaluationTables) {
    ASSERT_TRUE(start(15, 15));
    Board b;
    newBoard(b);
    b.makeMove(Pos(7, 7), 0, FreeStyle);
    EXPECT_NE(evalEntry(b.cells[7][8], 0), 0);
    EXPECT_NE(evaluate(b, 0, FreeStyle), evaluate(b, 1, FreeStyle));
}

}  // namespace
}  // namespace velmor
