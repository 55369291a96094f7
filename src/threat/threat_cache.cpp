#include "threat/threat_cache.h"

#include "memory/table_sizing.h"

namespace velmor {

void ThreatCache::resize(uint32_t newBudget) {
    if (newBudget == budget && entries) return;
    entries.reset();
    entryCount = 0;
    budget = newBudget;
    uint32_t count = tableSlotsFor(newBudget, sizeof(ThreatCacheEntry));
    // A failed allocation leaves no cache; the threat search then runs
    // without one rather than ending the process mid-game.
    allocate(count);
}

void ThreatCache::allocate(uint32_t count) {
    const std::size_t bytes = std::size_t(count) * sizeof(ThreatCacheEntry);
    entries = decltype(entries)(static_cast<ThreatCacheEntry*>(allocateZeroed(bytes)), ZeroedStorageDeleter{bytes});
    entryCount = entries ? count : 0;
}

void ThreatCache::prepareFor(GameRule rule, int8_t size) {
    if (filled.changeTo(rule, size)) clear();
}

void ThreatCache::clear() {
    if (!entries) return;
    // A fresh zeroed block instead of writing zeros over the old one.
    const uint32_t count = entryCount;
    entries.reset();
    allocate(count);
}

ThreatCache& threatCache() {
    static ThreatCache cache;
    return cache;
}

}  // namespace velmor
