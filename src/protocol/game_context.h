#pragma once
// The one game the process plays at a time, and the engine start-up that
// every START runs.
#include <memory>
#include <string>
#include <vector>

#include "board/board.h"
#include "search/engine.h"

namespace velmor {

// The game context keeps no game-over state: the manager decides when a game
// ends, and nothing in the engine would read one.
struct GameContext {
    std::vector<MoveRecord> history;  // oldest first; each a copy of the Board's lastMove
    std::unique_ptr<Board> board;     // none until newGame, or after a refused start
    std::unique_ptr<AIEngine> engine; // the engine of the most recent think
};

// The current game context; null before the first start.
GameContext* currentGame();
// True when a game context with a Board exists, that is a start succeeded.
bool gameReady();

// Starts a game of protocolSettings' dimensions: a fresh context, the size
// check, the engine tables and pool, an empty Board. Writes the reply ("OK"
// or an error line) and returns whether the game was started.
bool startGame();
// Builds the pattern automaton and tables and the Zobrist keys, and starts
// the pool with `threadCount` workers.
bool initEngine(int threadCount);
// An empty Board and history for the current context (the engine object stays).
void newGame();
// Plays a stone for the side to move; the caller has checked that the point
// is on the board and empty.
void playMove(int x, int y, GameRule rule);
// A stone line of a BOARD or YXBOARD block: `own` for who 1, the side that
// moves next, otherwise the other side.
struct BlockStone {
    int32_t x = 0, y = 0;
    bool own = false;
};
// Places a block's stones, each for the side its who names, on top of the
// game so far; the caller has checked that the points are on the board,
// empty and distinct. Black is the side with more stones after the block,
// or the side to move when the counts are equal. The stones go down in
// alternating colours as far as the counts allow, each colour in the order
// of its lines, and one of the other side's stones goes last, so that the
// side of who 1 is to move: stones sent in playing order are played in
// exactly that order.
void placeBlockStones(const std::vector<BlockStone>& stones, GameRule rule);
// Removes the most recent move of the history, whichever point it occupies.
void takeBack(GameRule rule);
// The YXSHOWFORBID reply for the current game: "FORBID ", each point
// forbidden to black in scan order as two-digit x and two-digit y, then ".".
// Only black to move under renju has such points; otherwise "FORBID .".
std::string forbiddenPointsReply(GameRule rule);
// Frees the game context; only right before the process ends.
void releaseGameContext();

// Pool workers for a machine with `processors` processors: all of them on
// small machines, one left for the brain thread on larger ones.
int workerCountFor(int processors);

}  // namespace velmor
