#include "search/trans_table.h"

#include <atomic>

namespace velmor {

namespace {

// Relaxed single-word access: the words need no order among themselves, as
// the folded key check catches any mix of two writes.
uint32_t loadWord(const uint32_t& word) {
    return std::atomic_ref<uint32_t>(const_cast<uint32_t&>(word)).load(std::memory_order_relaxed);
}
void storeWord(uint32_t& word, uint32_t value) {
    std::atomic_ref<uint32_t>(word).store(value, std::memory_order_relaxed);
}

TransEntry decode(const TransSlot& slot) {
    const uint32_t keyAndData = loadWord(slot.keyAndData);
    const uint32_t valueAndMove = loadWord(slot.valueAndMove);
    const uint32_t depthAndTag = loadWord(slot.depthAndTag);
    TransEntry e;
    e.checkKey = keyAndData ^ valueAndMove ^ depthAndTag;
    e.value = int16_t(valueAndMove & 0xFFFF);
    e.bestMove = Pos(uint16_t(valueAndMove >> 16));
    e.storedDepth = uint8_t(depthAndTag & 0xFF);
    e.tagAndBound = uint8_t((depthAndTag >> 8) & 0xFF);
    return e;
}

}  // namespace

TransEntry TransTable::entryAt(uint32_t index) const { return decode(entries[index]); }

TransProbe TransTable::probe(const Board& board, double depth, int32_t alpha, int32_t beta,
                             int32_t iterationDepth) const {
    TransProbe result;
    if (!entryCount) return result;
    const TransEntry e = decode(entries[board.hashHigh & (entryCount - 1)]);
    if (e.checkKey != board.hashLow) return result;

    // Only an entry written in this iteration (or a later one: a helper
    // thread searching ahead) at no smaller depth may end the node; an older
    // one still knows a good move to try first.
    if (e.iterationTag() >= iterationDepth && e.storedDepth >= depth) {
        switch (e.boundType()) {
        case BoundExact:
            result.cutoff = true;
            result.rating = e.value;
            break;
        case BoundLower:
            if (e.value >= beta) {
                result.cutoff = true;
                result.rating = beta;
            }
            break;
        case BoundUpper:
            if (e.value <= alpha) {
                result.cutoff = true;
                result.rating = alpha;
            }
            break;
        default:
            break;
        }
    }
    result.move = e.bestMove;
    // 0xFFFF ("no move") reads as (-1, -1) and so is never a hash move.
    result.hasMove = e.bestMove.x() >= 0 && e.bestMove.x() < boardSize && e.bestMove.y() >= 0 &&
                     e.bestMove.y() < boardSize;
    return result;
}

void TransTable::store(const Board& board, int32_t rating, double depth, BoundType bound, Pos bestMove,
                       int32_t iterationDepth) {
    if (!entryCount) return;
    TransSlot& slot = entries[board.hashHigh & (entryCount - 1)];
    // The rating keeps its low 16 bits: -2147483647 is stored as 1.
    const uint32_t valueAndMove = uint32_t(uint16_t(int16_t(rating))) | (uint32_t(bestMove.raw) << 16);
    const uint32_t tagAndBound = (uint32_t(iterationDepth) & 0x3F) | (uint32_t(bound) << 6);
    const uint32_t depthAndTag = uint32_t(uint8_t(int(depth))) | (tagAndBound << 8);
    storeWord(slot.keyAndData, board.hashLow ^ valueAndMove ^ depthAndTag);
    storeWord(slot.valueAndMove, valueAndMove);
    storeWord(slot.depthAndTag, depthAndTag);
}

}  // namespace velmor
