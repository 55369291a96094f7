// Micro-benchmarks of the position model: table building (paid at every
// START) and the board operations that every search node pays.
#include <benchmark/benchmark.h>

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

const MidGame& midGame() {
    static const MidGame game = [] {
        MidGame g;
        for (const test::DataCase& c : test::loadDataCases("vcf_renju_lfz084.txt")) {
            if (c.size != 15 || c.black.size() + c.white.size() < 30) continue;
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
    }();
    return game;
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

// Plays runs of moves on a set of copies; the copies are refreshed with the
// clock stopped, once per a few hundred moves.
void BM_MakeMove(benchmark::State& state) {
    const MidGame& g = midGame();
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
        benchmark::DoNotOptimize(b.makeMove(g.moves[move], uint8_t(b.sideToMove()), g.rule));
        if (++move == kMovesEach) move = 0, ++board;
    }
}
BENCHMARK(BM_MakeMove);

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
