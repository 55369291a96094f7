// The match referee: fives under each rule, and renju fouls by the full
// rules, against the public renju positions and hand-built lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "match/referee.h"
#include "support/positions.h"

using namespace velmor::match;

namespace {

Stones stonesOf(const velmor::test::DataCase& c) {
    Stones s(c.size);
    for (size_t i = 0; i < c.moves.size(); ++i) s.place({c.moves[i].x(), c.moves[i].y()}, Stone(i % 2));
    for (auto p : c.black) s.place({p.x(), p.y()}, Black);
    for (auto p : c.white) s.place({p.x(), p.y()}, White);
    return s;
}

}  // namespace

TEST(MatchReferee, RenjuFoulsAgreeWithThePublicPositions) {
    int checked = 0;
    for (const char* file : {"forbidden_renju_quintet_unittests.txt", "forbidden_renju_lfz084.txt"}) {
        for (const auto& c : velmor::test::loadDataCases(file)) {
            Stones s = stonesOf(c);
            for (auto p : c.best) {
                EXPECT_TRUE(isRenjuFoul(s, {p.x(), p.y()})) << c.id << " forbidden " << p.x() << "," << p.y();
                ++checked;
            }
            for (auto p : c.safe) {
                EXPECT_FALSE(isRenjuFoul(s, {p.x(), p.y()})) << c.id << " safe " << p.x() << "," << p.y();
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 50);
}

namespace {

// A move at the centre of a 15x15 board with lines drawn through it: a row
// pattern and a column pattern, each with '*' at the move ('X' black, 'O'
// white, '.' empty).
struct LineCase {
    Rule rule;
    Stone mover;
    const char* row;
    const char* column;
    Verdict expected;
    const char* what;
};

Verdict judgeLines(const LineCase& c) {
    Stones s(15);
    auto draw = [&s](const char* pattern, bool vertical) {
        const int star = int(std::string(pattern).find('*'));
        for (int i = 0; pattern[i]; ++i) {
            const Point p = vertical ? Point{7, 7 + i - star} : Point{7 + i - star, 7};
            if (pattern[i] == 'X') s.place(p, Black);
            if (pattern[i] == 'O') s.place(p, White);
        }
    };
    draw(c.row, false);
    draw(c.column, true);
    return judgeMove(s, {7, 7}, c.mover, c.rule);
}

}  // namespace

TEST(MatchReferee, FivesAndFoulsOnDrawnLines) {
    using enum Verdict;
    const Rule F = Rule::FreeStyle, E = Rule::ExactFive, R = Rule::Renju;
    const LineCase cases[] = {
        {F, Black, "XXXX*", "*", Five, "five"},
        {F, White, "OOO*OO", "*", Five, "free-style overline wins"},
        {E, Black, "XXX*XX", "*", Continue, "exact five: overline neither wins nor loses"},
        {E, White, "OO*OO", "*", Five, "exact five"},
        {R, Black, "XXX*XX", "*", Foul, "renju black overline"},
        {R, White, "OOO*OO", "*", Five, "renju white overline wins"},
        {R, Black, "XX*XX", "XXX*XX", Five, "a five beats the overline beside it"},
        {R, Black, "X.X*X.X", "*", Foul, "two fours on one line"},
        {R, Black, "XX.*X.XX", "*", Foul, "two fours on one line, split pairs"},
        {R, Black, "..XX*X..", "*", Continue, "one straight four"},
        {R, Black, "..X*X..", "..X*X..", Foul, "double three"},
        {R, Black, "OXX*X.", "..X*X..", Continue, "four-three"},
        {R, Black, "..X*X..", "OX*X...", Continue, "one of the threes is blocked"},
        {R, Black, "..X*X..", "O.X*X..", Foul, "blocked two points off, still a three"},
        {R, Black, ".X.*X..", "..X*.X.", Foul, "split threes count too"},
        {R, Black, "..X*X..", "OX*X.X", Continue, "a split four and a three"},
        {R, White, "..O*O..", "..O*O..", Continue, "white has no fouls"},
    };
    for (const LineCase& c : cases) EXPECT_EQ(judgeLines(c), c.expected) << c.what;
}

TEST(MatchReferee, ParsesOnlyPlainPointAnswers) {
    struct Case {
        const char* text;
        bool ok;
        int x, y;
    } cases[] = {{"7,8", true, 7, 8},   {" 10 , 3 ", true, 10, 3}, {"7,8,1", false, 0, 0}, {"a,b", false, 0, 0},
                 {"-1,3", false, 0, 0}, {"", false, 0, 0},         {"7", false, 0, 0},     {"7,", false, 0, 0}};
    for (const Case& c : cases) {
        Point p;
        EXPECT_EQ(parsePoint(c.text, p), c.ok) << c.text;
        if (c.ok) {
            EXPECT_TRUE(p == (Point{c.x, c.y})) << c.text;
        }
    }
}
