// The engine's renju fouls against the match referee, which works them out
// on a plain stone array by the written rules: every empty point of positions
// from random renju games, with take-backs in between.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "board/board.h"
#include "match/referee.h"
#include "support/positions.h"

namespace velmor {
namespace {

struct Tally {
    int points = 0;     // empty points compared
    int fouls = 0;      // of them fouls
    int cleared = 0;    // flagged by the patterns, no foul by the rules
    int positions = 0;
};

void compareAll(const Board& board, match::Stones& stones, Tally& tally, const char* where) {
    ++tally.positions;
    ASSERT_EQ(checkBoardConsistency(board, Renju), "") << where;
    for (int x = 0; x < boardSize; ++x)
        for (int y = 0; y < boardSize; ++y) {
            if (!board.isEmpty(x, y)) continue;
            const Cell& c = board.cells[x][y];
            const bool engine = c.pointType[0] == Forbidden;
            const match::Foul foul = match::renjuFoul(stones, {x, y});
            ASSERT_EQ(engine, foul != match::Foul::None)
                << where << ": point " << x << "," << y << ", referee: " << match::foulName(foul)
                << ", engine type " << int(c.pointType[0]) << ", lines " << std::hex << c.lineTypes[0];
            ++tally.points;
            tally.fouls += engine;
            tally.cleared += !engine && (c.foulMark & kFoulFlagged);
        }
}

// Games that keep close to their stones, so that lines fill with threes and
// fours. Black plays a point where it makes a three or four half of the time,
// so double threes and fours are everywhere; neither side plays a five or a
// foul.
void playGames(int size, int games, uint32_t seed, Tally& tally) {
    std::mt19937 random(seed);
    for (int game = 0; game < games; ++game) {
        Board board = test::emptyBoard(size);
        match::Stones stones(size);
        std::vector<MoveRecord> history;
        const int centre = size / 2;
        for (int step = 0; step < size * size / 3; ++step) {
            if (!history.empty() && random() % 6 == 0) {
                const MoveRecord undone = history.back();
                history.pop_back();
                board.removeStone(undone.pos, history.empty() ? kNoStoneRecord : history.back(), Renju);
                stones.remove({undone.pos.x(), undone.pos.y()});
            } else {
                const int side = board.sideToMove();
                const bool shape = side == 0 && random() % 2 == 0;
                Pos move;
                bool found = false;
                for (int attempt = 0; attempt < 200 && !found; ++attempt) {
                    const Pos near = history.empty() ? Pos(centre, centre) : history[random() % history.size()].pos;
                    const int x = near.x() + int(random() % 5) - 2, y = near.y() + int(random() % 5) - 2;
                    if (!Board::onBoard(x, y) || !board.isEmpty(x, y)) continue;
                    const int type = board.cells[x][y].pointType[side];
                    const bool wanted = !shape || attempt >= 100 || (type >= LiveThree && type <= LiveFour);
                    if (type == Five || type == Forbidden || !wanted) continue;
                    if (stones.longestRun({x, y}, match::Stone(side)) >= 5) continue;
                    move = Pos(x, y);
                    found = true;
                }
                if (!found) break;
                ASSERT_TRUE(board.makeMove(move, uint8_t(side), Renju));
                stones.place({move.x(), move.y()}, match::Stone(side));
                history.push_back(board.lastMove);
            }
            if (step % 3 == 0) {
                compareAll(board, stones, tally, "random game");
                if (::testing::Test::HasFatalFailure()) return;
            }
        }
    }
}

TEST(EngineFouls, AgreeWithTheRefereeOnRandomGames) {
    Tally tally;
    playGames(15, 60, 20240711, tally);
    playGames(20, 6, 77, tally);
    EXPECT_GT(tally.points, 200000);
    // The comparison means something only if fouls and the points the exact
    // check clears both come up often.
    EXPECT_GT(tally.fouls, 1000) << tally.positions << " positions";
    EXPECT_GT(tally.cleared, 150) << tally.positions << " positions";
}

}  // namespace
}  // namespace velmor
