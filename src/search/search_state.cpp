#include "search/search_state.h"

#include <algorithm>
#include <mutex>

#include "search/clock.h"
#include "memory/table_sizing.h"
#include "threat/four_search.h"
#include "threat/threat_cache.h"

namespace velmor {

namespace {
std::mutex reportMutex;
}  // namespace

void TransTable::resize(uint32_t budget) {
    if (budget == budgetKey && entries) return;
    release();
    budgetKey = budget;
    uint32_t count = tableSlotsFor(budget, sizeof(TransSlot));
    // Every field of every entry starts at zero.
    const std::size_t bytes = std::size_t(count) * sizeof(TransSlot);
    entries = decltype(entries)(static_cast<TransSlot*>(allocateZeroed(bytes)), ZeroedStorageDeleter{bytes});
    if (!entries) return;  // the node search then runs without a table
    entryCount = count;
}

void TransTable::release() {
    entries.reset();
    entryCount = 0;
}

void TransTable::prepareFor(GameRule rule, int8_t size) {
    if (filled.changeTo(rule, size)) clear();
}

void TransTable::clear() {
    if (!entries) return;
    const uint32_t budget = budgetKey;
    release();
    resize(budget);
}

SearchState::SearchState() {
    threat.cache = &threatCache();
    threat.clock = wallClockTicks;
}

void SearchState::configure(const SearchSettings& settings) {
    messageSink = settings.messageSink;
    timeMaxMs = settings.turnTimeMs;
    timeLeftMs = settings.timeLeftMs;
    maxMemory = settings.maxMemory;
    useHashTables = settings.useHashTables;
    rule = settings.rule;
    maxDepth = std::clamp(settings.maxDepth, 1, kDepthCeiling);
    minDepth = std::clamp(settings.minDepth, 1, maxDepth);
    maxNodes = settings.maxNodes;
    stopRequest = settings.stopRequest;
    observer = settings.observer;
    excludedRootMoves = settings.excludedRootMoves;

    // No budget (no INFO max_memory, or 0 meaning "no limit") would leave the
    // search without tables; size them as for the default budget instead.
    uint32_t memory = maxMemory ? maxMemory : kDefaultMemoryBudget;
    threads = std::max<int32_t>(1, settings.threads);
    table->resize(memory / 3);
    table->prepareFor(rule, boardSize);
    ThreatCache& cache = threatCache();
    cache.resize(2 * (memory / 3));
    cache.prepareFor(rule, boardSize);
}

bool SearchState::dbSearch(const Board& node, SearchPath& line, bool useCache, bool foursOnly) {
    // Every call counts, also one the cache answers.
    ++stats.dbSearchCount;
    threat.rule = rule;
    // Fours alone are cheapest played out move by move. With threes, the
    // threat-space search, after the fours: played out, they also win where
    // a four must block a four of the defender, which its tree never grows.
    // (A cached no by fours alone does not answer a search with threes;
    // threatSearch's own probe tells.)
    ThreatResult result = winByFours(threat, node, line.moves, useCache);
    if (!foursOnly && !result.win) {
        const int32_t fourMoves = result.fromCache ? 0 : result.nodes;
        result = threatSearch(threat, node, line.moves, useCache, false);
        if (!result.fromCache) result.nodes += fourMoves;
    }
    if (result.fromCache) {
        ++stats.hit;
        return result.win;
    }
    if (result.timedOut) raiseStop();
    stats.dbTotal += result.nodes;
    if (result.nodes > stats.dbMax) stats.dbMax = result.nodes;
    if (result.reachStep > deepestStep) deepestStep = result.reachStep;
    if (result.win) line.endStep = uint16_t(line.startStep + line.moves.size());
    return result.win;
}

void SearchState::setRoot(const Board& root) {
    board = &root;
    rootStep = root.lastMove.stoneCount;
    rootLastMover = root.lastMove.side;
}

int64_t SearchState::elapsedMs() const { return (wallClockTicks() - startTime) / kTicksPerMs; }

bool SearchState::pastHardLimit() const {
    if (stopRequest && stopRequest->load(std::memory_order_relaxed)) return true;
    // A helper's iteration also ends once the deciding thread has gone
    // past it: behind that thread, its work is of no use to anyone.
    if (teamStop && (teamStop->load(std::memory_order_relaxed) ||
                     mainDepth->load(std::memory_order_relaxed) > depth))
        return true;
    if (maxNodes > 0 && nodesSearched() >= maxNodes) return true;
    return elapsedMs() > int64_t(timeMaxMs);
}

bool SearchState::isExcludedAtRoot(Pos move) const {
    return std::find(excludedRootMoves.begin(), excludedRootMoves.end(), move) != excludedRootMoves.end();
}

void SearchState::emit(const std::string& text) const {
    std::lock_guard<std::mutex> lock(reportMutex);
    if (messageSink) messageSink(text);
}

}  // namespace velmor
