// Static evaluation, learned from self-play games (tools/datagen, tools/tune).
//
// Each empty point gives each side a value: that of the shapes a stone of
// that side would make there, in all four directions at once. The Board keeps
// the four line types of every point, so the point's entry is the combination
// of those four, sorted, since it does not matter which direction carries
// which shape. An example, for o at P:
//
//     . . . . . . .
//     . . . . o . .      horizontal   _ooP_    LiveThree
//     . o o P . . .      rising       o up-right of P: a two   Two
//     . . . . . . .      vertical, falling: nothing            None None
//
// is the entry of {LiveThree, Two, None, None}, the same as a P with the
// three upright and the two across. 3060 combinations, plus one entry for a
// renju foul point of black. The position's value for the side to move is
//
//     tempo[colour to move] + sum over points of toMove[entry of the mover]
//           - sum over points of waiting[entry of the opponent]
//
// with the tables of each side's rule set (free-style, exact five, renju
// black, renju white). Two tables per set because a point is worth much more
// to the side that can take it now: a four-three wins for the mover and is
// one more threat to parry for the other.
//
// The values come from a logistic fit of game results (eval_weights.cpp says
// how it was made); a lone entry costs two loads, so the sum over the board
// is as cheap as the hand-set table it replaced.
#include "board/evaluation.h"

#include <algorithm>

namespace velmor {

int32_t evaluate(const Board& board, int side, GameRule rule) {
    const int me = board.sideToMove(), opp = 1 - me;
    const EvalWeights& mine = kEvalWeights[evalRuleSet(rule, me)];
    const EvalWeights& theirs = kEvalWeights[evalRuleSet(rule, opp)];
    // The same sum as over forEachEvalPoint, but no point is skipped: a
    // stone's cell reads entry 0, worth nothing like a point without a
    // shape. The test that skipped points mispredicted on about every other
    // point of the area (stones, shapes and empty points come in no
    // pattern); the entry is cheaper than the miss.
    int32_t sum = mine.tempo[me];
    const Board::ScanArea area = board.shapeArea();
    for (int x = area.x0; x < area.x1; ++x) {
        const Cell* column = board.cells[x];
        for (int y = area.y0; y < area.y1; ++y) {
            const Cell& c = column[y];
            const unsigned empty = c.stone == 2 ? 0xFFFFu : 0u;
            const int entry0 = evalEntryOf(uint16_t(c.lineTypes[0] & empty), (c.pointType[0] == Forbidden) & (empty != 0));
            const int entry1 = evalEntryOf(uint16_t(c.lineTypes[1] & empty), false);
            const int mineEntry = me == 0 ? entry0 : entry1, theirEntry = me == 0 ? entry1 : entry0;
            sum += mine.toMove[mineEntry] - theirs.waiting[theirEntry];
        }
    }
    sum = std::clamp(sum, -kEvalLimit, kEvalLimit);
    return side == me ? sum : -sum;
}

}  // namespace velmor
