// Line type tables: the type of one direction through a point, read straight
// from the point's two stone-mask bytes.
#include "board/board_tables.h"
#include "board/chess_type.h"
#include "board/patterns.h"

namespace velmor {

uint8_t lineTypeTable[2][65536];
uint8_t lineTypePairTable[3][65536];

namespace {

// Free points before the first blocker (other stone or wall), walking away
// from the point through the four mask bits nearest-first.
int freeRun(uint32_t other, const int (&bitsNearFirst)[4]) {
    for (int k = 0; k < 4; ++k)
        if (other >> bitsNearFirst[k] & 1) return k;
    return 4;
}

}  // namespace

void buildLineTypeTables() {
    static constexpr int kMinusBits[4] = {4, 5, 6, 7};
    static constexpr int kPlusBits[4] = {3, 2, 1, 0};
    for (uint32_t other = 0; other < 256; ++other) {
        int nMinus = freeRun(other, kMinusBits);
        int nPlus = freeRun(other, kPlusBits);
        int L = nMinus + 1 + nPlus;
        if (L < 5) {
            for (uint32_t own = 0; own < 256; ++own)
                lineTypeTable[0][own << 8 | other] = lineTypeTable[1][own << 8 | other] = None;
            continue;
        }
        const uint8_t* freeSegment = segmentTable(L, false);
        const uint8_t* exactSegment = segmentTable(L, true);
        for (uint32_t own = 0; own < 256; ++own) {
            // The segment reads from the minus end; the point sits at nMinus.
            // Own bits beyond a blocker lie outside the segment.
            uint32_t i = 0;
            for (int k = 1; k <= nMinus; ++k) i |= (own >> (3 + k) & 1) << (nMinus - k);
            for (int k = 1; k <= nPlus; ++k) i |= (own >> (4 - k) & 1) << (nMinus + k);
            int at = int(i) * L + nMinus;
            lineTypeTable[0][own << 8 | other] = freeSegment[at];
            lineTypeTable[1][own << 8 | other] = exactSegment[at];
        }
    }

    // Side 0 reads its table with its own mask high, side 1 with the masks
    // swapped. Under renju side 0 uses the exact-five table, side 1 free-style.
    for (uint32_t m0 = 0; m0 < 256; ++m0)
        for (uint32_t m1 = 0; m1 < 256; ++m1) {
            const uint32_t side0 = m0 << 8 | m1, side1 = m1 << 8 | m0;
            lineTypePairTable[FreeStyle][side0] = uint8_t(lineTypeTable[0][side0] | lineTypeTable[0][side1] << 4);
            lineTypePairTable[ExactFive][side0] = uint8_t(lineTypeTable[1][side0] | lineTypeTable[1][side1] << 4);
            lineTypePairTable[Renju][side0] = uint8_t(lineTypeTable[1][side0] | lineTypeTable[0][side1] << 4);
        }
}

}  // namespace velmor
