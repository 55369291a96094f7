#include "protocol/swap2.h"

#include <algorithm>
#include <cstdlib>
#include <random>

#include "board/board.h"
#include "board/evaluation.h"
#include "board/generators.h"
#include "search/clock.h"
#include "search/engine.h"
#include "search/time_budget.h"

namespace velmor {

namespace {

// Values within this of zero count as balanced: closer than the search can
// tell apart in an opening, where no side has a threat yet.
constexpr int32_t kBalanced = 40;
// Placements searched when proposing stones; the rest are ranked by the
// static evaluation alone.
constexpr std::size_t kSearchedProposals = 6;

struct Probe {
    int32_t value = 0;  // for the side to move
    Pos move;           // its best move
};

// The opening's clock: searches share what the turn allows, less room for
// building the boards and writing the answer.
class Swap2Clock {
public:
    explicit Swap2Clock(const SearchSettings& settings) : start_(wallClockTicks()) {
        const uint32_t turn = settings.turnTimeMs - safetyMarginMs(settings.turnTimeMs);
        totalMs_ = std::min(turn, settings.timeLeftMs / 10) * 4 / 5;
    }
    // Milliseconds for one of `searches` equal searches in what is left.
    uint32_t share(std::size_t searches) const {
        const int64_t used = (wallClockTicks() - start_) / kTicksPerMs;
        const int64_t left = std::max<int64_t>(int64_t(totalMs_) - used, 0);
        return uint32_t(left / int64_t(std::max<std::size_t>(searches, 1)));
    }

private:
    int64_t start_;
    uint32_t totalMs_;
};

Board boardOf(const std::vector<Pos>& stones, GameRule rule) {
    Board board;
    newBoard(board);
    for (std::size_t i = 0; i < stones.size(); ++i) board.makeMove(stones[i], uint8_t(i % 2), rule);
    return board;
}

Probe search(const std::vector<Pos>& stones, const SearchSettings& base, uint32_t ms) {
    SearchSettings settings = base;
    settings.observer = nullptr;
    settings.turnTimeMs = ms;
    settings.timeLeftMs = 1000000000;
    Board board = boardOf(stones, base.rule);
    AIVelmorSearch engine;
    Probe probe;
    probe.move = engine.getBestMove(board, settings);
    probe.value = engine.outcome().value;
    return probe;
}

// Black's point under renju must not be a foul; everyone else's only empty.
bool playable(const Board& board, Pos p, int side) {
    return Board::onBoard(p.x(), p.y()) && board.isEmpty(p.x(), p.y()) &&
           board.cell(p).pointType[side] != Forbidden;
}

std::string text(Pos p) { return std::to_string(p.x()) + "," + std::to_string(p.y()); }

std::string text(const std::vector<Pos>& moves) {
    std::string out;
    for (Pos p : moves) out += (out.empty() ? "" : " ") + text(p);
    return out;
}

// Of `placements` (each extending `stones`, white to move after it), the one
// whose searched value is closest to zero: the static evaluation picks the
// few worth a search.
std::vector<Pos> mostBalanced(const std::vector<Pos>& stones, std::vector<std::vector<Pos>> placements,
                              const SearchSettings& settings, const Swap2Clock& clock, int32_t& value) {
    std::vector<std::pair<int32_t, std::size_t>> ranked;
    for (std::size_t i = 0; i < placements.size(); ++i) {
        std::vector<Pos> all = stones;
        all.insert(all.end(), placements[i].begin(), placements[i].end());
        const Board board = boardOf(all, settings.rule);
        ranked.push_back({std::abs(evaluate(board, board.sideToMove(), settings.rule)), i});
    }
    std::stable_sort(ranked.begin(), ranked.end());
    ranked.resize(std::min(ranked.size(), kSearchedProposals));
    std::size_t best = ranked.front().second;
    value = kInfinity;
    for (std::size_t k = 0; k < ranked.size(); ++k) {
        std::vector<Pos> all = stones;
        all.insert(all.end(), placements[ranked[k].second].begin(), placements[ranked[k].second].end());
        const int32_t v = search(all, settings, clock.share(ranked.size() - k)).value;
        if (std::abs(v) < std::abs(value)) {
            value = v;
            best = ranked[k].second;
        }
    }
    return placements[best];
}

// The eight symmetries of the square about the centre point.
Pos symmetric(Pos p, int symmetry, int centre) {
    int dx = p.x() - centre, dy = p.y() - centre;
    if (symmetry & 1) dx = -dx;
    if (symmetry & 2) dy = -dy;
    if (symmetry & 4) std::swap(dx, dy);
    return Pos(centre + dx, centre + dy);
}

// The first three stones: black on the centre, white and black near it,
// placed so that the position is as even as the search can make it; a
// random choice among equally even shapes and a random symmetry keep the
// openings from repeating.
std::string openingStones(const SearchSettings& settings, const Swap2Clock& clock) {
    const int centre = boardSize / 2;
    std::mt19937 random{uint32_t(calendarSeconds())};
    const Pos first(centre, centre);
    const Pos whiteOffsets[] = {{1, 0}, {1, 1}, {2, 0}, {2, 1}, {2, 2}};
    std::vector<std::vector<Pos>> placements;
    for (Pos w : whiteOffsets)
        for (int dx = -2; dx <= 2; ++dx)
            for (int dy = -2; dy <= 2; ++dy) {
                const Pos white(centre + w.x(), centre + w.y()), black(centre + dx, centre + dy);
                if (black == first || black == white) continue;
                placements.push_back({white, black});
            }
    std::shuffle(placements.begin(), placements.end(), random);
    int32_t value = 0;
    const std::vector<Pos> chosen = mostBalanced({first}, placements, settings, clock, value);
    const int symmetry = int(random() & 7);
    return text({symmetric(first, symmetry, centre), symmetric(chosen[0], symmetry, centre),
                 symmetric(chosen[1], symmetry, centre)});
}

// Points worth a stone for the side to move after `stones`, most urgent first.
std::vector<Pos> candidates(const std::vector<Pos>& stones, GameRule rule, std::size_t limit) {
    const Board board = boardOf(stones, rule);
    MoveList list;
    generateCandidates(board, list);
    sortByValue(list);
    std::vector<Pos> points;
    for (const ScoredMove& m : list) {
        if (points.size() == limit) break;
        if (playable(board, m.pos, board.sideToMove())) points.push_back(m.pos);
    }
    return points;
}

// Three stones: white to move. Staying white is worth what the best fourth
// stone is worth, taking black the opposite; when neither side stands
// clearly better, two more stones that keep the balance leave the choice,
// and the risk of misjudging it, to the opponent.
std::string answerToThree(const std::vector<Pos>& stones, const SearchSettings& settings,
                          const Swap2Clock& clock) {
    const Probe probe = search(stones, settings, clock.share(2));
    if (std::abs(probe.value) <= kBalanced) {
        std::vector<std::vector<Pos>> placements;
        for (Pos fourth : candidates(stones, settings.rule, 6)) {
            std::vector<Pos> four = stones;
            four.push_back(fourth);
            for (Pos fifth : candidates(four, settings.rule, 4)) placements.push_back({fourth, fifth});
        }
        if (!placements.empty()) {
            int32_t value = 0;
            const std::vector<Pos> chosen = mostBalanced(stones, placements, settings, clock, value);
            if (std::abs(value) <= kBalanced) return text(chosen);
        }
    }
    return probe.value >= 0 ? text(probe.move) : "SWAP";
}

// Five stones: white to move; play the sixth as white unless black is better.
std::string answerToFive(const std::vector<Pos>& stones, const SearchSettings& settings, const Swap2Clock& clock) {
    const Probe probe = search(stones, settings, clock.share(1));
    return probe.value >= 0 ? text(probe.move) : "SWAP";
}

}  // namespace

std::string swap2Reply(const std::vector<Pos>& stones, const SearchSettings& settings) {
    const Swap2Clock clock(settings);
    if (stones.empty()) return openingStones(settings, clock);
    if (stones.size() == 3) return answerToThree(stones, settings, clock);
    return answerToFive(stones, settings, clock);
}

}  // namespace velmor
