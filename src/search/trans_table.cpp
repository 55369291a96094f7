#include "search/trans_table.h"

namespace velmor {

TransProbe TransTable::probe(const Board& board, double depth, int32_t alpha, int32_t beta,
                             int32_t iterationDepth) const {
    TransProbe result;
    const TransEntry* e = slotOf(board);
    if (!e || e->checkKey != board.hashLow) return result;

    // Only an entry written in this iteration (or a later one, impossible
    // within one search) at no smaller depth may end the node; an older one
    // still knows a good move to try first.
    if (e->iterationTag() >= iterationDepth && e->storedDepth >= depth) {
        switch (e->boundType()) {
        case BoundExact:
            result.cutoff = true;
            result.rating = e->value;
            break;
        case BoundLower:
            if (e->value >= beta) {
                result.cutoff = true;
                result.rating = beta;
            }
            break;
        case BoundUpper:
            if (e->value <= alpha) {
                result.cutoff = true;
                result.rating = alpha;
            }
            break;
        default:
            break;
        }
    }
    result.move = e->bestMove;
    // 0xFFFF ("no move") reads as (-1, -1) and so is never a hash move.
    result.hasMove = e->bestMove.x() >= 0 && e->bestMove.x() < boardSize && e->bestMove.y() >= 0 &&
                     e->bestMove.y() < boardSize;
    return result;
}

void TransTable::store(const Board& board, int32_t rating, double depth, BoundType bound, Pos bestMove,
                       int32_t iterationDepth) {
    if (!entryCount) return;
    TransEntry& e = entries[board.hashHigh & (entryCount - 1)];
    e.checkKey = board.hashLow;
    e.value = int16_t(rating);  // keeps the low 16 bits: -2147483647 is stored as 1
    e.bestMove = bestMove;
    e.storedDepth = uint8_t(int(depth));
    e.tagAndBound = uint8_t((uint32_t(iterationDepth) & 0x3F) | (uint32_t(bound) << 6));
}

}  // namespace velmor
