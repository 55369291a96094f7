// Micro-benchmarks of the position model: table building (paid at every
// START) and the board operations that every search node pays.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "board/board.h"
#include "board/patterns.h"
#include "support/positions.h"

namespace velmor {
namespace {

// A renju middle game with plenty of shapes around, and the empty points
// next to its stones, where searches actually play.
struct MidGame {
    Board board;
    std::vector<Pos> moves;
    GameRule rule = Renju;
};

// The middle game played under `rule` (free-style for the comparison), and
// the empty points next to its stones.
MidGame buildMidGame(GameRule rule) {
    MidGame g;
    g.rule = rule;
    for (test::DataCase c : test::loadDataCases("vcf_renju_lfz084.txt")) {
        if (c.size != 15 || c.black.size() + c.white.size() < 30) continue;
        c.rule = rule;
        g.board = c.board();
        break;
    }
    for (int x = 0; x < 15; ++x)
        for (int y = 0; y < 15; ++y) {
            if (!g.board.isEmpty(x, y)) continue;
            const Cell& cell = g.board.cells[x][y];
            bool near = false;
            for (int d = 0; d < 4; ++d)
                near |= ((cell.stoneMask[0][d] ^ cell.stoneMask[1][d]) & 0x3C) != 0;  // a stone within 2
            if (near) g.moves.push_back(Pos(x, y));
        }
    return g;
}

const MidGame& midGame(GameRule rule = Renju) {
    static const MidGame renju = buildMidGame(Renju), freeStyle = buildMidGame(FreeStyle);
    return rule == Renju ? renju : freeStyle;
}

void BM_BuildAllTables(benchmark::State& state) {
    test::ensureEngineTables();
    for (auto _ : state) {
        fillZobristKeys();
        benchmark::DoNotOptimize(buildAllPatternTables());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BuildAllTables)->Unit(benchmark::kMillisecond);

// The rule of a benchmark's argument: 0 free-style, 2 renju.
GameRule ruleArg(const benchmark::State& state) { return GameRule(state.range(0)); }

// Plays runs of moves on a set of copies; the copies are refreshed with the
// clock stopped, once per a few hundred moves.
void BM_MakeMove(benchmark::State& state) {
    const GameRule rule = ruleArg(state);
    const MidGame& g = midGame(rule);
    constexpr int kBoards = 32, kMovesEach = 16;
    static std::vector<Board> boards(kBoards);
    int board = kBoards, move = 0;
    for (auto _ : state) {
        if (board == kBoards) {
            state.PauseTiming();
            for (Board& b : boards) b = g.board;
            board = 0;
            move = 0;
            state.ResumeTiming();
        }
        Board& b = boards[board];
        benchmark::DoNotOptimize(b.makeMove(g.moves[move], uint8_t(b.sideToMove()), rule));
        if (++move == kMovesEach) move = 0, ++board;
    }
}
BENCHMARK(BM_MakeMove)->ArgName("rule")->Arg(Renju)->Arg(FreeStyle);

// Renju positions as play meets them, each with the next 16 plies: 16 game
// positions from the problem books (30 and more stones, shapes everywhere,
// often points the patterns flag) and 16 games grown from the standard
// openings to between 6 and 36 stones, most of them without a flagged
// point. The plies are near points picked at random, as a search tries
// them; they depend on the stones alone, so every version of the Board
// plays the same moves.
struct GameLine {
    std::vector<Pos> stones;  // in playing order, black first
    std::vector<Pos> plies;
};

bool emptyNearStone(const std::vector<Pos>& stones, Pos p) {
    bool near = false;
    for (Pos s : stones) {
        if (s == p) return false;
        const int dx = s.x() - p.x(), dy = s.y() - p.y();
        near |= dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2;
    }
    return near;
}

// `count` near points picked at random, played after `stones`.
std::vector<Pos> growLine(const std::vector<Pos>& stones, int count, std::mt19937& rng) {
    std::vector<Pos> all = stones;
    for (int n = 0; n < count; ++n) {
        std::vector<Pos> near;
        for (int x = 0; x < 15; ++x)
            for (int y = 0; y < 15; ++y)
                if (emptyNearStone(all, Pos(x, y))) near.push_back(Pos(x, y));
        all.push_back(near[rng() % near.size()]);
    }
    return {all.begin() + stones.size(), all.end()};
}

const std::vector<GameLine>& gameLines() {
    static const std::vector<GameLine> lines = [] {
        std::vector<GameLine> set;
        std::mt19937 rng(2024);
        int seen = 0;
        for (const test::DataCase& c : test::loadDataCases("vcf_renju_lfz084.txt")) {
            if (c.size != 15 || c.moves.size() < 30 || seen++ % 40 != 0) continue;
            set.push_back({c.moves, growLine(c.moves, 16, rng)});
            if (set.size() == 16) break;
        }
        int grown = 0;
        for (const test::DataCase& c : test::loadDataCases("openings.txt")) {
            if (c.rule != Renju || grown == 16) continue;
            std::vector<Pos> stones = c.moves;
            const std::vector<Pos> more = growLine(stones, 3 + 2 * grown++, rng);
            stones.insert(stones.end(), more.begin(), more.end());
            set.push_back({stones, growLine(stones, 16, rng)});
        }
        return set;
    }();
    return lines;
}

// BM_MakeMove over the game lines: the 32 boards run their 16 plies each.
void BM_MakeMoveInGames(benchmark::State& state) {
    const GameRule rule = ruleArg(state);
    const std::vector<GameLine>& lines = gameLines();
    static std::vector<Board> starts[3];  // by rule, built once (they are not what is timed)
    if (starts[rule].empty())
        for (const GameLine& line : lines) starts[rule].push_back(test::playMoves(15, rule, line.stones));
    static std::vector<Board> boards;
    constexpr int kPlies = 16;
    size_t board = lines.size();
    int ply = 0;
    for (auto _ : state) {
        if (board == lines.size()) {
            state.PauseTiming();
            boards = starts[rule];
            board = 0;
            ply = 0;
            state.ResumeTiming();
        }
        Board& b = boards[board];
        benchmark::DoNotOptimize(b.makeMove(lines[board].plies[ply], uint8_t(b.sideToMove()), rule));
        if (++ply == kPlies) ply = 0, ++board;
    }
}
BENCHMARK(BM_MakeMoveInGames)->ArgName("rule")->Arg(Renju)->Arg(FreeStyle);

void BM_CopyBoard(benchmark::State& state) {
    const Board& base = midGame().board;
    for (auto _ : state) {
        Board copy = base;
        benchmark::DoNotOptimize(&copy);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyBoard);

void BM_CopyAndMakeMove(benchmark::State& state) {
    const MidGame& g = midGame();
    size_t i = 0;
    for (auto _ : state) {
        Board copy = g.board;
        benchmark::DoNotOptimize(copy.makeMove(g.moves[i], uint8_t(copy.sideToMove()), g.rule));
        benchmark::ClobberMemory();
        if (++i == g.moves.size()) i = 0;
    }
}
BENCHMARK(BM_CopyAndMakeMove);

void BM_MakeAndRemove(benchmark::State& state) {
    const MidGame& g = midGame();
    Board board = g.board;
    size_t i = 0;
    for (auto _ : state) {
        const MoveRecord previous = board.lastMove;
        board.makeMove(g.moves[i], uint8_t(board.sideToMove()), g.rule);
        board.removeStone(g.moves[i], previous, g.rule);
        benchmark::ClobberMemory();
        if (++i == g.moves.size()) i = 0;
    }
}
BENCHMARK(BM_MakeAndRemove);

}  // namespace
}  // namespace velmor
