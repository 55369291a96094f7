#include <gtest/gtest.h>

#include "search/search_state.h"
#include "support/positions.h"

namespace velmor {
namespace {

using test::emptyBoard;

// A table of 16 slots and a board to key it with.
struct TableFixture : ::testing::Test {
    TransTable table;
    Board board;
    void SetUp() override {
        table.resize(16 * sizeof(TransEntry));
        board = emptyBoard(15);
        board.makeMove(Pos(7, 7), 0, FreeStyle);
    }
};

TEST_F(TableFixture, SizingCountsTwelveBytesAndClears) {
    EXPECT_EQ(table.entryCount, 16u);
    for (uint32_t i = 0; i < table.entryCount; ++i) {
        const TransEntry e = table.entryAt(i);
        EXPECT_EQ(e.checkKey, 0u);
        EXPECT_EQ(e.bestMove.raw, 0u);
        EXPECT_EQ(e.tagAndBound, 0u);
    }
    TransTable tiny;
    tiny.resize(36 / 3);
    EXPECT_EQ(tiny.entryCount, 1u);
}

TEST_F(TableFixture, StorePacksTheEntry) {
    table.store(board, -123456, 4.5, BoundLower, Pos(3, 9), 70);
    const std::optional<TransEntry> e = table.slotOf(board);
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->checkKey, table.entryAt(board.hashHigh % 16).checkKey);
    EXPECT_EQ(e->checkKey, board.hashLow);
    EXPECT_EQ(e->value, int16_t(-123456));  // low 16 bits
    EXPECT_EQ(e->bestMove, Pos(3, 9));
    EXPECT_EQ(e->storedDepth, 4);
    EXPECT_EQ(e->iterationTag(), 70 % 64);
    EXPECT_EQ(e->boundType(), BoundLower);
    EXPECT_EQ(e->tagAndBound, (2 << 6) | 6);
}

struct ProbeCase {
    const char* name;
    int32_t stored;
    double storedDepth;
    BoundType bound;
    int32_t storedIteration;
    double probeDepth;
    int32_t alpha, beta, iteration;
    bool cutoff;
    int32_t rating;
};

const ProbeCase kProbes[] = {
    {"exact, sign-extended", -500, 3, BoundExact, 4, 3, -1000, 1000, 4, true, -500},
    {"depth 4.5 stored as 4 does not cut 4.5", 50, 4.5, BoundExact, 4, 4.5, -1000, 1000, 4, false, 0},
    {"depth 4.5 stored as 4 cuts 4.0", 50, 4.5, BoundExact, 4, 4.0, -1000, 1000, 4, true, 50},
    {"depth 4.5 stored as 4 cuts 1.5", 50, 4.5, BoundExact, 4, 1.5, -1000, 1000, 4, true, 50},
    {"older iteration never cuts", 50, 9, BoundExact, 5, 1, -1000, 1000, 6, false, 0},
    {"lower bound at beta cuts with beta", 300, 2, BoundLower, 4, 2, 0, 300, 4, true, 300},
    {"lower bound above beta cuts with beta", 900, 2, BoundLower, 4, 2, 0, 300, 4, true, 300},
    {"lower bound below beta does not cut", 299, 2, BoundLower, 4, 2, 0, 300, 4, false, 0},
    {"upper bound at alpha cuts with alpha", -20, 2, BoundUpper, 4, 2, -20, 300, 4, true, -20},
    {"upper bound above alpha does not cut", -19, 2, BoundUpper, 4, 2, -20, 300, 4, false, 0},
    // A fail-low with alpha -2147483647 keeps the low 16 bits: 1.
    {"-infinity stored as 1 ignores alpha 0", -2147483647, 2, BoundUpper, 4, 2, 0, 300, 4, false, 0},
    {"-infinity stored as 1 cuts alpha 1", -2147483647, 2, BoundUpper, 4, 2, 1, 300, 4, true, 1},
    {"-infinity stored as 1 cuts alpha 7 with 7", -2147483647, 2, BoundUpper, 4, 2, 7, 300, 4, true, 7},
};

TEST_F(TableFixture, ProbeCutsOnlyWithFreshDeepEnoughEntries) {
    for (const ProbeCase& c : kProbes) {
        SCOPED_TRACE(c.name);
        table.store(board, c.stored, c.storedDepth, c.bound, Pos(8, 8), c.storedIteration);
        TransProbe p = table.probe(board, c.probeDepth, c.alpha, c.beta, c.iteration);
        EXPECT_EQ(p.cutoff, c.cutoff);
        if (c.cutoff) {
            EXPECT_EQ(p.rating, c.rating);
        }
        // Whether or not it cuts, the stored move is offered for ordering.
        EXPECT_TRUE(p.hasMove);
        EXPECT_EQ(p.move, Pos(8, 8));
    }
}

TEST_F(TableFixture, HashMoveNeedsTheSamePositionAndAPointOnTheBoard) {
    table.store(board, 0, 2, BoundExact, Pos(0xFFFF), 4);
    EXPECT_FALSE(table.probe(board, 9, -1, 1, 4).hasMove);  // "no move" reads as (-1, -1)

    table.store(board, 0, 2, BoundExact, Pos(14, 0), 4);
    EXPECT_TRUE(table.probe(board, 9, -1, 1, 4).hasMove);
    table.store(board, 0, 2, BoundExact, Pos(15, 0), 4);  // off a 15x15 board
    EXPECT_FALSE(table.probe(board, 9, -1, 1, 4).hasMove);

    // Another position in the same slot: neither cutoff nor move.
    Board other = board;
    other.hashLow ^= 1;
    table.store(board, 0, 2, BoundExact, Pos(3, 3), 4);
    TransProbe p = table.probe(other, 1, -1, 1, 4);
    EXPECT_FALSE(p.cutoff);
    EXPECT_FALSE(p.hasMove);
}

// Threads write a slot without a lock, so a reader can see some words of one
// write and some of another. Such a slot must read as no entry at all for
// either position: a cutoff or hash move from a mix would be a wrong value.
TEST_F(TableFixture, ASlotMixedFromTwoWritesIsNeverBelieved) {
    Board other = board;
    other.hashLow ^= 0x00F0F00Fu;  // same slot, another position
    table.store(board, 120, 6, BoundExact, Pos(3, 9), 4);
    const TransSlot first = table.entries[board.hashHigh % 16];
    table.store(other, -340, 3, BoundLower, Pos(11, 2), 4);
    const TransSlot second = table.entries[board.hashHigh % 16];
    for (int mask = 1; mask < 7; ++mask) {
        SCOPED_TRACE(mask);
        TransSlot& slot = table.entries[board.hashHigh % 16];
        slot.keyAndData = (mask & 1 ? second : first).keyAndData;
        slot.valueAndMove = (mask & 2 ? second : first).valueAndMove;
        slot.depthAndTag = (mask & 4 ? second : first).depthAndTag;
        for (const Board* b : {&board, &other}) {
            const TransProbe p = table.probe(*b, 1, -1000, 1000, 4);
            EXPECT_FALSE(p.cutoff);
            EXPECT_FALSE(p.hasMove);
        }
    }
}

TEST(TransTable, WithoutEntriesNothingIsStoredOrFound) {
    Board board = emptyBoard(15);
    TransTable table;
    table.store(board, 1, 1, BoundExact, Pos(1, 1), 1);
    TransProbe p = table.probe(board, 0, -1, 1, 1);
    EXPECT_FALSE(p.cutoff);
    EXPECT_FALSE(p.hasMove);
}

// The table outlives a move: the same rule and size keep every entry,
// another rule or size empties it.
TEST_F(TableFixture, OnlyAnotherRuleOrSizeEmptiesTheTable) {
    table.prepareFor(FreeStyle, 15);
    table.store(board, 77, 3, BoundExact, Pos(3, 9), 4);
    table.prepareFor(FreeStyle, 15);
    EXPECT_EQ(table.slotOf(board)->value, 77);
    table.prepareFor(Renju, 15);
    EXPECT_EQ(table.slotOf(board)->checkKey, 0u);
    table.store(board, 77, 3, BoundExact, Pos(3, 9), 4);
    table.prepareFor(Renju, 20);
    EXPECT_EQ(table.slotOf(board)->checkKey, 0u);
    EXPECT_EQ(table.entryCount, 16u);
}

}  // namespace
}  // namespace velmor
