#include "match/game.h"

#include <algorithm>
#include <chrono>

namespace velmor::match {

namespace {

using Clock = std::chrono::steady_clock;

std::string pointText(Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// Lines an engine may write besides its answer.
bool isChatter(const std::string& line) {
    return startsWith(line, "MESSAGE") || startsWith(line, "DEBUG") || startsWith(line, "SUGGEST") ||
           startsWith(line, "UNKNOWN");
}

void finish(GameRecord& g, GameEnd end, int winner, std::string detail) {
    g.end = end;
    g.winner = winner;
    g.detail = std::move(detail);
}

const char* colourName(int side) { return side == 0 ? "black" : "white"; }

}  // namespace

bool openGame(Engine& engine, const GameConfig& config, std::string& why) {
    EngineProcess& p = engine.process;
    if (!p.running() && !p.start()) {
        why = "could not be started";
        return false;
    }
    if (!p.send("START " + std::to_string(config.size))) {
        why = "died before START";
        p.stop();
        return false;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(config.startMs);
    for (;;) {
        std::string line;
        const EngineProcess::Read r = p.readLine(deadline, line);
        if (r != EngineProcess::Read::Line) {
            why = r == EngineProcess::Read::Timeout ? "did not answer START" : "died after START";
            p.stop();
            return false;
        }
        if (line == "OK") break;
        if (isChatter(line)) continue;
        why = "answered START with '" + line + "'";
        p.stop();
        return false;
    }
    bool sent = p.send("INFO timeout_turn " + std::to_string(config.turnMs)) &&
                p.send("INFO timeout_match " + std::to_string(config.timeoutMatch()));
    if (config.memory >= 0) sent = sent && p.send("INFO max_memory " + std::to_string(config.memory));
    sent = sent && p.send("INFO rule " + std::to_string(infoValue(config.rule))) && p.send("INFO game_type 1");
    for (const std::string& info : engine.info) sent = sent && p.send("INFO " + info);
    if (!sent) {
        why = "died after START";
        p.stop();
    }
    return sent;
}

GameRecord playGame(Engine& black, Engine& white, const std::vector<Point>& opening, const GameConfig& config,
                    const std::atomic<bool>* stop) {
    GameRecord g;
    g.moves = opening;
    g.openingLength = int(opening.size());
    Stones stones(config.size);
    for (size_t i = 0; i < opening.size(); ++i) stones.place(opening[i], Stone(i % 2));

    Engine* engines[2] = {&black, &white};
    for (int side = 0; side < 2; ++side) {
        std::string why;
        if (!openGame(*engines[side], config, why)) {
            finish(g, GameEnd::Crash, 1 - side, std::string(colourName(side)) + " " + why);
            return g;
        }
    }

    bool informed[2] = {false, false};
    double usedMs[2] = {0, 0};
    for (;;) {
        if (stop && stop->load()) {
            finish(g, GameEnd::Aborted, -1, "stopped");
            return g;
        }
        const int side = int(g.moves.size() % 2);
        const std::string who = colourName(side);
        EngineProcess& p = engines[side]->process;
        // A move may take the turn limit, or what is left of the match clock
        // when that is less.
        const double leftMs = double(config.timeoutMatch()) - usedMs[side];
        const double limitMs = config.matchMs > 0 ? std::min<double>(config.turnMs, leftMs) : config.turnMs;

        bool sent = p.send("INFO time_left " + std::to_string(std::max(0LL, (long long)leftMs)));
        std::string command;
        if (informed[side]) {
            command = "TURN " + pointText(g.moves.back());
        } else if (g.moves.empty()) {
            command = "BEGIN";
        } else {
            sent = sent && p.send("BOARD");
            for (size_t i = 0; i < g.moves.size(); ++i)
                sent = sent && p.send(pointText(g.moves[i]) + (int(i % 2) == side ? ",1" : ",2"));
            command = "DONE";
        }
        informed[side] = true;
        const auto start = Clock::now();
        sent = sent && p.send(command);
        if (!sent) {
            p.stop();
            finish(g, GameEnd::Crash, 1 - side, who + " died (its input closed)");
            return g;
        }

        const auto deadline = start + std::chrono::microseconds((long long)((limitMs + config.toleranceMs) * 1000));
        std::string line;
        for (;;) {
            const EngineProcess::Read r = p.readLine(deadline, line);
            if (r == EngineProcess::Read::Timeout) {
                p.stop();  // it is still thinking; its late answer would confuse the next game
                finish(g, GameEnd::Time, 1 - side,
                       who + " gave no move within " + std::to_string(int(limitMs)) + " ms + tolerance");
                return g;
            }
            if (r == EngineProcess::Read::Closed) {
                p.stop();
                finish(g, GameEnd::Crash, 1 - side, who + " died (its output ended)");
                return g;
            }
            if (!isChatter(line)) break;
        }
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        usedMs[side] += ms;
        g.moveMs.push_back(ms);
        if (ms > limitMs + config.toleranceMs) {
            p.stop();
            finish(g, GameEnd::Time, 1 - side, who + " answered after " + std::to_string(int(ms)) + " ms");
            return g;
        }

        Point move;
        if (startsWith(line, "ERROR") || !parsePoint(line, move)) {
            finish(g, GameEnd::Illegal, 1 - side, who + " answered '" + line + "'");
            return g;
        }
        if (!stones.onBoard(move.x, move.y) || stones.at(move.x, move.y) != Empty) {
            finish(g, GameEnd::Illegal, 1 - side, who + " played " + pointText(move) + ", not an empty point");
            return g;
        }
        Foul foul = Foul::None;
        const Verdict v = judgeMove(stones, move, Stone(side), config.rule, &foul);
        g.moves.push_back(move);
        const std::string at = " at " + pointText(move) + ", move " + std::to_string(g.moves.size());
        switch (v) {
        case Verdict::Five: finish(g, GameEnd::Five, side, who + " made five" + at); return g;
        case Verdict::Foul:
            finish(g, GameEnd::Foul, 1, std::string("black played a renju foul (") + foulName(foul) + ")" + at);
            return g;
        case Verdict::FullBoard: finish(g, GameEnd::FullBoard, -1, "full board"); return g;
        case Verdict::Continue: break;
        }
    }
}

std::string sgfResult(const GameRecord& g) {
    if (g.winner < 0) return "0";
    std::string re = g.winner == 0 ? "B+" : "W+";
    switch (g.end) {
    case GameEnd::Time: return re + "T";
    case GameEnd::Foul:
    case GameEnd::Illegal:
    case GameEnd::Crash: return re + "F";
    default: return re;
    }
}

std::string sgfRecord(const GameRecord& g, const GameConfig& config, const std::string& blackName,
                      const std::string& whiteName) {
    auto text = [](const std::string& s) {
        std::string out;
        for (char c : s) {
            if (c == ']' || c == '\\') out += '\\';
            out += c;
        }
        return out;
    };
    std::string sgf = "(;GM[4]FF[4]CA[UTF-8]SZ[" + std::to_string(config.size) + "]RU[" + ruleName(config.rule) +
                      "]PB[" + text(blackName) + "]PW[" + text(whiteName) + "]RE[" + sgfResult(g) + "]C[" +
                      text(g.detail + "; opening of " + std::to_string(g.openingLength) + " stones; timeout_turn " +
                           std::to_string(config.turnMs) + " ms") +
                      "]";
    for (size_t i = 0; i < g.moves.size(); ++i) {
        sgf += i % 2 == 0 ? ";B[" : ";W[";
        sgf += char('a' + g.moves[i].x);
        sgf += char('a' + g.moves[i].y);
        sgf += ']';
    }
    return sgf + ")";
}

}  // namespace velmor::match
