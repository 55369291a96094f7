#pragma once
// The line and combine tables again, laid out for the Board's update loop:
// one byte read gives a direction's line type for both sides, and each
// combine variant is a dense 64 KiB run instead of every third byte of a
// 192 KiB block. Both are filled by the builders of the tables they copy.
#include <cstdint>

namespace velmor {

// [rule][m0 * 256 + m1]: low nibble side 0's line type, high nibble side 1's,
// each from the table its side uses under that rule (m0, m1 = the two sides'
// stone masks of one point and direction).
extern uint8_t lineTypePairTable[3][65536];

// [variant][lineTypes word] = combineTable[word][variant].
extern uint8_t pointTypeTable[3][65536];

}  // namespace velmor
