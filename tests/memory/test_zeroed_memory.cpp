// The big tables take their memory from allocateZeroed and never clear it:
// every size they ask for, the small ones and those that get large pages,
// must come back zero to the last byte and writable throughout.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

#include "memory/zeroed_memory.h"

namespace velmor {
namespace {

TEST(ZeroedMemory, EverySizeIsZeroAndWritableToTheLastByte) {
    for (const std::size_t bytes : {std::size_t(1), std::size_t(4096), std::size_t(3) << 20 | 5, std::size_t(8) << 20}) {
        SCOPED_TRACE(bytes);
        auto* block = static_cast<uint8_t*>(allocateZeroed(bytes));
        ASSERT_NE(block, nullptr);
        // The last byte and one per 4 KB page: a page the system handed
        // over unzeroed, or a range cut short, shows here.
        EXPECT_EQ(block[bytes - 1], 0);
        for (std::size_t i = 0; i < bytes; i += 4096) {
            ASSERT_EQ(block[i], 0) << "at " << i;
            block[i] = 0xA5;
        }
        block[bytes - 1] = 0x5A;
        EXPECT_EQ(block[bytes - 1], 0x5A);
        releaseZeroed(block, bytes);
    }
    EXPECT_EQ(allocateZeroed(0), nullptr);
    releaseZeroed(nullptr, 0);  // allowed, does nothing
}

}  // namespace
}  // namespace velmor
