// bench: the whole search over fixed positions, for speed and for catching
// unintended changes of search behaviour.
//
//   bench [depth]      search every position to `depth` (default 6) with a
//                      fixed memory budget and no time limit; print the move,
//                      rating, nodes and time of each, then the node total as
//                      a signature (the same build prints the same signature
//                      on every run), the nodes per second, and the time the
//                      searches took to finish each depth
//   bench --depth-in   the depth reached within timeout_turn 1000 per position
//   bench --overrun    the worst think time beyond timeout_turn at 1000 and
//                      5000 ms, with the engine's own settings and with the
//                      search pinned to the hard limit
//   --threads n        (with any of the above) search with n threads; the
//                      nodes then include the helpers', and the signature
//                      varies from run to run
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "search/clock.h"
#include "search/search_state.h"
#include "support/bench_positions.h"
#include "support/positions.h"
#include "threat/threat_cache.h"

using namespace velmor;

namespace {

// A fixed budget: the table size is part of what the signature pins.
constexpr uint32_t kBenchMemory = 48000000;

// Search threads of every think (--threads).
int32_t benchThreads = 1;

struct Result {
    Pos move;
    int32_t rating = 0;
    int32_t depth = 0;
    int64_t nodes = 0;
    int64_t threatNodes = 0;  // the deciding thread's
    int64_t helperNodes = 0;  // included in `nodes`
    double ms = 0;
    // Milliseconds from the start of the think to the end of each completed
    // iteration, by depth (from the search's iteration lines).
    std::map<int, double> depthMs;
};

// Reads "depth: D-... time:Tms ..." of an iteration line into `depthMs`.
void noteIteration(const std::string& line, std::map<int, double>& depthMs) {
    int depth = 0, reach = 0;
    if (std::sscanf(line.c_str(), "depth: %d-%d", &depth, &reach) != 2) return;
    const std::size_t at = line.find(" time:");
    if (at == std::string::npos) return;
    depthMs[depth] = std::atof(line.c_str() + at + 6);
}

// One think, exactly as the engine runs it, but keeping the search state for
// its figures. Every position starts from an empty threat cache so that its
// figures do not depend on the positions before it.
Result think(const test::BenchPosition& position, uint32_t turnTimeMs, uint32_t timeLeftMs, int32_t minDepth,
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
    settings.threads = benchThreads;
    Result r;
    settings.messageSink = [&r](const std::string& line) { noteIteration(line, r.depthMs); };

    const int64_t start = wallClockTicks();
    {
        SearchState state;
        state.configure(settings);
        state.setRoot(board);
        r.move = state.iterativeDeepening(start);
        state.table->release();
        r.rating = state.bestLine.rating;
        r.depth = state.depth;
        r.nodes = int64_t(state.stats.ab) + state.stats.nodes + state.helperNodes;
        r.helperNodes = state.helperNodes;
        r.threatNodes = state.stats.dbTotal;
    }
    r.ms = double(wallClockTicks() - start) / double(kTicksPerMs);
    return r;
}

const char* ruleName(GameRule rule) { return rule == FreeStyle ? "free" : rule == ExactFive ? "exact" : "renju"; }

int stoneCount(const test::BenchPosition& p) { return int(test::parsePoints(p.moves).size()); }

void printPosition(int index, const test::BenchPosition& p) {
    std::printf("%3d  %2dx%-2d %-5s %3d  ", index + 1, p.size, p.size, ruleName(p.rule), stoneCount(p));
}

int fixedDepth(int32_t depth) {
    std::printf("fixed depth %d, memory %u bytes, no time limit, %d thread%s\n", depth, kBenchMemory, benchThreads,
                benchThreads == 1 ? "" : "s");
    std::printf("  #  board  rule  stones  move     rating      nodes  threat nodes       ms\n");
    int64_t nodes = 0, threatNodes = 0, helperNodes = 0;
    double ms = 0;
    int index = 0;
    std::map<int, double> depthMs;  // summed over the positions that completed the depth
    std::map<int, int> depthCount;
    for (const test::BenchPosition& p : test::kBenchPositions) {
        Result r = think(p, 0xFFFFFFFFu, 0xFFFFFFFFu, 2, depth);
        for (const auto& [d, t] : r.depthMs) {
            depthMs[d] += t;
            ++depthCount[d];
        }
        printPosition(index++, p);
        char move[16];
        std::snprintf(move, sizeof move, "[%d,%d]", r.move.x(), r.move.y());
        std::printf("  %-8s %6d %10lld %13lld %8.1f\n", move, r.rating, (long long)r.nodes, (long long)r.threatNodes,
                    r.ms);
        nodes += r.nodes;
        helperNodes += r.helperNodes;
        threatNodes += r.threatNodes;
        ms += r.ms;
    }
    std::printf("nodes %lld, threat nodes %lld, time %.0f ms, %.0f nodes/s\n", (long long)nodes,
                (long long)threatNodes, ms, ms > 0 ? double(nodes) * 1000.0 / ms : 0.0);
    if (benchThreads > 1)
        std::printf("deciding thread %lld nodes, helpers %lld nodes\n", (long long)(nodes - helperNodes),
                    (long long)helperNodes);
    for (const auto& [d, t] : depthMs)
        std::printf("depth %2d completed by %2d positions, %8.0f ms in all\n", d, depthCount[d], t);
    std::printf("signature: %lld\n", (long long)(nodes + threatNodes));
    return 0;
}

int depthWithin(uint32_t turnTimeMs) {
    std::printf("depth reached within timeout_turn %u (time_left 1000000000)\n", turnTimeMs);
    std::printf("  #  board  rule  stones  depth  rating       ms\n");
    std::vector<int> depths;
    int index = 0;
    for (const test::BenchPosition& p : test::kBenchPositions) {
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
            for (const test::BenchPosition& p : test::kBenchPositions) {
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
    enum { FixedDepth, DepthIn, Overrun } mode = FixedDepth;
    int depth = 6;
    bool ok = true;
    for (int i = 1; i < argc && ok; ++i) {
        if (std::strcmp(argv[i], "--depth-in") == 0) mode = DepthIn;
        else if (std::strcmp(argv[i], "--overrun") == 0) mode = Overrun;
        else if (std::strcmp(argv[i], "--threads") == 0 && i + 1 < argc) {
            benchThreads = std::atoi(argv[++i]);
            ok = benchThreads >= 1 && benchThreads <= 256;
        } else {
            depth = std::atoi(argv[i]);
            ok = depth >= 2 && depth <= 20;
        }
    }
    if (!ok) {
        std::fprintf(stderr, "usage: bench [depth 2..20 | --depth-in | --overrun] [--threads 1..256]\n");
        return 2;
    }
    if (mode == DepthIn) return depthWithin(1000);
    if (mode == Overrun) return overrun();
    return fixedDepth(depth);
}
