#include "threat/threat_cache.h"

#include <cstdlib>
#include <new>

namespace velmor {

namespace {
uint32_t largestPowerOfTwoNotAbove(uint32_t n) {
    uint32_t p = 1;
    while (n >= 2 && p <= n / 2) p <<= 1;
    return p;
}
}  // namespace

void ThreatCache::resize(uint32_t newBudget) {
    if (newBudget == budget && entries) return;
    entries.reset();
    entryCount = 0;
    budget = newBudget;
    uint32_t count = largestPowerOfTwoNotAbove(newBudget / sizeof(ThreatCacheEntry));
    // A failed allocation leaves no cache; the threat search then runs
    // without one rather than ending the process mid-game.
    entries.reset(static_cast<ThreatCacheEntry*>(std::calloc(count, sizeof(ThreatCacheEntry))));
    if (!entries) return;
    entryCount = count;
}

void ThreatCache::Deleter::operator()(void* p) const { std::free(p); }

void ThreatCache::prepareFor(GameRule rule, int8_t size) {
    if (rule == filledRule && size == filledSize) return;
    clear();
    filledRule = rule;
    filledSize = size;
}

void ThreatCache::clear() {
    if (!entries) return;
    // A fresh zeroed block instead of writing zeros over the old one.
    entries.reset(static_cast<ThreatCacheEntry*>(std::calloc(entryCount, sizeof(ThreatCacheEntry))));
    if (!entries) entryCount = 0;
}

ThreatCache& threatCache() {
    static ThreatCache cache;
    return cache;
}

}  // namespace velmor
