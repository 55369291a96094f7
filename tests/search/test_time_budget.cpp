#include <gtest/gtest.h>

#include "search/time_budget.h"

namespace velmor {
namespace {

// Whatever the inputs: the hard limit keeps the safety margin inside the
// turn, the soft limit never exceeds the hard one, and no move may spend
// more than a sixth of the match clock (unless the soft share already does).
TEST(TimeBudget, LimitsAreOrderedOverAGrid) {
    const uint32_t turns[] = {0, 1, 50, 100, 999, 1000, 5000, 30000, 4294967295u};
    const uint32_t lefts[] = {0, 7, 1000, 29999, 30000, 100000, 480000, 1000000000, 4294967295u};
    for (uint32_t n = 0; n < 410; n += 3)
        for (uint32_t t : turns)
            for (uint32_t l : lefts) {
                SCOPED_TRACE(testing::Message() << n << " stones, turn " << t << ", left " << l);
                const TimeBudget b = computeTimeBudget(n, t, l);
                ASSERT_LE(b.maxMs + safetyMarginMs(t), t);
                ASSERT_LE(b.suggestMs, b.maxMs);
                ASSERT_LE(b.maxMs, std::max(b.suggestMs, l / 6));
                ASSERT_LE(b.suggestMs, l);
            }
}

// Without a binding match clock the whole turn, less the margin, is spent;
// the margin is a few percent of a turn, never the turn.
TEST(TimeBudget, UnlimitedClockSpendsTheTurn) {
    for (uint32_t t : {100u, 200u, 1000u, 5000u}) {
        const TimeBudget b = computeTimeBudget(30, t, 1000000000);
        EXPECT_EQ(b.maxMs, b.suggestMs);
        EXPECT_GE(b.maxMs, t * 85 / 100) << t;
        EXPECT_GT(safetyMarginMs(t), 0u);
    }
}

// Under a match clock the share shrinks as the clock runs down and grows as
// the game nears its end, and a clock that has run out (or no turn time)
// means an answer at once.
TEST(TimeBudget, MatchClockIsShared) {
    const uint32_t turn = 5000;
    const TimeBudget full = computeTimeBudget(10, turn, 60000);
    const TimeBudget low = computeTimeBudget(10, turn, 20000);
    const TimeBudget later = computeTimeBudget(70, turn, 20000);
    EXPECT_LT(full.suggestMs, turn);
    EXPECT_LT(low.suggestMs, full.suggestMs);
    EXPECT_GT(later.suggestMs, low.suggestMs);
    EXPECT_GT(low.maxMs, low.suggestMs);  // room to finish a started move
    for (uint32_t n : {3u, 30u, 90u}) {
        const TimeBudget none = computeTimeBudget(n, turn, 0);
        EXPECT_EQ(none.maxMs, 0u);
        EXPECT_EQ(none.suggestMs, 0u);
    }
    EXPECT_EQ(computeTimeBudget(30, 0, 1000000000).maxMs, 0u);
}

}  // namespace
}  // namespace velmor
