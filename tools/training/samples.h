#pragma once
// Training samples: the kept positions of recorded games, replayed on the
// engine's board and reduced to the evaluation's terms.
#include <cstdint>
#include <vector>

#include "board/board.h"
#include "training/game_record.h"

namespace velmor::training {

struct Sample {
    uint8_t setToMove;  // EvalRuleSet of the side to move
    uint8_t setOther;   // and of the other side
    uint8_t rule;       // GameRule
    uint8_t size;
    uint8_t colour;     // of the side to move, 0 black
    float result;       // game score for the side to move: 1, 0.5 or 0
    float searchValue;  // search value for the side to move
    uint32_t begin;     // first term in SampleSet::terms
    uint16_t toMoveCount, otherCount;  // terms of the side to move, then of the other
};

struct SampleSet {
    std::vector<Sample> samples;
    std::vector<uint16_t> terms;  // evaluation entries, per sample
};

// Whether a position searched to `searchValue` (for the side to move) is
// one to learn from: the evaluation never meets a position where the side
// to move can make five, must block one, or has a proven win, since the
// search settles those before it evaluates.
bool isTrainingPosition(const Board& board, int32_t searchValue);

// Replays `game` and appends its kept positions. False when the record does
// not replay (an occupied point or a point off the board).
bool appendSamples(const GameRecord& game, SampleSet& out);

}  // namespace velmor::training
