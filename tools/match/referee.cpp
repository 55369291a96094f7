#include "match/referee.h"

#include <cctype>
#include <cstring>

namespace velmor::match {

namespace {

constexpr int kDx[4] = {1, 0, 1, 1};
constexpr int kDy[4] = {0, 1, 1, -1};

// The extent of the run of `s` through `p` along direction `d`, `p` counted
// as a stone of `s`: `lo` and `hi` are the steps (<= 0 and >= 0) to its ends.
void runExtent(const Stones& st, Point p, int d, Stone s, int& lo, int& hi) {
    lo = 0;
    hi = 0;
    while (st.onBoard(p.x + (hi + 1) * kDx[d], p.y + (hi + 1) * kDy[d]) &&
           st.at(p.x + (hi + 1) * kDx[d], p.y + (hi + 1) * kDy[d]) == s)
        ++hi;
    while (st.onBoard(p.x + (lo - 1) * kDx[d], p.y + (lo - 1) * kDy[d]) &&
           st.at(p.x + (lo - 1) * kDx[d], p.y + (lo - 1) * kDy[d]) == s)
        --lo;
}

int runLength(const Stones& st, Point p, int d, Stone s) {
    int lo, hi;
    runExtent(st, p, d, s, lo, hi);
    return hi - lo + 1;
}

Point step(Point p, int d, int k) { return {p.x + k * kDx[d], p.y + k * kDy[d]}; }

bool emptyOnBoard(const Stones& st, Point p) { return st.onBoard(p.x, p.y) && st.at(p.x, p.y) == Empty; }

// Would black at the empty point `q` make exactly five along `d`?
bool completesFive(Stones& st, Point q, int d) {
    return emptyOnBoard(st, q) && runLength(st, q, d, Black) == 5;
}

// The fours the black stone at `p` stands in along `d`: the points where one
// more black stone makes exactly five through `p`. Two such points five apart
// are the two ends of one straight four (.XXXX.) and count once; any other
// two are separate fours on one line (X.XXX.X, XX.XX.XX).
int foursAlong(Stones& st, Point p, int d) {
    int ks[8], n = 0;
    for (int k = -4; k <= 4; ++k) {
        if (k == 0) continue;
        Point q = step(p, d, k);
        if (!emptyOnBoard(st, q)) continue;
        int lo, hi;
        runExtent(st, q, d, Black, lo, hi);
        // The run through q holds p when p lies between its ends.
        if (hi - lo + 1 == 5 && -k >= lo && -k <= hi) ks[n++] = k;
    }
    int fours = n;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (ks[j] - ks[i] == 5) --fours;
    return fours;
}

// Does the black stone at `p` stand in a three along `d`: is there a point
// where one more black stone makes a straight four through `p` (four in a
// row, both ends completing exactly five), and which is not itself a foul?
bool threeAlong(Stones& st, Point p, int d) {
    for (int k = -3; k <= 3; ++k) {
        if (k == 0) continue;
        Point q = step(p, d, k);
        if (!emptyOnBoard(st, q)) continue;
        st.place(q, Black);
        int lo, hi;
        runExtent(st, p, d, Black, lo, hi);
        const bool straightFour = hi - lo + 1 == 4 && k >= lo && k <= hi &&
                                  completesFive(st, step(p, d, lo - 1), d) &&
                                  completesFive(st, step(p, d, hi + 1), d);
        st.remove(q);
        if (straightFour && !isRenjuFoul(st, q)) return true;
    }
    return false;
}

}  // namespace

bool ruleFromInfo(int info, Rule& rule) {
    switch (info) {
    case 0: rule = Rule::FreeStyle; return true;
    case 1: rule = Rule::ExactFive; return true;
    case 4: rule = Rule::Renju; return true;
    default: return false;
    }
}

int infoValue(Rule rule) { return rule == Rule::FreeStyle ? 0 : rule == Rule::ExactFive ? 1 : 4; }
int dataValue(Rule rule) { return rule == Rule::FreeStyle ? 0 : rule == Rule::ExactFive ? 1 : 2; }

const char* ruleName(Rule rule) {
    return rule == Rule::FreeStyle ? "free-style" : rule == Rule::ExactFive ? "exact five" : "renju";
}

Stones::Stones(int size) : size_(size) { std::memset(cells_, Empty, sizeof cells_); }

int Stones::longestRun(Point p, Stone s) const {
    int best = 0;
    for (int d = 0; d < 4; ++d) {
        int n = runLength(*this, p, d, s);
        if (n > best) best = n;
    }
    return best;
}

bool Stones::makesExactFive(Point p, Stone s) const {
    for (int d = 0; d < 4; ++d)
        if (runLength(*this, p, d, s) == 5) return true;
    return false;
}

Foul renjuFoul(Stones& st, Point p) {
    if (st.makesExactFive(p, Black)) return Foul::None;
    if (st.longestRun(p, Black) >= 6) return Foul::Overline;
    st.place(p, Black);
    int fours = 0;
    for (int d = 0; d < 4; ++d) fours += foursAlong(st, p, d);
    Foul foul = fours >= 2 ? Foul::DoubleFour : Foul::None;
    if (foul == Foul::None) {
        int threes = 0;
        for (int d = 0; d < 4 && threes < 2; ++d)
            if (threeAlong(st, p, d)) ++threes;
        if (threes >= 2) foul = Foul::DoubleThree;
    }
    st.remove(p);
    return foul;
}

const char* foulName(Foul foul) {
    switch (foul) {
    case Foul::Overline: return "overline";
    case Foul::DoubleFour: return "double four";
    case Foul::DoubleThree: return "double three";
    default: return "no foul";
    }
}

Verdict judgeMove(Stones& st, Point p, Stone s, Rule rule, Foul* foul) {
    const Foul f = rule == Rule::Renju && s == Black ? renjuFoul(st, p) : Foul::None;
    if (foul) *foul = f;
    if (f != Foul::None) {
        st.place(p, s);
        return Verdict::Foul;
    }
    const bool exact = rule == Rule::ExactFive || (rule == Rule::Renju && s == Black);
    const bool five = exact ? st.makesExactFive(p, s) : st.longestRun(p, s) >= 5;
    st.place(p, s);
    if (five) return Verdict::Five;
    return st.full() ? Verdict::FullBoard : Verdict::Continue;
}

bool parsePoint(const std::string& text, Point& p) {
    const char* c = text.c_str();
    auto number = [&c](int& out) {
        while (*c == ' ' || *c == '\t') ++c;
        if (!std::isdigit(static_cast<unsigned char>(*c))) return false;
        long v = 0;
        while (std::isdigit(static_cast<unsigned char>(*c)) && v < 100000) v = v * 10 + (*c++ - '0');
        out = int(v);
        while (*c == ' ' || *c == '\t') ++c;
        return true;
    };
    if (!number(p.x) || *c++ != ',' || !number(p.y)) return false;
    return *c == '\0';
}

}  // namespace velmor::match
