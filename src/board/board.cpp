// The incremental Board: every stone placed or taken back re-classifies only
// the empty points within four steps of it, in the one direction that joins
// them, so a move costs at most 32 small table look-ups and no scan.
#include "board/board.h"

#include <array>
#include <bit>
#include <cassert>
#include <cstring>
#include <type_traits>

#include "board/board_tables.h"
#include "board/foul_check.h"
#include "board/patterns.h"

namespace velmor {

int8_t boardSize = 15;

// Searches copy a Board at every node and undo a move by dropping the copy:
// it must stay one flat block of bytes.
static_assert(std::is_trivially_copyable_v<Board>);
static_assert(std::is_trivially_copyable_v<Cell>);
static_assert(sizeof(Board) == sizeof(Cell) * kMaxBoardSize * kMaxBoardSize + 192);

namespace {

// Which combine variant each side uses under a rule. Under renju only side 0
// is restricted.
template <GameRule R>
struct RuleVariants {
    static constexpr int side0 = R == FreeStyle ? 0 : (R == ExactFive ? 1 : 2);
    static constexpr int side1 = R == ExactFive ? 1 : 0;
};

// Cell offset of one step along each direction in cells[x][y].
constexpr int kStep[kDirCount] = {kDirDx[0] * kMaxBoardSize + kDirDy[0], kDirDx[1] * kMaxBoardSize + kDirDy[1],
                                  kDirDx[2] * kMaxBoardSize + kDirDy[2], kDirDx[3] * kMaxBoardSize + kDirDy[3]};

// Moves a counted point from one type to another. Testing first is cheaper
// than two dependent read-modify-writes on the same few counters.
inline void recount(uint8_t* counts, uint8_t from, uint8_t to) {
    if (from != to) {
        --counts[from];
        ++counts[to];
    }
}

// The point's index x * 20 + y, which is its offset in cells[][].
int cellIndex(const Board& board, const Cell& cell) { return int(&cell - &board.cells[0][0]); }

// What a verdict takes from a line type alone: below a three, a three, a
// four, a five, or an overline.
constexpr uint8_t kTypeClass[16] = {0, 0, 0, 0, 0, 1, 1, 2, 2, 2, 2, 2, 2, 3, 4, 4};

// With the last flagged point gone, a refresh clears the marks that linger,
// and the Board's moves skip the foul bookkeeping until a point is flagged.
void lastFlagGone(Board& board) {
    if (!board.flaggedPoints.any()) board.foulRefreshPending |= kRefreshAll;
}

// A flagged point's own verdict needs making again at the end of the move.
void rejudge(Board& board, Cell& cell) {
    cell.foulMark |= kFoulUnjudged;
    board.foulRefreshPending |= kRefreshNew;
}

// Line `dir` of a marked point changed (by the stone the Board notes in
// foulStoneAt), its line type from `before` to `after`. A verdict that read
// the line stone by stone cares when what a black stone at the point makes
// along it changed; one that went by the point's line types (a flagged
// point's own always does), when the line's class did. Another point's
// verdict (the point was one of its straight-four points) calls for a full
// refresh, the point's own for its judgement alone.
void renjuMarkedLineChanged(Board& board, Cell& cell, int dir, unsigned before, unsigned after) {
    const uint8_t mark = cell.foulMark;
    const bool classChanged = kTypeClass[before] != kTypeClass[after];
    if (!classChanged && !(mark & (kFoulLineRead << dir))) return;
    if (!classChanged && !lineFactsChanged(board, cellIndex(board, cell), dir)) return;
    if (mark & kFoulTypesRead) board.foulRefreshPending |= kRefreshAll;
    else if (mark & kFoulFlagged) rejudge(board, cell);
}

// Black's line word changed at a point that is flagged, marked, or flagged
// from now on (renju only).
[[gnu::noinline, gnu::cold]] void renjuLineChanged(Board& board, Cell& cell, unsigned lt0, uint8_t type, int dir) {
    const unsigned shift = 4 * unsigned(dir);
    const unsigned before = cell.lineTypes[0] >> shift & 0xF, after = lt0 >> shift & 0xF;
    cell.lineTypes[0] = uint16_t(lt0);
    if (type == Forbidden) {
        if (!(cell.foulMark & kFoulFlagged)) {
            cell.foulMark |= kFoulFlagged;
            board.flaggedPoints.set(cellIndex(board, cell));
            board.foulMarked = 1;
            recount(board.typeCount[0], cell.pointType[0], Forbidden);
            cell.pointType[0] = Forbidden;
            rejudge(board, cell);  // alone, a new flag changes no other verdict
        }
        // A verdict, the point's own at least, went by its line types.
        renjuMarkedLineChanged(board, cell, dir, before, after);
        return;  // a flagged point's type is its verdict
    }
    if (cell.foulMark & kFoulFlagged) {
        // No longer flagged. The marks its verdict left stay until the next
        // full refresh: a needless refresh later costs less than one now.
        cell.foulMark &= uint8_t(~(kFoulFlagged | kFoulUnjudged));
        board.flaggedPoints.reset(cellIndex(board, cell));
        lastFlagGone(board);
    }
    if (cell.foulMark) renjuMarkedLineChanged(board, cell, dir, before, after);
    recount(board.typeCount[0], cell.pointType[0], type);
    cell.pointType[0] = type;
}

// The points a stone's walk passes, as bits of a window over the point
// indexes (x * 20 + y) centred on the stone: bit kStarReach + k * step is
// the point k steps away along a direction (step 1, 20, 21 and -19 for the
// four, k from -4 to 4 but 0).
inline constexpr int kStarReach = 4 * 21;
static_assert(decltype(Board::lineWatchedPoints)::kPad == kStarReach);
struct StarPoint {
    int8_t dir;
    int8_t steps;  // 0: no point of the walk
};
struct StarWindow {
    uint64_t mask[3] = {};
    StarPoint points[2 * kStarReach + 1] = {};
};
constexpr StarWindow kStar = [] {
    StarWindow star;
    for (int d = 0; d < kDirCount; ++d)
        for (int k = -4; k <= 4; ++k) {
            if (k == 0) continue;
            const int bit = kStarReach + k * (kDirDx[d] * kMaxBoardSize + kDirDy[d]);
            star.mask[bit >> 6] |= uint64_t(1) << (bit & 63);
            star.points[bit] = {int8_t(d), int8_t(k)};
        }
    return star;
}();

// After a walk on a marked Board: every empty point on the stone's lines
// whose marks concern its lines (lineWatchedPoints) had that line change
// under it, black's type there going from `before` (the masks without the
// stone) to `after`. Most such changes matter to no verdict; the others go
// to renjuMarkedLineChanged. The points are found from the watched bits with
// a few word operations a move, and one branch a point decides whether it
// matters: a test at each walked point cost more, as the walk passes some
// 18 points a move and keeps none of their branches predicted. (A flagged
// point whose word changed has had its look already, in renjuLineChanged;
// a second look sets the same bits.)
void renjuMarkedLinesChanged(Board& board, Pos pos) {
    const uint64_t* const words = board.lineWatchedPoints.words;
    const int at = pos.index(), shift = at & 63;  // the window starts at the stored bit of at - kStarReach
    uint64_t window[3];
    for (int i = 0; i < 3; ++i) {
        const int w = (at >> 6) + i;
        window[i] = ((words[w] >> shift) | (words[w + 1] << 1 << (63 - shift))) & kStar.mask[i];
    }
    if (!(window[0] | window[1] | window[2])) return;
    const int side = board.foulStoneSide;
    for (int i = 0; i < 3; ++i)
        for (uint64_t bits = window[i]; bits; bits &= bits - 1) {
            const int o = i * 64 + std::countr_zero(bits);
            const StarPoint sp = kStar.points[o];
            // The bit is a watched point, so the cell is one of the board's;
            // it is on the line unless the window ran past a row's end.
            Cell& q = (&board.cells[0][0])[at + o - kStarReach];
            const int x = pos.x() + sp.steps * kDirDx[sp.dir], y = pos.y() + sp.steps * kDirDy[sp.dir];
            // On Q's masks the stone is -steps away.
            const unsigned bit = sp.steps > 0 ? 0x08u << sp.steps : 0x10u >> -sp.steps;
            const unsigned m0 = q.stoneMask[0][sp.dir] ^ (side == 0 ? bit : 0);
            const unsigned m1 = q.stoneMask[1][sp.dir] ^ (side == 1 ? bit : 0);
            const unsigned before = lineTypePairTable[Renju][m0 << 8 | m1] & 0xF;
            const unsigned after = q.lineTypes[0] >> (4 * sp.dir) & 0xF;
            const uint8_t mark = q.foulMark;
            const bool matters = Board::onBoard(x, y) & (q.stone == 2) &
                                 ((mark & (kFoulTypesRead | kFoulFlagged)) != 0) &
                                 ((kTypeClass[before] != kTypeClass[after]) | ((mark & (kFoulLineRead << sp.dir)) != 0));
            if (matters) [[unlikely]] renjuMarkedLineChanged(board, q, sp.dir, before, after);
        }
}

// The typeCount changes of one move, kept in two vector registers while the
// walk runs and added to the counters once at its end: each point's update
// is then the same few instructions whatever it finds, where a test per
// point ("did the type change?") mispredicts on every other point of real
// positions. Lane t of side[s] is the change of typeCount[s][t], modulo 256
// like the counters.
using TypeLanes = uint8_t __attribute__((vector_size(16)));
struct CountDelta {
    TypeLanes side[2] = {};
};

// kTypeUnit[t]: 1 in lane t.
alignas(16) constexpr auto kTypeUnit = [] {
    std::array<std::array<uint8_t, 16>, 16> unit{};
    for (int t = 0; t < 16; ++t) unit[t][t] = 1;
    return unit;
}();

inline TypeLanes typeUnit(unsigned t) {
    TypeLanes lanes;
    std::memcpy(&lanes, kTypeUnit[t].data(), sizeof lanes);
    return lanes;
}

inline void applyCountDelta(Board& board, const CountDelta& delta) {
    for (int s = 0; s < 2; ++s) {
        TypeLanes counts;
        std::memcpy(&counts, board.typeCount[s], sizeof counts);
        counts += delta.side[s];
        std::memcpy(board.typeCount[s], &counts, sizeof counts);
    }
}

// Re-reads the line type of `dir` for both sides from the point's masks and,
// where a side's word changed, recombines its point type. Most points keep
// both line types, and one test tells; past it the update takes the same
// steps whichever side changed, since per-side tests mispredict on every
// other point of real positions. Under renju a point may be flagged only
// while the Board is `Marked`; the other marks are looked into after the
// walk (renjuMarkedLinesChanged), not at every point.
template <GameRule R, bool Marked>
inline void reclassifyDir(Board& board, Cell& cell, int dir, CountDelta& delta) {
    const unsigned pair = lineTypePairTable[R][cell.stoneMask[0][dir] << 8 | cell.stoneMask[1][dir]];
    const unsigned shift = 4 * unsigned(dir);
    const unsigned old0 = cell.lineTypes[0], old1 = cell.lineTypes[1];
    if ((pair & 0xFF) == ((old0 >> shift & 0xF) | (old1 >> shift & 0xF) << 4)) return;
    const unsigned keep = ~(0xFu << shift);
    const unsigned lt0 = (old0 & keep) | (pair & 0xF) << shift;
    const unsigned lt1 = (old1 & keep) | (pair >> 4) << shift;
    const uint8_t was0 = cell.pointType[0], was1 = cell.pointType[1];
    const uint8_t type0 = lt0 != old0 ? pointTypeTable[RuleVariants<R>::side0][lt0] : was0;
    const uint8_t type1 = lt1 != old1 ? pointTypeTable[RuleVariants<R>::side1][lt1] : was1;
    if (R == Renju && (lt0 != old0) & ((type0 == Forbidden) | (Marked && (cell.foulMark & kFoulFlagged)))) [[unlikely]] {
        renjuLineChanged(board, cell, lt0, type0, dir);
    } else {
        // An unchanged word keeps the type it has: under renju a flagged
        // point's type is its verdict, not the table's.
        if constexpr (R == Renju) recount(board.typeCount[0], was0, type0);
        else delta.side[0] += typeUnit(type0) - typeUnit(was0);
        cell.pointType[0] = type0;
        cell.lineTypes[0] = uint16_t(lt0);
    }
    // Under renju the counters are moved at once: there the walk calls out
    // to the foul bookkeeping, and the vector lanes kept across those calls
    // cost more than the tests they save (BM_MakeMove renju 99 ns with the
    // lanes, 81 without; the other rules keep them).
    if constexpr (R == Renju) recount(board.typeCount[1], was1, type1);
    else delta.side[1] += typeUnit(type1) - typeUnit(was1);
    cell.pointType[1] = type1;
    cell.lineTypes[1] = uint16_t(lt1);
}

// One direction through P. The walks never cross the board's edge: P's own
// masks already tell where the walls are (a bit set for both sides), so no
// coordinate test is needed.
template <GameRule R, bool Place, int D, bool Marked>
inline void walkDirection(Board& board, Cell* const p, int side, CountDelta& delta) {
    constexpr int step = kStep[D];
    const unsigned walls = p->stoneMask[0][D] & p->stoneMask[1][D];
    // Minus side: P lies on Q's plus side at distance k.
    for (int k = 1; k <= 4 && !(walls & (0x08u << k)); ++k) {
        Cell& q = p[-k * step];
        const uint8_t bit = uint8_t(0x10u >> k);
        if constexpr (Place) q.stoneMask[side][D] |= bit;
        else q.stoneMask[side][D] ^= bit;
        if (q.stone == 2) reclassifyDir<R, Marked>(board, q, D, delta);
    }
    // Plus side: P lies on Q's minus side at distance k.
    for (int k = 1; k <= 4 && !(walls & (0x10u >> k)); ++k) {
        Cell& q = p[k * step];
        const uint8_t bit = uint8_t(0x08u << k);
        if constexpr (Place) q.stoneMask[side][D] |= bit;
        else q.stoneMask[side][D] ^= bit;
        if (q.stone == 2) reclassifyDir<R, Marked>(board, q, D, delta);
    }
}

// A stone comes to a marked cell (renju only). A stone on a flagged point
// ends its flag; the verdicts are made again when one of them read the cell
// (a point's own line marks only serve its own verdict).
[[gnu::noinline, gnu::cold]] void renjuStoneOnMarkedCell(Board& board, Cell& cell, Pos pos) {
    if (cell.foulMark & kFoulFlagged) {
        cell.foulMark = uint8_t(cell.foulMark & ~(kFoulFlagged | kFoulUnjudged));
        board.flaggedPoints.reset(pos.x() * 20 + pos.y());
        lastFlagGone(board);
    }
    if (cell.foulMark & (kFoulWatched | kFoulTypesRead)) board.foulRefreshPending |= kRefreshAll;
}

template <GameRule R, bool Place, bool Marked = false>
void updateLinesFor(Board& board, Pos pos, int side) {
    Cell* const p = &board.cells[pos.x()][pos.y()];
    if constexpr (Place) {
        // P stops being an empty point. The None counters are moved like the
        // others but start at 0 on a board of None points, so they wrap: they
        // hold (None points - points on the board) mod 256. Nobody reads them.
        --board.typeCount[0][p->pointType[0]];
        --board.typeCount[1][p->pointType[1]];
    }
    if constexpr (R == Renju && Marked) {
        board.foulStoneAt = pos;
        board.foulStoneSide = uint8_t(side);
        if constexpr (Place)
            if (p->foulMark) [[unlikely]] renjuStoneOnMarkedCell(board, *p, pos);
    }
    CountDelta delta;
    walkDirection<R, Place, 0, Marked>(board, p, side, delta);
    walkDirection<R, Place, 1, Marked>(board, p, side, delta);
    walkDirection<R, Place, 2, Marked>(board, p, side, delta);
    walkDirection<R, Place, 3, Marked>(board, p, side, delta);
    applyCountDelta(board, delta);
    if constexpr (R == Renju && Marked) renjuMarkedLinesChanged(board, pos);
}

template <bool Place>
void updateLinesAnyRule(Board& board, Pos pos, int side, GameRule rule) {
    switch (rule) {
        case FreeStyle: updateLinesFor<FreeStyle, Place>(board, pos, side); break;
        case ExactFive: updateLinesFor<ExactFive, Place>(board, pos, side); break;
        default:
            // Without flagged points or marks, only new flags need looking for.
            if (board.foulMarked) updateLinesFor<Renju, Place, true>(board, pos, side);
            else updateLinesFor<Renju, Place, false>(board, pos, side);
            break;
    }
}

void reclassifyAnyRule(Board& board, Cell& cell, int dir, GameRule rule) {
    CountDelta delta;
    switch (rule) {
        case FreeStyle: reclassifyDir<FreeStyle, false>(board, cell, dir, delta); break;
        case ExactFive: reclassifyDir<ExactFive, false>(board, cell, dir, delta); break;
        default: reclassifyDir<Renju, true>(board, cell, dir, delta); break;
    }
    applyCountDelta(board, delta);
}

// Wall marks: kEdge[0..3] cut the minus side off from distance 1..4 on (a
// point 0..3 steps from the low edge), kEdge[4..7] the plus side from
// distance 4..1 on (a point 3..0 steps from the high edge).
constexpr uint8_t kEdge[8] = {0xF0, 0xE0, 0xC0, 0x80, 0x01, 0x03, 0x07, 0x0F};

}  // namespace

void Board::resetBoard() {
    const int n = boardSize;
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y) {
            Cell& c = cells[x][y];
            c.stone = 2;
            c.foulMark = 0;
            c.lineTypes[0] = c.lineTypes[1] = 0;
            c.pointType[0] = c.pointType[1] = None;
            uint8_t wall[4] = {0, 0, 0, 0};
            if (y < 4) wall[0] |= kEdge[y], wall[2] |= kEdge[y], wall[3] |= kEdge[y];
            if (y > n - 5) wall[0] |= kEdge[8 + y - n], wall[2] |= kEdge[8 + y - n], wall[3] |= kEdge[8 + y - n];
            if (x < 4) wall[1] |= kEdge[x], wall[2] |= kEdge[x], wall[3] |= kEdge[7 - x];
            if (x > n - 5) wall[1] |= kEdge[8 + x - n], wall[2] |= kEdge[8 + x - n], wall[3] |= kEdge[n - x - 1];
            for (int d = 0; d < kDirCount; ++d) c.stoneMask[0][d] = c.stoneMask[1][d] = wall[d];
        }
    foulRefreshPending = 0;
    foulMarked = 0;
    stoneBox[0] = stoneBox[1] = 255;
    stoneBox[2] = stoneBox[3] = 0;
    flaggedPoints = {};
    lineWatchedPoints = {};
    hashLow = hashHigh = 0;
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y) {
            hashLow ^= zobristLow[x * kMaxBoardSize + y][2];
            hashHigh ^= zobristHigh[x * kMaxBoardSize + y][2];
        }
}

