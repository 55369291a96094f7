// datagen: self-play games for tuning the evaluation.
//
// Plays velmor against itself in-process, from the match tool's random
// openings, with a fixed-depth search (no clock, so a seed gives the same
// games on any machine) and a few random plies from the better candidates
// after the opening so that games from similar openings part ways. Every
// position is written with the game result and the search value; the ones the
// evaluation never meets in a search are flagged out: the side to move can
// make five, must block one, or has a win the search proved.
//
//   datagen --out FILE --games N --seed S [--depth D] [--random-plies R]
//           [--settings fs15,rj15,fs20,ex15]
//
// Game g is played on setting g mod (number of settings). Records are
// appended, one whole game at a time, so runs can be stopped and resumed
// with another seed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "board/generators.h"
#include "board/patterns.h"
#include "match/openings.h"
#include "search/clock.h"
#include "search/search_state.h"
#include "training/game_record.h"
#include "training/samples.h"

using namespace velmor;
using training::GameRecord;
using training::Result;

namespace {

struct Setting {
    const char* name;
    match::Rule rule;
    int size;
};
constexpr Setting kKnownSettings[] = {
    {"fs15", match::Rule::FreeStyle, 15}, {"fs20", match::Rule::FreeStyle, 20},
    {"ex15", match::Rule::ExactFive, 15}, {"ex20", match::Rule::ExactFive, 20},
    {"rj15", match::Rule::Renju, 15},
};

GameRule engineRule(match::Rule r) {
    return r == match::Rule::FreeStyle ? FreeStyle : r == match::Rule::ExactFive ? ExactFive : Renju;
}

struct Options {
    std::string out;
    long games = 0;
    uint64_t seed = 1;
    int depth = 4;
    int randomPlies = 2;
    std::vector<Setting> settings;
};

[[noreturn]] void usage(const char* why) {
    std::fprintf(stderr,
                 "datagen: %s\nusage: datagen --out FILE --games N --seed S [--depth D] [--random-plies R]"
                 " [--settings fs15,rj15,fs20,ex15,ex20]\n",
                 why);
    std::exit(2);
}

Options parse(int argc, char** argv) {
    Options o;
    std::string settings = "fs15,rj15,fs20,ex15,rj15,fs15";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) usage(("missing value for " + a).c_str());
        const char* v = argv[++i];
        if (a == "--out") o.out = v;
        else if (a == "--games") o.games = std::atol(v);
        else if (a == "--seed") o.seed = std::strtoull(v, nullptr, 10);
        else if (a == "--depth") o.depth = std::atoi(v);
        else if (a == "--random-plies") o.randomPlies = std::atoi(v);
        else if (a == "--settings") settings = v;
        else usage(("unknown option " + a).c_str());
    }
    for (size_t at = 0; at <= settings.size();) {
        const size_t end = std::min(settings.find(',', at), settings.size());
        const std::string name = settings.substr(at, end - at);
        const Setting* s = std::find_if(std::begin(kKnownSettings), std::end(kKnownSettings),
                                        [&](const Setting& k) { return name == k.name; });
        if (s == std::end(kKnownSettings)) usage(("unknown setting " + name).c_str());
        o.settings.push_back(*s);
        at = end + 1;
    }
    if (o.out.empty() || o.games <= 0 || o.depth < 1 || o.randomPlies < 0) usage("bad options");
    return o;
}

// One of the few best candidates by the generator's own ordering, never a
// foul: variety without throwing the game away.
Pos randomCandidate(const Board& board, GameRule rule, std::mt19937_64& rng) {
    MoveList list;
    generateCandidates(board, list);
    sortByValue(list);
    const int mover = board.sideToMove();
    std::vector<Pos> pool;
    for (const ScoredMove& m : list) {
        if (rule == Renju && mover == 0 && board.cell(m.pos).pointType[0] == Forbidden) continue;
        pool.push_back(m.pos);
        if (pool.size() == 4) break;
    }
    return pool.empty() ? Pos(-1, -1) : pool[rng() % pool.size()];
}

