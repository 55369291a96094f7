// The win by fours, played out move by move, against the slow judge that
// looks only at the stones, on positions of random games under every rule.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "support/positions.h"
#include "threat/four_search.h"
#include "threat/line_check.h"
#include "threat/vcf_oracle.h"

namespace velmor::test {
namespace {

// Dense random games in a 9x9 square around the centre, so that fours,
// counter-fours and fives on offer are common.
std::vector<Board> randomPositions(int size, GameRule rule, uint32_t seed, int games) {
    std::mt19937 rng(seed);
    std::vector<Board> boards;
    for (int g = 0; g < games; ++g) {
        std::vector<Stone> stones;
        std::vector<bool> taken(size * size);
        while (stones.size() < 44) {
            const int x = size / 2 - 4 + int(rng() % 9), y = size / 2 - 4 + int(rng() % 9);
            if (taken[x * size + y]) continue;
            taken[x * size + y] = true;
            stones.push_back({x, y, int(stones.size() % 2)});
            if (stones.size() >= 12 && stones.size() % 4 == 0) {
                const Board b = placeStones(size, rule, stones, int(stones.size() % 2));
                // A game is over once either side has a five.
                VcfOracle judge(rule);
                bool five = false;
                for (const Stone& s : stones) five = five || judge.makesFive(b, Pos(s.x, s.y), s.side);
                if (five) break;
                boards.push_back(b);
            }
        }
    }
    return boards;
}

// Every win it claims is real and replays as a line of fours; it finds
// nearly every win the judge finds (it follows a chain of fours from the
// last one, so two chains that only meet at the end escape it).
TEST(WinByFours, ClaimsOnlyRealWinsAndFindsNearlyAll) {
    for (GameRule rule : {FreeStyle, ExactFive, Renju}) {
        SCOPED_TRACE(int(rule));
        ThreatContext context;
        context.rule = rule;
        int wins = 0, found = 0, positions = 0;
        for (const Board& b : randomPositions(15, rule, 100 + rule, 40)) {
            ++positions;
            SmallList<Pos, 64> line;
            const ThreatResult r = winByFours(context, b, line, false);
            VcfOracle judge(rule);
            const bool truth = judge.vcf(b);
            if (r.win) {
                ASSERT_TRUE(truth) << "false claim, first move " << line[0].x() << "," << line[0].y();
                ASSERT_EQ(checkWinningLine(b, rule, line, true), "");
            } else {
                EXPECT_TRUE(line.empty());
            }
            wins += truth;
            found += r.win;
        }
        EXPECT_GE(positions, 200);
        EXPECT_GE(wins, 40);
        EXPECT_GE(found * 100, wins * 95) << found << " of " << wins;
    }
}

}  // namespace
}  // namespace velmor::test
