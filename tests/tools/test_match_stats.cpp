// Elo and SPRT arithmetic of the match tool against values worked by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "match/match.h"
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

TEST(MatchStats, PairEloFromPairVariance) {
    struct Case {
        PairScores pairs;
        double elo, low, high;
    } cases[] = {
        // The example worked in stats.cpp: s = 0.5375, var = 0.05171875, margin
        // 1.96 * sqrt(var / 100) = 0.04457.
        {{{5, 10, 60, 15, 10}}, 26.107, -4.915, 57.551},
        // s = 11.5 / 20 = 0.575, E[x^2] = 7.875 / 20, var = 0.063125, margin 0.11011.
        {{{1, 2, 10, 4, 3}}, 52.512, -24.438, 135.042},
        // All 1-1: no spread at all, not a division by zero.
        {{{0, 0, 40, 0, 0}}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const EloEstimate e = estimatePairElo(c.pairs);
        EXPECT_NEAR(e.elo, c.elo, 1e-3) << c.pairs.pairs();
        EXPECT_NEAR(e.low, c.low, 1e-2) << c.pairs.pairs();
        EXPECT_NEAR(e.high, c.high, 1e-2) << c.pairs.pairs();
    }
}

TEST(MatchStats, PairSprtLlrAndDecisions) {
    Sprt sprt;  // 0, 10, alpha = beta = 0.05
    struct Case {
        PairScores pairs;
        double llr;
        int decision;
    } cases[] = {
        {{{5, 10, 60, 15, 10}}, 0.84307, 0},  // the example worked in stats.cpp
        // 0.0143872 * (1.15 - 1.0143872) / (2 * 0.063125) * 20
        {{{1, 2, 10, 4, 3}}, 0.30908, 0},
        // Empty classes as quarter pairs: N = 4.75, s = 2.5625 / 4.75,
        // E[x^2] = 1.578125 / 4.75, var = 0.041205.
        {{{0, 0, 3, 1, 0}}, 0.05354, 0},
        // All 1-1: var from the filled-in classes only, leaning to H0.
        {{{0, 0, 10, 0, 0}}, -0.08015, 0},
        {{}, 0, 0},
        // A few one-sided pairs must not decide; a run of them must.
        {{{0, 0, 0, 0, 13}}, 2.86668, 0},
        {{{0, 0, 0, 0, 14}}, 3.29877, 1},
        {{{14, 0, 0, 0, 0}}, -3.40397, -1},
        {{{0, 0, 66, 0, 0}}, -2.97339, -1},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(sprt.pairLlr(c.pairs), c.llr, 1e-4) << c.pairs.pairs();
        EXPECT_EQ(sprt.pairDecision(c.pairs), c.decision) << c.pairs.pairs();
    }
    // The worked example's games per game (1-1 pairs as a win and a loss)
    // carry less than half the evidence.
    EXPECT_NEAR(sprt.llr({95, 80, 25}), 0.40123, 1e-4);
}

// Mirrored games: the same deterministic engine on both sides plays the same
// game from each opening whatever the colours, so every pair is 1-1, though
// with two slots the games of a pair finish in either order.
TEST(MatchStats, MatchCountsEachPairOnce) {
    MatchOptions o;
    o.command[0] = o.command[1] = std::string(VELMOR_STANDIN_PATH) + " weak";
    o.name[0] = "a";
    o.name[1] = "b";
    o.game.turnMs = 100;
    o.games = 4;
    o.concurrency = 2;
    o.sprtEnabled = false;
    int rejected = 0;
    const MatchSummary s = runMatch(o, randomOpenings(2, 15, Rule::FreeStyle, 3, rejected), nullptr);
    ASSERT_EQ(s.score.games(), 4);
    EXPECT_EQ(s.score.wins + s.score.draws / 2.0, 2.0);
    EXPECT_EQ(s.pairs.pairs(), 2);
    EXPECT_EQ(s.pairs.count[2], 2);
}
