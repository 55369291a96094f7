// Candidate moves of the alpha-beta search. The Board's per-type counters tell,
// without a scan, whether either side threatens to win; the one scan that
// follows then keeps only the replies that situation allows.
#include <algorithm>

#include "board/generators.h"

namespace velmor {
namespace {

// One pass in scan order (x outer, y inner) over the part of the board where
// points have shapes: every candidate has one. Points forbidden to the mover
// are never candidates. `keep(own, opp)` decides on the two point types,
// `score(own, opp)` gives the ordering value.
template <class Keep, class Score>
void scanCandidates(const Board& board, int me, MoveList& list, Keep keep, Score score) {
    const Board::ScanArea area = board.shapeArea();
    const int opp = 1 - me;
    for (int x = area.x0; x < area.x1; ++x) {
        const Cell* column = board.cells[x];
        for (int y = area.y0; y < area.y1; ++y) {
            const Cell& c = column[y];
            if (c.stone != 2) continue;
            const int own = c.pointType[me], other = c.pointType[opp];
            if (own == Forbidden || !keep(own, other)) continue;
            list.push_back({Pos(x, y), int16_t(score(own, other)), 0, uint8_t(own)});
        }
    }
}

}  // namespace

int generateCandidates(const Board& board, MoveList& list) {
    const int me = board.sideToMove(), opp = 1 - me;
    const uint8_t* ownCount = board.typeCount[me];
    const uint8_t* oppCount = board.typeCount[opp];

    if (ownCount[Five] > 0) {
        // We win at once: only the winning points matter.
        scanCandidates(
            board, me, list, [](int own, int) { return own >= Five; }, [](int own, int) { return own; });
    } else if (oppCount[Five] > 0) {
        // The opponent wins next move unless blocked. His forbidden points are
        // kept too (value 14); the search sorts them out.
        scanCandidates(
            board, me, list, [](int, int other) { return other >= Five; }, [](int, int other) { return other; });
    } else if (oppCount[LiveFour] > 0 || oppCount[DoubleFour] > 0 || oppCount[FourThree] > 0) {
        // The opponent threatens an unstoppable four: answer with a four of our
        // own or on one of his four points (also three points against a
        // four-three). Ranked by our own type alone: the threshold added is a
        // constant of the call.
        const int threshold = (oppCount[LiveFour] > 0 || oppCount[DoubleFour] > 0) ? int(RushFour) : int(LiveThree);
        scanCandidates(
            board, me, list, [threshold](int own, int other) { return own >= RushFour || other >= threshold; },
            [threshold](int own, int) { return own + threshold; });
    } else {
        // Quiet position. In the first moves every point near an opponent stone
        // is worth a look; later only our own shapes and his threes or better.
        const int oppMin = board.lastMove.stoneCount < 6 ? int(Two) : int(LiveThree);
        scanCandidates(
            board, me, list, [oppMin](int own, int other) { return own >= Two || other >= oppMin; },
            [](int own, int other) { return own + other; });
    }
    return int(list.size());
}

void sortByValue(MoveList& list) {
    std::sort(list.begin(), list.end(), [](const ScoredMove& a, const ScoredMove& b) { return a.value > b.value; });
}

}  // namespace velmor
