// selfplay: two pbrain-velmor processes play each other through the manager
// protocol, refereed here. Every move must be legal and come within
// timeout_turn; games end in a five, a renju foul or a full board. The two
// processes are reused for every game (START after START, no END between),
// with INFO lines before each game and time_left before every move.
//
//   selfplay [--turn MS] [--games N] [--memory BYTES] [--allowance MS]
//            [--engine PATH]
//
// --games N plays N games on each of 15x15 free-style, 15x15 renju and 20x20
// free-style (default 2), from the collection's openings, colours swapped
// from game to game. --allowance is the time beyond timeout_turn forgiven
// for process and pipe overhead (default 30 ms). Exit status 1 on any fault.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "board/board.h"
#include "engine_pipe.h"
#include "support/positions.h"

using namespace velmor;
using velmor::tools::EnginePipe;
using velmor::tools::point;

namespace {

struct Options {
    int turnMs = 1000;
    int games = 2;
    long long memory = -1;  // -1: send no max_memory
    int allowanceMs = 30;
    std::string engine;
};

struct Setting {
    int size;
    int infoRule;  // the manager's rule bits
    GameRule rule;
    const char* name;
};

const Setting kSettings[] = {
    {15, 0, FreeStyle, "15x15 free-style"},
    {15, 4, Renju, "15x15 renju"},
    {20, 0, FreeStyle, "20x20 free-style"},
};

struct Player {
    EnginePipe* pipe;
    char name;
    long long usedMs = 0;
    int slowest = 0;
};

struct Tally {
    int games = 0, fives = 0, fouls = 0, fullBoards = 0;
    int faults = 0, slowMoves = 0, moves = 0;
    int worstOverrunMs = -1000000;
    int wins[2] = {0, 0};
};

std::vector<std::vector<Pos>> openingsFor(const Setting& s) {
    std::vector<std::vector<Pos>> openings;
    for (const test::DataCase& c : test::loadDataCases("openings.txt"))
        if (c.size == s.size && c.moves.size() <= 7) openings.push_back(c.moves);
    return openings;
}

bool fault(Tally& tally, const std::string& what) {
    std::printf("  FAULT: %s\n", what.c_str());
    ++tally.faults;
    return false;
}

// Reads the engine's answer: a line "x,y". Other lines (MESSAGE, DEBUG) are
// passed over; ERROR lines and a missing answer are faults.
bool readMove(Player& p, const Options& o, Tally& tally, Pos& move, int& elapsedMs) {
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        const int waited = int(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - start)
                                   .count());
        auto line = p.pipe->readLine(std::max(0, o.turnMs + 10000 - waited));
        if (!line) return fault(tally, std::string("engine ") + p.name + " gave no move");
        if (line->rfind("MESSAGE", 0) == 0 || line->rfind("DEBUG", 0) == 0) continue;
        if (line->rfind("ERROR", 0) == 0) return fault(tally, std::string("engine ") + p.name + ": " + *line);
        int x, y;
        char tail;
        if (std::sscanf(line->c_str(), "%d,%d%c", &x, &y, &tail) != 2)
            return fault(tally, std::string("engine ") + p.name + " answered '" + *line + "'");
        elapsedMs = int(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                            .count());
        move = Pos(x, y);
        return true;
    }
}

void startGame(Player& p, const Setting& s, const Options& o, long long matchMs, Tally& tally) {
    p.pipe->send("START " + std::to_string(s.size));
    auto reply = p.pipe->readLine(10000);
    if (!reply || *reply != "OK") fault(tally, std::string("engine ") + p.name + " answered START with '" +
                                                   (reply ? *reply : std::string("nothing")) + "'");
    p.pipe->send("INFO timeout_turn " + std::to_string(o.turnMs));
    p.pipe->send("INFO timeout_match " + std::to_string(matchMs));
    if (o.memory >= 0) p.pipe->send("INFO max_memory " + std::to_string(o.memory));
    p.pipe->send("INFO rule " + std::to_string(s.infoRule));
    p.pipe->send("INFO game_type 1");
    p.usedMs = 0;
    p.slowest = 0;
}

