// One move: the time budget, the root list with its shortcuts, and iterations
// of growing depth until a result is proven or the time is spent.
#include <algorithm>
#include <optional>

#include "board/evaluation.h"
#include "board/generators.h"
#include "board/point_scan.h"
#include "search/search_state.h"
#include "search/clock.h"
#include "search/helper_threads.h"
#include "search/time_budget.h"

namespace velmor {

namespace {

// The threat searches of one move stop at its hard limit too: a search
// with threes can run for tens of milliseconds between two clock checks of
// the node search.
struct ThreatDeadlineScope {
    ThreatDeadlineScope(ThreatContext& context, int64_t tick) : context_(context) { context_.deadline = tick; }
    ~ThreatDeadlineScope() { context_.deadline = 0; }
    ThreatDeadlineScope(const ThreatDeadlineScope&) = delete;
    ThreatDeadlineScope& operator=(const ThreatDeadlineScope&) = delete;

private:
    ThreatContext& context_;
};

// Puts the root move at `move` first, the others keeping their order.
void moveToFront(MoveList& rootMoves, Pos move) {
    ScoredMove* found = std::find_if(rootMoves.begin(), rootMoves.end(),
                                     [move](const ScoredMove& m) { return m.pos == move; });
    if (found != rootMoves.end()) std::rotate(rootMoves.begin(), found, found + 1);
}

void setSingleMoveLine(SearchPath& line, Pos move, int32_t rating) {
    line.moves.clear();
    line.moves.push_back(move);
    line.endStep = uint16_t(line.startStep + 1);
    line.rating = rating;
}

}  // namespace

void sortRootMoves(MoveList& rootMoves) {
    std::stable_sort(rootMoves.begin(), rootMoves.end(),
                     [](const ScoredMove& a, const ScoredMove& b) { return a.value > b.value; });
}

Pos fallbackMove(const Board& board, int lastMover) {
    const int mover = 1 - lastMover;
    int strongest = 0;
    for (int t = Five; t >= 1; --t)
        if (board.typeCount[lastMover][t] > 0) {
            strongest = t;
            break;
        }
    // The first point of that type that the mover may take: under renju a
    // point forbidden to black loses at once, whatever else it would block.
    for (int x = 0; x < boardSize; ++x)
        for (int y = 0; y < boardSize; ++y) {
            const Cell& c = board.cells[x][y];
            if (c.stone == 2 && c.pointType[lastMover] == strongest && c.pointType[mover] != Forbidden)
                return Pos(x, y);
        }
    // No such point: any empty point the mover may take, and failing that
    // any empty point at all. A legal answer is never off the board or on a
    // stone.
    Pos move;
    if (firstPlayablePoint(board, mover, move)) return move;
    for (int x = 0; x < boardSize; ++x)
        for (int y = 0; y < boardSize; ++y)
            if (board.isEmpty(x, y)) return Pos(x, y);
    return Pos(0, 0);  // a full board: the manager never asks for a move here
}

void SearchState::prepareRootMoves(MoveList& rootMoves, SearchPath& bestPath) {
    const Board& root = *board;
    const int s = 1 - rootLastMover;  // the engine
    const int o = rootLastMover;
    rootMoves.clear();
    Pos point;

    // Case 1. The engine completes five. (A move excluded at the root skips
    // its shortcut: the candidates below then rank whatever is left.)
    if (root.typeCount[s][Five] > 0 && firstPointOfType(root, s, Five, point) && !isExcludedAtRoot(point)) {
        setSingleMoveLine(bestPath, point, kWin);
        rootMoves.push_back({point, int16_t(kWin), 0, Five});
        return;
    }

    // Case 2. The opponent threatens five: block it. When the block is
    // forbidden to the engine the game is lost either way, and a foul would
    // only lose it sooner and on a technicality: any legal point will do.
    if (root.typeCount[o][Five] > 0 && firstPointOfType(root, o, Five, point) && !isExcludedAtRoot(point)) {
        const bool blockable = root.cell(point).pointType[s] != Forbidden;
        if (!blockable) firstPlayablePoint(root, s, point);
        setSingleMoveLine(bestPath, point, blockable ? evaluate(root, s, rule) : kLoss);
        rootMoves.push_back({point, int16_t(kWin), 0, root.cell(point).pointType[s]});
        return;
    }

    // Case 3. A proven threat-sequence win.
    SearchPath line;
    line.reset(rootStep);
    if (dbSearch(root, line, false, false) && !line.moves.empty()) {
        const Pos first = line.moves[0];
        if (Board::onBoard(first.x(), first.y()) && root.isEmpty(first.x(), first.y()) && !isExcludedAtRoot(first)) {
            bestPath = line;
            bestPath.rating = kWin;
            rootMoves.push_back({first, int16_t(kWin), 0, 0});
            return;
        }
    }

    // Case 4. Candidates, minus those that lose to an opponent threat
    // sequence (unless all of them do).
    generateCandidates(root, rootMoves);
    if (!excludedRootMoves.empty()) {
        uint32_t kept = 0;
        for (const ScoredMove& m : rootMoves)
            if (!isExcludedAtRoot(m.pos)) rootMoves[kept++] = m;
        rootMoves.resize_down(kept);
    }
    sortByValue(rootMoves);
    if (rootMoves.size() <= 1) return;
    for (uint32_t i = 0; i < rootMoves.size(); ++i) {  // 20x20 lists can exceed 255 moves
        // Screening every candidate of a crowded 20x20 board can outlast a
        // short turn; the search proper needs the rest of it.
        if (elapsedMs() > int64_t(timeMaxMs) / 2 || pastHardLimit()) break;
        ScoredMove& m = rootMoves[i];
        Board next = root;
        next.makeMove(m.pos, uint8_t(s), rule);
        SearchPath scratch;
        scratch.reset(next.lastMove.stoneCount);
        if (dbSearch(next, scratch, useHashTables, false)) {
            m.value = int16_t(kLoss);
            if (observer) observer->rootMoveLost(m.pos);
        }
    }
    sortByValue(rootMoves);
    if (rootMoves[0].value == kLoss) return;
    for (uint32_t i = 0; i < rootMoves.size(); ++i)
        if (rootMoves[i].value == kLoss) {
            rootMoves.erase_from(i);
            break;
        }
    if (rootMoves.size() == 1) {
        bestPath.moves.push_back(rootMoves[0].pos);
        bestPath.endStep = uint16_t(bestPath.startStep + 1);
    }
}

Pos SearchState::iterativeDeepening(int64_t startTicks) {
    // Step 1. Clock and budget. The start is the request's own start, not
    // the beginning of its second.
    stop->store(false, std::memory_order_relaxed);
    helperNodes = 0;
    startTime = startTicks;
    const TimeBudget budget = computeTimeBudget(rootStep, timeMaxMs, timeLeftMs);
    timeMaxMs = budget.maxMs;
    timeSuggestMs = budget.suggestMs;
    const ThreatDeadlineScope threatClock(threat, startTime + int64_t(timeMaxMs) * kTicksPerMs);

    // Step 2.
    SearchPath bestPath;
    bestPath.reset(rootStep);
    depth = minDepth;

    // Step 3.
    MoveList rootMoves;
    prepareRootMoves(rootMoves, bestPath);

    // Step 4. No candidate at all.
    rootMoveCount = rootMoves.size();
    if (rootMoves.empty()) return fallbackMove(*board, rootLastMover);

    // Step 5. A forced or proven move needs no iteration.
    if (rootMoves.size() == 1) {
        reportSummary(bestPath);
        bestLine = bestPath;
        return rootMoves[0].pos;
    }

    // Step 6. Helpers, when more threads are wanted: they search the same
    // root ahead of this thread and leave their results in the shared table.
    std::optional<HelperThreads> helpers;
    if (threads > 1) helpers.emplace(*this, rootMoves, threads - 1);

    // Step 7. Iterations, each started only when the time left before the
    // soft limit covers at least the last one again: the next iteration
    // takes longer, but its first move, the one most likely to stay best,
    // usually takes about that long.
    SearchPath current;
    int64_t iterationStart = elapsedMs();
    for (;;) {
        deepestStep = rootStep;
        current.reset(rootStep);
        if (helpers) helpers->publishDepth(depth);
        const bool resolved = searchRoot(rootMoves, current);
        reportIteration(current);

        if (depth > minDepth && stopped()) {
            // Cut short. A move whose search at this depth finished is still
            // the better-informed choice: the first move re-confirmed, or a
            // later one that beat it in a full window.
            if (resolved) {
                bestPath = current;
                moveToFront(rootMoves, current.moves[0]);
            }
            if (!resolved || current.rating < kWin) --depth;
            break;
        }
        sortRootMoves(rootMoves);
        bestPath = current;
        const int64_t now = elapsedMs();
        const int64_t iterationMs = now - iterationStart;
        iterationStart = now;
        if (current.rating >= kWin || current.rating == kLoss || rootMoves[0].value == kWin ||
            now + iterationMs > int64_t(timeSuggestMs) || depth >= maxDepth || stopped())
            break;
        ++depth;
    }

    // Step 8. The helpers stop with this thread; their work is in the table.
    // A helper that completed a deeper iteration than this thread did saw
    // further: its line is played, unless this thread already proved a win
    // or the helper went past the depth the manager allows.
    if (helpers) {
        helperNodes = helpers->finish();
        const SearchPath& deeper = helpers->deepestLine();
        if (helpers->deepestDepth() > depth && helpers->deepestDepth() <= maxDepth && bestPath.rating < kWin) {
            depth = helpers->deepestDepth();
            bestPath = deeper;
            moveToFront(rootMoves, deeper.moves[0]);
        }
    }
    reportTimeBudget();
    reportSummary(bestPath);
    bestLine = bestPath;
    // Step 9. The head of the root list, not the best path's first move: the
    // two agree after a complete iteration.
    return rootMoves[0].pos;
}

}  // namespace velmor
