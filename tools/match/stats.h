#pragma once
// Match statistics from engine 1's point of view: the logistic Elo of the
// score with a 95% interval, and a sequential probability ratio test between
// two Elo hypotheses.
//
// Both use the trinomial model (win, draw, loss counted per game). The games
// come in colour-swapped pairs, which the pentanomial model would exploit for a
// narrower interval; the trinomial one is the simpler and slightly more
// conservative choice.
#include <string>

namespace velmor::match {

struct Score {
    int wins = 0, losses = 0, draws = 0;
    int games() const { return wins + losses + draws; }
};

// The expected score of a player `elo` points stronger, and back.
double scoreOfElo(double elo);
double eloOfScore(double score);  // +-infinity at 1 and 0

struct EloEstimate {
    double elo = 0;
    double low = 0, high = 0;  // the 95% interval; may be infinite
};
EloEstimate estimateElo(const Score& s);

struct Sprt {
    double elo0 = 0, elo1 = 10;
    double alpha = 0.05, beta = 0.05;

    double lowerBound() const;  // log(beta / (1 - alpha)): accept H0 below
    double upperBound() const;  // log((1 - beta) / alpha): accept H1 above
    double llr(const Score& s) const;
    // -1 H0 accepted, +1 H1 accepted, 0 go on.
    int decision(const Score& s) const;
};

// "+12.3 +- 45.6" style, with "inf" for the unbounded ends.
std::string formatElo(const EloEstimate& e);

}  // namespace velmor::match
