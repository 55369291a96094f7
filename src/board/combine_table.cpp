// The combine table: a point's type from the line types of its four
// directions, under the three ways of weighing them.
#include "board/board_tables.h"
#include "board/patterns.h"

namespace velmor {

uint8_t combineTable[65536][3];
uint8_t pointTypeTable[3][65536];

namespace {

struct TypeCounts {
    int c[16] = {};
    int fours() const { return c[LiveFour] + c[RushFour] + c[RushFourPlus]; }
    int threes() const { return c[LiveThree] + c[WideThree]; }
    ChessType highestSingle() const {
        for (int t = RushFourPlus; t >= WeakTwo; --t)
            if (c[t]) return ChessType(t);
        return None;
    }
};

// Free-style, and the unrestricted side under renju. Exact five (variant 1)
// differs only in what an overline is worth.
ChessType combineFree(const TypeCounts& n, bool exactFive) {
    if (n.c[Five]) return Five;
    if (n.c[Forbidden]) return exactFive ? None : Forbidden;
    if (n.c[DoubleFour]) return DoubleFour;
    if (n.fours() >= 2) return DoubleFour;
    if (n.c[LiveFour]) return LiveFour;
    if (n.fours() == 1 && n.threes() >= 1) return FourThree;
    if (n.threes() >= 2) return DoubleThree;
    return n.highestSingle();
}

// Renju, restricted side. A five wins even on an otherwise forbidden point.
// Threes are counted per direction without asking whether their completion
// points are themselves forbidden.
ChessType combineRenju(const TypeCounts& n) {
    if (n.c[Five]) return Five;
    if (n.c[Forbidden] || n.c[DoubleFour]) return Forbidden;  // overline, or two fours in one line
    if (n.fours() >= 2) return Forbidden;                     // double four
    if (n.threes() >= 2) return Forbidden;                    // double three
    if (n.c[LiveFour]) return LiveFour;
    if (n.fours() == 1 && n.threes() >= 1) return FourThree;
    return n.highestSingle();
}

}  // namespace

void buildCombineTable() {
    for (uint32_t w = 0; w < 65536; ++w) {
        TypeCounts n;
        bool valid = true;
        for (int d = 0; d < 4; ++d) {
            uint32_t t = w >> (4 * d) & 0xF;
            if (t >= ChessTypeCount) valid = false;
            ++n.c[t];
        }
        if (!valid) {
            combineTable[w][0] = combineTable[w][1] = combineTable[w][2] = None;
            continue;
        }
        combineTable[w][0] = combineFree(n, false);
        combineTable[w][1] = combineFree(n, true);
        combineTable[w][2] = combineRenju(n);
    }
    for (uint32_t w = 0; w < 65536; ++w)
        for (int v = 0; v < 3; ++v) pointTypeTable[v][w] = combineTable[w][v];
}

}  // namespace velmor
