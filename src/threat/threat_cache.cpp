#include "threat/threat_cache.h"

#include <atomic>

#include "memory/table_sizing.h"

namespace velmor {

ThreatCacheEntry ThreatCache::slot(uint32_t hashHigh) const {
    const uint64_t word =
        std::atomic_ref<uint64_t>(entries[hashHigh & (entryCount - 1)]).load(std::memory_order_relaxed);
    ThreatCacheEntry entry;
    entry.checkKey = uint32_t(word);
    entry.foursOnly = uint8_t(word >> 32);
    entry.result = uint8_t(word >> 40);
    return entry;
}

void ThreatCache::store(uint32_t hashHigh, ThreatCacheEntry entry) {
    const uint64_t word =
        uint64_t(entry.checkKey) | (uint64_t(entry.foursOnly) << 32) | (uint64_t(entry.result) << 40);
    std::atomic_ref<uint64_t>(entries[hashHigh & (entryCount - 1)]).store(word, std::memory_order_relaxed);
}

void ThreatCache::resize(uint32_t newBudget) {
    if (newBudget == budget && entries) return;
    entries.reset();
    entryCount = 0;
    budget = newBudget;
    uint32_t count = tableSlotsFor(newBudget, sizeof(uint64_t));
    // A failed allocation leaves no cache; the threat search then runs
    // without one rather than ending the process mid-game.
    allocate(count);
}

void ThreatCache::allocate(uint32_t count) {
    const std::size_t bytes = std::size_t(count) * sizeof(uint64_t);
    entries = decltype(entries)(static_cast<uint64_t*>(allocateZeroed(bytes)), ZeroedStorageDeleter{bytes});
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
