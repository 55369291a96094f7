// Static evaluation: the shapes each side could make on the empty points,
// weighed per type, with single threes and fours scaled by their room and
// support in the other directions.
#include "board/evaluation.h"

#include "board/line_walk.h"

namespace velmor {
namespace {

struct TypeWeight {
    int32_t toMove;  // for the side to move
    int32_t other;   // for the side that moved last
};

// A double threat or a four is worth far more to the side that plays next
// than to the side that must wait a move.
constexpr TypeWeight kTypeWeight[ChessTypeCount] = {
    {0, 0},        // None
    {0, 0},        // WeakTwo
    {2, 2},        // Two
    {6, 6},        // LiveTwo
    {2, 2},        // DeadThree
    {12, 12},      // LiveThree
    {12, 12},      // WideThree
    {18, 18},      // RushFour
    {26, 26},      // RushFourPlus
    {100, 30},     // DoubleThree
    {200, 50},     // FourThree
    {400, 50},     // DoubleFour
    {200, 20},     // LiveFour
    {1000, 50},    // Five
    {-10, -10},    // Forbidden
};

constexpr double kNeutral = 1.0;
constexpr double kPerShapedDirection = 0.5;
constexpr double kClosedBothWays = 0.7;
constexpr double kClosedOneWay = 0.8;
constexpr double kPerSupport = 1.2;
// kPerSupport applied n times, one multiplication after another, so the
// rounding is that of multiplying in once per supporting point.
constexpr double kSupport[5] = {
    kNeutral,
    kNeutral * kPerSupport,
    kNeutral * kPerSupport * kPerSupport,
    kNeutral * kPerSupport * kPerSupport * kPerSupport,
    kNeutral * kPerSupport * kPerSupport * kPerSupport * kPerSupport,
};

// Stone-mask bits of the two nearest points on each side (bit 5 = P-2e,
// bit 4 = P-e, bit 3 = P+e, bit 2 = P+2e).
constexpr unsigned kNearMinus = 0x30, kNearPlus = 0x0C;
constexpr int kNearOffsets[4] = {-2, -1, 1, 2};
constexpr unsigned kNearBits[4] = {0x20, 0x10, 0x08, 0x04};

bool isSingleThreeOrFour(int t) { return t >= LiveThree && t <= RushFourPlus; }

double factorAt(const Board& board, const Cell& cell, int x, int y, int s) {
    const int t = cell.pointType[s];
    if (!isSingleThreeOrFour(t)) return kNeutral;
    double h = kNeutral;
    bool found = false;
    for (int j = 0; j < kDirCount; ++j) {
        const int n = lineTypeAt(cell.lineTypes[s], j);
        if (!found && n == t) {
            found = true;  // the direction that carries the shape itself
        } else if (n > WeakTwo) {
            h += kPerShapedDirection;
        } else {
            // Room within two points each way. Opponent stones and the edge
            // are both marked in the opponent's stone mask.
            const unsigned blocked = cell.stoneMask[1 - s][j];
            const int open = !(blocked & kNearMinus) + !(blocked & kNearPlus);
            if (open == 0) {
                h *= kClosedBothWays;
            } else if (open == 1) {
                h *= kClosedOneWay;
            } else {
                // Open both ways: every near empty point where s would make a
                // three or better supports this one. Own stones are passed.
                const unsigned own = cell.stoneMask[s][j];
                int support = 0;
                for (int i = 0; i < 4; ++i) {
                    if (own & kNearBits[i]) continue;
                    const Cell& q = board.cells[x + kNearOffsets[i] * kDirDx[j]][y + kNearOffsets[i] * kDirDy[j]];
                    support += q.pointType[s] > DeadThree;
                }
                h *= kSupport[support];
            }
        }
    }
    return h;
}

// One side's share of one point, truncated toward zero on its own.
int32_t pointScore(const Board& board, const Cell& cell, int x, int y, int s, int32_t weight) {
    if (!isSingleThreeOrFour(cell.pointType[s])) return weight;
    return int32_t(factorAt(board, cell, x, y, s) * weight);
}

}  // namespace

double typeFactor(const Board& board, Pos p, int side) {
    return factorAt(board, board.cell(p), p.x(), p.y(), side);
}

int32_t evaluate(const Board& board, int side) {
    const int me = board.sideToMove(), opp = 1 - me;
    int32_t sumMe = 0, sumOpp = 0;
    const int n = boardSize;
    for (int x = 0; x < n; ++x) {
        const Cell* column = board.cells[x];
        for (int y = 0; y < n; ++y) {
            const Cell& c = column[y];
            if (c.stone != 2 || (c.pointType[0] | c.pointType[1]) == 0) continue;
            sumMe += pointScore(board, c, x, y, me, kTypeWeight[c.pointType[me]].toMove);
            sumOpp += pointScore(board, c, x, y, opp, kTypeWeight[c.pointType[opp]].other);
        }
    }
    // The side to move is a tempo ahead.
    constexpr int32_t kTempo = 60;
    return side == me ? sumMe - sumOpp + kTempo : sumOpp - sumMe - kTempo;
}

}  // namespace velmor