void playGame(Player players[2], const Setting& s, const std::vector<Pos>& opening, int blackIndex, const Options& o,
              Tally& tally) {
    const long long matchMs = (long long)o.turnMs * s.size * s.size;
    for (int i = 0; i < 2; ++i) startGame(players[i], s, o, matchMs, tally);
    ++tally.games;

    Board board = test::emptyBoard(s.size);
    std::vector<Pos> moves;
    for (Pos p : opening) {
        board.makeMove(p, uint8_t(board.sideToMove()), s.rule);
        moves.push_back(p);
    }
    std::string openingText;
    for (Pos p : opening) openingText += (openingText.empty() ? "" : " ") + point(p);
    std::printf("game %d: %s, black %c, opening %s\n", tally.games, s.name, players[blackIndex].name,
                openingText.c_str());

    // Each engine first learns the position from a BOARD block, then every
    // later move from TURN.
    bool informed[2] = {false, false};
    std::string result = "?";
    while (true) {
        const int side = board.sideToMove();
        Player& p = players[side == 0 ? blackIndex : 1 - blackIndex];
        const int me = side == 0 ? blackIndex : 1 - blackIndex;
        p.pipe->send("INFO time_left " + std::to_string(matchMs - p.usedMs));
        if (!informed[me]) {
            if (moves.empty()) {
                p.pipe->send("BEGIN");
            } else {
                p.pipe->sendBoard(moves, side);
                p.pipe->send("DONE");
            }
            informed[me] = true;
        } else {
            p.pipe->send("TURN " + point(moves.back()));
        }

        Pos move;
        int ms = 0;
        if (!readMove(p, o, tally, move, ms)) {
            result = "aborted";
            break;
        }
        ++tally.moves;
        p.usedMs += ms;
        p.slowest = std::max(p.slowest, ms);
        tally.worstOverrunMs = std::max(tally.worstOverrunMs, ms - o.turnMs);
        if (ms > o.turnMs + o.allowanceMs) {
            ++tally.slowMoves;
            fault(tally, std::string("engine ") + p.name + " took " + std::to_string(ms) + " ms for move " +
                             std::to_string(moves.size() + 1));
        }
        if (!Board::onBoard(move.x(), move.y()) || !board.isEmpty(move.x(), move.y())) {
            fault(tally, std::string("engine ") + p.name + " played " + point(move) + ", not an empty point");
            result = "aborted";
            break;
        }
        const uint8_t type = board.cell(move).pointType[side];
        board.makeMove(move, uint8_t(side), s.rule);
        moves.push_back(move);
        if (type == Five) {
            ++tally.fives;
            ++tally.wins[me];
            result = std::string(side == 0 ? "black" : "white") + " (" + p.name + ") wins with five at move " +
                     std::to_string(moves.size());
            break;
        }
        if (s.rule == Renju && side == 0 && type == Forbidden) {
            // Legal to play, but it loses: only ever chosen when every other
            // move loses too (a forced block on a forbidden point).
            ++tally.fouls;
            ++tally.wins[1 - me];
            result = std::string("black (") + p.name + ") played the forbidden point " + point(move) +
                     " at move " + std::to_string(moves.size());
            break;
        }
        if (int(moves.size()) == s.size * s.size) {
            ++tally.fullBoards;
            result = "full board";
            break;
        }
    }
    std::printf("  %s; slowest move %d ms (%c), %d ms (%c)\n", result.c_str(), players[0].slowest, players[0].name,
                players[1].slowest, players[1].name);
    std::fflush(stdout);
}

bool parseOptions(int argc, char** argv, Options& o) {
    o.engine = tools::defaultEnginePath(argv[0]);
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (i + 1 >= argc) return false;
        std::string v = argv[++i];
        if (a == "--turn") o.turnMs = std::atoi(v.c_str());
        else if (a == "--games") o.games = std::atoi(v.c_str());
        else if (a == "--memory") o.memory = std::atoll(v.c_str());
        else if (a == "--allowance") o.allowanceMs = std::atoi(v.c_str());
        else if (a == "--engine") o.engine = v;
        else return false;
    }
    return o.turnMs > 0 && o.games > 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parseOptions(argc, argv, o)) {
        std::fprintf(stderr,
                     "usage: selfplay [--turn MS] [--games N] [--memory BYTES] [--allowance MS] [--engine PATH]\n");
        return 2;
    }
    test::ensureEngineTables();
    EnginePipe a(o.engine), b(o.engine);
    if (!a.started() || !b.started()) {
        std::fprintf(stderr, "cannot start %s\n", o.engine.c_str());
        return 2;
    }
    Player players[2] = {{&a, 'A'}, {&b, 'B'}};
    Tally tally;
    std::printf("timeout_turn %d ms, allowance %d ms, %s\n", o.turnMs, o.allowanceMs,
                o.memory >= 0 ? ("max_memory " + std::to_string(o.memory)).c_str() : "no max_memory");
    int game = 0;
    for (const Setting& s : kSettings) {
        const auto openings = openingsFor(s);
        for (int g = 0; g < o.games; ++g, ++game)
            playGame(players, s, openings[size_t(game) % openings.size()], game % 2, o, tally);
    }

    for (EnginePipe* pipe : {&a, &b}) {
        pipe->send("END");
        int status = pipe->finish(10000);
        if (status != 0) fault(tally, "engine exit status " + std::to_string(status) + " after END");
    }
    std::printf("%d games, %d moves: %d fives, %d renju fouls, %d full boards; A won %d, B won %d\n", tally.games,
                tally.moves, tally.fives, tally.fouls, tally.fullBoards, tally.wins[0], tally.wins[1]);
    std::printf("worst think time beyond timeout_turn: %+d ms; moves over the allowance: %d; faults: %d\n",
                tally.worstOverrunMs, tally.slowMoves, tally.faults);
    return tally.faults ? 1 : 0;
}
