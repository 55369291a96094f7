#pragma once
// Match statistics from engine 1's point of view: the logistic Elo of the
// score with a 95% interval, and a sequential probability ratio test between
// two Elo hypotheses.
//
// Two models of the same games. The trinomial one counts wins, draws and
// losses per game. The pentanomial one counts colour-swapped pairs (one
// opening played once with each colour) by engine 1's total over the pair,
// 0 to 2 in half points. In free-style Gomoku the first player wins most
// games, so most pairs end 1-1 whatever the engines' strength: per game the
// results look like coin flips, per pair they barely vary. The per-game
// variance therefore overstates the noise many times over, and an SPRT on it
// needs far more games than one on the pair scores.
#include <string>

namespace velmor::match {

struct Score {
    int wins = 0, losses = 0, draws = 0;
    int games() const { return wins + losses + draws; }
};

// Pairs by engine 1's total over the two games: count[k] pairs scored k half
// points (0, 0.5, 1, 1.5 or 2 points).
struct PairScores {
    int count[5] = {0, 0, 0, 0, 0};
    int pairs() const { return count[0] + count[1] + count[2] + count[3] + count[4]; }
};

// The expected score of a player `elo` points stronger, and back.
double scoreOfElo(double elo);
double eloOfScore(double score);  // +-infinity at 1 and 0

struct EloEstimate {
    double elo = 0;
    double low = 0, high = 0;  // the 95% interval; may be infinite
};
EloEstimate estimateElo(const Score& s);
// From the pair scores: each pair's mean score (total / 2) and its variance.
EloEstimate estimatePairElo(const PairScores& p);

struct Sprt {
    double elo0 = 0, elo1 = 10;
    double alpha = 0.05, beta = 0.05;

    double lowerBound() const;  // log(beta / (1 - alpha)): accept H0 below
    double upperBound() const;  // log((1 - beta) / alpha): accept H1 above
    double llr(const Score& s) const;
    double pairLlr(const PairScores& p) const;
    // -1 H0 accepted, +1 H1 accepted, 0 go on.
    int decision(const Score& s) const;
    int pairDecision(const PairScores& p) const;
    int decisionOf(double llr) const;
};

// "+12.3 +- 45.6" style, with "inf" for the unbounded ends.
std::string formatElo(const EloEstimate& e);

}  // namespace velmor::match
