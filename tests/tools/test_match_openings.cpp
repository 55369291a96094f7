// The match tool's openings: the data-format file both ways, and the seeded
// random openings.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "match/openings.h"

using namespace velmor::match;

namespace {

bool sameMoves(const std::vector<Opening>& a, const std::vector<Opening>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].moves != b[i].moves) return false;
    return true;
}

}  // namespace

TEST(MatchOpenings, RandomOpeningsAreRepeatableAndRoundTripThroughTheFile) {
    struct Case {
        int size;
        Rule rule;
    } cases[] = {{15, Rule::FreeStyle}, {15, Rule::Renju}, {20, Rule::ExactFive}};
    for (const Case& c : cases) {
        int rejected = 0;
        const std::vector<Opening> openings = randomOpenings(6, c.size, c.rule, 42, rejected);
        ASSERT_EQ(openings.size(), 6u);
        EXPECT_TRUE(sameMoves(openings, randomOpenings(6, c.size, c.rule, 42, rejected)));
        for (const Opening& o : openings) {
            EXPECT_TRUE(o.moves.size() >= 3 && o.moves.size() <= 5);
            EXPECT_TRUE(validOpening(o.moves, c.size, c.rule));
        }
        const std::string path = testing::TempDir() + "match_openings.txt";
        ASSERT_TRUE(writeOpenings(path, openings, c.size, c.rule));
        std::vector<Opening> back, otherRule;
        int skipped = 0;
        std::string error;
        ASSERT_TRUE(readOpenings(path, c.size, c.rule, back, skipped, error));
        EXPECT_TRUE(sameMoves(openings, back));
        // Renju openings are not played under the other rules, nor theirs under renju.
        const Rule other = c.rule == Rule::Renju ? Rule::FreeStyle : Rule::Renju;
        ASSERT_TRUE(readOpenings(path, c.size, other, otherRule, skipped, error));
        EXPECT_TRUE(otherRule.empty());
    }
}

TEST(MatchOpenings, TheCollectionsRenjuOpenings) {
    std::vector<Opening> renju;
    int skipped = 0;
    std::string error;
    ASSERT_TRUE(readOpenings(std::string(VELMOR_TEST_DATA) + "/openings.txt", 15, Rule::Renju, renju, skipped, error));
    EXPECT_EQ(renju.size(), 26u);
    EXPECT_EQ(skipped, 0);
    EXPECT_FALSE(readOpenings("/nonexistent/openings.txt", 15, Rule::Renju, renju, skipped, error));
}

// The balance filter keeps only openings the engine values within the bound
// for both sides, and still finds as many as asked for.
TEST(MatchOpenings, BalancedOpeningsStayWithinTheBound) {
    int rejected = 0, rejectedBalanced = 0;
    randomOpenings(4, 15, Rule::FreeStyle, 5, rejected);
    const std::vector<Opening> balanced = randomOpenings(4, 15, Rule::FreeStyle, 5, rejectedBalanced, 40);
    ASSERT_EQ(balanced.size(), 4u);
    EXPECT_GT(rejectedBalanced, rejected);
    for (const Opening& o : balanced) EXPECT_LE(std::abs(openingValue(o.moves, 15, Rule::FreeStyle, kBalanceDepth)), 40);
}
