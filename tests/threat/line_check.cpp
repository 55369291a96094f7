#include "threat/line_check.h"

namespace velmor::test {

namespace {

std::string at(uint32_t i, Pos p) {
    return "move " + std::to_string(i) + " (" + std::to_string(p.x()) + "," + std::to_string(p.y()) + ")";
}

}  // namespace

std::string checkWinningLine(const Board& start, GameRule rule, const SmallList<Pos, 64>& moves, bool foursOnly) {
    if (moves.empty()) return "empty line";
    VcfOracle judge(rule);
    Board b = start;
    const int attacker = start.sideToMove(), defender = 1 - attacker;
    for (uint32_t i = 0; i < moves.size(); ++i) {
        const Pos p = moves[i];
        const int side = i % 2 == 0 ? attacker : defender;
        if (!Board::onBoard(p.x(), p.y())) return at(i, p) + " is off the board";
        if (b.cell(p).stone != 2) return at(i, p) + " is on an occupied point";
        // The line shows the first defence square of each threat. Under renju
        // that square can be a foul for black once the replay differs from the
        // tree's board; black then simply has fewer answers, so only the
        // attacker's moves must be legal.
        if (side == attacker && !judge.legal(b, p, side)) return at(i, p) + " is forbidden to the attacker";
        if (side == attacker) {
            const bool five = judge.makesFive(b, p, side);
            if (five && i + 1 != moves.size()) return at(i, p) + " makes five before the line ends";
            const bool four = judge.makesFour(b, p, side);
            if (!five && !four && (foursOnly || !judge.makesThree(b, p, side)))
                return at(i, p) + (foursOnly ? " is not a four" : " is no threat");
        } else if (judge.makesFive(b, p, side)) {
            return at(i, p) + " lets the defender make five";
        }
        b.makeMove(p, uint8_t(side), rule);
        std::string drift = checkBoardConsistency(b, rule);
        if (!drift.empty()) return at(i, p) + " leaves the board inconsistent: " + drift;
    }

    // The end: a five, or a four the defender cannot stop.
    const Pos last = moves.back();
    const bool attackerLast = moves.size() % 2 == 1;
    std::vector<Pos> fives = judge.fivePoints(b, attacker);
    if (attackerLast) {
        Board before = start;  // replay once more up to the last attack
        for (uint32_t i = 0; i + 1 < moves.size(); ++i)
            before.makeMove(moves[i], uint8_t(i % 2 == 0 ? attacker : defender), rule);
        if (judge.makesFive(before, last, attacker)) return "";
        if (!judge.fivePoints(b, defender).empty()) return "after the last attack the defender can make five";
        if (fives.size() >= 2) return "";
        if (fives.size() == 1 && !judge.legal(b, fives[0], defender)) return "";
        return "the line ends in a four the defender can block";
    }
    if (fives.empty()) return "the line ends with a defence and no five left for the attacker";
    return "";
}

}  // namespace velmor::test
