// Threat-search benchmark: the known-answer suite with verdicts, node counts
// and median times, then every renju data file with the share of positions
// the search proves.
//
//   threat_suite [repetitions]     (default 25; the median of them is shown)
//
// The node-count signature at the end changes only if the search's behaviour
// does.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "search/search_state.h"
#include "support/positions.h"
#include "threat/matetrack.h"
#include "threat/threat_positions.h"

using namespace velmor;
using namespace velmor::test;

namespace {

struct Measure {
    bool win = false;
    Pos first;
    int32_t nodes = 0;
    double medianMs = 0;
};

Measure measure(const Board& board, GameRule rule, bool foursOnly, int reps) {
    Measure m;
    std::vector<double> times;
    for (int r = 0; r < reps; ++r) {
        SearchState state;
        state.rule = rule;
        SearchPath path;
        path.reset(board.lastMove.stoneCount);
        auto t0 = std::chrono::steady_clock::now();
        bool win = state.dbSearch(board, path, false, foursOnly);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        m.win = win;
        m.nodes = state.stats.dbTotal;
        if (win) m.first = path.moves[0];
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    m.medianMs = times[times.size() / 2];
    return m;
}

bool in(const std::vector<Pos>& v, Pos p) { return std::find(v.begin(), v.end(), p) != v.end(); }

std::string verdict(const Measure& m) {
    if (!m.win) return "none";
    char buf[32];
    std::snprintf(buf, sizeof buf, "win %d,%d", m.first.x(), m.first.y());
    return buf;
}

struct Slow {
    double ms;
    std::string what;
    int32_t nodes;
};

}  // namespace

int main(int argc, char** argv) {
    const int reps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 25;
    ensureEngineTables();
    uint64_t signature = 0;
    std::vector<Slow> slow;

    std::printf("Known-answer suite (%d repetitions, median)\n", reps);
    std::printf("%-42s %-12s %7s %9s %5s  %-12s %7s %9s %5s\n", "position", "fours", "nodes", "ms", "ok", "threes",
                "nodes", "ms", "ok");
    int agree = 0, total = 0, foursOver = 0, threesOver = 0;
    double foursSum = 0, threesSum = 0;
    int64_t nodeSum = 0;
    for (const MatetrackCase& c : kMatetrack) {
        Board b = stonesBoard(c.size, c.rule, c.black, c.white, c.toMove);
        std::vector<Pos> vcf = parsePoints(c.vcfWins), proven = vcf;
        for (Pos p : parsePoints(c.vctWins)) proven.push_back(p);
        Measure f = measure(b, c.rule, true, reps);
        Measure t = measure(b, c.rule, false, reps);
        // "ok": the verdict is the truth, or the documented disagreement.
        const bool fOk = f.win ? in(vcf, f.first) : (vcf.empty() || (c.known & MissesFours));
        const bool tOk = t.win ? (in(proven, t.first) || (c.known & ThreesClaimOpen))
                               : (c.threes != ThreesTruth::Win || (c.known & MissesThrees));
        std::printf("%-42s %-12s %7d %9.4f %5s  %-12s %7d %9.4f %5s\n", c.name, verdict(f).c_str(), f.nodes,
                    f.medianMs, fOk ? "yes" : "NO", verdict(t).c_str(), t.nodes, t.medianMs, tOk ? "yes" : "NO");
        agree += fOk + tOk;
        total += 2;
        foursOver += f.medianMs > 2.0;
        threesOver += t.medianMs > 50.0;
        foursSum += f.medianMs;
        threesSum += t.medianMs;
        nodeSum += f.nodes + t.nodes;
        signature = signature * 1000003 + uint64_t(f.nodes) * 31 + uint64_t(t.nodes);
        slow.push_back({f.medianMs, std::string(c.name) + " (fours)", f.nodes});
        slow.push_back({t.medianMs, std::string(c.name) + " (threes)", t.nodes});
    }
    std::printf("suite: %d/%d verdicts as expected; %lld nodes; fours total %.3f ms (%d over 2 ms), "
                "threes total %.3f ms (%d over 50 ms)\n",
                agree, total, (long long)nodeSum, foursSum, foursOver, threesSum, threesOver);
    std::sort(slow.begin(), slow.end(), [](const Slow& a, const Slow& b) { return a.ms > b.ms; });
    std::printf("slowest:");
    for (size_t i = 0; i < 5 && i < slow.size(); ++i)
        std::printf(" %s %.3f ms %d nodes;", slow[i].what.c_str(), slow[i].ms, slow[i].nodes);
    std::printf("\n\n");

    std::printf("Data files (one run each)\n");
    for (const char* file : {"vcf_renju_lfz084.txt", "vcf_renju_quintet.txt", "vct_renju_quintet.txt"}) {
        std::vector<DataCase> cases = loadDataCases(file);
        const bool complete = std::string(file).rfind("vcf", 0) == 0;  // best lists every VCF first move
        int provedFours = 0, provedThrees = 0, outsideFours = 0, outsideThrees = 0;
        double maxFours = 0, maxThrees = 0, sumFours = 0, sumThrees = 0;
        std::string slowestFours, slowestThrees, falseClaims;
        for (const DataCase& dc : cases) {
            Board b = dc.board();
            Measure f = measure(b, dc.rule, true, 1);
            Measure t = measure(b, dc.rule, false, 1);
            signature = signature * 1000003 + uint64_t(f.nodes) * 31 + uint64_t(t.nodes);
            sumFours += f.medianMs;
            sumThrees += t.medianMs;
            if (f.medianMs > maxFours) maxFours = f.medianMs, slowestFours = dc.id;
            if (t.medianMs > maxThrees) maxThrees = t.medianMs, slowestThrees = dc.id;
            if (f.win) {
                if (in(dc.best, f.first)) ++provedFours;
                else {
                    ++outsideFours;
                    // A win by fours starting outside a complete list of VCF
                    // first moves is a claim the data says is false.
                    if (complete) falseClaims += "\n    " + dc.id;
                }
            }
            if (t.win) (in(dc.best, t.first) ? provedThrees : outsideThrees) += 1;
        }
        const double n = double(cases.size());
        std::printf("%s: %zu cases\n", file, cases.size());
        std::printf("  fours only:  proved with first move in best %d (%.1f%%), win starting outside best %d, "
                    "mean %.3f ms, slowest %.2f ms (%s)\n",
                    provedFours, 100.0 * provedFours / n, outsideFours, sumFours / n, maxFours, slowestFours.c_str());
        std::printf("  with threes: proved with first move in best %d (%.1f%%), win starting outside best %d, "
                    "mean %.3f ms, slowest %.2f ms (%s)\n",
                    provedThrees, 100.0 * provedThrees / n, outsideThrees, sumThrees / n, maxThrees,
                    slowestThrees.c_str());
        std::printf("  fours-only wins the data says do not exist: %s\n",
                    falseClaims.empty() ? (complete ? "none" : "(best is not complete here)") : falseClaims.c_str());
    }
    std::printf("\nnode-count signature: %016llx\n", (unsigned long long)signature);
    return 0;
}
