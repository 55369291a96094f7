#include "board/line_combination.h"

#include <algorithm>
#include <functional>

namespace velmor {

uint16_t combinationIndexTable[65536];

namespace {

constexpr int binomial(int n, int k) {
    if (k < 0 || k > n) return 0;
    int r = 1;
    for (int i = 1; i <= k; ++i) r = r * (n - k + i) / i;
    return r;
}
static_assert(binomial(kLineTypeValues + 3, 4) == kCombinationCount);

// Sorted a >= b >= c >= d ranks in the combinatorial number system for
// multisets: the tuple maps to the strictly decreasing a+3 > b+2 > c+1 > d.
int rankSorted(int a, int b, int c, int d) {
    return binomial(a + 3, 4) + binomial(b + 2, 3) + binomial(c + 1, 2) + binomial(d, 1);
}

}  // namespace

void buildCombinationIndex() {
    for (int word = 0; word < 65536; ++word) {
        std::array<int, 4> t;
        for (int d = 0; d < 4; ++d) t[d] = std::min(word >> (4 * d) & 15, kLineTypeValues - 1);
        std::sort(t.begin(), t.end(), std::greater<int>());
        combinationIndexTable[word] = uint16_t(rankSorted(t[0], t[1], t[2], t[3]));
    }
}

std::array<uint8_t, 4> combinationTypes(int index) {
    // Greedy inverse of rankSorted: the largest a whose block starts at or
    // before the index, then b within it, and so on.
    std::array<uint8_t, 4> out{};
    int rest = index, top = kLineTypeValues - 1;
    for (int slot = 0; slot < 4; ++slot) {
        const int k = 4 - slot;  // binomial(v + k - 1, k) is where value v starts
        int v = top;
        while (v > 0 && binomial(v + k - 1, k) > rest) --v;
        out[slot] = uint8_t(v);
        rest -= binomial(v + k - 1, k);
        top = v;
    }
    return out;
}

}  // namespace velmor
