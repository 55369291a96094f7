#pragma once
#include <cstdint>

namespace velmor {

// Slots of a direct-mapped table for a byte budget: the largest power of two
// not above budget / entryBytes, and at least one, so that a slot is a key
// masked by (slots - 1).
constexpr uint32_t tableSlotsFor(uint32_t budget, uint32_t entryBytes) {
    const uint32_t n = budget / entryBytes;
    uint32_t slots = 1;
    while (n >= 2 && slots <= n / 2) slots <<= 1;
    return slots;
}
static_assert(tableSlotsFor(350000000 / 3, 12) == 1u << 23);
static_assert(tableSlotsFor(2 * (350000000 / 3), 8) == 1u << 24);
static_assert(tableSlotsFor(36 / 3, 12) == 1 && tableSlotsFor(0, 8) == 1);

}  // namespace velmor
