#pragma once
#include <cstdint>
#include <memory>

#include "board/board.h"

namespace velmor {

enum BoundType : uint8_t { BoundExact = 1, BoundLower = 2, BoundUpper = 3 };

// One slot. Layout (12 bytes):
//   checkKey:4 | value:2 | bestMove:2 | storedDepth:1 | tag:6 bound:2 | pad:2
struct TransEntry {
    uint32_t checkKey;    // hashLow of the stored position
    int16_t value;        // rating truncated to 16 bits
    Pos bestMove;         // 0xFFFF when the node had none
    uint8_t storedDepth;  // depth truncated toward zero
    uint8_t tagAndBound;  // bits 0-5 iteration depth mod 64, bits 6-7 BoundType

    uint8_t iterationTag() const { return tagAndBound & 0x3F; }
    uint8_t boundType() const { return tagAndBound >> 6; }
};
static_assert(sizeof(TransEntry) == 12);

// Transposition table of one move search: slot = hashHigh mod count.
struct TransTable {
    uint32_t budgetKey = 0;   // maxMemory / 3 when last sized
    uint32_t entryCount = 0;  // a power of two
    std::unique_ptr<TransEntry[]> entries;

    // Sizes for budget B = maxMemory / 3 unless B equals budgetKey.
    void resize(uint32_t budget);
    void release();
};

}  // namespace velmor
