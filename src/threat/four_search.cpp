// The win by fours, searched move by move on copies of the board.
//
// A four leaves the defender one move, so the tree branches only on the
// attacker's side and each step costs two stones on one board copy. That is
// far cheaper than growing a threat tree with combination passes and a
// verification, which the wider searches with threes need and this one does
// not: here every line is played out as it would be in the game.
#include "threat/four_search.h"

#include <algorithm>

#include "board/line_walk.h"
#include "threat/db_search.h"

namespace velmor {

namespace {

// Point types that make a four: a lone four, a four beside a three, two
// fours, a live four. (A double three makes none; a renju foul stands apart
// and is never played.)
bool makesFour(uint8_t type) { return type >= RushFour && type <= LiveFour && type != DoubleThree; }

// The five points of `side` right after its stone at `move`, when it had
// none before, counted up to two; the first found goes to `first`. The type
// counter tells how many; the pattern types tell a five from an overline
// except beside six or more stones in a row, which only exact five allows,
// so there the stones themselves decide.
int fivesAfter(const Board& board, Pos move, int side, GameRule rule, Pos& first) {
    if (rule == ExactFive) return realFivePoints(board, move, side, rule, &first);
    const int count = board.typeCount[side][Five];
    bool located = false;
    for (int d = 0; d < kDirCount && count > 0 && !located; ++d)
        for (int sign : kLineSides)
            walkEmpties(board, move, d, sign, 1 - side, [&](Pos p, const Cell& c) {
                if (located || c.pointType[side] != Five) return !located;
                first = p;
                located = true;
                return false;
            });
    return located ? count : 0;
}

// The attacker's fours of one node, strongest first: a four that also makes a
// three or a second four often wins in one more move.
struct FourList {
    static constexpr int kCapacity = 64;
    Pos points[kCapacity];
    uint8_t types[kCapacity];
    int size = 0;

    void insert(Pos p, uint8_t type) {
        if (size == kCapacity) return;
        int i = size++;
        for (; i > 0 && types[i - 1] < type; --i) {
            points[i] = points[i - 1];
            types[i] = types[i - 1];
        }
        points[i] = p;
        types[i] = type;
    }
};

class FourSearch {
public:
    FourSearch(ThreatContext& context, int attacker, SmallList<Pos, 64>& line)
        : context_(context), rule_(context.rule), attacker_(attacker), defender_(1 - attacker), line_(line) {}

    // The attacker is to move on `board` and neither side has a five to
    // complete, except that `forced` (when given) is the defender's: the
    // attacker must take it, and wins on only if it makes a four there.
    // `last` is the attacker's last four, none at the start.
    bool search(const Board& board, int foursLeft, const Pos* forced, const Pos* last) {
        // Step 1. A position this call already searched as deep in vain,
        // coming from the same last four.
        const uint64_t key = board.hashKey() ^ (last ? (uint64_t(last->raw) + 1) * 0x9E3779B97F4A7C15ull : 0);
        ThreatContext::FourMemoSlot& memo = context_.fourMemo[key & (ThreatContext::kFourMemoSlots - 1)];
        if (memo.stamp == context_.fourStamp && memo.key == key && memo.foursLeft >= foursLeft) return false;

        // Step 2. The attacker's fours: the forced block alone; at the start
        // every four on the board (none at all is told by the type counters);
        // later those on the lines of the last four. A four away from them
        // could as well have come first, and the start tried that order.
        FourList fours;
        if (forced) {
            const uint8_t type = board.cell(*forced).pointType[attacker_];
            if (makesFour(type)) fours.insert(*forced, type);
        } else {
            const uint8_t* count = board.typeCount[attacker_];
            if (count[RushFour] + count[RushFourPlus] + count[FourThree] + count[DoubleFour] + count[LiveFour] == 0)
                return false;
            if (last) collectFoursAround(board, *last, fours);
            else collectFours(board, fours);
        }

        // Step 3. Each four, its forced block, and the rest of the line.
        for (int i = 0; i < fours.size; ++i) {
            if (++moves_ > kFourSearchBudget) {
                outOfBudget_ = true;
                return false;
            }
            const Pos four = fours.points[i];
            Board next;
            copyPosition(next, board);
            next.makeMove(four, uint8_t(attacker_), rule_);
            // Step 3.1. Two five points, or one black may not take: won.
            Pos block;
            const int fives = fivesAfter(next, four, attacker_, rule_, block);
            if (fives == 0) continue;  // no real four (a six under exact five)
            reached_ = std::max(reached_, kMaxFours + 1 - foursLeft);
            if (fives >= 2) {
                // The line shows a block and the five that comes anyway.
                line_.push_back(four);
                line_.push_back(block);
                next.makeMove(block, uint8_t(defender_), rule_);
                Pos five;
                if (fivesAfter(next, four, attacker_, rule_, five) > 0) line_.push_back(five);
                return true;
            }
            if (rule_ == Renju && defender_ == 0 && next.cell(block).pointType[0] == Forbidden) {
                line_.push_back(four);
                return true;
            }
            if (foursLeft <= 1) continue;
            // Step 3.2. Most lines end here, and are dropped before the block
            // is made: the next four must lie on the lines of this one, short
            // of the block, unless the block makes a four of the defender's.
            if (!makesFour(next.cell(block).pointType[defender_]) && !anyFourAround(next, four, block)) continue;
            // Step 3.3. The block. When it makes a four of the defender, the
            // attacker's next move is forced; two such fours end the line.
            next.makeMove(block, uint8_t(defender_), rule_);
            Pos counter;
            const int counters = fivesAfter(next, block, defender_, rule_, counter);
            if (counters >= 2) continue;
            const uint32_t lineLength = line_.size();
            line_.push_back(four);
            line_.push_back(block);
            if (search(next, foursLeft - 1, counters == 1 ? &counter : nullptr, &four)) return true;
            line_.resize_down(lineLength);
            if (outOfBudget_) return false;
        }

        // Step 4. Remember the failure for the other orders of these fours.
        memo = {key, context_.fourStamp, foursLeft};
        return false;
    }

