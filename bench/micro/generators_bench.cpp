// Micro-benchmarks of the per-node work of the searches: candidate moves,
// whole-board threats and the static evaluation, over a fixed set of middle
// games of both board sizes and all three rules. Each benchmark reports the
// time per call ("per_call"), averaged over its set of positions.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "board/evaluation.h"
#include "board/generators.h"
#include "support/positions.h"

namespace velmor {
namespace {

// A game played from the candidates themselves (mostly the best-ranked few,
// as a search would), stopped after `plies` or before anyone makes five.
Board randomGame(Board board, GameRule rule, int plies, uint32_t seed) {
    std::mt19937 rng(seed);
    for (int ply = 0; ply < plies; ++ply) {
        MoveList moves;
        if (generateCandidates(board, moves) == 0 || board.typeCount[board.sideToMove()][Five] > 0) break;
        sortByValue(moves);
        const uint32_t pick = rng() % 4 == 0 ? rng() % moves.size() : rng() % std::min(moves.size(), 4u);
        board.makeMove(moves[pick].pos, uint8_t(board.sideToMove()), rule);
    }
    return board;
}

Board randomGameFromCentre(int size, GameRule rule, int plies, uint32_t seed) {
    Board board = test::emptyBoard(size);
    board.makeMove(Pos(size / 2, size / 2), 0, rule);
    return randomGame(board, rule, plies, seed);
}

// 16 positions on 15x15 (8 renju problems from published collections, 4
// free-style and 4 exact-five games) and 8 on 20x20 (4 free-style games
// grown from tournament openings, 2 exact-five and 2 renju games).
const std::vector<Board>& positions(int size) {
    static const std::vector<Board> small = [] {
        std::vector<Board> set;
        int seen = 0;
        for (const test::DataCase& c : test::loadDataCases("vcf_renju_lfz084.txt")) {
            if (c.size != 15 || c.black.size() + c.white.size() + c.moves.size() < 24) continue;
            if (seen++ % 150 == 0) set.push_back(c.board());
            if (set.size() == 8) break;
        }
        for (uint32_t seed = 1; seed <= 4; ++seed) set.push_back(randomGameFromCentre(15, FreeStyle, 36, seed));
        for (uint32_t seed = 1; seed <= 4; ++seed) set.push_back(randomGameFromCentre(15, ExactFive, 36, seed));
        return set;
    }();
    static const std::vector<Board> large = [] {
        std::vector<Board> set;
        uint32_t seed = 100;
        for (const test::DataCase& c : test::loadDataCases("openings.txt")) {
            if (c.size != 20 || c.rule != FreeStyle) continue;
            set.push_back(randomGame(c.board(), FreeStyle, 40, seed++));
            if (set.size() == 4) break;
        }
        for (uint32_t s = 1; s <= 2; ++s) set.push_back(randomGameFromCentre(20, ExactFive, 44, s));
        for (uint32_t s = 1; s <= 2; ++s) set.push_back(randomGameFromCentre(20, Renju, 44, s));
        return set;
    }();
    return size == 15 ? small : large;
}

// Runs `call` once on every position of the size per iteration.
template <class Call>
void runOverPositions(benchmark::State& state, Call call) {
    const int size = int(state.range(0));
    const std::vector<Board>& set = positions(size);
    boardSize = int8_t(size);
    for (auto _ : state)
        for (const Board& b : set) call(b);
    state.counters["per_call"] = benchmark::Counter(double(set.size()),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
    state.counters["positions"] = double(set.size());
    double stones = 0;
    for (const Board& b : set) stones += b.lastMove.stoneCount;
    state.counters["mean_stones"] = stones / double(set.size());
}

void BM_GenerateCandidates(benchmark::State& state) {
    runOverPositions(state, [](const Board& b) {
        MoveList list;
        benchmark::DoNotOptimize(generateCandidates(b, list));
        benchmark::DoNotOptimize(list.data());
    });
}

void BM_CollectThreatsWithThrees(benchmark::State& state) {
    runOverPositions(state, [](const Board& b) {
        MoveList list;
        collectThreats(b, WithThrees, list);
        benchmark::DoNotOptimize(list.data());
    });
}

void BM_Evaluate(benchmark::State& state) {
    runOverPositions(state, [](const Board& b) { benchmark::DoNotOptimize(evaluate(b, b.sideToMove(), FreeStyle)); });
}

// Medians over repeated runs: the machine may be shared while measuring.
BENCHMARK(BM_GenerateCandidates)->Arg(15)->Arg(20)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_CollectThreatsWithThrees)->Arg(15)->Arg(20)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_Evaluate)->Arg(15)->Arg(20)->Repetitions(7)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace velmor
