// Zobrist keys of the position hash: one 64-bit key, split in two halves,
// per point and stone state.
#include <random>

#include "board/board.h"

namespace velmor {

uint32_t zobristLow[kMaxBoardSize * kMaxBoardSize][3];
uint32_t zobristHigh[kMaxBoardSize * kMaxBoardSize][3];

// A fixed seed and a fixed drawing order give the same keys in every run, so
// hash keys (and anything keyed by them) are reproducible.
void fillZobristKeys() {
    std::mt19937 generator(6847);
    for (int k = 0; k < kMaxBoardSize * kMaxBoardSize * 3; ++k) {
        zobristHigh[k / 3][k % 3] = uint32_t(generator());
        zobristLow[k / 3][k % 3] = uint32_t(generator());
    }
}

}  // namespace velmor
