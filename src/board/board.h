#pragma once
// The position model: stones plus, for every empty point and each side, the
// shape a stone would make there, kept up to date incrementally.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
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
//   stone:1 | foulMark:1 | lineTypes[2]:4 | pointType[2]:2 | stoneMask[2][4]:8
// stoneMask bits, for the eight points of one line (P itself has none):
//   bit 7..4 = P-4e .. P-e, bit 3..0 = P+e .. P+4e; off-board points are set
//   for both sides (walls).
struct Cell {
    uint8_t stone;          // 0 side 0, 1 side 1, 2 empty
    uint8_t foulMark;       // renju only, see kFoulFlagged and kFoulWatched
    uint16_t lineTypes[2];  // per side: nibble d = ChessType in direction d
    uint8_t pointType[2];   // per side: combined ChessType (side 0 under renju: exact, see below)
    uint8_t stoneMask[2][4];
};

// Black's fouls under renju. The line patterns see four points each way and
// take every three for a real one, so they over-report fouls; they never miss
// one. A point whose patterns say Forbidden is "flagged" and judged once more
// by the rules themselves (judgeFlaggedPoint); its pointType[0] holds that
// verdict: Forbidden, or the type it has once the shapes that are no real
// three or four are discounted. The verdict can depend on stones well away
// from the point (a three is real only if its straight-four point is not a
// foul in turn), so every judgement marks what it rested on, and a move that
// touches a mark has the verdicts that may have changed made again. Marks of
// verdicts that are gone may linger until a full refresh: they cost a
// needless judgement at worst. While no point is flagged or marked
// (foulMarked 0) a move only looks for new flags.
inline constexpr uint8_t kFoulFlagged = 1;    // the patterns call this empty point a foul for black
inline constexpr uint8_t kFoulWatched = 2;    // a stone placed on or taken from this cell matters
inline constexpr uint8_t kFoulTypesRead = 4;  // a verdict went by this point's line types
inline constexpr uint8_t kFoulUnjudged = 8;   // flagged point to judge at the end of the move
inline constexpr uint8_t kFoulLineRead = 16;  // << d: a verdict read line d of this point stone by stone
// The marks a change of the point's lines concerns.
inline constexpr uint8_t kFoulLineWatch = kFoulTypesRead | kFoulLineRead * 15;
// Board::foulRefreshPending during a move.
inline constexpr uint8_t kRefreshNew = 1;  // judge the kFoulUnjudged points, alone
inline constexpr uint8_t kRefreshAll = 2;  // a verdict may have changed: judge all afresh

// A set of points as bits, index x * 20 + y (scan order), each stored `Pad`
// bits further on, with as many zero bits after the last point and a zero
// word beyond: a window of 2 * Pad + 1 bits around any point, read a word at
// a time, stays inside.
template <int Pad = 0>
struct PointBits {
    static constexpr int kPad = Pad;
    uint64_t words[(2 * Pad + kMaxBoardSize * kMaxBoardSize + 63) / 64 + (Pad ? 1 : 0)];

    bool test(int i) const { return words[(i + Pad) >> 6] >> ((i + Pad) & 63) & 1; }
    void set(int i) { words[(i + Pad) >> 6] |= uint64_t(1) << ((i + Pad) & 63); }
    void reset(int i) { words[(i + Pad) >> 6] &= ~(uint64_t(1) << ((i + Pad) & 63)); }
    bool any() const {
        uint64_t all = 0;
        for (uint64_t w : words) all |= w;
        return all != 0;
    }
};
static_assert(sizeof(Cell) == 16);

// A plain value without pointers: a search copies it whole to undo a move.
struct Board {
    Cell cells[kMaxBoardSize][kMaxBoardSize];  // [x][y]
    // Beside the cells (192 bytes; the small fields fill what the alignment
    // of the next would leave empty):
    //   lastMove:6 foulRefreshPending:1 foulMarked:1 | hashLow:4 hashHigh:4 | typeCount:32 |
    //   foulStoneSide:1 pad:1 foulStoneAt:2 stoneBox:4 | flaggedPoints:56 | lineWatchedPoints:80
    MoveRecord lastMove;
    uint8_t foulRefreshPending;            // renju, during a move: kRefreshNew and kRefreshAll bits
    uint8_t foulMarked;                    // renju: 1 while a point may be flagged or marked
    uint32_t hashLow;
    uint32_t hashHigh;
    uint8_t typeCount[2][16];              // [side][type < ChessTypeCount]: empty points of that pointType; a move adds
                                           // its changes to each row as one 16-byte vector (the last entry stays 0)
    uint8_t foulStoneSide;                 // renju, during a move: the stone placed or taken,
    Pos foulStoneAt;                       //   for the lines it changes
    uint8_t stoneBox[4];                   // lowest x, lowest y, highest x, highest y of the stones;
                                           // {255, 255, 0, 0} without any
    PointBits<> flaggedPoints;             // renju: the cells with kFoulFlagged
    PointBits<4 * 21> lineWatchedPoints;   // renju: the cells whose marks concern their lines (kFoulLineWatch),
                                           // padded for a window of four steps each way around a point

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
    // The direction that carries the point's combined type for `side`. For a
    // flagged point that is no foul, the line of its real three or four.
    uint8_t mainDirection(Pos pos, int side) const;

