#pragma once
#include <cstdint>

namespace velmor {

// A board point in 16 bits: x in the low byte, y in the high byte, each a
// signed byte, exactly the manager protocol's coordinates.
struct Pos {
    uint16_t raw = 0;

    constexpr Pos() = default;
    constexpr explicit Pos(uint16_t packed) : raw(packed) {}
    constexpr Pos(int x, int y) : raw(uint16_t(uint8_t(x) | (uint16_t(uint8_t(y)) << 8))) {}

    constexpr int x() const { return int8_t(raw & 0xFF); }
    constexpr int y() const { return int8_t(raw >> 8); }
    // Index into the Zobrist tables: x * 20 + y on both board sizes.
    constexpr int index() const { return x() * 20 + y(); }

    friend constexpr bool operator==(Pos a, Pos b) { return a.raw == b.raw; }
};
static_assert(sizeof(Pos) == 2);

// The four line directions as (dx, dy) unit steps.
inline constexpr int kDirCount = 4;
inline constexpr int kDirDx[kDirCount] = {0, 1, 1, -1};
inline constexpr int kDirDy[kDirCount] = {1, 0, 1, 1};

// One move of a game. Layout (6 bytes):
//   pos:2 | stoneCount:2 | chessType:1 | side:1
struct MoveRecord {
    Pos pos;
    uint16_t stoneCount = 0;  // stones on the board after this move
    uint8_t chessType = 0;    // mover's pointType at pos just before the stone
    uint8_t side = 1;         // 0 first player, 1 second player

    friend constexpr bool operator==(const MoveRecord&, const MoveRecord&) = default;
};
static_assert(sizeof(MoveRecord) == 6);

// The record of a board without stones: side 1 "moved last", so side 0 starts.
inline constexpr MoveRecord kNoStoneRecord{Pos(), 0, 0, 1};

}  // namespace velmor