GameRecord playGame(const Setting& setting, const match::Opening& opening, const Options& o, SearchState& state,
                    std::mt19937_64& rng) {
    const GameRule rule = engineRule(setting.rule);
    GameRecord game;
    game.rule = rule;
    game.size = setting.size;
    game.openingStones = int(opening.moves.size());
    boardSize = int8_t(setting.size);
    Board board;
    newBoard(board);
    for (const match::Point& p : opening.moves) {
        board.makeMove(Pos(p.x, p.y), uint8_t(board.sideToMove()), rule);
        game.moves.push_back(Pos(p.x, p.y));
        game.kept.push_back(false);
        game.values.push_back(0);
    }
    SearchSettings settings;
    settings.rule = rule;
    settings.maxMemory = 24000000;
    settings.turnTimeMs = 0xFFFFFFFFu;  // no clock: the same games on every machine
    settings.timeLeftMs = 0xFFFFFFFFu;
    settings.maxDepth = o.depth;
    const int cells = setting.size * setting.size;
    int randomLeft = o.randomPlies;
    while (true) {
        if (int(game.moves.size()) >= cells) {
            game.result = Result::Draw;
            return game;
        }
        const int me = board.sideToMove();
        state.configure(settings);
        state.setRoot(board);
        Pos move = state.iterativeDeepening(wallClockTicks());
        const int32_t value = state.bestLine.rating;
        const bool decided = !training::isTrainingPosition(board, value);
        game.kept.push_back(!decided);
        game.values.push_back(int16_t(std::clamp(value, -32000, 32000)));
        // A proven result ends the game: the threat search's wins hold, and
        // playing them out teaches nothing.
        if (value >= kWin || value <= kLoss) {
            game.moves.push_back(move);
            game.result = Result((value >= kWin) == (me == 0) ? Result::BlackWins : Result::WhiteWins);
            return game;
        }
        if (randomLeft > 0 && !decided) {
            --randomLeft;
            const Pos random = randomCandidate(board, rule, rng);
            if (random.x() >= 0) move = random;
        }
        game.moves.push_back(move);
        const Cell& c = board.cell(move);
        if (c.stone != 2 || (rule == Renju && me == 0 && c.pointType[0] == Forbidden)) {
            // Never expected: the engine plays no occupied point or foul.
            game.result = me == 0 ? Result::WhiteWins : Result::BlackWins;
            return game;
        }
        const bool five = c.pointType[me] == Five;
        board.makeMove(move, uint8_t(me), rule);
        if (five) {
            game.result = me == 0 ? Result::BlackWins : Result::WhiteWins;
            return game;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const Options o = parse(argc, argv);
    fillZobristKeys();
    if (!buildAllPatternTables()) return 1;
    training::GameWriter writer;
    if (!writer.open(o.out)) {
        std::fprintf(stderr, "datagen: cannot write %s\n", o.out.c_str());
        return 1;
    }
    std::mt19937_64 rng(o.seed);
    static SearchState state;  // large: kept off the stack and reused game to game
    long positions = 0;
    const auto start = std::chrono::steady_clock::now();
    for (long g = 0; g < o.games; ++g) {
        const Setting& setting = o.settings[size_t(g) % o.settings.size()];
        int rejected = 0;
        const auto openings = match::randomOpenings(1, setting.size, setting.rule, rng(), rejected);
        if (openings.empty()) continue;
        const GameRecord game = playGame(setting, openings[0], o, state, rng);
        if (!writer.write(game)) {
            std::fprintf(stderr, "datagen: write failed\n");
            return 1;
        }
        positions += std::count(game.kept.begin(), game.kept.end(), true);
        if ((g + 1) % 50 == 0 || g + 1 == o.games) {
            const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::printf("%ld games, %ld positions, %.0f s, %.1f positions/s\n", g + 1, positions, s, positions / s);
            std::fflush(stdout);
        }
    }
    return writer.close() ? 0 : 1;
}
