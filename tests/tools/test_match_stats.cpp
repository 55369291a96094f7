// Elo and SPRT arithmetic of the match tool against values worked by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "match/stats.h"

using namespace velmor::match;

TEST(MatchStats, EloOfScore) {
    struct Case {
        double score, elo;
    } cases[] = {{0.5, 0.0}, {0.75, 190.849}, {0.25, -190.849}, {0.9, 381.697}};
    for (const Case& c : cases) {
        EXPECT_NEAR(eloOfScore(c.score), c.elo, 1e-3) << c.score;
        EXPECT_NEAR(scoreOfElo(c.elo), c.score, 1e-6) << c.elo;
    }
    EXPECT_TRUE(std::isinf(eloOfScore(1.0)) && eloOfScore(1.0) > 0);
    EXPECT_TRUE(std::isinf(eloOfScore(0.0)) && eloOfScore(0.0) < 0);
}

TEST(MatchStats, EloIntervalFromTrinomialVariance) {
    // 30-20-50: s = 0.55, var = 0.1225, margin = 1.96 * sqrt(0.1225 / 100)
    // = 0.0686; the interval is the Elo of 0.4814 and 0.6186.
    const EloEstimate e = estimateElo({30, 20, 50});
    EXPECT_NEAR(e.elo, 34.860, 1e-3);
    EXPECT_NEAR(e.low, -12.930, 0.01);
    EXPECT_NEAR(e.high, 84.011, 0.01);
}

TEST(MatchStats, SprtLlrAndBounds) {
    Sprt sprt;  // 0, 10, alpha = beta = 0.05
    EXPECT_NEAR(sprt.lowerBound(), -2.944439, 1e-6);
    EXPECT_NEAR(sprt.upperBound(), 2.944439, 1e-6);
    EXPECT_NEAR(sprt.llr({30, 20, 50}), 0.50275, 1e-4);  // the example worked in stats.cpp
    EXPECT_EQ(sprt.llr({}), 0.0);
    // One win alone must not decide anything; a long winning or losing run must.
    EXPECT_EQ(sprt.decision({1, 0, 0}), 0);
    EXPECT_EQ(sprt.decision({40, 0, 0}), 1);
    EXPECT_EQ(sprt.decision({0, 40, 0}), -1);
    // An even score leans to H0 (elo0 = 0 is closer), but slowly.
    EXPECT_LT(sprt.llr({500, 500, 0}), 0);
    EXPECT_EQ(sprt.decision({100, 100, 0}), 0);
}