void newBoard(Board& board) {
    // Zero everything first, padding and the unused part of a 20x20 board
    // included, so equal positions are equal byte for byte.
    std::memset(static_cast<void*>(&board), 0, sizeof board);
    board.lastMove = kNoStoneRecord;
    board.resetBoard();
}

bool Board::makeMove(Pos pos, uint8_t side, GameRule rule) {
    assert(onBoard(pos.x(), pos.y()) && side < 2);
    Cell& c = cells[pos.x()][pos.y()];
    if (c.stone != 2) return false;
    ++lastMove.stoneCount;
    lastMove.side = side;
    lastMove.pos = pos;
    lastMove.chessType = c.pointType[side];
    c.stone = side;
    widenStoneBox(pos);
    updateLines(pos, side, rule, LineUpdate::Place);
    if (rule == Renju) finishRenjuUpdate();
    const int i = pos.index();
    hashLow ^= zobristLow[i][2] ^ zobristLow[i][side];
    hashHigh ^= zobristHigh[i][2] ^ zobristHigh[i][side];
    return true;
}

void Board::removeStone(Pos pos, MoveRecord previous, GameRule rule) {
    assert(onBoard(pos.x(), pos.y()));
    Cell& c = cells[pos.x()][pos.y()];
    if (c.stone == 2 || lastMove.stoneCount == 0) return;
    const int side = c.stone;
    lastMove = previous;
    c.stone = 2;
    if (rule == Renju) {
        // A stone leaving a watched cell calls for new verdicts as well.
        if (c.foulMark & kFoulWatched) foulRefreshPending |= kRefreshAll;
        foulStoneAt = pos;
        foulStoneSide = uint8_t(side);
    }

    // The point becomes empty again: classify it whole from its masks (they
    // were kept up to date while it was occupied) and count it once more.
    // Counting it as None first lets the per-direction update move it to its
    // real type.
    c.lineTypes[0] = c.lineTypes[1] = 0;
    c.pointType[0] = c.pointType[1] = None;
    ++typeCount[0][None];
    ++typeCount[1][None];
    for (int d = 0; d < kDirCount; ++d) reclassify(c, d, rule);

    updateLines(pos, side, rule, LineUpdate::Remove);
    if (rule == Renju) finishRenjuUpdate();
    // A stone on the box's edge may have been the only one there: each edge
    // it was on moves inward to the first line of the box that still holds
    // a stone (the box is then the same as if the stone had never been
    // placed). The rows first, within the old columns, then the columns
    // within the new rows: every stone left is inside the old box.
    if (pos.x() == stoneBox[0] || pos.y() == stoneBox[1] || pos.x() == stoneBox[2] || pos.y() == stoneBox[3]) {
        auto rowHasStone = [&](int x) {
            for (int y = stoneBox[1]; y <= stoneBox[3]; ++y)
                if (cells[x][y].stone != 2) return true;
            return false;
        };
        auto columnHasStone = [&](int y) {
            for (int x = stoneBox[0]; x <= stoneBox[2]; ++x)
                if (cells[x][y].stone != 2) return true;
            return false;
        };
        while (stoneBox[0] <= stoneBox[2] && !rowHasStone(stoneBox[0])) ++stoneBox[0];
        if (stoneBox[0] > stoneBox[2]) {
            stoneBox[0] = stoneBox[1] = 255;  // no stone left
            stoneBox[2] = stoneBox[3] = 0;
        } else {
            while (!rowHasStone(stoneBox[2])) --stoneBox[2];
            while (!columnHasStone(stoneBox[1])) ++stoneBox[1];
            while (!columnHasStone(stoneBox[3])) --stoneBox[3];
        }
    }
    const int i = pos.index();
    hashLow ^= zobristLow[i][side] ^ zobristLow[i][2];
    hashHigh ^= zobristHigh[i][side] ^ zobristHigh[i][2];
}

