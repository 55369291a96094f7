#pragma once
#include "board/board.h"
#include "search/search_settings.h"

namespace velmor {

// The boundary between the brain thread and the move search.
class AIEngine {
public:
    virtual ~AIEngine() = default;
    // Chooses a move for the side to move on `board` (the caller's private copy).
    virtual Pos getBestMove(Board& board, const SearchSettings& settings) = 0;
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
