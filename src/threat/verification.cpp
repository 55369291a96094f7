// Win verification. The tree lets the defender answer a threat by taking all
// of its defence squares at once, which is generous to him in one way and
// blind in another: a real defender places one stone, and may answer a three
// with a four of his own. Before a candidate win is believed, the line to it
// is replayed from the starting board against every single defence square,
// with a fours-only search for the defender after each attacker three.
#include "threat/db_search.h"

namespace velmor {

namespace {

bool isThree(uint8_t t) { return t == LiveThree || t == WideThree || t == DoubleThree; }
bool isFour(uint8_t t) {
    return t == RushFour || t == RushFourPlus || t == FourThree || t == DoubleFour || t == LiveFour;
}

// Marks the line broken from node `i` down, so no later candidate through it
// is replayed again and expansion below its parent stops.
void refute(DBSearchState& state, const ThreatLine& line, uint32_t i) {
    for (uint32_t k = i; k < line.size(); ++k) line[k]->refuted = true;
    ++state.refutations;
}

// What the defender can do with fours alone on `board` (he is to move),
// without touching `guard`: StopWin, StopInterference or StopNone.
int32_t defenderCounterFours(DBSearchState& state, const Board& board, const SquareSet& guard) {
    NodeArena::Mark before = state.context->arena.mark();
    DBSearchState nested;
    nested.rule = state.rule;
    nested.level = FoursOnly;
    nested.board = &board;
    nested.verifyMode = true;
    nested.guardSquares = &guard;
    nested.context = state.context;
    runPasses(nested, nullptr);
    // The defender's tree is of no further use.
    state.context->arena.release(before);
    return nested.stopReason;
}

// Whether the attacker, after a three at `move`, has a point on one of its
// lines where he may play a live four.
bool hasLiveFourPoint(const Board& board, Pos move, int attacker) {
    for (int d = 0; d < kDirCount; ++d)
        for (int sign = -1; sign <= 1; sign += 2)
            for (int k = 1; k <= 4; ++k) {
                const int x = move.x() + sign * k * kDirDx[d], y = move.y() + sign * k * kDirDy[d];
                if (!Board::onBoard(x, y)) break;
                const Cell& c = board.cells[x][y];
                if (c.stone == 1 - attacker) break;
                if (c.stone == 2 && ((c.lineTypes[attacker] >> (4 * d)) & 0xF) == LiveFour &&
                    c.pointType[attacker] != Forbidden)
                    return true;
            }
    return false;
}

// After the attacker's four `n`, is every block the defender could make one of
// the node's defence squares? Two or more five points win whatever he does.
bool forcesListedReply(const Board& afterThreat, const ThreatNode& n, int attacker, GameRule rule) {
    Pos block;
    const int fives = realFivePoints(afterThreat, n.move, attacker, rule, &block);
    if (fives == 0) return false;
    if (fives >= 2) return true;
    if (afterThreat.cell(block).pointType[1 - attacker] == Forbidden) return true;  // he may not take it
    for (uint16_t k = 0; k < n.defenceCount; ++k)
        if (n.defences[k] == block) return true;
    return false;
}

}  // namespace

bool verifyWin(DBSearchState& state, const ThreatLine& line) {
    // Step 1. The replay starts from the search's own board (copied in
    // verifyStep; the starting board itself is never touched).
    // Step 2. Every square the line uses; a line already known to be broken
    // is rejected without a replay (and without counting again).
    SquareSet squares;
    for (const ThreatNode* n : line) {
        if (n->refuted) return false;
        squares.insert(n->move);
        for (uint16_t k = 0; k < n->defenceCount; ++k) squares.insert(n->defences[k]);
    }
    // Step 3.
    return verifyStep(state, *state.board, squares, line, 0);
}

bool verifyStep(DBSearchState& state, const Board& board, SquareSet squares, const ThreatLine& line, uint32_t i) {
    // Step 1. Every threat survived.
    if (i == line.size()) return true;

    // Step 2.
    const ThreatNode* n = line[i];
    squares.erase(n->move);

    // Step 3. The attacker's threat. The tree grew on boards where the
    // defender held every defence square at once; here he holds one, and
    // under renju that can turn a later point of black's line into a foul
    // (a move black may not play), which loses rather than wins.
    Board afterThreat = board;
    const int attacker = 1 - afterThreat.lastMove.side;
    const int defender = 1 - attacker;
    const Cell& target = board.cell(n->move);
    if (target.stone != 2 || target.pointType[attacker] == Forbidden) {
        ++state.refutations;
        return false;
    }
    afterThreat.makeMove(n->move, uint8_t(attacker), state.rule);

    // Step 4. Can the defender ignore it?
    if (isThree(n->type)) {
        // A three whose live four black may not make (its four point is a
        // foul) threatens nothing, and the defender need not answer it.
        if (!hasLiveFourPoint(afterThreat, n->move, attacker)) {
            ++state.refutations;
            return false;
        }
        // A three gives the defender a tempo: a winning run of fours refutes
        // the line, and so does a four on a square the line still needs.
        int32_t reason = defenderCounterFours(state, afterThreat, squares);
        if (reason == StopWin) {
            refute(state, line, i);
            return false;
        }
        if (reason == StopInterference) {
            // The line may still work in another order; count it, mark nothing.
            ++state.refutations;
            return false;
        }
    } else if (isFour(n->type)) {
        // A four is only forcing if the defender cannot make five first.
        if (afterThreat.typeCount[defender][Five] > 0) {
            refute(state, line, i);
            return false;
        }
        // ... and only if the replies the line tries are the block this board
        // demands. A chain joined in by the combination stage carries the
        // defence squares of the board it grew on; beside other stones its
        // four may have another completion point (or, next to an overline,
        // none at all), and the real defender would block there instead.
        if (!forcesListedReply(afterThreat, *n, attacker, state.rule)) {
            ++state.refutations;
            return false;
        }
    }

    // Step 5.
    for (uint16_t k = 0; k < n->defenceCount; ++k) squares.erase(n->defences[k]);

    // Step 6. Each single defence in turn. A threat without defence squares
    // (the last one) ends the replay.
    for (uint16_t k = 0; k < n->defenceCount; ++k) {
        Board afterDefence = afterThreat;
        afterDefence.makeMove(n->defences[k], uint8_t(defender), state.rule);
        if (!verifyStep(state, afterDefence, squares, line, i + 1)) return false;
    }

    // Step 7.
    return true;
}

}  // namespace velmor
