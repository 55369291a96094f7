// Attacking moves of the side to move for the threat search, by level of
// force: fives only, fours or better, threes or better.
#include "board/generators.h"
#include "board/line_walk.h"
#include "board/point_scan.h"

namespace velmor {
namespace {

bool isThreeOnly(int pointType) {
    return pointType == LiveThree || pointType == WideThree || pointType == DoubleThree;
}

// Whether a point type qualifies as a threat at `level` (types 5..13 only).
bool isThreatAt(int pointType, int level) {
    if (pointType < LiveThree || pointType > Five) return false;
    if (level <= FivesOnly) return pointType == Five;
    if (level == FoursOnly) return !isThreeOnly(pointType);
    return true;
}

// Whether the counters promise at least one point of a qualifying type, so a
// whole-board scan can be skipped when they do not.
bool mayHaveThreats(const uint8_t* count, int level) {
    if (level <= FivesOnly) return count[Five] > 0;
    unsigned any = count[RushFour] | count[RushFourPlus] | count[FourThree] | count[DoubleFour] | count[LiveFour] |
                   count[Five];
    if (level >= WithThrees) any |= count[LiveThree] | count[WideThree] | count[DoubleThree];
    return any != 0;
}

}  // namespace

void collectThreats(const Board& board, int level, MoveList& list) {
    const int me = board.sideToMove();
    if (mayHaveThreats(board.typeCount[me], level)) {
        const int n = boardSize;
        for (int x = 0; x < n; ++x)
            for (int y = 0; y < n; ++y) {
                const Cell& c = board.cells[x][y];
                if (c.stone != 2 || !isThreatAt(c.pointType[me], level)) continue;
                const Pos p(x, y);
                list.push_back({p, int16_t(c.pointType[me]), board.mainDirection(p, me), 0});
            }
    }
    sortByValue(list);
}

void collectThreatsAround(const Board& board, Pos centre, int level, MoveList& list, bool extra) {
    const int me = board.sideToMove(), opp = 1 - me;

    // 1. A five of our own ends the matter: that one point, nothing else.
    Pos five;
    if (board.typeCount[me][Five] > 0 && firstPointOfType(board, me, Five, five)) {
        list.push_back({five, 1000, board.mainDirection(five, me), 0});
        return;
    }
    if (level <= FivesOnly) return;

    // 2. The four lines through the centre, up to the opponent's stones. A
    // point reached along several lines is listed once per line.
    for (int d = 0; d < kDirCount; ++d)
        for (int sign : kLineSides)
            walkEmpties(board, centre, d, sign, opp, [&](Pos p, const Cell& c) {
                const int point = c.pointType[me];
                if (point == Forbidden) return true;
                const int line = lineTypeAt(c.lineTypes[me], d);
                if (line >= LiveThree && line <= Five) {
                    if (level >= WithThrees || !isThreeOnly(point)) list.push_back({p, int16_t(line), uint8_t(d), 0});
                } else if (extra) {
                    // The point threatens along another line: keep it, ranked low.
                    const bool four = point == RushFour || point == RushFourPlus;
                    const bool three = point == LiveThree || point == WideThree;
                    if (four || (three && level >= WithThrees))
                        list.push_back({p, 2, board.mainDirection(p, me), 0});
                }
                return true;
            });

    sortByValue(list);
}

}  // namespace velmor
