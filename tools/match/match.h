#pragma once
// A match: game pairs (each opening once with each colour) between two
// engines, several games at once, judged, counted and tested sequentially.
#include <cstdio>
#include <string>
#include <vector>

#include "match/game.h"
#include "match/openings.h"
#include "match/stats.h"

namespace velmor::match {

// The model behind the Elo figure and the SPRT (see stats.h); pentanomial
// unless asked otherwise, as the games always come in pairs.
enum class StatsModel { Trinomial, Pentanomial };

struct MatchOptions {
    std::string command[2];  // engine 1, engine 2
    std::string name[2];
    std::vector<std::string> info[2];  // extra INFO lines ("thread_num 2") for engine 1, engine 2
    GameConfig game;
    int games = 1000;        // total; played in colour-swapped pairs
    int concurrency = 1;     // games at once, each slot with its own two processes
    bool sprtEnabled = true;
    Sprt sprt;
    StatsModel stats = StatsModel::Pentanomial;
    std::string sgfPath;     // empty: no SGF
};

// Per engine, over its moves (the openings' stones excluded).
struct EngineStats {
    long long moves = 0;
    double shareSum = 0;               // of time / timeout_turn, for the average share
    // Answers in under a tenth of the turn: forced replies, proven wins and
    // losses. They weigh down the average without saying how the engine
    // spends a turn it has to think about, so the rest are averaged apart.
    long long quickMoves = 0;
    double quickShareSum = 0;
    long long overTurn = 0;            // moves that took longer than timeout_turn
    double worstOverrunMs = -1e300;    // largest time - timeout_turn
    int lostOnTime = 0, crashes = 0, illegal = 0, fouls = 0;

    double averageShare() const { return moves ? shareSum / double(moves) : 0; }
    double thinkingShare() const {
        return moves > quickMoves ? (shareSum - quickShareSum) / double(moves - quickMoves) : 0;
    }
};

struct MatchSummary {
    Score score;       // engine 1's view, per game
    PairScores pairs;  // the same, per pair whose two games both finished
    EngineStats engine[2];
    int fives = 0, fouls = 0, fullBoards = 0, onTime = 0, crashes = 0, illegal = 0;
    // The SPRT in the chosen model: -1 H0, +1 H1, 0 none (yet). Once decided,
    // both stay as they were when the match was stopped.
    double llr = 0;
    int decision = 0;
};

// Plays the match from `openings` (game g starts from opening g/2 modulo
// their number; engine 1 is black in even games; games 2k and 2k+1 are a
// pair). Writes a progress line per
// game to `log` when given; the SGF file is appended to.
MatchSummary runMatch(const MatchOptions& options, const std::vector<Opening>& openings, std::FILE* log);

// The closing report.
void printSummary(const MatchOptions& options, const MatchSummary& summary, std::FILE* out);

}  // namespace velmor::match