bool Board::placeGroup(const Pos* points, int count, GameRule rule) {
    if (count <= 0) return false;
    ++lastMove.stoneCount;
    lastMove.pos = points[0];
    lastMove.side = uint8_t(1 - lastMove.side);
    for (int i = 0; i < count; ++i) {
        Cell& c = cells[points[i].x()][points[i].y()];
        assert(onBoard(points[i].x(), points[i].y()) && c.stone == 2);
        c.stone = lastMove.side;
        widenStoneBox(points[i]);
        updateLines(points[i], lastMove.side, rule, LineUpdate::Place);
    }
    if (rule == Renju) finishRenjuUpdate();
    return true;
}

uint8_t Board::mainDirection(Pos pos, int side) const {
    const Cell& c = cell(pos);
    const unsigned t = c.pointType[side];
    // A flagged point that is no foul may still show a three that is none by
    // the rules; the verdict's word tells which line really carries the type.
    const unsigned word =
        side == 0 && (c.foulMark & kFoulFlagged) && t != Forbidden ? judgeFlaggedPoint(*this, pos).lineTypes
                                                                   : c.lineTypes[side];
    for (int d = 0; d < kDirCount; ++d)
        if ((word >> (4 * d) & 0xF) == t) return uint8_t(d);
    // Combined types (double three, four-three, double four, forbidden) are
    // carried by no single line: take the strongest line, first on ties.
    int best = 0;
    for (int d = 1; d < kDirCount; ++d)
        if ((word >> (4 * d) & 0xF) > (word >> (4 * best) & 0xF)) best = d;
    return uint8_t(best);
}

void Board::updateLines(Pos pos, int side, GameRule rule, LineUpdate mode) {
    if (mode == LineUpdate::Place) updateLinesAnyRule<true>(*this, pos, side, rule);
    else updateLinesAnyRule<false>(*this, pos, side, rule);
}

void Board::reclassify(Cell& cell, int dir, GameRule rule) { reclassifyAnyRule(*this, cell, dir, rule); }

}  // namespace velmor
