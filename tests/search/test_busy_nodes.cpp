// The note threads leave on the positions they are inside: another thread
// sees it, the thread itself does not, and a slot shared by two positions
// never makes one look busy for the other.
#include <gtest/gtest.h>

#include "search/busy_nodes.h"

namespace velmor::test {
namespace {

constexpr uint64_t kKey = 0x123456789ABC0000ull;
// The same slot (bits 16..27 alike), another position.
constexpr uint64_t kSameSlot = kKey ^ (uint64_t(1) << 40);

TEST(BusyNodes, OnlyOtherThreadsSeeAnEntry) {
    struct Case {
        const char* what;
        uint32_t enterer, leaver;  // leaver 99: nobody leaves
        uint64_t asked;
        uint32_t asker;
        bool busy;
    };
    const Case cases[] = {
        {"another thread is inside", 0, 99, kKey, 1, true},
        {"the thread itself", 0, 99, kKey, 0, false},
        {"left again", 0, 0, kKey, 1, false},
        {"a leave by another thread clears nothing", 0, 1, kKey, 2, true},
        {"another position of the same slot", 0, 99, kSameSlot, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BusyNodes busy;
        busy.enter(kKey, c.enterer);
        if (c.leaver != 99) busy.leave(kKey, c.leaver);
        EXPECT_EQ(busy.busyElsewhere(c.asked, c.asker), c.busy);
    }
}

// A later entry takes the slot over; the earlier thread's leave then keeps
// the newer entry.
TEST(BusyNodes, ALaterEntryOwnsTheSlot) {
    BusyNodes busy;
    busy.enter(kKey, 0);
    busy.enter(kSameSlot, 1);
    busy.leave(kKey, 0);
    EXPECT_TRUE(busy.busyElsewhere(kSameSlot, 0));
    EXPECT_FALSE(busy.busyElsewhere(kKey, 1));
}

}  // namespace
}  // namespace velmor::test
