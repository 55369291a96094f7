#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

#include "board/evaluation.h"
#include "support/positions.h"

namespace velmor {
namespace {

using test::Stone;

constexpr int B = 0, W = 1;

// The index is what the tables are learned by: every lineTypes word must land
// on the entry of its four types sorted, so that no two shapes share an
// entry and the order of the directions never matters.
TEST(CombinationIndex, EveryWordIsItsSortedTypes) {
    test::ensureEngineTables();
    std::vector<bool> reached(kCombinationCount);
    for (int word = 0; word < 65536; ++word) {
        std::array<uint8_t, 4> sorted;
        for (int d = 0; d < 4; ++d) sorted[d] = uint8_t(std::min(word >> (4 * d) & 15, kLineTypeValues - 1));
        std::sort(sorted.begin(), sorted.end(), std::greater<>());
        const int index = combinationIndex(uint16_t(word));
        ASSERT_LT(index, kCombinationCount) << word;
        ASSERT_EQ(combinationTypes(index), sorted) << word;
        reached[index] = true;
    }
    EXPECT_EQ(std::count(reached.begin(), reached.end(), true), kCombinationCount);
    EXPECT_EQ(combinationIndex(0), 0);
}

// Stones from a seeded random game of `plies` moves near the centre.
std::vector<Stone> randomStones(int size, uint32_t seed, int plies) {
    std::mt19937 rng(seed);
    std::vector<Stone> stones;
    std::vector<bool> taken(size * size);
    while (int(stones.size()) < plies) {
        const int x = size / 2 - 4 + int(rng() % 9), y = size / 2 - 4 + int(rng() % 9);
        if (taken[x * size + y]) continue;
        taken[x * size + y] = true;
        stones.push_back({x, y, int(stones.size() % 2)});
    }
    return stones;
}

// The board turned by the eight symmetries of the square carries the same
// shapes in other directions (across becomes upright, one diagonal the
// other): the value must not move.
TEST(Evaluate, IsTheSameUnderEverySymmetryOfTheBoard) {
    for (GameRule rule : {FreeStyle, ExactFive, Renju})
        for (int size : {15, 20})
            for (uint32_t seed = 1; seed <= 20; ++seed) {
                const auto stones = randomStones(size, seed * 7 + size, 8 + int(seed % 12));
                const int toMove = int(stones.size() % 2);
                const Board plain = test::placeStones(size, rule, stones, toMove);
                const int32_t value = evaluate(plain, B, rule);
                for (int symmetry = 1; symmetry < 8; ++symmetry) {
                    std::vector<Stone> turned;
                    for (Stone s : stones) {
                        int x = s.x, y = s.y;
                        if (symmetry & 1) x = size - 1 - x;
                        if (symmetry & 2) y = size - 1 - y;
                        if (symmetry & 4) std::swap(x, y);
                        turned.push_back({x, y, s.side});
                    }
                    const Board b = test::placeStones(size, rule, turned, toMove);
                    ASSERT_EQ(evaluate(b, B, rule), value)
                        << "rule " << int(rule) << " size " << size << " seed " << seed << " symmetry " << symmetry;
                }
            }
}

// The engine's sum and the tuner's walk over the points (forEachEvalPoint)
// must take the same terms, or the tables would be fitted to another
// evaluation than the one played: random positions of every rule, either
// side to move, and a renju foul point.
TEST(Evaluate, IsTheSumOverTheTunersPoints) {
    for (GameRule rule : {FreeStyle, ExactFive, Renju})
        for (int size : {15, 20})
            for (uint32_t seed = 1; seed <= 11; ++seed) {
                const auto stones = seed == 11 ? std::vector<Stone>{{7, 5, B}, {7, 6, B}, {5, 7, B}, {6, 7, B}}
                                               : randomStones(size, seed * 13 + size, 6 + int(seed * 3));
                for (int toMove : {B, W}) {
                    const Board b = test::placeStones(size, rule, stones, toMove);
                    const EvalWeights& mine = kEvalWeights[evalRuleSet(rule, toMove)];
                    const EvalWeights& theirs = kEvalWeights[evalRuleSet(rule, 1 - toMove)];
                    int32_t sum = mine.tempo[toMove];
                    forEachEvalPoint(b, [&](int entry0, int entry1) {
                        sum += mine.toMove[toMove == B ? entry0 : entry1] - theirs.waiting[toMove == B ? entry1 : entry0];
                    });
                    sum = std::clamp(sum, -kEvalLimit, kEvalLimit);
                    ASSERT_EQ(evaluate(b, toMove, rule), sum)
                        << "rule " << int(rule) << " size " << size << " seed " << seed << " to move " << toMove;
                    ASSERT_EQ(evaluate(b, 1 - toMove, rule), -sum);
                }
            }
}

// A renju foul of black is its own entry (a stone there loses); the same
// point under free-style is a double three like any other.
TEST(Evaluate, RenjuFoulPointHasItsOwnEntry) {
    const std::vector<Stone> stones = {{7, 5, B}, {7, 6, B}, {5, 7, B}, {6, 7, B}};
    const Board renju = test::placeStones(15, Renju, stones, B);
    const Board free = test::placeStones(15, FreeStyle, stones, B);
    ASSERT_EQ(renju.cells[7][7].pointType[B], Forbidden);
    EXPECT_EQ(evalEntry(renju.cells[7][7], B), kFoulEntry);
    EXPECT_EQ(evalEntry(free.cells[7][7], B), combinationIndex(free.cells[7][7].lineTypes[B]));
    EXPECT_EQ(evalEntry(renju.cells[7][7], W), combinationIndex(renju.cells[7][7].lineTypes[W]));
}

}  // namespace
}  // namespace velmor
