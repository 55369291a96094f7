// bench: the whole search over fixed positions, for speed and for catching
// unintended changes of search behaviour.
//
//   bench [depth]      search every position to `depth` (default 6) with a
//                      fixed memory budget and no time limit; print the move,
//                      rating, nodes and time of each, then the node total as
//                      a signature (the same build prints the same signature
//                      on every run) and the nodes per second
//   bench --depth-in   the depth reached within timeout_turn 1000 per position
//   bench --overrun    the worst think time beyond timeout_turn at 1000 and
//                      5000 ms, with the engine's own settings and with the
//                      search pinned to the hard limit
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "search/clock.h"
#include "search/search_state.h"
#include "support/positions.h"
#include "threat/threat_cache.h"

using namespace velmor;

namespace {

struct BenchPosition {
    int size;
    GameRule rule;
    const char* moves;  // in playing order, black first
};

// Openings to late middle game on both sizes under all three rules: the
// openings come from the opening collection, the later positions from games
// the engine played against itself from them.
const BenchPosition kPositions[] = {
    {20, FreeStyle, "3,2 4,1 7,1"},
    {20, FreeStyle, "3,2 4,1 7,1 5,4 9,3 5,5 5,6 4,5 6,3 4,4 8,3 7,3 6,5 4,7 4,6 6,6"},
    {20, FreeStyle, "6,11 6,12 6,9 6,10 8,10 7,10 10,10 9,10 10,12 10,11 9,8 10,9 8,7 7,8 13,8 13,7 13,10 13,9 13,11 "
                    "13,12 8,9 8,11"},
    {20, FreeStyle, "6,11 6,12 6,9 6,10 8,10 7,10 10,10 9,10 10,12 10,11 9,8 10,9 8,7 7,8 13,8 13,7 13,10 13,9 13,11 "
                    "13,12 8,9 8,11 7,12 9,11 11,11 9,9 11,8 7,9 7,7 9,13 9,12 8,12 7,11 10,8 11,10 11,12"},
    {20, FreeStyle, "16,16 14,16 16,14 14,14 16,12 14,12 14,13 16,13 15,11 14,10 15,12 15,10 16,11 17,10 16,10 16,9 "
                    "15,14 14,11 13,12 16,15 17,13 18,14 15,15 15,13 14,8 15,9"},
    {20, FreeStyle, "16,16 14,16 16,14 14,14 16,12 14,12 14,13 16,13 15,11 14,10 15,12 15,10 16,11 17,10 16,10 16,9 "
                    "15,14 14,11 13,12 16,15 17,13 18,14 15,15 15,13 14,8 15,9 17,9 13,15 16,8 17,8 18,7 15,7 19,11 "
                    "18,12 18,11 17,11 18,8 19,7 15,16 11,10"},
    {20, FreeStyle, "0,18 1,19 0,17 2,19 0,16 3,19 5,19 0,14 6,19 0,13 7,19 0,12 0,10 9,19 0,9 10,19 0,8 11,19 13,19 "
                    "0,6 14,19 0,5 15,19 0,4 0,2 17,19 2,17"},
    {20, FreeStyle, "0,18 1,19 0,17 2,19 0,16 3,19 5,19 0,14 6,19 0,13 7,19 0,12 0,10 9,19 0,9 10,19 0,8 11,19 13,19 "
                    "0,6 14,19 0,5 15,19 0,4 0,2 17,19 2,17 0,7 0,3 0,15 0,11 0,19 4,19 8,19 12,19 16,19 2,15 2,16 "
                    "3,16 3,17 4,13"},
    {20, ExactFive, "9,13 9,15 13,15 14,14 16,11"},
    {20, ExactFive, "9,13 9,15 13,15 14,14 16,11 11,13 10,14 11,15 8,14 11,14 11,12 10,15 8,15 9,16 8,17 11,16 11,17 "
                    "8,16 10,16"},
    {20, Renju, "2,17 4,17 5,15 3,13 3,12"},
    {20, Renju, "2,17 4,17 5,15 3,13 3,12 4,13 5,13 5,12 6,11 4,11 3,10 2,15 4,14 3,16 1,14 4,9 3,14 4,12 4,10 2,14"},
    {15, Renju, "7,7 7,6 7,5"},
    {15, Renju, "7,7 7,6 7,5 6,8 9,7 10,8 6,6 8,8 9,8 9,9 11,7 10,7 8,4 5,7"},
    {15, Renju, "7,7 8,6 9,8"},
    {15, Renju, "7,7 8,6 9,8 8,8 8,9 7,10 7,6 8,7 7,5 7,4 7,9 7,8 6,9 5,9 8,5 9,4 8,4 9,3 9,5 10,5"},
    {15, Renju, "7,7 7,6 9,9 8,8 10,9 8,9 8,10 10,8 9,10 8,6 11,8 8,11"},
    {15, FreeStyle, "7,7 7,6 8,8"},
    {15, FreeStyle, "7,7 8,6 6,8 7,5 9,7 9,6 6,6 10,6 11,6 6,7 8,8 9,9"},
    {15, FreeStyle, "7,7 7,6 8,8 9,9 6,8 8,6 5,7 6,6 5,6 9,8 9,6 8,7 10,9 5,8 5,4 4,6 9,11 8,10"},
    {15, FreeStyle, "7,7 7,6 8,8 9,9 6,8 8,6 5,7 6,6 5,6 9,8 9,6 8,7 10,9 5,8 5,4 4,6 9,11 8,10 7,11 7,10 6,7 4,7 "
                    "8,11 6,11 8,9 7,8 4,10 4,5 4,8 5,9 9,10 11,8 10,11 11,11"},
    {15, ExactFive, "7,7 8,6 8,8"},
    {15, ExactFive, "7,7 7,6 9,6 5,6 9,5 9,7 8,6 10,4 8,5 8,7 6,5 7,5 6,6 6,7"},
    {15, ExactFive, "7,7 8,6 8,8 6,6 5,6 9,6 7,8 6,7 7,6 7,5 9,8 10,8 9,7 7,9 6,5 8,7 4,7 3,8 5,8 6,8 6,9 7,10"},
    {15, ExactFive, "7,7 8,6 8,8 6,6 5,6 9,6 7,8 6,7 7,6 7,5 9,8 10,8 9,7 7,9 6,5 8,7 4,7 3,8 5,8 6,8 6,9 7,10 5,7 "
                    "5,5 5,10 5,9 4,3 8,3 4,4 2,5 3,5 5,4 5,3 2,6"},
};

// A fixed budget: the table size is part of what the signature pins.
constexpr uint32_t kBenchMemory = 48000000;

struct Result {
    Pos move;
    int32_t rating = 0;
    int32_t depth = 0;
    int64_t nodes = 0;
    int64_t threatNodes = 0;
    double ms = 0;
};

// One think, exactly as the engine runs it, but keeping the search state for
// its figures. Every position starts from an empty threat cache so that its
// figures do not depend on the positions before it.
Result think(const BenchPosition& position, uint32_t turnTimeMs, uint32_t timeLeftMs, int32_t minDepth,
             int32_t maxDepth) {
    const Board board = test::playMoves(position.size, position.rule, test::parsePoints(position.moves));
    threatCache().clear();
    SearchSettings settings;
    settings.rule = position.rule;
    settings.maxMemory = kBenchMemory;
    settings.turnTimeMs = turnTimeMs;
    settings.timeLeftMs = timeLeftMs;
    settings.minDepth = minDepth;
    settings.maxDepth = maxDepth;

    const int64_t start = wallClockTicks();
    Result r;
    {
        SearchState state;
        state.configure(settings);
        state.setRoot(board);
        r.move = state.iterativeDeepening(start);
        state.table.release();
        r.rating = state.bestLine.rating;
        r.depth = state.depth;
        r.nodes = int64_t(state.stats.ab) + state.stats.nodes;
        r.threatNodes = state.stats.dbTotal;
    }
    r.ms = double(wallClockTicks() - start) / double(kTicksPerMs);
    return r;
}

const char* ruleName(GameRule rule) { return rule == FreeStyle ? "free" : rule == ExactFive ? "exact" : "renju"; }

int stoneCount(const BenchPosition& p) { return int(test::parsePoints(p.moves).size()); }

void printPosition(int index, const BenchPosition& p) {
    std::printf("%3d  %2dx%-2d %-5s %3d  ", index + 1, p.size, p.size, ruleName(p.rule), stoneCount(p));
}

int fixedDepth(int32_t depth) {
    std::printf("fixed depth %d, memory %u bytes, no time limit\n", depth, kBenchMemory);
    std::printf("  #  board  rule  stones  move     rating      nodes  threat nodes       ms\n");
    int64_t nodes = 0, threatNodes = 0;
    double ms = 0;
    int index = 0;
    for (const BenchPosition& p : kPositions) {
        Result r = think(p, 0xFFFFFFFFu, 0xFFFFFFFFu, 2, depth);
        printPosition(index++, p);
        char move[16];
        std::snprintf(move, sizeof move, "[%d,%d]", r.move.x(), r.move.y());
        std::printf("  %-8s %6d %10lld %13lld %8.1f\n", move, r.rating, (long long)r.nodes, (long long)r.threatNodes,
                    r.ms);
        nodes += r.nodes;
        threatNodes += r.threatNodes;
        ms += r.ms;
    }
    std::printf("nodes %lld, threat nodes %lld, time %.0f ms, %.0f nodes/s\n", (long long)nodes,
                (long long)threatNodes, ms, ms > 0 ? double(nodes) * 1000.0 / ms : 0.0);
    std::printf("signature: %lld\n", (long long)(nodes + threatNodes));
    return 0;
}

int depthWithin(uint32_t turnTimeMs) {
    std::printf("depth reached within timeout_turn %u (time_left 1000000000)\n", turnTimeMs);
    std::printf("  #  board  rule  stones  depth  rating       ms\n");
    std::vector<int> depths;
    int index = 0;
    for (const BenchPosition& p : kPositions) {
        Result r = think(p, turnTimeMs, 1000000000, 2, 20);
        printPosition(index++, p);
        std::printf("  %5d %7d %8.1f\n", r.depth, r.rating, r.ms);
        depths.push_back(r.depth);
    }
    std::sort(depths.begin(), depths.end());
    std::printf("depth: min %d, median %d, max %d\n", depths.front(), depths[depths.size() / 2], depths.back());
    return 0;
}

int overrun() {
    std::printf("think time beyond timeout_turn (time_left 1000000000)\n");
    struct Mode {
        const char* name;
        int32_t minDepth;
    };
    const Mode modes[] = {{"engine settings", 2}, {"pinned to the hard limit", 20}};
    for (uint32_t turn : {1000u, 5000u})
        for (const Mode& mode : modes) {
            double worst = -1e9;
            int worstIndex = 0, index = 0;
            for (const BenchPosition& p : kPositions) {
                Result r = think(p, turn, 1000000000, mode.minDepth, 20);
                if (r.ms - turn > worst) {
                    worst = r.ms - turn;
                    worstIndex = index;
                }
                ++index;
            }
            std::printf("timeout_turn %5u, %-24s worst %+8.1f ms (position %d)\n", turn, mode.name, worst,
                        worstIndex + 1);
        }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    test::ensureEngineTables();
    if (argc > 1 && std::strcmp(argv[1], "--depth-in") == 0) return depthWithin(1000);
    if (argc > 1 && std::strcmp(argv[1], "--overrun") == 0) return overrun();
    int depth = 6;
    if (argc > 1) {
        depth = std::atoi(argv[1]);
        if (depth < 2 || depth > 20) {
            std::fprintf(stderr, "usage: bench [depth 2..20] | --depth-in | --overrun\n");
            return 2;
        }
    }
    return fixedDepth(depth);
}
