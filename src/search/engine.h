#pragma once
#include <vector>

#include "board/board.h"
#include "search/search_settings.h"

namespace velmor {

// What a think found, for the front end to show and for analysis.
struct SearchOutcome {
    Pos move;
    int32_t value = 0;     // for the side to move at the root
    int32_t depth = 0;     // nominal depth of the last iteration that counted
    int32_t selDepth = 0;  // deepest point the lines reached, in stones past the root
    int64_t nodes = 0;
    int64_t ms = 0;
    std::vector<Pos> line;  // the principal line, `move` first
    uint32_t rootMoves = 0; // 0 when no candidate was left to search
};

// The boundary between the brain thread and the move search.
class AIEngine {
public:
    virtual ~AIEngine() = default;
    // Chooses a move for the side to move on `board` (the caller's private copy).
    virtual Pos getBestMove(Board& board, const SearchSettings& settings) = 0;
    // The outcome of the last getBestMove.
    const SearchOutcome& outcome() const { return outcome_; }

protected:
    SearchOutcome outcome_;
};

class AIVelmorSearch : public AIEngine {
public:
    Pos getBestMove(Board& board, const SearchSettings& settings) override;
};

// Empties the game's transposition table and the threat cache, so that the
// next search starts from nothing (the same position then gives the same
// search).
void clearSearchTables();

}  // namespace velmor
