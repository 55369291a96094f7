#pragma once
// A slow, deliberately simple judge of forced wins, used to establish the
// truth of test positions independently of the threat search. It looks only
// at the stones: a five is counted in a row, a four is a move after which a
// five point exists, and every four of the attacker is tried against the one
// forced reply. The only thing it takes from the Board is which points are
// forbidden to black under renju (the board's own rule, tested elsewhere).
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "board/board.h"

namespace velmor::test {

class VcfOracle {
public:
    explicit VcfOracle(GameRule rule, int maxFours = 40) : rule_(rule), maxFours_(maxFours) {}

    // Does placing `side` at empty `p` complete a winning line?
    bool makesFive(const Board& b, Pos p, int side) const;
    // May `side` play at empty `p`? (Only black under renju has forbidden points.)
    bool legal(const Board& b, Pos p, int side) const;
    // Empty points where `side` would complete five, in scan order.
    std::vector<Pos> fivePoints(const Board& b, int side) const;
    // Empty points where `side` would have two or more five points afterwards
    // (a live four, or a double four), on the lines through `around` only.
    bool makesFour(const Board& b, Pos p, int side) const;
    bool makesThree(const Board& b, Pos p, int side) const;

    // Can the side to move win by continuous fours (a five now included)?
    bool vcf(const Board& b);
    // The first moves that win by continuous fours; empty when none does.
    std::vector<Pos> vcfWinningMoves(const Board& b);
    // Sound, one-three-deep test: after `m`, every legal reply of the defender
    // (anywhere on the board) leaves the attacker a win by continuous fours.
    bool winsAfterEveryReply(const Board& b, Pos m);

    // Sound proof that the side to move has no win by threats: every threat
    // it can make is met by a defender's win with fours, by the forced block
    // of a four, or by a block of a three, each followed (up to `depth`
    // threats deep) by the same proof. False means "not proven".
    bool provesNoThreatWin(const Board& b, int depth);

    uint64_t nodes() const { return nodes_; }

private:
    bool vcfFrom(const Board& b, int foursLeft);
    // The result of the attacker playing `m`: +1 wins at once (two five points
    // or one the defender may not take), 0 a four with a single forced reply
    // in `reply`, -1 not a four or the defender makes five first.
    int playFour(const Board& b, Pos m, Board& after, Pos& reply) const;
    std::vector<Pos> newFivePoints(const Board& b, Pos around, int side) const;

    GameRule rule_;
    int maxFours_;
    uint64_t nodes_ = 0;
    // Positions proven lost for the attacker, with the most fours they were
    // searched for.
    std::unordered_map<uint64_t, int> failed_;
};

}  // namespace velmor::test
