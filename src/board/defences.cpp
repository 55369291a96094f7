// The defender's answers to one threat of the attacker (the side that moved
// last), read from the line types along the threat's direction.
#include "board/generators.h"
#include "board/line_walk.h"

namespace velmor {
namespace {

bool isDoubleThreat(int pointType) {
    return pointType == DoubleThree || pointType == FourThree || pointType == DoubleFour;
}

struct DefenceCollector {
    const int attacker;
    const int defender;
    const GameRule rule;
    PosList& list;

    // A point forbidden to the defender is no answer he may play.
    void push(Pos p, const Cell& c) {
        if (c.pointType[defender] != Forbidden) list.push_back(p);
    }

    void collect(const Board& board, Pos at, int threat, int dir) {
        auto lineType = [&](const Cell& c) { return lineTypeAt(c.lineTypes[attacker], dir); };
        switch (threat) {
            case Five:
                return;

            case LiveFour:
                // Both completion points.
                for (int sign : kLineSides)
                    walkEmpties(board, at, dir, sign, defender, [&](Pos p, const Cell& c) {
                        if (lineType(c) == Five) push(p, c);
                        return true;
                    });
                return;

            case RushFour:
            case RushFourPlus:
                // The one completion point; when the defender may not play it,
                // there is no answer at all.
                for (int sign : kLineSides) {
                    bool found = false;
                    walkEmpties(board, at, dir, sign, defender, [&](Pos p, const Cell& c) {
                        if (lineType(c) != Five) return true;
                        push(p, c);
                        found = true;
                        return false;
                    });
                    if (found) return;
                }
                return;

            case LiveThree:
            case WideThree: {
                // The points that would make a live four; a three with a single
                // such point can also be met at the first empty point beyond it
                // on either side, where the four it makes is only a rush four.
                int seen = 0;
                Pos liveFourPoint;
                for (int sign : kLineSides)
                    walkEmpties(board, at, dir, sign, defender, [&](Pos p, const Cell& c) {
                        if (lineType(c) == LiveFour) {
                            ++seen;
                            push(p, c);
                            liveFourPoint = p;
                        }
                        return true;
                    });
                if (seen != 1) return;
                for (int sign : kLineSides)
                    walkEmpties(board, liveFourPoint, dir, sign, defender, [&](Pos p, const Cell& c) {
                        const int t = lineType(c);
                        if (t == RushFour || t == RushFourPlus || t == DoubleFour) push(p, c);
                        return false;
                    });
                return;
            }

            default:
                collectAgainstDoubleThreat(board, at, dir);
                return;
        }
    }

    // Next to the threat, the attacker may have a point that makes two threats
    // at once. The defender answers by taking that point, or by meeting in
    // advance each threat the point would make: those are found by playing it
    // on a copy. The answers of different lines cannot repeat a point: the
    // lines meet only at the (now occupied) double point, and a double four's
    // nearest empty points are its fives, never another double point.
    void collectAgainstDoubleThreat(const Board& board, Pos at, int dir) {
        const uint8_t* count = board.typeCount[attacker];
        if (count[DoubleThree] == 0 && count[FourThree] == 0 && count[DoubleFour] == 0) return;
        for (int sign : kLineSides) {
            bool found = false;
            walkEmpties(board, at, dir, sign, defender, [&](Pos q, const Cell& c) {
                if (isDoubleThreat(c.pointType[attacker])) {
                    found = true;
                    push(q, c);
                    Board copy;
                    copyPosition(copy, board);
                    copy.makeMove(q, uint8_t(attacker), rule);
                    for (int j = 0; j < kDirCount; ++j) {
                        const int t = lineTypeAt(c.lineTypes[attacker], j);
                        if (t >= LiveThree && t <= Five) collect(copy, q, t, j);
                    }
                }
                return false;  // only the first empty point on each side
            });
            if (found) return;
        }
    }
};

}  // namespace

void collectDefences(const Board& board, Pos at, uint8_t threat, uint8_t dir, PosList& list, GameRule rule) {
    const int attacker = board.lastMove.side;
    DefenceCollector collector{attacker, 1 - attacker, rule, list};
    collector.collect(board, at, threat, dir);
}

}  // namespace velmor