    bool isEmpty(int x, int y) const { return cells[x][y].stone == 2; }
    const Cell& cell(Pos p) const { return cells[p.x()][p.y()]; }
    uint64_t hashKey() const { return (uint64_t(hashHigh) << 32) | hashLow; }
    // The key once `side` has a stone at `pos` (an empty point), known
    // before the move is made.
    uint64_t hashKeyAfter(Pos pos, int side) const {
        const int i = pos.index();
        return (uint64_t(hashHigh ^ zobristHigh[i][2] ^ zobristHigh[i][side]) << 32) |
               (hashLow ^ zobristLow[i][2] ^ zobristLow[i][side]);
    }
    int sideToMove() const { return 1 - lastMove.side; }
    // The columns [x0, x1) and rows [y0, y1) that hold every empty point with
    // a shape for either side: the stone box and four points around it. A
    // point further from every stone sees none in any of its lines.
    struct ScanArea {
        int x0, x1, y0, y1;
    };
    ScanArea shapeArea() const {
        if (stoneBox[0] > stoneBox[2]) return {0, 0, 0, 0};
        const int n = boardSize;
        return {std::max(0, stoneBox[0] - 4), std::min(n, stoneBox[2] + 5), std::max(0, stoneBox[1] - 4),
                std::min(n, stoneBox[3] + 5)};
    }
    static bool onBoard(int x, int y) { return x >= 0 && y >= 0 && x < boardSize && y < boardSize; }

    // Renju: judges every flagged point afresh and marks the cells the
    // verdicts read, replacing the old marks. The moves call it when needed.
    void refreshFouls();

private:
    void widenStoneBox(Pos p) {
        stoneBox[0] = std::min<uint8_t>(stoneBox[0], uint8_t(p.x()));
        stoneBox[1] = std::min<uint8_t>(stoneBox[1], uint8_t(p.y()));
        stoneBox[2] = std::max<uint8_t>(stoneBox[2], uint8_t(p.x()));
        stoneBox[3] = std::max<uint8_t>(stoneBox[3], uint8_t(p.y()));
    }
    enum class LineUpdate { Place, Remove };
    void updateLines(Pos pos, int side, GameRule rule, LineUpdate mode);
    void reclassify(Cell& cell, int dir, GameRule rule);
    void judgeNewlyFlagged();
    void finishRenjuUpdate() {
        if (foulRefreshPending & kRefreshAll) refreshFouls();
        else if (foulRefreshPending) judgeNewlyFlagged();
    }
};

// The exact verdict on a point the patterns flag as a foul for black (its
// pattern point type under renju is Forbidden), worked out on the stones by
// the renju definitions: a five is never a foul; an overline is; two fours
// are, also on one line; two threes are when at least two of them are real,
// a three being real when a straight four can be made of it by a move that
// is itself no foul (judged the same way, recursively). Stones five points
// away count: a completion that makes six is no five.
struct FoulVerdict {
    uint8_t pointType;   // Forbidden, or the type without the shapes that are no real three or four
    uint16_t lineTypes;  // black's line types likewise (meaningful when not Forbidden)
};
FoulVerdict judgeFlaggedPoint(const Board& board, Pos p);

// A fresh game board: no-stone lastMove, zero counters, resetBoard.
void newBoard(Board& board);

// A search step's copy: the rows of the used corner (x < boardSize) and the
// fields beside the cells. On 15x15 that is a quarter less than the whole
// Board, and the searches copy a board for every move they try. The rows
// past the corner are left as they were, so the copy is for boards a search
// plays on and drops, never for ones compared byte for byte.
inline void copyPosition(Board& to, const Board& from) {
    constexpr std::size_t kBeside = offsetof(Board, lastMove);
    static_assert(kBeside == sizeof(Board::cells));
    std::memcpy(static_cast<void*>(&to), &from, sizeof(Cell) * kMaxBoardSize * std::size_t(boardSize));
    std::memcpy(reinterpret_cast<char*>(&to) + kBeside, reinterpret_cast<const char*>(&from) + kBeside,
                sizeof(Board) - kBeside);
}

// Debug consistency check: recomputes every empty point's lineTypes,
// pointType, the stone masks, typeCount (types 1..14) and the hash key from
// the stones alone and compares them with the incremental state, and that
// the stone box is that of the stones and shapeArea holds every shape; under renju
// also the flagged points, their exact verdicts and the watch marks. Returns
// an empty string when they agree, otherwise a description of the first
// difference. Search tests call it on the boards they visit; boards that went
// through placeGroup (which leaves the hash alone) pass checkHash = false.
std::string checkBoardConsistency(const Board& board, GameRule rule, bool checkHash = true);

}  // namespace velmor
