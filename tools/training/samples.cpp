#include "training/samples.h"

#include "board/board.h"
#include "board/evaluation.h"
#include "search/search_settings.h"

namespace velmor::training {

bool isTrainingPosition(const Board& board, int32_t searchValue) {
    const int me = board.sideToMove();
    return board.typeCount[me][Five] == 0 && board.typeCount[1 - me][Five] == 0 && searchValue < kWin;
}

bool appendSamples(const GameRecord& game, SampleSet& out) {
    boardSize = int8_t(game.size);
    Board board;
    newBoard(board);
    for (size_t ply = 0; ply < game.moves.size(); ++ply) {
        if (game.kept[ply]) {
            const int me = board.sideToMove();
            Sample s{};
            s.setToMove = uint8_t(evalRuleSet(game.rule, me));
            s.setOther = uint8_t(evalRuleSet(game.rule, 1 - me));
            s.rule = game.rule;
            s.size = uint8_t(game.size);
            s.colour = uint8_t(me);
            s.result = float(game.scoreFor(ply));
            s.searchValue = game.values[ply];
            s.begin = uint32_t(out.terms.size());
            std::vector<uint16_t> other;
            forEachEvalPoint(board, [&](int entry0, int entry1) {
                const int mine = me == 0 ? entry0 : entry1, theirs = me == 0 ? entry1 : entry0;
                if (mine) out.terms.push_back(uint16_t(mine));  // entry 0 is no term
                if (theirs) other.push_back(uint16_t(theirs));
            });
            s.toMoveCount = uint16_t(out.terms.size() - s.begin);
            s.otherCount = uint16_t(other.size());
            out.terms.insert(out.terms.end(), other.begin(), other.end());
            out.samples.push_back(s);
        }
        const Pos p = game.moves[ply];
        if (!Board::onBoard(p.x(), p.y()) || !board.makeMove(p, uint8_t(board.sideToMove()), game.rule)) return false;
    }
    return true;
}

}  // namespace velmor::training
