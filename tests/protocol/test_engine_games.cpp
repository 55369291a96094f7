// The real search behind the protocol: forced wins and forced blocks answered
// through BOARD, one engine process reused for game after game, and the
// match clock honoured move by move.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "board/board.h"
#include "protocol/engine_process.h"
#include "support/positions.h"

namespace velmor::test {
namespace {

using Clock = std::chrono::steady_clock;

std::string point(Pos p) { return std::to_string(p.x()) + "," + std::to_string(p.y()); }

// The engine's next move line, with the time it took since `since`.
bool readMove(EngineProcess& engine, Pos& move, int& ms, Clock::time_point since, Millis limit = Millis(20000)) {
    auto line = engine.readLine(limit);
    if (!line) return false;
    int x, y;
    char tail;
    if (std::sscanf(line->c_str(), "%d,%d%c", &x, &y, &tail) != 2) {
        ADD_FAILURE() << "not a move: " << *line;
        return false;
    }
    move = Pos(x, y);
    ms = int(std::chrono::duration_cast<Millis>(Clock::now() - since).count());
    return true;
}

void startGame(EngineProcess& engine, int size, int infoRule, const std::vector<std::string>& info) {
    ASSERT_TRUE(engine.writeLine("START " + std::to_string(size)));
    EXPECT_EQ(engine.readLine(Millis(10000)), std::optional<std::string>("OK"));
    ASSERT_TRUE(engine.writeLine("INFO rule " + std::to_string(infoRule)));
    for (const std::string& line : info) ASSERT_TRUE(engine.writeLine(line));
}

// Sends `moves` (playing order, black first) as a BOARD block to the side to
// move after them and returns the engine's answer.
Pos answerTo(EngineProcess& engine, const std::vector<Pos>& moves, int* ms = nullptr) {
    const size_t toMove = moves.size() % 2;
    std::vector<std::string> block = {"BOARD"};
    for (size_t i = 0; i < moves.size(); ++i) block.push_back(point(moves[i]) + (i % 2 == toMove ? ",1" : ",2"));
    EXPECT_TRUE(engine.writeLines(block));
    const auto since = Clock::now();
    EXPECT_TRUE(engine.writeLine("DONE"));
    Pos move(0xFFFF);
    int took = 0;
    EXPECT_TRUE(readMove(engine, move, took, since));
    if (ms) *ms = took;
    return move;
}

TEST(EngineGames, ForcedWinsAndBlocksInOneProcess) {
    EngineProcess engine;
    ASSERT_TRUE(engine.started());
    const auto problems = loadDataCases("vcf_renju_lfz084.txt");
    const std::vector<std::string> info = {"INFO timeout_turn 1000", "INFO time_left 1000000000"};
    // START after START, no END in between: each problem is a new game.
    for (int i : {0, 2, 4, 6, 9}) {
        const DataCase& c = problems[i];
        SCOPED_TRACE(c.id);
        startGame(engine, 15, 4, info);
        const Pos move = answerTo(engine, c.moves);
        EXPECT_NE(std::find(c.best.begin(), c.best.end(), move), c.best.end()) << point(move);

        // The winner's first four: the engine, defending now, must block.
        std::vector<Pos> threatened = c.moves;
        threatened.push_back(c.line[0]);
        const Board b = playMoves(15, Renju, threatened);
        ASSERT_GT(b.typeCount[1 - b.sideToMove()][Five], 0);
        startGame(engine, 15, 4, info);
        const Pos block = answerTo(engine, threatened);
        ASSERT_TRUE(Board::onBoard(block.x(), block.y()));
        EXPECT_EQ(b.cell(block).stone, 2);
        EXPECT_TRUE(b.cell(block).pointType[1 - b.sideToMove()] == Five || b.cell(block).pointType[b.sideToMove()] == Five)
            << point(block);
    }
    // A different size and rule in the same process, then a free-style block.
    startGame(engine, 20, 0, info);
    const std::vector<Pos> four = {Pos(9, 9), Pos(3, 3), Pos(10, 9), Pos(3, 4), Pos(11, 9), Pos(15, 15), Pos(12, 9)};
    const Pos block = answerTo(engine, four);
    EXPECT_TRUE(block == Pos(8, 9) || block == Pos(13, 9)) << point(block);
    ASSERT_TRUE(engine.writeLine("END"));
    EXPECT_EQ(engine.waitExit(Millis(10000)), std::optional<int>(0));
}

// The only block of a five is forbidden to black: the game is lost either
// way, but a foul would lose it on the spot, so the answer is a legal point.
TEST(EngineGames, ForbiddenBlockIsNeverPlayed) {
    EngineProcess engine;
    ASSERT_TRUE(engine.started());
    startGame(engine, 15, 4, {"INFO timeout_turn 1000"});
    // Black: row 7 at 4,5,6 and 8,9 (7,7 would be six); white: four on
    // column 7 from 8 to 11, black at 7,12. Played in an alternating order.
    const std::vector<Pos> moves = {Pos(4, 7), Pos(7, 8), Pos(5, 7), Pos(7, 9), Pos(6, 7), Pos(7, 10),
                                    Pos(8, 7), Pos(0, 0), Pos(7, 12), Pos(7, 11), Pos(9, 7), Pos(14, 14)};
    // After these, black is to move: (7,7) blocks white's five and is an overline.
    const Board b = playMoves(15, Renju, moves);
    ASSERT_EQ(b.sideToMove(), 0);
    ASSERT_EQ(b.cells[7][7].pointType[1], Five);
    ASSERT_EQ(b.cells[7][7].pointType[0], Forbidden);
    const Pos answer = answerTo(engine, moves);
    ASSERT_TRUE(Board::onBoard(answer.x(), answer.y()));
    EXPECT_TRUE(b.isEmpty(answer.x(), answer.y())) << point(answer);
    EXPECT_NE(b.cell(answer).pointType[0], Forbidden) << point(answer);
}

// Black to move, white has O.OOO and the gap is the only block. Where the
// gap is a double three, the game is lost but a foul would lose it on the
// spot: any legal point will do. Where it only looks like one (the row's
// three would make six on either four), black must block there.
TEST(EngineGames, BlockOfAFiveOnADoubleThreePoint) {
    struct Case {
        const char* black;
        const char* white;
        Pos gap;
        bool foul;
    };
    const Case cases[] = {
        {"4,4 4,5 5,4 6,5", "3,3 5,3 6,3 7,3", Pos(4, 3), true},
        {"7,9 8,9 9,7 9,8", "8,8 10,10 11,11 12,12", Pos(9, 9), true},
        {"6,7 7,7 9,7 12,7 14,7 11,8 11,9", "8,4 9,5 10,6 12,8 0,0 14,0 0,14", Pos(11, 7), false},
    };
    EngineProcess engine;
    ASSERT_TRUE(engine.started());
    for (const Case& c : cases) {
        const std::vector<Pos> black = parsePoints(c.black), white = parsePoints(c.white);
        std::vector<Pos> moves;
        for (size_t i = 0; i < black.size(); ++i) moves.insert(moves.end(), {black[i], white[i]});
        const Board b = playMoves(15, Renju, moves);
        ASSERT_EQ(b.sideToMove(), 0);
        ASSERT_EQ(b.cell(c.gap).pointType[1], Five);
        ASSERT_EQ(b.cell(c.gap).pointType[0] == Forbidden, c.foul) << point(c.gap);
        startGame(engine, 15, 4, {"INFO timeout_turn 1000"});
        const Pos answer = answerTo(engine, moves);
        ASSERT_TRUE(Board::onBoard(answer.x(), answer.y()));
        EXPECT_TRUE(b.isEmpty(answer.x(), answer.y())) << point(answer);
        if (c.foul) EXPECT_NE(b.cell(answer).pointType[0], Forbidden) << point(answer);
        else EXPECT_EQ(answer, c.gap) << point(answer);
    }
    ASSERT_TRUE(engine.writeLine("END"));
    EXPECT_EQ(engine.waitExit(Millis(10000)), std::optional<int>(0));
}

// A match clock that has run out arrives as a negative time_left: it means
// "answer at once", not a huge unsigned budget.
TEST(EngineGames, NegativeTimeLeftAnswersAtOnce) {
    EngineProcess engine;
    ASSERT_TRUE(engine.started());
    startGame(engine, 15, 0, {"INFO timeout_turn 30000", "INFO time_left -5000", "INFO max_memory 30000000"});
    int ms = 0;
    const std::vector<Pos> quiet = {Pos(7, 7), Pos(7, 9), Pos(8, 8), Pos(8, 9), Pos(10, 5), Pos(3, 3)};
    const Pos move = answerTo(engine, quiet, &ms);
    EXPECT_TRUE(Board::onBoard(move.x(), move.y()));
    // Without the limit this position would be searched for 10 s or more.
    EXPECT_LT(ms, 2000);
}

// A short game against a scripted opponent: INFO time_left before every
// move, every answer legal and within timeout_turn (with room for a loaded
// machine).
TEST(EngineGames, MatchClockMoveByMove) {
    EngineProcess engine;
    ASSERT_TRUE(engine.started());
    const int turnMs = 200;
    startGame(engine, 15, 0, {"INFO timeout_turn 200", "INFO max_memory 30000000"});
    Board board = emptyBoard(15);
    long long left = 5000;
    Pos last(7, 7);
    for (int moveNumber = 0; moveNumber < 8; ++moveNumber) {
        // The scripted side plays the first empty point of a spiral-free walk
        // along row 2, far from the engine's stones.
        if (moveNumber > 0) {
            last = Pos(moveNumber * 2 - 1, 2);
            if (!board.isEmpty(last.x(), last.y())) break;
        }
        if (board.typeCount[board.sideToMove()][Five] > 0) break;
        board.makeMove(last, uint8_t(board.sideToMove()), FreeStyle);
        ASSERT_TRUE(engine.writeLine("INFO time_left " + std::to_string(left)));
        const auto since = Clock::now();
        ASSERT_TRUE(engine.writeLine("TURN " + point(last)));
        Pos move(0xFFFF);
        int ms = 0;
        ASSERT_TRUE(readMove(engine, move, ms, since));
        ASSERT_TRUE(Board::onBoard(move.x(), move.y()));
        ASSERT_TRUE(board.isEmpty(move.x(), move.y())) << point(move);
        EXPECT_LE(ms, turnMs + 300);
        left -= ms;
        if (board.cell(move).pointType[board.sideToMove()] == Five) break;
        board.makeMove(move, uint8_t(board.sideToMove()), FreeStyle);
    }
    ASSERT_TRUE(engine.writeLine("END"));
    EXPECT_EQ(engine.waitExit(Millis(10000)), std::optional<int>(0));
}

}  // namespace
}  // namespace velmor::test