    int32_t moves() const { return moves_; }
    // The most fours made on one line, the last one included.
    int reached() const { return reached_; }

private:
    void collectFours(const Board& board, FourList& fours) const {
        const Board::ScanArea area = board.shapeArea();
        for (int x = area.x0; x < area.x1; ++x) {
            const Cell* column = board.cells[x];
            for (int y = area.y0; y < area.y1; ++y) {
                const Cell& c = column[y];
                if (c.stone == 2 && makesFour(c.pointType[attacker_])) fours.insert(Pos(x, y), c.pointType[attacker_]);
            }
        }
    }

    // Whether collectFoursAround would find a four once the defender holds
    // `block` (its types only shrink with the stone, never grow).
    bool anyFourAround(const Board& board, Pos from, Pos block) const {
        bool found = false;
        for (int d = 0; d < kDirCount && !found; ++d)
            for (int sign : kLineSides)
                walkEmpties(board, from, d, sign, defender_, [&](Pos p, const Cell& c) {
                    found = found || (!(p == block) && makesFour(c.pointType[attacker_]));
                    return !found && !(p == block);
                });
        return found;
    }

    // The empty points within four of `from` on its lines, up to a stone of
    // the defender: where a four that uses the stone at `from` can be.
    void collectFoursAround(const Board& board, Pos from, FourList& fours) const {
        for (int d = 0; d < kDirCount; ++d)
            for (int sign : kLineSides)
                walkEmpties(board, from, d, sign, defender_, [&](Pos p, const Cell& c) {
                    if (makesFour(c.pointType[attacker_])) fours.insert(p, c.pointType[attacker_]);
                    return true;
                });
    }

    ThreatContext& context_;
    GameRule rule_;
    int attacker_, defender_;
    SmallList<Pos, 64>& line_;
    int32_t moves_ = 0;
    int reached_ = 0;
    bool outOfBudget_ = false;
};

// The real five points of `side` on the board, counted up to two; the first
// in scan order goes to `first`. The type counters rule most boards out.
int firstRealFive(const Board& board, int side, GameRule rule, Pos& first) {
    if (board.typeCount[side][Five] == 0) return 0;
    int count = 0;
    for (int x = 0; x < boardSize && count < 2; ++x)
        for (int y = 0; y < boardSize && count < 2; ++y) {
            const Cell& c = board.cells[x][y];
            if (c.stone != 2 || c.pointType[side] != Five || !winsAt(board, Pos(x, y), side, rule)) continue;
            if (count++ == 0) first = Pos(x, y);
        }
    return count;
}

}  // namespace

ThreatResult winByFours(ThreatContext& context, const Board& board, SmallList<Pos, 64>& line, bool useCache) {
    ThreatResult result;

    // Step 1. Cache probe, as for a fours-only threat search.
    ThreatCache* cache = readyCache(context, useCache);
    if (cache && cache->answer(board.hashHigh, board.hashLow, true, result.win)) {
        result.fromCache = true;
        return result;
    }

    // Step 2. A five on offer: the mover's wins at once; the opponent's must
    // be blocked, and the block must be a four of the mover's.
    const int attacker = board.sideToMove(), defender = 1 - attacker;
    Pos five, block;
    if (firstRealFive(board, attacker, context.rule, five)) {
        line.push_back(five);
        result.win = true;
        return result;
    }
    const int blocks = firstRealFive(board, defender, context.rule, block);

    // Step 3. Search; a new stamp retires the last call's memo entries.
    ++context.fourStamp;
    FourSearch search(context, attacker, line);
    if (blocks < 2) result.win = search.search(board, kMaxFours, blocks == 1 ? &block : nullptr, nullptr);
    result.nodes = search.moves();
    // Each four and its block: two stones beyond the board.
    result.reachStep = board.lastMove.stoneCount + 2 * search.reached();

    // Step 4. Remember the answer.
    if (cache) cache->store(board.hashHigh, {board.hashLow, 1, uint8_t(result.win)});
    return result;
}

}  // namespace velmor
