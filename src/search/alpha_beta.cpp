// The node search: a fail-hard principal-variation search over a fractional
// depth. Threat moves extend the depth, five-threats are answered at once, a
// threat search closes forced wins at every interior node (by fours, and by
// threes on the principal variation), null moves prune, principal-variation
// nodes order their moves by shallow pre-searches and the others by killers
// and history, late quiet moves are searched shallower first, and near the
// horizon, off the principal variation, not at all. There is no quiescence
// search: below depth 1 a node is evaluated statically.
#include <algorithm>
#include <bit>

#include "board/evaluation.h"
#include "board/generators.h"
#include "board/point_scan.h"
#include "search/busy_nodes.h"
#include "search/search_state.h"

namespace velmor {

namespace {

// Depth added for the mover's shape at the move: fours are searched at the
// parent's depth, threes half a ply deeper than quiet moves.
double extensionFor(uint8_t ownType) {
    switch (ownType) {
    case RushFour:
    case RushFourPlus:
    case FourThree:
    case DoubleFour:
    case LiveFour:
        return 1.0;
    case LiveThree:
    case WideThree:
    case DoubleThree:
        return 0.5;
    default:
        return 0.0;
    }
}

// Ordering keys of the moves that had no pre-search: the generator's shape
// value first, then within one shape value a killer bonus and the history
// score's magnitude (both below one shape step, so history never ranks a
// quiet move above a three).
constexpr int kShapeStep = 64;
constexpr int kFirstKillerBonus = 32;
constexpr int kSecondKillerBonus = 24;
constexpr int kHashMoveKey = 32000;

int historyRank(int32_t score) { return std::min(31, int(std::bit_width(uint32_t(std::max(score, 0))))); }

// A move that makes no three for the mover and blocks no three of the
// opponent: the kind whose late position in the list says it is unlikely
// to matter, so it is searched shallower first.
bool isQuiet(const Board& node, const ScoredMove& m, int opponent) {
    return m.ownType < LiveThree && m.ownType != DoubleThree && node.cell(m.pos).pointType[opponent] < LiveThree;
}

// Nodes with less depth left than this never put a move off for another
// thread: their subtrees cost less than the bookkeeping. (2 and 3 reach
// depth 8 on the bench positions in about the same time; 1 and 5 later.)
constexpr double kDeferDepth = 3.0;

// Late-move reduction in plies for the `index`-th move (0-based) of a node
// with `nodeDepth` left, for quiet moves only: one ply from the fourth move
// of the list on, two from the eleventh of a deep node.
double lateMoveReduction(double nodeDepth, uint32_t index) {
    if (nodeDepth < 3.0 || index < 3) return 0.0;
    return index >= 10 && nodeDepth >= 5.0 ? 2.0 : 1.0;
}

// Late-move pruning: a node off the principal variation with less depth
// left than this skips the quiet moves that come after the first
// `lateMoveLimit` of its list (8 with one to two plies left, 11 with two to
// three, 14 with three to four), once a move has been searched. Near the
// horizon, a quiet move that far down the ordering rarely changes the
// result, and such moves make most of the tree: the fourth ply alone saves
// 11% of the nodes to depth 7 on the bench positions. (Pruning after 6, 9
// and 12 moves, or up to five plies left, did not prove better in
// self-play.)
constexpr double kPruneDepth = 4.0;
uint32_t lateMoveLimit(double nodeDepth) { return 5 + 3 * uint32_t(nodeDepth); }

// Brings the `i`-th move of the ordering to position i, the moves before it
// being in place: the first few are picked one at a time, as most nodes
// that cut do so on one of them and need no order for the rest; at the
// fifth the remainder is sorted at once.
constexpr uint32_t kPickedOneByOne = 4;
void pickInOrder(MoveList& moves, uint32_t i) {
    if (i < kPickedOneByOne) {
        uint32_t best = i;
        for (uint32_t j = i + 1; j < moves.size(); ++j)
            if (moves[j].value > moves[best].value) best = j;
        std::swap(moves[i], moves[best]);
    } else if (i == kPickedOneByOne) {
        std::sort(moves.begin() + i, moves.end(),
                  [](const ScoredMove& a, const ScoredMove& b) { return a.value > b.value; });
    }
}

// A line that starts with `move` played on a board holding `stones` stones.
void startLine(SearchPath& line, Pos move, uint16_t stones) {
    line.moves.clear();
    line.moves.push_back(move);
    line.startStep = stones;
    line.endStep = uint16_t(stones + 1);
}

}  // namespace

bool SearchState::searchRoot(MoveList& rootMoves, SearchPath& current) {
    const Board& root = *board;
    const uint8_t side = uint8_t(1 - root.lastMove.side);
    const uint16_t stones = root.lastMove.stoneCount;

    // Step 1. Nothing searched yet.
    int32_t alpha = -kInfinity;
    current.rating = -kInfinity;
    bool searched = false;

    // Step 2. The root moves in list order.
    SearchPath child;
    for (ScoredMove& m : rootMoves) {
        // Step 3. Make the move on a copy; extend by its shape.
        if (observer) observer->rootMoveStarted(m.pos);
        startLine(child, m.pos, stones);
        Board next = root;
        next.makeMove(m.pos, side, rule);
        const double childDepth = (depth - 1) + extensionFor(m.ownType);

        // Step 4. A full window until a move has been searched, then null
        // windows with a full re-search when one lands above alpha.
        int32_t value;
        if (!searched) {
            value = moveValue(next, child, childDepth, alpha, kInfinity, PVNode, useHashTables);
        } else {
            value = moveValue(next, child, childDepth, alpha, alpha + 1, CutNode, useHashTables);
            if (alpha < value && value < kInfinity) {
                ++stats.complex;
                startLine(child, m.pos, stones);
                value = moveValue(next, child, childDepth, alpha, kInfinity, PVNode, useHashTables);
            }
        }
        // Step 5. The value orders the root list for the next iteration.
        m.value = int16_t(value);

        // Step 6. A cut-short move is not believed; the iteration ends here.
        if (observer && !stopped()) {
            observer->rootMoveDone(m.pos, value);
            if (value <= kLoss) observer->rootMoveLost(m.pos);
        }
        if (stopped()) {
            if (current.rating == -kInfinity) {
                current = child;
                current.rating = value;
            }
            return searched;
        }
        // Step 7. A new best move.
        if (value > current.rating) {
            current = child;
            current.rating = value;
            searched = true;
            alpha = value;
            if (observer) observer->bestMoveFound(m.pos, value);
            // Nothing can beat the largest value (the reply had no move at
            // all), and a null window above it would overflow.
            if (alpha == kInfinity) return true;
        }
    }
    return searched;
}

void SearchState::alphaBeta(const Board& node, SearchPath& path, double nodeDepth, int32_t alpha, int32_t beta,
                            NodeType type, bool useTable) {
    const int s = 1 - node.lastMove.side;  // to move
    const int o = node.lastMove.side;
    const uint16_t stones = node.lastMove.stoneCount;

    // Step 1. Count the node.
    ++stats.nodes;

    // Step 2. Transposition table lookup.
    TransProbe probe;
    if (useTable) {
        probe = table->probe(node, nodeDepth, alpha, beta, depth);
        if (probe.cutoff) {
            ++stats.hit;
            // A stored "no move" (0xFFFF) is not a point of the line.
            if (probe.hasMove) path.moves.push_back(probe.move);
            path.endStep = uint16_t(path.startStep + path.moves.size());
            path.rating = probe.rating;
            return;
        }
        ++stats.cover;
    }

    // Step 3. The side to move completes five.
    if (node.typeCount[s][Five] > 0) {
        path.rating = kWin;
        return;
    }

    // Step 4. Horizon: static evaluation.
    if (nodeDepth < 1.0) {
        ++stats.leaf;
        path.rating = evaluate(node, s, rule);
        return;
    }

    // Step 5. Hard time limit. An aborted line counts as a loss of 9000 for
    // the engine's side, whichever side is to move here.
    if (stopped() || pastHardLimit()) {
        raiseStop();
        path.rating = s == rootLastMover ? kAborted : -kAborted;
        return;
    }

    // Step 6. The move list.
    MoveList moves;
    Pos block;
    if (node.typeCount[o][Five] > 0 && firstPointOfType(node, o, Five, block)) {
        // Step 6.1. The opponent threatens five: the first such point is the
        // only move, and a point forbidden to us there loses.
        const uint8_t own = node.cell(block).pointType[s];
        if (own == Forbidden) {
            path.rating = kLoss;
            return;
        }
        moves.push_back({block, 10000, 0, own});
    } else {
        // Step 6.2.1. A forced win closes the node: by fours everywhere, and
        // on the principal variation also by threes, where a win the
        // opponent could build over many moves is cheapest to see coming.
        const bool foursOnly = type != PVNode || nodeDepth < 2.0;
        if (dbSearch(node, path, useTable, foursOnly)) {
            path.rating = kWin;
            return;
        }
        // Step 6.2.2. Null move: let the opponent move twice; if that still
        // fails high, so will our real moves.
        if (nodeDepth > 3.0 && nullMoveEnabled) {
            Board passed;
            copyPosition(passed, node);
            passed.lastMove.side = uint8_t(1 - passed.lastMove.side);
            SearchPath scratch;
            scratch.reset(stones);
            nullMoveEnabled = false;
            alphaBeta(passed, scratch, nodeDepth - 3.0, -beta, 1 - beta, CutNode, false);
            nullMoveEnabled = true;
            if (-scratch.rating >= beta) {
                ++stats.null;
                path.rating = beta;
                return;
            }
        }
        // Step 6.2.3. Candidates.
        generateCandidates(node, moves);
    }

    // Step 7. Move ordering keys: the hash move first, else at
    // principal-variation nodes with enough depth left a half-depth
    // pre-search of every move; without a pre-search, killers and history
    // order moves of one shape. The loop below picks the moves in key order
    // (pickInOrder).
    const int ply = std::min(int(stones) - int(rootStep), kMaxPly - 1);
    if (probe.hasMove || nodeDepth <= 5.0 || type != PVNode) {
        for (ScoredMove& m : moves) {
            int key = m.value * kShapeStep + historyRank(history[s][m.pos.index()]);
            if (m.pos == killers[ply][0]) key += kFirstKillerBonus;
            else if (m.pos == killers[ply][1]) key += kSecondKillerBonus;
            m.value = int16_t(key);
        }
    }
    if (probe.hasMove) {
        ++stats.bestmove;
        for (ScoredMove& m : moves)
            if (m.pos == probe.move) {
                m.value = kHashMoveKey;
                break;
            }
    } else if (nodeDepth > 5.0 && type == PVNode) {
        SearchPath line;
        for (ScoredMove& m : moves) {
            ++stats.scout;
            Board next;
            copyPosition(next, node);
            next.makeMove(m.pos, uint8_t(s), rule);
            startLine(line, m.pos, stones);
            alphaBeta(next, line, nodeDepth * 0.5, -beta, -alpha, PVNode, useTable);
            m.value = int16_t(-line.rating);
        }
    }

    // Step 8. Search the moves: a full window for the first, null windows
    // for the rest with a re-search when one lands inside the window. With
    // other threads on the same root, a later move (among the first 64)
    // whose position another thread is inside waits for a second pass; by
    // then its value is usually in the table.
    const int32_t alphaIn = alpha;
    int32_t best = -kInfinity;
    BoundType bound = BoundUpper;
    SearchPath bestChild, child;
    bestChild.reset(stones);
    const bool mayDefer = busy && nodeDepth >= kDeferDepth;
    uint64_t deferred = 0;
    const bool mayPrune = type != PVNode && nodeDepth < kPruneDepth;
    const uint32_t pruneFrom = lateMoveLimit(nodeDepth);
    for (int pass = 0; pass < 2; ++pass) {
        for (uint32_t i = 0; i < moves.size(); ++i) {  // 20x20 lists can exceed 255 moves
            if (pass == 1 && !(i < 64 && (deferred >> i & 1))) continue;
            if (pass == 0) pickInOrder(moves, i);
            const ScoredMove& m = moves[i];
            const bool quiet = isQuiet(node, m, o);
            // Step 8.1. Late-move pruning.
            if (mayPrune && best != -kInfinity && i >= pruneFrom && quiet) continue;
            // Step 8.2. Make the move on a copy, unless another thread is
            // inside its position; its key is known before the copy.
            const uint64_t nextKey = node.hashKeyAfter(m.pos, s);
            if (mayDefer) {
                if (pass == 0 && i > 0 && i < 64 && busy->busyElsewhere(nextKey, uint32_t(helperIndex))) {
                    deferred |= uint64_t(1) << i;
                    continue;
                }
                busy->enter(nextKey, uint32_t(helperIndex));
            }
            if (useTable) {
                table->prefetch(uint32_t(nextKey >> 32));
                threat.cache->prefetch(uint32_t(nextKey >> 32));
            }
            startLine(child, m.pos, stones);
            Board next;
            copyPosition(next, node);
            next.makeMove(m.pos, uint8_t(s), rule);
            // Step 8.3. Extension by the shape the move makes.
            const double childDepth = nodeDepth - 1.0 + extensionFor(m.ownType);
            // Step 8.4. Principal-variation windows: the full window until a move
            // has produced a value above minus infinity, then null windows
            // around alpha, raised or not.
            int32_t value;
            if (best == -kInfinity) {
                const NodeType childType = type == PVNode ? PVNode : type == CutNode ? AllNode : CutNode;
                value = moveValue(next, child, childDepth, alpha, beta, childType, useTable);
            } else {
                // Step 8.4.1. Late quiet moves first at reduced depth; only one
                // that still lands above alpha is searched at its full depth.
                const double reduction = quiet ? lateMoveReduction(nodeDepth, i) : 0.0;
                value = alpha + 1;
                if (reduction > 0.0) {
                    value = moveValue(next, child, childDepth - reduction, alpha, alpha + 1, CutNode, useTable);
                    if (value > alpha) startLine(child, m.pos, stones);
                }
                if (value > alpha)
                    value = moveValue(next, child, childDepth, alpha, alpha + 1, type == CutNode ? AllNode : CutNode,
                                      useTable);
                if (alpha < value && value < beta) {
                    ++stats.complex;
                    startLine(child, m.pos, stones);
                    value = moveValue(next, child, childDepth, alpha, beta, type, useTable);
                }
            }
            if (mayDefer) busy->leave(nextKey, uint32_t(helperIndex));
            // Step 8.5. Keep the best line, raise alpha, stop at a cut.
            if (value > best) {
                best = value;
                bestChild = child;
            }
            if (value > alpha) {
                alpha = value;
                bound = BoundExact;
            }
            if (value >= beta) {
                bound = BoundLower;
                // Remember the refutation for the siblings and the rest of the
                // tree.
                if (!stopped()) {
                    int32_t& score = history[s][m.pos.index()];
                    score = std::min(score + int32_t(nodeDepth * nodeDepth), int32_t(1) << 30);
                    if (!(killers[ply][0] == m.pos)) {
                        killers[ply][1] = killers[ply][0];
                        killers[ply][0] = m.pos;
                    }
                }
                break;
            }
        }
        if (bound == BoundLower || !deferred) break;
    }

    // Step 9. Fail hard: a cut returns beta, a node that raised nothing its
    // incoming alpha.
    for (Pos p : bestChild.moves) path.moves.push_back(p);
    path.endStep = bestChild.endStep;
    path.rating = bound == BoundLower ? beta : bound == BoundUpper ? alphaIn : best;

    // Step 10. Store, unless the clock cut the search short: an aborted
    // value says nothing about the position, and the table outlives this
    // search.
    if (useTable && !stopped()) {
        const Pos bestMove = bestChild.moves.empty() ? Pos(0xFFFF) : bestChild.moves[0];
        table->store(node, path.rating, nodeDepth, bound, bestMove, depth);
    }
}

}  // namespace velmor
