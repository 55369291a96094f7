#include "protocol/game_context.h"

#include <cstdio>
#include <optional>

#include "board/patterns.h"
#include "pool/thread_pool.h"
#include "protocol/processors.h"
#include "protocol/protocol_settings.h"
#include "protocol/send_line.h"

namespace velmor {

namespace {

std::unique_ptr<GameContext> current;

}  // namespace

GameContext* currentGame() { return current.get(); }

bool gameReady() { return current && current->board; }

int workerCountFor(int processors) { return processors > 4 ? processors - 1 : processors; }

bool startGame() {
    auto game = std::make_unique<GameContext>();
    game->history.reserve(225);
    boardSize = 15;
    current = std::move(game);

    const int32_t width = protocolSettings.boardWidth;
    const int32_t height = protocolSettings.boardHeight;
    if (width != height || (width != 15 && width != 20)) {
        sendLine("ERROR size of the board, only support 15*15 or 20*20");
        return false;
    }
    boardSize = int8_t(width);

    if (!initEngine(workerCountFor(processorCount()))) {
        sendLine("ERROR init game failed!");
        return false;
    }
    newGame();
    sendLine("OK");
    return true;
}

bool initEngine(int threadCount) {
    // Every table the board and the evaluation read, in the one start-up
    // order the board defines.
    if (!buildAllPatternTables()) return false;
    ThreadPool::getInstance().startWorkers(threadCount);
    fillZobristKeys();
    return true;
}

void newGame() {
    GameContext& game = *current;
    game.board = std::make_unique<Board>();
    newBoard(*game.board);
    game.history.clear();
}

void playMove(int x, int y, GameRule rule) {
    GameContext& game = *current;
    Board& board = *game.board;
    const auto side = uint8_t(1 - board.lastMove.side);
    // makeMove refuses an occupied point; the history then stays in step
    // with the Board instead of recording a stone that is not there.
    if (board.makeMove(Pos(x, y), side, rule)) game.history.push_back(board.lastMove);
}

namespace {

void playStone(Pos pos, uint8_t side, GameRule rule) {
    GameContext& game = *current;
    if (game.board->makeMove(pos, side, rule)) game.history.push_back(game.board->lastMove);
}

}  // namespace

void placeBlockStones(const std::vector<BlockStone>& stones, GameRule rule) {
    GameContext& game = *current;
    int onBoard[2] = {0, 0};
    for (const MoveRecord& m : game.history) ++onBoard[m.side];
    std::vector<Pos> own, other;
    for (const BlockStone& s : stones) (s.own ? own : other).push_back(Pos(s.x, s.y));
    const bool ownIsBlack = onBoard[0] + int(own.size()) >= onBoard[1] + int(other.size());
    std::vector<Pos> bySide[2];
    bySide[ownIsBlack ? 0 : 1] = own;
    bySide[ownIsBlack ? 1 : 0] = other;
    const int otherSide = ownIsBlack ? 1 : 0;

    // Held back to be the last stone, so that the side of who 1 moves next.
    std::optional<Pos> last;
    if (!bySide[otherSide].empty()) {
        last = bySide[otherSide].back();
        bySide[otherSide].pop_back();
    }
    std::size_t next[2] = {0, 0};
    for (;;) {
        int side = game.board->sideToMove();
        if (next[side] == bySide[side].size()) side = 1 - side;
        if (next[side] == bySide[side].size()) break;
        playStone(bySide[side][next[side]++], uint8_t(side), rule);
    }
    if (last) playStone(*last, uint8_t(otherSide), rule);
}

void takeBack(GameRule rule) {
    GameContext& game = *current;
    if (game.history.empty()) return;
    const MoveRecord undone = game.history.back();
    game.history.pop_back();
    const MoveRecord previous = game.history.empty() ? kNoStoneRecord : game.history.back();
    game.board->removeStone(undone.pos, previous, rule);
}

std::string forbiddenPointsReply(GameRule rule) {
    std::string reply = "FORBID ";
    const GameContext& game = *current;
    if (rule == Renju && game.board->sideToMove() == 0) {
        // The game's Board carries the point types of the rule each stone was
        // played under; the history replayed under renju gives the answer
        // even if the rule changed during the game.
        Board board;
        newBoard(board);
        for (const MoveRecord& m : game.history) board.makeMove(m.pos, m.side, Renju);
        for (int x = 0; x < boardSize; ++x)
            for (int y = 0; y < boardSize; ++y)
                if (board.isEmpty(x, y) && board.cells[x][y].pointType[0] == Forbidden) {
                    char point[24];
                    std::snprintf(point, sizeof point, "%02d%02d", x, y);
                    reply += point;
                }
    }
    return reply + ".";
}

void releaseGameContext() { current.reset(); }

}  // namespace velmor
