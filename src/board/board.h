#pragma once
// The position model: stones plus, for every empty point and each side, the
// shape a stone would make there, kept up to date incrementally.
#include <cstdint>
#include <string>

#include "board/chess_type.h"
#include "board/pos.h"

namespace velmor {

inline constexpr int kMaxBoardSize = 20;

// The process-wide board edge (15 or 20); only the boardSize x boardSize
// corner of a Board is used.
extern int8_t boardSize;

// Zobrist keys, [x * 20 + y][state], state 0/1 = stone of that side, 2 = empty.
extern uint32_t zobristLow[kMaxBoardSize * kMaxBoardSize][3];
extern uint32_t zobristHigh[kMaxBoardSize * kMaxBoardSize][3];
// mt19937 seeded with 6847; for each k, high first then low.
void fillZobristKeys();

// One point. Layout (16 bytes):
//   stone:1 | pad:1 | lineTypes[2]:4 | pointType[2]:2 | stoneMask[2][4]:8
// stoneMask bits, for the eight points of one line (P itself has none):
//   bit 7..4 = P-4e .. P-e, bit 3..0 = P+e .. P+4e; off-board points are set
//   for both sides (walls).
struct Cell {
    uint8_t stone;          // 0 side 0, 1 side 1, 2 empty
    uint16_t lineTypes[2];  // per side: nibble d = ChessType in direction d
    uint8_t pointType[2];   // per side: combined ChessType
    uint8_t stoneMask[2][4];
};
static_assert(sizeof(Cell) == 16);

// A plain value without pointers: a search copies it whole to undo a move.
struct Board {
    Cell cells[kMaxBoardSize][kMaxBoardSize];  // [x][y]
    MoveRecord lastMove;
    uint32_t hashLow;
    uint32_t hashHigh;
    uint8_t typeCount[2][ChessTypeCount];  // [side][type]: empty points of that pointType

    // Empties the used corner, marks the walls and computes the empty hash.
    // The caller sets lastMove and zeroes typeCount first (newBoard does both).
    void resetBoard();
    // Places a stone; false (and no change) when the point is occupied.
    bool makeMove(Pos pos, uint8_t side, GameRule rule);
    // Takes the last stone back; `previous` becomes lastMove. No-op on an
    // empty point or a board without stones.
    void removeStone(Pos pos, MoveRecord previous, GameRule rule);
    // Places stones on all points, for the side to move, as one ply; the hash
    // key is not updated. False for an empty list.
    bool placeGroup(const Pos* points, int count, GameRule rule);
    // The direction that carries the point's combined type for `side`.
    uint8_t mainDirection(Pos pos, int side) const;

    bool isEmpty(int x, int y) const { return cells[x][y].stone == 2; }
    const Cell& cell(Pos p) const { return cells[p.x()][p.y()]; }
    uint64_t hashKey() const { return (uint64_t(hashHigh) << 32) | hashLow; }
    int sideToMove() const { return 1 - lastMove.side; }
    static bool onBoard(int x, int y) { return x >= 0 && y >= 0 && x < boardSize && y < boardSize; }

private:
    enum class LineUpdate { Place, Remove };
    void updateLines(Pos pos, int side, GameRule rule, LineUpdate mode);
    void reclassify(Cell& cell, int dir, GameRule rule);
};

// A fresh game board: no-stone lastMove, zero counters, resetBoard.
void newBoard(Board& board);

// Debug consistency check: recomputes every empty point's lineTypes,
// pointType, the stone masks, typeCount (types 1..14) and the hash key from
// the stones alone and compares them with the incremental state. Returns an
// empty string when they agree, otherwise a description of the first
// difference. Search tests call it on the boards they visit; boards that went
// through placeGroup (which leaves the hash alone) pass checkHash = false.
std::string checkBoardConsistency(const Board& board, GameRule rule, bool checkHash = true);

}  // namespace velmor
