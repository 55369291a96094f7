// Forced wins by threes against the engine, and the clock of the threat
// search, on real positions.
#include <gtest/gtest.h>

#include <algorithm>

#include "board/generators.h"
#include "search/engine.h"
#include "threat/db_search.h"
#include "threat/threat_cache.h"
#include "search_fixture.h"

namespace velmor {
namespace {

using test::loadDataCases;
using test::SearchFixture;

bool winsByThrees(SearchFixture& f, const Board& b) {
    SearchPath line;
    line.reset(b.lastMove.stoneCount);
    return f.state.dbSearch(b, line, false, false);
}
bool winsByFours(SearchFixture& f, const Board& b) {
    SearchPath line;
    line.reset(b.lastMove.stoneCount);
    return f.state.dbSearch(b, line, false, true);
}

// The renju problems' winning side has a forced win by threes. Hand the move
// to the other side: where some reply breaks the win (checked by playing
// every candidate), the engine's answer must be one of those replies.
TEST(ThreatDefence, TheAnswerBreaksTheOpponentsWinByThrees) {
    int checked = 0;
    for (const test::DataCase& c : loadDataCases("vct_renju_quintet.txt")) {
        if (checked == 4) break;
        Board defending = c.board();
        defending.lastMove.side = uint8_t(c.toMove);  // the attacker has just moved
        SearchFixture f;
        f.prepare(defending, c.rule);
        if (winsByThrees(f, defending)) continue;  // the defender would simply win
        MoveList candidates;
        generateCandidates(defending, candidates);
        std::vector<Pos> refutations;
        for (const ScoredMove& m : candidates) {
            Board next = defending;
            next.makeMove(m.pos, uint8_t(defending.sideToMove()), c.rule);
            if (!winsByThrees(f, next)) refutations.push_back(m.pos);
        }
        if (refutations.empty() || refutations.size() == candidates.size()) continue;
        SCOPED_TRACE(c.id);
        ++checked;

        SearchSettings settings;
        settings.rule = c.rule;
        settings.maxMemory = test::kTestMemory;
        settings.turnTimeMs = 60000;
        settings.maxDepth = 4;
        Board copy = defending;
        const Pos answer = AIVelmorSearch().getBestMove(copy, settings);
        EXPECT_NE(std::find(refutations.begin(), refutations.end(), answer), refutations.end())
            << answer.x() << "," << answer.y() << " of " << candidates.size() << " candidates";
    }
    EXPECT_EQ(checked, 4);
}

// A threat search that outlives the move's hard limit stops, proves nothing
// (no win claimed, nothing cached, no line left behind) and stops the node
// search too. The search by fours alone is short and always runs to its
// end, so the cases are wins that need threes.
TEST(ThreatDefence, ThreatSearchStopsAtTheDeadline) {
    int cut = 0;
    for (const test::DataCase& c : loadDataCases("vcf_renju_lfz084.txt")) {
        const Board b = c.board();
        SearchFixture f;
        f.prepare(b, c.rule);
        threatCache().clear();
        if (!winsByThrees(f, b) || f.state.stats.dbMax < 300 || winsByFours(f, b)) continue;
        SCOPED_TRACE(c.id);
        threatCache().clear();
        f.state.threat.deadline = 1;  // long past
        f.state.stop->store(false);
        SearchPath line;
        line.reset(b.lastMove.stoneCount);
        line.moves.push_back(Pos(0, 0));
        EXPECT_FALSE(f.state.dbSearch(b, line, true, false));
        f.state.threat.deadline = 0;
        EXPECT_TRUE(f.state.stopped());
        EXPECT_EQ(line.moves.size(), 1u);
        // At most the finished search by fours left its no behind.
        const ThreatCacheEntry kept = threatCache().slot(b.hashHigh);
        EXPECT_TRUE(kept.checkKey != b.hashLow || (kept.foursOnly == 1 && kept.result == 0));
        f.state.stop->store(false);
        EXPECT_TRUE(winsByThrees(f, b));
        if (++cut == 3) break;
    }
    EXPECT_EQ(cut, 3);
}

// A think answers within its turn, the threat searches included: positions
// where the opponent threatens a win by threes are the richest in them.
TEST(ThreatDefence, AnswersWithinTheTurn) {
    const uint32_t turnMs = 200;
    int thinks = 0;
    for (const test::DataCase& c : loadDataCases("vct_renju_quintet.txt")) {
        if (++thinks > 6) break;
        SCOPED_TRACE(c.id);
        Board defending = c.board();
        defending.lastMove.side = uint8_t(c.toMove);
        SearchSettings settings;
        settings.rule = c.rule;
        settings.maxMemory = test::kTestMemory;
        settings.turnTimeMs = turnMs;
        const int64_t start = wallClockTicks();
        AIVelmorSearch().getBestMove(defending, settings);
        EXPECT_LE((wallClockTicks() - start) / kTicksPerMs, int64_t(turnMs));
    }
}

}  // namespace
}  // namespace velmor
