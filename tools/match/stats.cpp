#include "match/stats.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace velmor::match {

namespace {

constexpr double kZ95 = 1.959963984540054;  // two-sided 95% normal quantile

struct Moments {
    double n, mean, variance;  // per game
};

// Mean and variance of one game's score (1, 1/2, 0), with counts as given.
Moments moments(double w, double d, double l) {
    const double n = w + d + l;
    const double mean = (w + d / 2) / n;
    const double second = (w + d / 4) / n;
    return {n, mean, second - mean * mean};
}

}  // namespace

double scoreOfElo(double elo) { return 1 / (1 + std::pow(10.0, -elo / 400)); }

double eloOfScore(double score) {
    if (score <= 0) return -std::numeric_limits<double>::infinity();
    if (score >= 1) return std::numeric_limits<double>::infinity();
    return -400 * std::log10(1 / score - 1);
}

EloEstimate estimateElo(const Score& s) {
    EloEstimate e;
    if (s.games() == 0) return e;
    const Moments m = moments(s.wins, s.draws, s.losses);
    const double margin = kZ95 * std::sqrt(std::max(0.0, m.variance) / m.n);
    e.elo = eloOfScore(m.mean);
    e.low = eloOfScore(m.mean - margin);
    e.high = eloOfScore(m.mean + margin);
    return e;
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
    const Moments m = moments(count(s.wins), count(s.draws), count(s.losses));
    const double s0 = scoreOfElo(elo0), s1 = scoreOfElo(elo1);
    return (s1 - s0) * (2 * m.mean - s0 - s1) / (2 * m.variance / m.n);
}

int Sprt::decision(const Score& s) const {
    const double l = llr(s);
    if (l >= upperBound()) return 1;
    if (l <= lowerBound()) return -1;
    return 0;
}

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
