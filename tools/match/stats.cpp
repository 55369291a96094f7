#include "match/stats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace velmor::match {

namespace {

constexpr double kZ95 = 1.959963984540054;  // two-sided 95% normal quantile

struct Moments {
    double n, mean, variance;  // per game or per pair
};

// Mean and variance of a score that took the value values[i] counts[i] times.
Moments moments(const double* counts, const double* values, int classes) {
    double n = 0, sum = 0, squares = 0;
    for (int i = 0; i < classes; ++i) {
        n += counts[i];
        sum += counts[i] * values[i];
        squares += counts[i] * values[i] * values[i];
    }
    const double mean = sum / n;
    return {n, mean, std::max(0.0, squares / n - mean * mean)};
}

// One game's score (1, 1/2, 0), with counts as given.
Moments moments(double w, double d, double l) {
    const double counts[3] = {w, d, l}, values[3] = {1, 0.5, 0};
    return moments(counts, values, 3);
}

// One pair's mean score (0, 1/4, 1/2, 3/4, 1 for 0 to 4 half points).
// `regularised`: an empty class counts as a quarter of a pair (see
// Sprt::pairLlr).
Moments pairMoments(const PairScores& p, bool regularised) {
    double counts[5];
    for (int k = 0; k < 5; ++k) counts[k] = regularised && p.count[k] == 0 ? 0.25 : double(p.count[k]);
    const double values[5] = {0, 0.25, 0.5, 0.75, 1};
    return moments(counts, values, 5);
}

EloEstimate interval(const Moments& m) {
    EloEstimate e;
    const double margin = kZ95 * std::sqrt(m.variance / m.n);
    e.elo = eloOfScore(m.mean);
    e.low = eloOfScore(m.mean - margin);
    e.high = eloOfScore(m.mean + margin);
    return e;
}

// The normal-approximation log-likelihood ratio of n samples with this mean
// and variance, between the scores s0 and s1 (see Sprt::llr).
double normalLlr(const Moments& m, double s0, double s1) {
    // Only reachable without regularisation: every sample alike says nothing
    // about the spread, so no evidence either way rather than a division by 0.
    if (!(m.variance > 0)) return 0;
    return (s1 - s0) * (2 * m.mean - s0 - s1) / (2 * m.variance / m.n);
}

}  // namespace

double scoreOfElo(double elo) { return 1 / (1 + std::pow(10.0, -elo / 400)); }

double eloOfScore(double score) {
    if (score <= 0) return -std::numeric_limits<double>::infinity();
    if (score >= 1) return std::numeric_limits<double>::infinity();
    return -400 * std::log10(1 / score - 1);
}

EloEstimate estimateElo(const Score& s) {
    if (s.games() == 0) return {};
    return interval(moments(s.wins, s.draws, s.losses));
}

// The same interval on the pair scores: the pair's mean score is the sample,
// its variance over the pairs gives the standard error of the overall mean,
// and both ends of the score interval go through the logistic Elo function.
// All pairs 1-1 give Elo 0 with a zero-width interval, as all draws do above.
EloEstimate estimatePairElo(const PairScores& p) {
    if (p.pairs() == 0) return {};
    return interval(pairMoments(p, false));
}

double Sprt::lowerBound() const { return std::log(beta / (1 - alpha)); }
double Sprt::upperBound() const { return std::log((1 - beta) / alpha); }

// The generalised SPRT in its normal approximation, as the chess testing
// frameworks use it for trinomial results: with s the mean score per game,
// var its per-game variance and N the games,
//     LLR = (s1 - s0) (2 s - s0 - s1) / (2 var / N),
// where s0, s1 are the scores of the two Elo hypotheses. An outcome class
// nobody has reached yet would make the variance collapse (one win, no loss:
// var = 0, an LLR past any bound after a single game), and Gomoku rarely
// draws at all; so an empty class counts as half a game, a continuity
// correction whose weight fades as the games add up.
// Worked example: 30 wins, 20 losses, 50 draws, elo0 = 0, elo1 = 10:
// s = (30 + 50/2) / 100 = 0.55, E[x^2] = (30 + 50/4) / 100 = 0.425,
// var = 0.425 - 0.55^2 = 0.1225, s0 = 0.5, s1 = 1 / (1 + 10^(-10/400)) = 0.5143872,
// LLR = 0.0143872 * (1.1 - 1.0143872) / (2 * 0.1225 / 100) = 0.50275.
double Sprt::llr(const Score& s) const {
    if (s.games() == 0) return 0;
    auto count = [](int c) { return c > 0 ? double(c) : 0.5; };
    return normalLlr(moments(count(s.wins), count(s.draws), count(s.losses)), scoreOfElo(elo0), scoreOfElo(elo1));
}

// The same test on the pairs (the pentanomial model): with x = a pair's total
// / 2 in [0, 1], s its mean over the N pairs and var the per-pair variance of
// x,
//     LLR = (s1 - s0) (2 s - s0 - s1) / (2 var) * N.
// The two games of a pair share their opening and swap colours, so their
// results are correlated (mostly one win each); the pairs are the independent
// samples, and var measures the noise of the score where the per-game
// variance counts the first player's advantage as noise. Empty classes are
// filled in for the reason given above, otherwise a few pairs of one kind
// (var = 0) could stop the match: each counts as a quarter of a pair, the
// same half game as above, and N includes them. Then H1 needs 14 pairs won
// 2-0 (per game: 16 straight wins), and H0 66 pairs all 1-1 (per game, wins
// and losses in equal numbers take some 7000 games).
// Worked example: pairs 0:5 0.5:10 1:60 1.5:15 2:10 (N = 100), elo0 = 0,
// elo1 = 10:
// s = (0.25*10 + 0.5*60 + 0.75*15 + 1*10) / 100 = 0.5375,
// E[x^2] = (0.0625*10 + 0.25*60 + 0.5625*15 + 1*10) / 100 = 0.340625,
// var = 0.340625 - 0.5375^2 = 0.05171875, s0 = 0.5, s1 = 0.5143872,
// LLR = 0.0143872 * (1.075 - 1.0143872) / (2 * 0.05171875) * 100 = 0.84307.
// The same 200 games counted per game, the 1-1 pairs as one win and one
// loss each, are 95-80-25 (W-L-D) with the same mean but a per-game variance
// of 0.21734: LLR 0.40123, less than half the evidence.
double Sprt::pairLlr(const PairScores& p) const {
    if (p.pairs() == 0) return 0;
    return normalLlr(pairMoments(p, true), scoreOfElo(elo0), scoreOfElo(elo1));
}

int Sprt::decisionOf(double l) const {
    if (l >= upperBound()) return 1;
    if (l <= lowerBound()) return -1;
    return 0;
}

int Sprt::decision(const Score& s) const { return decisionOf(llr(s)); }
int Sprt::pairDecision(const PairScores& p) const { return decisionOf(pairLlr(p)); }

std::string formatElo(const EloEstimate& e) {
    auto number = [](double v) {
        char buf[32];
        if (v == 0) v = 0;  // no "-0.0"

        if (std::isinf(v)) std::snprintf(buf, sizeof buf, "%sinf", v < 0 ? "-" : "+");
        else std::snprintf(buf, sizeof buf, "%+.1f", v);
        return std::string(buf);
    };
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s [%s, %s]", number(e.elo).c_str(), number(e.low).c_str(),
                  number(e.high).c_str());
    return buf;
}

}  // namespace velmor::match
