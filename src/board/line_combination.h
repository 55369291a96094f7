#pragma once
// The learned evaluation's index of a point: the four line types a stone of
// one side would make there, as an unordered combination. Which direction
// carries which shape does not change what the point is worth, so the four
// values are sorted and the sorted tuple is ranked: 15 line types give
// C(15 + 3, 4) = 3060 combinations.
#include <array>
#include <cstdint>

namespace velmor {

inline constexpr int kLineTypeValues = 15;       // ChessType None .. Forbidden
inline constexpr int kCombinationCount = 3060;   // multisets of 4 from 15

// Rank of the sorted combination of a lineTypes word (nibble d = type in
// direction d), 0 for four Nones. Filled by buildCombinationIndex.
extern uint16_t combinationIndexTable[65536];
inline int combinationIndex(uint16_t lineTypes) { return combinationIndexTable[lineTypes]; }
void buildCombinationIndex();

// The four line types of a rank, highest first (for the tuner's starting
// values and for tests).
std::array<uint8_t, 4> combinationTypes(int index);

}  // namespace velmor
