// tactics: renju problems posed to pbrain-velmor through the manager
// protocol, one engine process for all of them.
//
//   tactics [--turn MS] [--limit N] [--file NAME] [--engine PATH]
//
// Each problem of tests/data/NAME (default vcf_renju_lfz084.txt) given as a
// move list is sent as a BOARD block; the answer solves it when it is one of
// the listed winning first moves. Then the attacker's first four of the
// solution line is added: the engine, now defending, must block the five
// point (or complete its own five). Prints the solved share, the median and
// worst answer times, and every answer that came later than timeout_turn.
// Exit status 1 if a five-threat went unblocked or an answer was late.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "board/board.h"
#include "match/engine_process.h"
#include "support/positions.h"

using namespace velmor;
using velmor::match::EngineProcess;

namespace {

using Clock = std::chrono::steady_clock;

// A point as the protocol writes it: "x,y".
std::string point(Pos p) { return std::to_string(p.x()) + "," + std::to_string(p.y()); }

// The next line from the engine, or false when `limitMs` passes first or its
// output has ended; either way the problem goes unanswered.
bool readLine(EngineProcess& engine, int limitMs, std::string& line) {
    return engine.readLine(Clock::now() + std::chrono::milliseconds(limitMs), line) == EngineProcess::Read::Line;
}

// Sends `moves` as a BOARD block to an engine that is to move after them and
// returns its answer and how long it took (nothing on a missing answer).
bool ask(EngineProcess& engine, const std::vector<Pos>& moves, int turnMs, Pos& answer, int& ms) {
    engine.send("START 15");
    std::string line;
    if (!readLine(engine, 10000, line) || line != "OK") return false;
    engine.send("INFO rule 4");
    engine.send("INFO timeout_turn " + std::to_string(turnMs));
    engine.send("INFO time_left 1000000000");
    // Each stone is marked as the engine's own (1) or its opponent's (2); the
    // clock starts right before DONE, when the engine begins to think.
    const size_t toMove = moves.size() % 2;
    engine.send("BOARD");
    for (size_t i = 0; i < moves.size(); ++i) engine.send(point(moves[i]) + (i % 2 == toMove ? ",1" : ",2"));
    const auto start = Clock::now();
    engine.send("DONE");
    for (;;) {
        if (!readLine(engine, turnMs + 10000, line)) return false;
        int x, y;
        char tail;
        // The engine's search summaries are for people watching, not for us.
        if (line.rfind("MESSAGE", 0) == 0) continue;
        if (std::sscanf(line.c_str(), "%d,%d%c", &x, &y, &tail) != 2) {
            std::printf("  engine said: %s\n", line.c_str());
            continue;
        }
        ms = int(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
        answer = Pos(x, y);
        return true;
    }
}

int median(std::vector<int> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    int turnMs = 1000, limit = 1 << 30, allowance = 30;
    std::string file = "vcf_renju_lfz084.txt";
    std::string enginePath = match::defaultEnginePath(argv[0]);
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i], v = argv[i + 1];
        if (a == "--turn") turnMs = std::atoi(v.c_str());
        else if (a == "--limit") limit = std::atoi(v.c_str());
        else if (a == "--file") file = v;
        else if (a == "--engine") enginePath = v;
        else {
            std::fprintf(stderr, "usage: tactics [--turn MS] [--limit N] [--file NAME] [--engine PATH]\n");
            return 2;
        }
    }
    test::ensureEngineTables();
    // --engine names a program, not a shell command: one that is missing must
    // not start a shell that fails every problem in turn.
    EngineProcess engine(enginePath);
    if (access(enginePath.c_str(), X_OK) != 0 || !engine.start()) {
        std::fprintf(stderr, "cannot start %s\n", enginePath.c_str());
        return 2;
    }

    int posed = 0, solved = 0, late = 0, missing = 0, threats = 0, blocked = 0;
    std::vector<int> times, problemTimes;
    for (const test::DataCase& c : test::loadDataCases(file)) {
        if (posed >= limit) break;
        if (c.moves.empty() || c.best.empty()) continue;  // only move lists can be sent as BOARD
        ++posed;
        Pos answer;
        int ms = 0;
        if (!ask(engine, c.moves, turnMs, answer, ms)) {
            ++missing;
            std::printf("no answer: %s\n", c.id.c_str());
            continue;
        }
        times.push_back(ms);
        problemTimes.push_back(ms);
        if (ms > turnMs + allowance) {
            ++late;
            std::printf("late: %d ms: %s\n", ms, c.id.c_str());
        }
        if (std::find(c.best.begin(), c.best.end(), answer) != c.best.end()) ++solved;

        // The solution's first move is a four: the defender must block it.
        if (c.line.empty()) continue;
        std::vector<Pos> threatened = c.moves;
        threatened.push_back(c.line[0]);
        const Board b = test::playMoves(15, Renju, threatened);
        const int defender = b.sideToMove();
        if (b.typeCount[1 - defender][Five] == 0) continue;  // the line starts with a three
        ++threats;
        if (!ask(engine, threatened, turnMs, answer, ms)) {
            ++missing;
            continue;
        }
        times.push_back(ms);
        if (ms > turnMs + allowance) {
            ++late;
            std::printf("late: %d ms (defending): %s\n", ms, c.id.c_str());
        }
        const Cell& at = b.cell(answer);
        if (Board::onBoard(answer.x(), answer.y()) && at.stone == 2 &&
            (at.pointType[1 - defender] == Five || at.pointType[defender] == Five))
            ++blocked;
        else
            std::printf("five-threat not blocked (answer %s): %s\n", point(answer).c_str(), c.id.c_str());
    }
    const int status = engine.stop(10000);  // END, then its exit status

    std::printf("%d problems at timeout_turn %d: %d solved (%.1f%%), median answer %d ms\n", posed, turnMs, solved,
                posed ? 100.0 * solved / posed : 0.0, median(problemTimes));
    std::printf("worst answer time (problems and defences): %d ms\n",
                times.empty() ? 0 : *std::max_element(times.begin(), times.end()));
    std::printf("five-threats blocked: %d of %d; late answers: %d; missing answers: %d; exit status %d\n", blocked,
                threats, late, missing, status);
    return (blocked != threats || late || missing || status != 0) ? 1 : 0;
}
