#pragma once
// One refereed game between two engine processes, played the way a Gomoku
// tournament manager plays it.
#include <atomic>
#include <string>
#include <vector>

#include "match/engine_process.h"
#include "match/referee.h"

namespace velmor::match {

struct GameConfig {
    int size = 15;
    Rule rule = Rule::FreeStyle;
    int turnMs = 1000;       // timeout_turn
    long long matchMs = 0;   // time per game per side; 0: no match clock
    int toleranceMs = 30;    // forgiven beyond the limit for process and pipe overhead
    long long memory = -1;   // max_memory; -1 sends none
    int startMs = 30000;     // for the answer to START (a fresh process builds its tables)

    // The timeout_match sent to the engines: the match clock, or without one
    // a figure no game can use up (every move within the turn limit), so that
    // time_left never makes an engine hurry.
    long long timeoutMatch() const { return matchMs > 0 ? matchMs : (long long)turnMs * size * size; }
};

// An engine of one game slot: the process is started on demand and reused
// from game to game; after a crash or a lost-on-time move it is stopped and
// started afresh for the next game.
struct Engine {
    explicit Engine(std::string command, std::vector<std::string> extraInfo = {})
        : process(std::move(command)), info(std::move(extraInfo)) {}
    EngineProcess process;
    // INFO lines of this engine alone (key and value), sent after the common
    // ones at every game start: settings such as thread_num that the two
    // engines of a match may not share.
    std::vector<std::string> info;
};

enum class GameEnd {
    Five,       // the winner made a five
    Foul,       // black made a renju foul
    FullBoard,  // draw
    Illegal,    // an answer that is no move, off the board or on a stone; or an ERROR
    Time,       // an answer later than the limit plus the tolerance
    Crash,      // the engine died, closed its output, or failed to start
    Aborted     // stopped from outside; not a result
};

struct GameRecord {
    std::vector<Point> moves;    // the opening, then the moves played
    int openingLength = 0;
    std::vector<double> moveMs;  // per move after the opening: from command to answer
    int winner = -1;             // 0 black, 1 white, -1 draw (or aborted)
    GameEnd end = GameEnd::Aborted;
    std::string detail;          // a sentence for the log and the SGF comment
};

// Plays `opening` on to the end between `black` and `white`. Each engine gets
// START, the INFO lines, then before every move INFO time_left; its first
// request of the game is BEGIN (empty board) or a BOARD block, every later one
// TURN with the opponent's move. The clock runs from sending that command to
// reading the answer line. `stop`, when set, aborts the game between moves.
GameRecord playGame(Engine& black, Engine& white, const std::vector<Point>& opening, const GameConfig& config,
                    const std::atomic<bool>* stop = nullptr);

// Starts the engine if needed and opens a game: START, answered by OK, then
// the INFO lines, the engine's own last. False (with the reason) when the engine does not answer OK.
bool openGame(Engine& engine, const GameConfig& config, std::string& why);

// "B+", "W+T", "0", ... as SGF's RE property writes it.
std::string sgfResult(const GameRecord& game);
// One SGF record of the game, on one line.
std::string sgfRecord(const GameRecord& game, const GameConfig& config, const std::string& blackName,
                      const std::string& whiteName);

}  // namespace velmor::match
