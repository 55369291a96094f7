// Growing the threat tree: the dependency stage (expandNode, expandThreats)
// and the combination stage (combinePass, combineWith, combineOnLine).
//
// The attacker is always the side to move on the board of the node being
// expanded. Every step plays on a fresh copy of the board; nothing is undone.
#include <cstring>

#include "board/line_walk.h"
#include "threat/db_search.h"

namespace velmor {

namespace {

int sideToMove(const Board& b) { return 1 - b.lastMove.side; }

uint8_t lineType(const Board& b, Pos p, int side, int dir) {
    return uint8_t((b.cell(p).lineTypes[side] >> (4 * dir)) & 0xF);
}

bool isThreeType(uint8_t t) { return t == LiveThree || t == WideThree || t == DoubleThree; }

// A node leaves the tree only while it is the newest thing in the arena, so
// rolling back to the mark taken before it frees it (and its defence list).
void discard(DBSearchState& state, NodeArena::Mark before) { state.context->arena.release(before); }

// The defence squares as a list in the arena. A point reached through two
// lines of a double threat is kept once: the defender's reply places each
// square once, and a second stone on one point would corrupt the board.
void storeDefences(DBSearchState& state, ThreatNode* node, const PosList& found) {
    if (found.empty()) return;
    Pos* out = static_cast<Pos*>(state.context->arena.allocate(found.size() * sizeof(Pos)));
    uint16_t count = 0;
    for (Pos p : found) {
        bool seen = false;
        for (uint16_t i = 0; i < count && !seen; ++i) seen = out[i] == p;
        if (!seen) out[count++] = p;
    }
    node->defences = out;
    node->defenceCount = count;
}

}  // namespace

void expandNode(DBSearchState& state, ThreatNode* node, const Board& board, ThreatLine& line) {
    // Step 1. Sides.
    const int attacker = sideToMove(board);
    const int defender = 1 - attacker;
    MoveList threats;

    if (board.typeCount[attacker][Five] > 0) {
        // Step 2. A five on offer is the only move worth looking at: the first
        // one in scan order, along the line it completes. (Confirmed on the
        // stones: beside six in a row under exact five the board can take an
        // overline for a five; with no real five the list stays empty.)
        for (int x = 0; x < boardSize && threats.empty(); ++x)
            for (int y = 0; y < boardSize; ++y) {
                const Cell& c = board.cells[x][y];
                if (c.stone == 2 && c.pointType[attacker] == Five && winsAt(board, Pos(x, y), attacker, state.rule)) {
                    Pos p(x, y);
                    threats.push_back({p, Five, board.mainDirection(p, attacker), 0});
                    break;
                }
            }
    } else {
        // Step 3. The defender's own threats cut the attacker's options: facing
        // a five point nothing but a five would do (and there is none), facing
        // a three that becomes a live four only fours keep the initiative. A
        // defender search inside verification looks for any counter-four.
        int level = state.level;
        if (!state.verifyMode) {
            if (board.typeCount[defender][Five] > 0) level = FivesOnly;
            else if (board.typeCount[defender][LiveFour] > 0) level = FoursOnly;
        }
        bool defenderHasFive = !state.verifyMode && board.typeCount[defender][Five] > 0;

        // Step 4. The whole board at the root; below it only the lines through
        // the threat just played, since new threats depend on it.
        if (level > 0 && !defenderHasFive) {
            if (node->kind == ThreatNode::Root) collectThreats(board, level, threats);
            else collectThreatsAround(board, node->move, level, threats, false);
        }
    }

    // Step 5.
    expandThreats(state, node, board, line, threats);
}

void expandThreats(DBSearchState& state, ThreatNode* parent, const Board& board, ThreatLine& line,
                   const MoveList& threats) {
    // Step 1. Depth statistics.
    if (int32_t(line.size()) > state.maxThreatDepth) state.maxThreatDepth = int32_t(line.size());

    for (const ScoredMove& threat : threats) {
        // Step 2a.
        state.progress = true;

        // Step 2b. The node.
        NodeArena::Mark before = state.context->arena.mark();
        ThreatNode* node = newThreatNode(state);
        node->kind = ThreatNode::Dependency;
        node->pass = state.pass;

        // Step 2c.
        Board copy;
        copyPosition(copy, board);
        const int attacker = sideToMove(copy);
        const int defender = 1 - attacker;
        const Pos move = threat.pos;

        // Step 2d. Its type along its line. A four-three is followed as the
        // four, the forcing half of it.
        uint8_t dir = threat.dir;
        if (copy.cell(move).pointType[attacker] == FourThree) {
            node->type = RushFour;
            dir = copy.mainDirection(move, attacker);
        } else {
            node->type = lineType(copy, move, attacker, dir);
        }

        // Step 2e.
        node->move = move;
        copy.makeMove(move, uint8_t(attacker), state.rule);

        // Step 2f. A threat that lets the defender make five first is no threat.
        if (node->type < Five && copy.typeCount[defender][Five] > 0) {
            discard(state, before);
            continue;
        }

        // Step 2g. In a defender search, a four on a square the attacker's line
        // still needs breaks that line: enough to refute it.
        if (state.verifyMode && state.guardSquares->contains(move)) {
            state.stopReason = StopInterference;
            state.found = true;
            discard(state, before);
            return;
        }

        // Step 2h. Defence squares.
        PosList defences;
        collectDefences(copy, move, node->type, dir, defences, state.rule);
        storeDefences(state, node, defences);
        line.push_back(node);

        // Step 2i. A five, a live four, or a four that cannot be blocked wins
        // on the spot if the line to it survives every single defence.
        //
        // The type of a threat is read at its own point, which sees four
        // points each way; under exact five (and for black under renju) a
        // stone five points away can turn the promised five into an overline.
        // So the fives are counted on the stones: a "five" that is an overline
        // and a "four" that leaves no real five point are no threats at all,
        // and a live four that leaves one five point is a plain four.
        if (node->type == Five && !winsAt(copy, move, attacker, state.rule)) {
            line.pop_back();
            discard(state, before);
            continue;
        }
        const bool isFour = node->type == RushFour || node->type == RushFourPlus || node->type == LiveFour;
        const int fivesAfter = isFour ? realFivePoints(copy, move, attacker, state.rule, nullptr) : 0;
        if (isFour && fivesAfter == 0) {
            line.pop_back();
            discard(state, before);
            continue;
        }
        const bool winCandidate = node->type == Five ||
                                  (node->type == LiveFour && fivesAfter >= 2) ||
                                  (isFour && node->defenceCount == 0);
        if (winCandidate) {
            if (state.verifyMode) {
                state.stopReason = StopWin;
                state.found = true;
                line.pop_back();
                discard(state, before);
                return;
            }
            if (verifyWin(state, line)) {
                state.found = true;
                state.stopReason = StopWin;
                parent->appendChild(node);
                return;
            }
            line.pop_back();
            discard(state, before);
            continue;
        }

        // Step 2j. A threat with nothing to defend is not understood here;
        // stop looking below this parent.
        if (node->defenceCount == 0) {
            line.pop_back();
            discard(state, before);
            return;
        }

        // Step 2k. The defender takes every defence square at once; look for
        // the threats that follow.
        copy.placeGroup(node->defences, node->defenceCount, state.rule);
        parent->appendChild(node);
        expandNode(state, node, copy, line);
        if (state.found) return;
        line.pop_back();
        // A verification below found this parent's line broken.
        if (parent->refuted) return;
    }
}

void combinePass(DBSearchState& state, ThreatNode* node, const Board& board, ThreatLine& line) {
    // Step 1. A node made in the previous pass meets every chain elsewhere in
    // the tree.
    if (node->pass == state.pass && node->kind == ThreatNode::Dependency) {
        ThreatLine chain;
        combineWith(state, node, line, board, state.root, chain);
        node->combined = true;
        if (state.found) return;
    }

    // Step 2. Then the subtree, copies made by step 1 included.
    uint32_t count = node->childCount;
    ThreatNode* child = node->firstChild;
    for (uint32_t i = 0; i < count; ++i, child = child->nextSibling) {
        Board copy;
        copyPosition(copy, board);
        copy.makeMove(child->move, uint8_t(sideToMove(copy)), state.rule);
        copy.placeGroup(child->defences, child->defenceCount, state.rule);
        line.push_back(child);
        combinePass(state, child, copy, line);
        if (state.found) return;
        line.pop_back();
    }
}

void combineWith(DBSearchState& state, ThreatNode* node, ThreatLine& line, const Board& board,
                 ThreatNode* other, ThreatLine& chain) {
    // Step 1. A node already combined in this pass has met `node` from its side.
    if (other->combined && other->pass == state.pass) return;

    // Step 2. Every chain below `other` that still fits on this board.
    const int attacker = sideToMove(board);
    uint32_t count = other->childCount;
    ThreatNode* c = other->firstChild;
    for (uint32_t i = 0; i < count; ++i, c = c->nextSibling) {
        // Step 2a. The chain must be playable here: its move and its defence
        // squares empty, its move not forbidden to the attacker.
        const Cell& target = board.cell(c->move);
        if (target.stone != 2 || target.pointType[attacker] == Forbidden) continue;
        bool blocked = false;
        for (uint16_t k = 0; k < c->defenceCount && !blocked; ++k) blocked = board.cell(c->defences[k]).stone != 2;
        if (blocked) continue;

        // Step 2b.
        chain.push_back(c);
        Board copy;
        copyPosition(copy, board);
        copy.makeMove(c->move, uint8_t(attacker), state.rule);
        copy.placeGroup(c->defences, c->defenceCount, state.rule);

        // Step 2c. Threats that need stones of both.
        if (c->kind == ThreatNode::Dependency && combineOnLine(state, node, line, copy, c->move, chain)) {
            state.progress = true;
            if (state.found) return;
        }

        // Step 2d. Deeper along that chain.
        combineWith(state, node, line, copy, c, chain);
        if (state.found) return;

        // Step 2e.
        chain.pop_back();
    }
}

namespace {

// Threat points on line `dir` within four steps of `from`, in scan order: the
// minus side first, then the plus side, stopping at the edge or a defender
// stone and passing over the attacker's own stones.
void scanLine(const Board& board, Pos from, int dir, int attacker, int level, MoveList& out) {
    for (int sign : kLineSides)
        walkEmpties(board, from, dir, sign, 1 - attacker, [&](Pos p, const Cell& c) {
            const int along = lineTypeAt(c.lineTypes[attacker], dir);
            if (along < LiveThree || along > Five) return true;
            const uint8_t point = c.pointType[attacker];
            // A point forbidden to the attacker is no threat at all: playing it
            // loses under renju. The other generators skip such points too.
            if (point == Forbidden) return true;
            if (level == FivesOnly && point != Five) return true;
            if (level == FoursOnly && isThreeType(point)) return true;
            out.push_back({p, 10, uint8_t(dir), 0});
            return true;
        });
}

}  // namespace

bool combineOnLine(DBSearchState& state, ThreatNode* node, ThreatLine& line, const Board& board,
                   Pos otherMove, const ThreatLine& chain) {
    // Step 1. The line both moves lie on, if any.
    const int dx = otherMove.x() - node->move.x(), dy = otherMove.y() - node->move.y();
    int dir;
    if (dx == 0) dir = 0;
    else if (dy == 0) dir = 1;
    else if (dx == dy) dir = 2;
    else if (dx == -dy) dir = 3;
    else return false;

    // Step 2. The threat level, cut down by the defender's threats as in
    // expandNode.
    int level = state.level;
    if (level == FivesOnly) return false;
    if (!state.verifyMode) {
        const int defender = board.lastMove.side;
        if (board.typeCount[defender][Five] > 0) level = FivesOnly;
        else if (board.typeCount[defender][LiveFour] > 0) level = FoursOnly;
    }
    const int attacker = sideToMove(board);

    // Steps 3 and 4. Points on the joining line reachable from both moves.
    MoveList fromNode;
    scanLine(board, node->move, dir, attacker, level, fromNode);
    if (fromNode.empty()) return false;
    MoveList fromOther;
    scanLine(board, otherMove, dir, attacker, level, fromOther);
    MoveList threats;
    for (const ScoredMove& a : fromNode)
        for (const ScoredMove& b : fromOther)
            if (a.pos == b.pos) {
                threats.push_back(a);
                break;
            }
    if (threats.empty()) return false;

    // Step 5. The line through both chains, and a copy of the chain hung
    // under `node` so the new threats have a place in the tree.
    ThreatLine joined = line;
    for (ThreatNode* c : chain) joined.push_back(c);
    ThreatNode* tail = node;
    for (ThreatNode* c : chain) {
        ThreatNode* copy = newThreatNode(state);
        copy->kind = ThreatNode::CombinationCopy;
        copy->pass = state.pass;
        copy->move = c->move;
        copy->defences = c->defences;  // immutable, shared with the original
        copy->defenceCount = c->defenceCount;
        copy->type = c->type;
        tail->appendChild(copy);
        tail = copy;
    }

    // Step 6. The new threats belong to the next pass, which combines them.
    ++state.pass;
    expandThreats(state, tail, board, joined, threats);
    --state.pass;

    // Step 7. A win found through the joined line is the search's line.
    if (state.found && state.stopReason == StopWin) line = joined;
    return true;
}

}  // namespace velmor
