// The line patterns every table is built from, in priority order: when
// several patterns fit a line, the one listed first decides its type.
#include <cstring>

#include "board/patterns.h"

namespace velmor {

// 'o' own stone, '?' empty point; the new stone is one of the 'o's, at most
// `reach` characters from the pattern's start.
constexpr LinePattern kPatterns[kPatternCount] = {
    {"oooooo", 4, 6},     //  0  oooooo     six or more in a row
    {"ooooo", 4, 5},      //  1  ooooo      exactly five
    {"o?ooo?o", 4, 7},    //  2  o.ooo.o    a middle stone makes a four both ways
    {"oo?oo?oo", 4, 8},   //  3  oo.oo.oo   the middle pair makes a four both ways
    {"ooo?o?ooo", 4, 9},  //  4  ooo.o.ooo  the centre stone makes a four both ways
    {"o?oooo?", 5, 7},    //  5  o.oooo.    open four that leans on a stone one gap away
    {"?oooo?o", 4, 7},    //  6  .oooo.o    the mirror of 5
    {"oo?ooo??", 5, 8},   //  7  oo.ooo..   a four that leaves a three behind
    {"??ooo?oo", 4, 8},   //  8  ..ooo.oo   the mirror of 7
    {"o?oooo", 5, 6},     //  9  o.oooo     four, blocked by a would-be six
    {"oooo?o", 3, 6},     // 10  oooo.o     the mirror of 9
    {"ooo?oo", 5, 6},     // 11  ooo.oo     split four next to a would-be six
    {"oo?ooo", 5, 6},     // 12  oo.ooo     the mirror of 11
    {"?oooo?", 4, 6},     // 13  .oooo.     live four
    {"o?ooo??", 4, 7},    // 14  o.ooo..    rush four with a three beside it
    {"??ooo?o", 4, 7},    // 15  ..ooo.o    the mirror of 14
    {"?oooo", 4, 5},      // 16  .oooo      rush four, closed right
    {"oooo?", 3, 5},      // 17  oooo.      rush four, closed left
    {"ooo?o", 4, 5},      // 18  ooo.o      split rush four
    {"o?ooo", 4, 5},      // 19  o.ooo      split rush four
    {"oo?oo", 4, 5},      // 20  oo.oo      split rush four
    {"??ooo??", 4, 7},    // 21  ..ooo..    three with two free points each side
    {"?ooo??", 3, 6},     // 22  .ooo..     live three
    {"??ooo?", 4, 6},     // 23  ..ooo.     live three
    {"?o?oo?", 4, 6},     // 24  .o.oo.     split live three
    {"?oo?o?", 4, 6},     // 25  .oo.o.     split live three
    {"?oo?o", 4, 5},      // 26  .oo.o      dead three
    {"o?oo?", 3, 5},      // 27  o.oo.      dead three
    {"?ooo?", 3, 5},      // 28  .ooo.      three squeezed to one four
    {"o?o?o", 4, 5},      // 29  o.o.o      dead three
    {"o??oo", 4, 5},      // 30  o..oo      dead three
    {"oo??o", 4, 5},      // 31  oo..o      dead three
    {"??ooo", 4, 5},      // 32  ..ooo      dead three, closed right
    {"ooo??", 2, 5},      // 33  ooo..      dead three, closed left
    {"?o?oo", 4, 5},      // 34  .o.oo      dead three
    {"oo?o?", 3, 5},      // 35  oo.o.      dead three
    {"??oo??", 3, 6},     // 36  ..oo..     live two
    {"??o?o??", 4, 7},    // 37  ..o.o..    split two
    {"?o?o??", 3, 6},     // 38  .o.o..     split two
    {"??o?o?", 4, 6},     // 39  ..o.o.     split two
    {"???oo?", 4, 6},     // 40  ...oo.     adjacent two, cramped on the right
    {"?oo???", 2, 6},     // 41  .oo...     adjacent two, cramped on the left
    {"?o??o?", 4, 6},     // 42  .o..o.     two with two gaps
};

namespace {

constexpr bool lengthsMatchTexts() {
    for (const LinePattern& p : kPatterns)
        if (std::char_traits<char>::length(p.text) != p.length || p.reach >= p.length) return false;
    return true;
}
static_assert(lengthsMatchTexts(), "a pattern's length or reach does not fit its text");

// What pattern i yields: the `high` pair once the new stone's offset k
// reaches `kFrom`, the `low` pair before that. Most patterns have a single
// result (kFrom 0).
struct PatternResult {
    uint8_t kFrom;
    ChessType freeLow, exactLow;
    ChessType freeHigh, exactHigh;
};

constexpr PatternResult kResults[kPatternCount] = {
    {0, Five, Forbidden, Five, Forbidden},            //  0  six: a win, or a foul under exact five
    {0, Five, Five, Five, Five},                      //  1
    {2, RushFour, RushFour, DoubleFour, DoubleFour},  //  2  k 2..4 sit between the two fours
    {3, RushFour, RushFour, DoubleFour, DoubleFour},  //  3  k 3..4
    {4, RushFour, RushFour, DoubleFour, DoubleFour},  //  4  k 4
    {2, RushFour, None, LiveFour, RushFour},          //  5  k 0 is the lone stone: its gap fills to six
    {0, LiveFour, RushFour, LiveFour, RushFour},      //  6
    {3, RushFour, None, RushFourPlus, DeadThree},     //  7
    {0, RushFourPlus, DeadThree, RushFourPlus, DeadThree},  //  8
    {0, RushFour, None, RushFour, None},              //  9  its only five would be a six
    {0, RushFour, None, RushFour, None},              // 10
    {0, RushFour, None, RushFour, None},              // 11
    {0, RushFour, None, RushFour, None},              // 12
    {0, LiveFour, LiveFour, LiveFour, LiveFour},      // 13
    {0, RushFourPlus, RushFourPlus, RushFourPlus, RushFourPlus},  // 14
    {0, RushFourPlus, RushFourPlus, RushFourPlus, RushFourPlus},  // 15
    {0, RushFour, RushFour, RushFour, RushFour},      // 16
    {0, RushFour, RushFour, RushFour, RushFour},      // 17
    {0, RushFour, RushFour, RushFour, RushFour},      // 18
    {0, RushFour, RushFour, RushFour, RushFour},      // 19
    {0, RushFour, RushFour, RushFour, RushFour},      // 20
    {0, WideThree, WideThree, WideThree, WideThree},  // 21
    {0, LiveThree, LiveThree, LiveThree, LiveThree},  // 22
    {0, LiveThree, LiveThree, LiveThree, LiveThree},  // 23
    {0, LiveThree, LiveThree, LiveThree, LiveThree},  // 24
    {0, LiveThree, LiveThree, LiveThree, LiveThree},  // 25
    {0, DeadThree, DeadThree, DeadThree, DeadThree},  // 26
    {0, DeadThree, DeadThree, DeadThree, DeadThree},  // 27
    {0, DeadThree, DeadThree, DeadThree, DeadThree},  // 28
    {0, DeadThree, DeadThree, DeadThree, DeadThree},  // 29
    {0, DeadThree, DeadThree, DeadThree, DeadThree},  // 30
    {0, DeadThree, DeadThree, DeadThree, DeadThree},  // 31
    {0, DeadThree, DeadThree, DeadThree, DeadThree},  // 32
    {0, DeadThree, DeadThree, DeadThree, DeadThree},  // 33
    {0, DeadThree, DeadThree, DeadThree, DeadThree},  // 34
    {0, DeadThree, DeadThree, DeadThree, DeadThree},  // 35
    {0, LiveTwo, LiveTwo, LiveTwo, LiveTwo},          // 36
    {0, Two, Two, Two, Two},                          // 37
    {0, Two, Two, Two, Two},                          // 38
    {0, Two, Two, Two, Two},                          // 39
    {0, Two, Two, Two, Two},                          // 40
    {0, Two, Two, Two, Two},                          // 41
    {0, WeakTwo, WeakTwo, WeakTwo, WeakTwo},          // 42
};

}  // namespace

ChessType patternType(int index, int k, bool exactFive) {
    const PatternResult& r = kResults[index];
    if (k >= r.kFrom) return exactFive ? r.exactHigh : r.freeHigh;
    return exactFive ? r.exactLow : r.freeLow;
}

}  // namespace velmor
