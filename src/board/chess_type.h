#pragma once
#include <cstdint>

namespace velmor {

// The shape a stone of one side would make at an empty point. Values 0..13 are
// ordered by strength, so callers compare with thresholds (>= RushFour means "a
// four or better"); Forbidden stands outside that order and is tested by equality.
enum ChessType : uint8_t {
    None = 0,          // no five can be made through the point in this line
    WeakTwo = 1,       // _o??o_   two stones, two gaps
    Two = 2,           // _o?o__   split two, or a cramped adjacent two
    LiveTwo = 3,       // __oo__   adjacent two with room both ways
    DeadThree = 4,     // xooo__   can only become a rush four
    LiveThree = 5,     // _oo?o_   becomes a live four at one point
    WideThree = 6,     // __ooo__  three in a row, two free points each side
    RushFour = 7,      // xoooo_   four with one completion point
    RushFourPlus = 8,  // o?ooo__  rush four whose line still holds a three
    DoubleThree = 9,   // two threes in different directions (point only)
    FourThree = 10,    // a four and a three (point only)
    DoubleFour = 11,   // two fours, in one line or two
    LiveFour = 12,     // _oooo_   four with two completion points
    Five = 13,         // ooooo    the stone wins
    Forbidden = 14,    // line: overline under exact five; point: renju foul
};
inline constexpr int ChessTypeCount = 15;

// The rule of the game, passed with every stone placed or removed.
enum GameRule : uint8_t {
    FreeStyle = 0,  // five or more in a row wins
    ExactFive = 1,  // exactly five wins
    Renju = 2,      // side 0 may not make overlines, double fours or double threes
};

// The rule and board size a table's entries were searched under. Its keys
// hold only the stones, so entries from another rule or size must go.
struct FilledFor {
    GameRule rule = FreeStyle;
    int8_t size = 0;  // 0: nothing searched yet

    // Records `r` and `s`; true when they differ from what was recorded.
    bool changeTo(GameRule r, int8_t s) {
        if (r == rule && s == size) return false;
        rule = r;
        size = s;
        return true;
    }
};

}  // namespace velmor
