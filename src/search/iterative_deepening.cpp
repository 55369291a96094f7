// One move: the time budget, the root list with its shortcuts, and iterations
// of growing depth until a result is proven or the time is spent.
#include <algorithm>

#include "board/evaluation.h"
#include "board/generators.h"
#include "board/point_scan.h"
#include "search/search_state.h"
#include "search/time_budget.h"

namespace velmor {

namespace {

// Best first; equal values keep their order from the previous iteration, so
// a later move that merely ties the best one (a fail-hard null-window result)
// never displaces it.
void sortRootMoves(MoveList& rootMoves) {
    std::stable_sort(rootMoves.begin(), rootMoves.end(),
                     [](const ScoredMove& a, const ScoredMove& b) { return a.value > b.value; });
}

void setSingleMoveLine(SearchPath& line, Pos move, int32_t rating) {
    line.moves.clear();
    line.moves.push_back(move);
    line.endStep = uint16_t(line.startStep + 1);
    line.rating = rating;
}

}  // namespace

Pos fallbackMove(const Board& board, int lastMover) {
    int strongest = 0;
    for (int t = Five; t >= 1; --t)
        if (board.typeCount[lastMover][t] > 0) {
            strongest = t;
            break;
        }
    Pos move;
    if (firstPointOfType(board, lastMover, uint8_t(strongest), move)) return move;
    // No empty point has exactly that type (every empty point may be
    // forbidden to the opponent, say): any empty point is still a legal
    // answer, which an off-board or occupied point never is.
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

    // Case 1. The engine completes five.
    if (root.typeCount[s][Five] > 0 && firstPointOfType(root, s, Five, point)) {
        setSingleMoveLine(bestPath, point, kWin);
        rootMoves.push_back({point, int16_t(kWin), 0, Five});
        return;
    }

    // Case 2. The opponent threatens five: block it, even when the point is
    // forbidden to the engine (then the game is lost anyway).
    if (root.typeCount[o][Five] > 0 && firstPointOfType(root, o, Five, point)) {
        const uint8_t own = root.cell(point).pointType[s];
        setSingleMoveLine(bestPath, point, own == Forbidden ? kLoss : evaluate(root, s));
        rootMoves.push_back({point, int16_t(kWin), 0, own});
        return;
    }

    // Case 3. A proven threat-sequence win.
    SearchPath line;
    line.reset(rootStep);
    if (dbSearch(root, line, false, false) && !line.moves.empty()) {
        const Pos first = line.moves[0];
        if (Board::onBoard(first.x(), first.y()) && root.isEmpty(first.x(), first.y())) {
            bestPath = line;
            bestPath.rating = kWin;
            rootMoves.push_back({first, int16_t(kWin), 0, 0});
            return;
        }
    }

    // Case 4. Candidates, minus those that lose to an opponent threat
    // sequence (unless all of them do).
    generateCandidates(root, rootMoves);
    sortByValue(rootMoves);
    if (rootMoves.size() <= 1) return;
    for (uint32_t i = 0; i < rootMoves.size(); ++i) {  // 20x20 lists can exceed 255 moves
        ScoredMove& m = rootMoves[i];
        Board next = root;
        next.makeMove(m.pos, uint8_t(s), rule);
        SearchPath scratch;
        scratch.reset(next.lastMove.stoneCount);
        if (dbSearch(next, scratch, useHashTables, false)) m.value = int16_t(kLoss);
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
    timeoutFlag = false;
    startTime = startTicks;
    const TimeBudget budget = computeTimeBudget(rootStep, timeMaxMs, timeLeftMs);
    timeMaxMs = budget.maxMs;
    timeSuggestMs = budget.suggestMs;

    // Step 2.
    SearchPath bestPath;
    bestPath.reset(rootStep);
    depth = minDepth;

    // Step 3.
    MoveList rootMoves;
    prepareRootMoves(rootMoves, bestPath);

    // Step 4. No candidate at all.
    if (rootMoves.empty()) return fallbackMove(*board, rootLastMover);

    // Step 5. A forced or proven move needs no iteration.
    if (rootMoves.size() == 1) {
        reportSummary(bestPath);
        bestLine = bestPath;
        return rootMoves[0].pos;
    }

    // Step 6. Iterations.
    int32_t previousRating = -kInfinity;
    SearchPath current;
    for (;;) {
        deepestStep = rootStep;
        current.reset(rootStep);
        searchRoot(rootMoves, current);
        reportIteration(current);

        if (depth > minDepth && timeoutFlag) {
            // Cut short: keep it only when it found a win the last complete
            // iteration had not.
            if (previousRating < kWin && current.rating == kWin) {
                bestPath = current;
                sortRootMoves(rootMoves);
            } else {
                --depth;
            }
            break;
        }
        sortRootMoves(rootMoves);
        bestPath = current;
        previousRating = current.rating;
        if (current.rating >= kWin || current.rating == kLoss || rootMoves[0].value == kWin ||
            elapsedMs() > int64_t(timeSuggestMs) || depth >= maxDepth || timeoutFlag)
            break;
        ++depth;
    }

    // Step 7.
    reportTimeBudget();
    reportSummary(bestPath);
    bestLine = bestPath;
    // Step 8. The head of the root list, not the best path's first move: the
    // two agree after a complete iteration.
    return rootMoves[0].pos;
}

}  // namespace velmor
