#include "protocol/command_loop.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "protocol/brain.h"
#include "protocol/console.h"
#include "protocol/game_context.h"
#include "protocol/integer_scan.h"
#include "protocol/line_reader.h"
#include "protocol/protocol_settings.h"
#include "protocol/send_line.h"
#include "protocol/swap2.h"

namespace velmor {

namespace {

// The current input line; BOARD reads its position lines into it too.
char commandLine[kLineBufferSize];

// The manager's project page named by the notice on a terminal: the Piskvork
// build that is maintained today and also runs renju matches, which this
// engine plays.
constexpr const char* kManagerPage = "https://github.com/wind23/piskvork_renju";

// What every command that needs a game says after a refused START or
// RECTSTART: there is no board until a size the engine plays is accepted.
constexpr const char* kNoGame = "ERROR a game must be started first: START 15 or START 20";

// Ends the process with status 0. Every reply has been flushed already; the
// brain thread and the pool workers are simply abandoned, since running the
// destructors of objects they use could pull the ground from under them.
[[noreturn]] void endProcess() {
    std::fflush(stdout);
    exitAtOnce();
}

void readLineOrEnd() {
    if (!readCommandLine(stdin, commandLine)) endProcess();
}

// Waits for the brain thread, starts a 20x20 game if none was ever asked
// for, and tells whether there is a game to work on.
bool commandPreamble() {
    idleEvent.wait();
    ProtocolSettings& s = protocolSettings;
    if (s.boardWidth == 0) {
        s.boardWidth = s.boardHeight = 20;
        startGame();
    }
    return gameReady();
}

// Hands the move to the brain thread; the next command that waits for
// idleEvent blocks until the move has been written.
void startThink() { startBrainJob(playTurn); }

bool onBoard(int32_t x, int32_t y) {
    const ProtocolSettings& s = protocolSettings;
    return x >= 0 && x < s.boardWidth && y >= 0 && y < s.boardHeight;
}

// "%d,%d" naming a point of the board.
bool readPoint(const char* parameter, int32_t& x, int32_t& y) {
    int32_t v[2];
    if (scanIntegers(parameter, "%d,%d", v, 2) != 2 || !onBoard(v[0], v[1])) return false;
    x = v[0];
    y = v[1];
    return true;
}

bool pointIsEmpty(int32_t x, int32_t y) { return currentGame()->board->isEmpty(x, y); }

// The opening of TURN, PLAY and TAKEBACK: the preamble, then the point the
// parameter names. False, with the error already written, when there is no
// game or the point is unreadable or off the board.
bool preambleAndPoint(const char* parameter, int32_t& x, int32_t& y) {
    if (!commandPreamble()) {
        sendLine("%s", kNoGame);
        return false;
    }
    if (!readPoint(parameter, x, y)) {
        sendLine("ERROR bad coordinates");
        return false;
    }
    return true;
}

// Plays a stone the manager names (TURN, PLAY, BOARD). An occupied point is
// reported, with the text of whose stone it was meant to be, and skipped.
void playNamedStone(int32_t x, int32_t y, bool opponentsStone) {
    if (pointIsEmpty(x, y))
        playMove(x, y, protocolSettings.rule());
    else
        sendLine(opponentsStone ? "ERROR opponents's move [%d,%d]" : "ERROR my move [%d,%d]", x, y);
}

void infoCommand(const char* parameter) { applyInfo(parameter); }

void startCommand(const char* parameter) {
    // START replaces the game, so it waits for a think in progress first:
    // the brain thread checks its move against the dimensions.
    idleEvent.wait();
    ProtocolSettings& s = protocolSettings;
    int32_t size = 0;
    if (scanIntegers(parameter, "%d", &size, 1) != 1 || size < 5) {
        s.boardWidth = 0;
        sendLine("ERROR bad START parameter");
        return;
    }
    s.boardWidth = s.boardHeight = size;
    commandPreamble();
    startGame();
}

void rectstartCommand(const char* parameter) {
    idleEvent.wait();
    ProtocolSettings& s = protocolSettings;
    int32_t v[2] = {0, 0};
    if (scanIntegers(parameter, "%d ,%d", v, 2) != 2 || v[0] < 5 || v[1] < 5) {
        s.boardWidth = s.boardHeight = 0;
        sendLine("ERROR bad RECTSTART parameters");
        return;
    }
    s.boardWidth = v[0];
    s.boardHeight = v[1];
    commandPreamble();
    startGame();
}

void restartCommand(const char*) {
    // After a refused size there is nothing to restart: a new Board would be
    // of a size the manager never asked for.
    if (!commandPreamble()) return sendLine("%s", kNoGame);
    newGame();
    sendLine("OK");
}

void turnCommand(const char* parameter) {
    int32_t x, y;
    if (!preambleAndPoint(parameter, x, y)) return;
    playNamedStone(x, y, true);
    startThink();  // also after an occupied point: the engine still owes a move
}

void playCommand(const char* parameter) {
    int32_t x, y;
    if (!preambleAndPoint(parameter, x, y)) return;
    playNamedStone(x, y, false);
    sendLine("%d,%d", x, y);
}

void beginCommand(const char*) {
    if (!commandPreamble()) return sendLine("%s", kNoGame);
    startThink();
}

void aboutCommand(const char*) {
    sendLine("name=\"velmor\", author=\"Ilvarsen\", version=\"0.7.0.0\", country=\"Tavrelia\", www=\"\"");
}

void endCommand(const char*) {
    idleEvent.wait();  // a think in progress writes its move first
    releaseGameContext();
    endProcess();
}

bool isDoneLine(const char* line) { return std::strlen(line) == 4 && startsWithIgnoringCase(line, "done"); }

// Reads the x,y,who lines of a BOARD or YXBOARD block up to the line that
// ends it and places the stones. An occupied point (on the board or earlier
// in the block) is reported as it arrives and skipped. False, with the
// error written, when there is no game.
bool readPositionBlock(const char* keyword) {
    const bool ready = commandPreamble();
    std::vector<BlockStone> stones;
    std::vector<bool> taken(std::size_t(kMaxBoardSize * kMaxBoardSize), false);
    for (;;) {
        readLineOrEnd();
        int32_t v[3];
        if (scanIntegers(commandLine, "%d,%d,%d", v, 3) != 3) break;
        const int32_t x = v[0], y = v[1], who = v[2];
        // Without a game the stone lines are only skipped, so there is no
        // board to bound them: the block runs to its DONE all the same.
        if (ready && !onBoard(x, y)) break;
        if (who == 1 || who == 2) {
            if (!ready) continue;
            const std::size_t index = std::size_t(x * kMaxBoardSize + y);
            if (!pointIsEmpty(x, y) || taken[index]) {
                sendLine(who == 2 ? "ERROR opponents's move [%d,%d]" : "ERROR my move [%d,%d]", x, y);
                continue;
            }
            taken[index] = true;
            stones.push_back({x, y, who == 1});
        } else if (who == 3) {
            if (ready) sendLine("ERROR winning move [%d,%d]", x, y);
        } else {
            break;
        }
    }
    // The line that ended the block is used up either way.
    if (!ready) {
        sendLine("%s", kNoGame);
        return false;
    }
    if (!isDoneLine(commandLine)) sendLine("ERROR x,y,who or DONE expected after %s", keyword);
    placeBlockStones(stones, protocolSettings.rule());
    return true;
}

void boardCommand(const char*) {
    if (readPositionBlock("BOARD")) startThink();
}

// The analysis GUI sets up a position to look at: BOARD without a move.
void yxboardCommand(const char*) { readPositionBlock("YXBOARD"); }

// SWAP2BOARD: up to DONE, lines "x,y" (a trailing ",who" is accepted and
// ignored: the colours follow the order). The opening is the block alone,
// not the game's board, which the manager sets up afterwards.
void swap2boardCommand(const char*) {
    const bool ready = commandPreamble();
    std::vector<Pos> stones;
    bool bad = false;
    for (;;) {
        readLineOrEnd();
        if (isDoneLine(commandLine)) break;
        int32_t v[3];
        const int read = scanIntegers(commandLine, "%d,%d,%d", v, 3);
        if (read < 2) {
            sendLine("ERROR x,y or DONE expected after SWAP2BOARD");
            return;
        }
        if (!ready) continue;
        const Pos p(v[0], v[1]);
        if (!onBoard(v[0], v[1])) {
            sendLine("ERROR swap2 stone [%d,%d] is off the board", v[0], v[1]);
            bad = true;
        } else if (std::find(stones.begin(), stones.end(), p) != stones.end()) {
            sendLine("ERROR swap2 stone [%d,%d] is on an occupied point", v[0], v[1]);
            bad = true;
        }
        stones.push_back(p);
    }
    if (!ready) return sendLine("%s", kNoGame);
    if (bad) return;
    if (stones.size() != 0 && stones.size() != 3 && stones.size() != 5)
        return sendLine("ERROR swap2 needs 0, 3 or 5 stones, not %d", int(stones.size()));
    startBrainJob([stones] { sendLine("%s", swap2Reply(stones, searchSettingsNow()).c_str()); });
}

// YXNBEST n: the n best moves of the position, without playing any.
void nbestCommand(const char* parameter) {
    if (!commandPreamble()) return sendLine("%s", kNoGame);
    const int32_t count = readIntSaturated(parameter);
    startBrainJob([count] { reportBestMoves(count); });
}

// YXSTOP does not wait for the think: stopping it is its whole point. The
// think's move is the answer.
void stopCommand(const char*) { requestStop(); }

void hashClearCommand(const char*) {
    idleEvent.wait();  // the tables belong to a running think until it ends
    clearSearchTables();
}

void takebackCommand(const char* parameter) {
    int32_t x, y;
    if (!preambleAndPoint(parameter, x, y)) return;
    if (pointIsEmpty(x, y)) return sendLine("ERROR bad coordinates");
    takeBack(protocolSettings.rule());
    sendLine("OK");
}

// Analysis GUIs ask after each move which points black may not play.
void showForbidCommand(const char*) {
    if (!commandPreamble()) return sendLine("%s", kNoGame);
    sendLine("%s", forbiddenPointsReply(protocolSettings.rule()).c_str());
}

struct Command {
    const char* keyword;
    void (*run)(const char* parameter);
};

// Tried in this order, the first match wins; a keyword matches as a prefix,
// so "TURN7,7" is TURN and "ENDGAME" is END.
constexpr Command kCommands[] = {
    {"info", infoCommand},   {"start", startCommand}, {"rectstart", rectstartCommand},
    {"restart", restartCommand}, {"turn", turnCommand}, {"play", playCommand},
    {"begin", beginCommand}, {"about", aboutCommand}, {"end", endCommand},
    {"board", boardCommand}, {"takeback", takebackCommand}, {"yxshowforbid", showForbidCommand},
    {"yxboard", yxboardCommand}, {"yxnbest", nbestCommand}, {"yxstop", stopCommand},
    {"yxhashclear", hashClearCommand}, {"swap2board", swap2boardCommand},
};

}  // namespace

void dispatchCommand(const char* line) {
    for (const Command& command : kCommands)
        if (startsWithIgnoringCase(line, command.keyword))
            return command.run(skipSpace(line + std::strlen(command.keyword)));
    sendLine("UNKNOWN command");
}

void runCommandLoop() {
    readInputAsBytes();
    if (stdinIsTerminal())
        sendLine("MESSAGE Gomoku AI should not be started directly. Please install gomoku manager (%s). "
                 "Then enter path to this exe file in players settings.",
                 kManagerPage);
    startBrainThread();
    for (;;) {
        readLineOrEnd();
        dispatchCommand(commandLine);
    }
}

}  // namespace velmor
