#include <gtest/gtest.h>

#include "search/time_budget.h"

namespace velmor {
namespace {

struct BudgetCase {
    const char* row;
    uint32_t stones, turn, left;
    uint32_t maxMs, suggestMs;
};

// One case per row of the table (plus its boundaries), then the cases where
// the turn limit caps a row that ignores it.
const BudgetCase kCases[] = {
    {"n<5, turn limit smaller", 3, 30000, 1000000000, 30000, 20000},
    {"n<5, a tenth of the clock smaller", 3, 30000, 100000, 10000, 6666},
    {"n<5 at 4 stones", 4, 30000, 100000, 10000, 6666},
    {"5<=n<20, clock below turn", 5, 30000, 20000, 2500, 1250},
    {"5<=n<20, an eighth of the clock below turn", 10, 30000, 100000, 12500, 4166},
    {"5<=n<20, plenty of clock", 19, 30000, 1000000, 30000, 10000},
    {"5<=n<20, an eighth exactly the turn", 10, 30000, 240000, 30000, 10000},
    {"20<=n<60, clock below turn", 20, 30000, 20000, 2500, 833},
    {"20<=n<60, a sixteenth below turn", 30, 30000, 100000, 6250, 2083},
    {"20<=n<60, plenty of clock", 59, 30000, 1000000000, 30000, 10000},
    {"20<=n<60, a sixteenth exactly the turn", 30, 30000, 480000, 30000, 10000},
    {"n>=60, the table's own values", 60, 30000, 100000, 10000, 5000},
    {"n>=60, a tenth of the clock", 200, 30000, 200000, 20000, 10000},
    // Mended: from 60 stones the table ignores the turn limit.
    {"n>=60, default time_left, capped by turn", 60, 30000, 1000000000, 30000, 30000},
    {"n>=60, both limits capped", 60, 1000, 100000, 1000, 1000},
    {"n>=60, only the soft limit kept", 80, 8000, 100000, 8000, 5000},
    // A match clock that has run out (negative time_left read as 0) and a
    // zero turn limit both mean "answer at once".
    {"clock run out, early", 3, 30000, 0, 0, 0},
    {"clock run out, middle", 30, 30000, 0, 0, 0},
    {"clock run out, late", 90, 30000, 0, 0, 0},
    {"no turn time", 30, 0, 1000000000, 0, 0},
};

TEST(TimeBudget, EveryRowAndTheTurnLimitCap) {
    for (const BudgetCase& c : kCases) {
        SCOPED_TRACE(c.row);
        TimeBudget b = computeTimeBudget(c.stones, c.turn, c.left);
        EXPECT_EQ(b.maxMs, c.maxMs);
        EXPECT_EQ(b.suggestMs, c.suggestMs);
    }
}

// Whatever the inputs, the hard limit never exceeds the turn limit and the
// soft limit never exceeds the hard one.
TEST(TimeBudget, LimitsAreOrderedOverAGrid) {
    const uint32_t turns[] = {0, 1, 999, 1000, 5000, 30000, 4294967295u};
    const uint32_t lefts[] = {0, 7, 1000, 29999, 30000, 100000, 480000, 1000000000, 4294967295u};
    for (uint32_t n = 0; n < 230; n += 1)
        for (uint32_t t : turns)
            for (uint32_t l : lefts) {
                TimeBudget b = computeTimeBudget(n, t, l);
                ASSERT_LE(b.maxMs, t) << n << " " << t << " " << l;
                ASSERT_LE(b.suggestMs, b.maxMs) << n << " " << t << " " << l;
            }
}

}  // namespace
}  // namespace velmor
