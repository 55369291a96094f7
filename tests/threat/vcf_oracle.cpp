#include "threat/vcf_oracle.h"

namespace velmor::test {

namespace {

int stoneAt(const Board& b, int x, int y) { return Board::onBoard(x, y) ? b.cells[x][y].stone : -1; }

// A four needs three more own stones within four points of the move on one
// line; most points fail that cheap test, and skipping them saves a board copy.
bool couldMakeFour(const Board& b, Pos m, int side) {
    for (int d = 0; d < kDirCount; ++d) {
        int own = 0;
        for (int s = -1; s <= 1; s += 2)
            for (int k = 1; k <= 4; ++k) {
                const int v = stoneAt(b, m.x() + s * k * kDirDx[d], m.y() + s * k * kDirDy[d]);
                if (v == side) ++own;
                else if (v != 2) break;
            }
        if (own >= 3) return true;
    }
    return false;
}

// Walks the four lines through `around`, each way out to `reach` points or
// the edge, nearest first; returns true at the first point where `stop`
// holds, false when none does.
template <class Stop>
bool walkLines(Pos around, int reach, Stop stop) {
    for (int d = 0; d < kDirCount; ++d)
        for (int s = -1; s <= 1; s += 2)
            for (int k = 1; k <= reach; ++k) {
                const int x = around.x() + s * k * kDirDx[d], y = around.y() + s * k * kDirDy[d];
                if (!Board::onBoard(x, y)) break;
                if (stop(Pos(x, y))) return true;
            }
    return false;
}

}  // namespace

bool VcfOracle::makesFive(const Board& b, Pos p, int side) const {
    for (int d = 0; d < kDirCount; ++d) {
        int run = 1;
        for (int s = -1; s <= 1; s += 2)
            for (int k = 1; stoneAt(b, p.x() + s * k * kDirDx[d], p.y() + s * k * kDirDy[d]) == side; ++k) ++run;
        const bool overlineWins = rule_ == FreeStyle || (rule_ == Renju && side == 1);
        if (run == 5 || (run > 5 && overlineWins)) return true;
    }
    return false;
}

bool VcfOracle::legal(const Board& b, Pos p, int side) const {
    if (b.cell(p).stone != 2) return false;
    if (rule_ != Renju || side != 0) return true;
    return makesFive(b, p, side) || b.cell(p).pointType[0] != Forbidden;
}

std::vector<Pos> VcfOracle::fivePoints(const Board& b, int side) const {
    std::vector<Pos> out;
    for (int x = 0; x < boardSize; ++x)
        for (int y = 0; y < boardSize; ++y)
            if (b.cells[x][y].stone == 2 && makesFive(b, Pos(x, y), side)) out.emplace_back(x, y);
    return out;
}

std::vector<Pos> VcfOracle::newFivePoints(const Board& b, Pos around, int side) const {
    std::vector<Pos> out;
    walkLines(around, 5, [&](Pos q) {
        if (b.cell(q).stone != 2 || !makesFive(b, q, side)) return false;
        bool seen = false;
        for (Pos o : out) seen = seen || o == q;
        if (!seen) out.push_back(q);
        return false;
    });
    return out;
}

bool VcfOracle::makesFour(const Board& b, Pos p, int side) const {
    if (!legal(b, p, side)) return false;
    Board after = b;
    after.makeMove(p, uint8_t(side), rule_);
    return !newFivePoints(after, p, side).empty();
}

bool VcfOracle::makesThree(const Board& b, Pos p, int side) const {
    if (!legal(b, p, side)) return false;
    Board after = b;
    after.makeMove(p, uint8_t(side), rule_);
    // A three: one more stone on a line through p gives two five points.
    return walkLines(p, 4, [&](Pos q) {
        if (!legal(after, q, side)) return false;
        Board next = after;
        next.makeMove(q, uint8_t(side), rule_);
        return newFivePoints(next, q, side).size() >= 2;
    });
}

int VcfOracle::playFour(const Board& b, Pos m, Board& after, Pos& reply) const {
    const int attacker = b.sideToMove(), defender = 1 - attacker;
    if (!legal(b, m, attacker)) return -1;
    after = b;
    after.makeMove(m, uint8_t(attacker), rule_);
    std::vector<Pos> fives = newFivePoints(after, m, attacker);
    if (fives.empty()) return -1;
    if (!fivePoints(after, defender).empty()) return -1;  // he completes five first
    if (fives.size() >= 2) return 1;
    reply = fives[0];
    if (!legal(after, reply, defender)) return 1;  // black may not block there
    return 0;
}

bool VcfOracle::vcf(const Board& b) { return vcfFrom(b, maxFours_); }

bool VcfOracle::vcfFrom(const Board& b, int foursLeft) {
    ++nodes_;
    const int attacker = b.sideToMove(), defender = 1 - attacker;
    if (!fivePoints(b, attacker).empty()) return true;
    std::vector<Pos> threats = fivePoints(b, defender);
    if (threats.size() >= 2 || foursLeft == 0) return false;

    const uint64_t key = b.hashKey() ^ (attacker ? 0x9E3779B97F4A7C15ull : 0);
    auto known = failed_.find(key);
    if (known != failed_.end() && known->second >= foursLeft) return false;

    // Facing a four, the only move is the block, and it must be a four itself.
    std::vector<Pos> moves;
    if (threats.size() == 1) moves = threats;
    else
        for (int x = 0; x < boardSize; ++x)
            for (int y = 0; y < boardSize; ++y)
                if (b.cells[x][y].stone == 2) moves.emplace_back(x, y);

    for (Pos m : moves) {
        if (threats.empty() && !couldMakeFour(b, m, attacker)) continue;
        Board after;
        Pos reply;
        int r = playFour(b, m, after, reply);
        if (r < 0) continue;
        if (r > 0) return true;
        after.makeMove(reply, uint8_t(defender), rule_);
        if (vcfFrom(after, foursLeft - 1)) return true;
    }
    failed_[key] = foursLeft;
    return false;
}

std::vector<Pos> VcfOracle::vcfWinningMoves(const Board& b) {
    const int attacker = b.sideToMove(), defender = 1 - attacker;
    std::vector<Pos> fives = fivePoints(b, attacker);
    if (!fives.empty()) return fives;
    std::vector<Pos> wins;
    std::vector<Pos> threats = fivePoints(b, defender);
    if (threats.size() >= 2) return wins;
    for (int x = 0; x < boardSize; ++x)
        for (int y = 0; y < boardSize; ++y) {
            Pos m(x, y);
            if (b.cell(m).stone != 2) continue;
            if (threats.size() == 1 && !(threats[0] == m)) continue;
            if (threats.empty() && !couldMakeFour(b, m, attacker)) continue;
            Board after;
            Pos reply;
            int r = playFour(b, m, after, reply);
            if (r < 0) continue;
            if (r == 0) {
                after.makeMove(reply, uint8_t(defender), rule_);
                if (!vcfFrom(after, maxFours_ - 1)) continue;
            }
            wins.push_back(m);
        }
    return wins;
}

bool VcfOracle::winsAfterEveryReply(const Board& b, Pos m) {
    const int attacker = b.sideToMove(), defender = 1 - attacker;
    if (!legal(b, m, attacker)) return false;
    if (makesFive(b, m, attacker)) return true;
    Board after = b;
    after.makeMove(m, uint8_t(attacker), rule_);
    for (int x = 0; x < boardSize; ++x)
        for (int y = 0; y < boardSize; ++y) {
            Pos r(x, y);
            if (!legal(after, r, defender)) continue;
            if (makesFive(after, r, defender)) return false;
            Board replied = after;
            replied.makeMove(r, uint8_t(defender), rule_);
            if (!vcfFrom(replied, maxFours_)) return false;
        }
    return true;
}

bool VcfOracle::provesNoThreatWin(const Board& b, int depth) {
    const int attacker = b.sideToMove(), defender = 1 - attacker;
    if (!fivePoints(b, attacker).empty()) return false;
    std::vector<Pos> threats = fivePoints(b, defender);
    if (threats.size() >= 2) return true;
    if (depth == 0) return false;
    for (int x = 0; x < boardSize; ++x)
        for (int y = 0; y < boardSize; ++y) {
            Pos m(x, y);
            if (!legal(b, m, attacker)) continue;
            // Facing a four, anything but the block loses at once.
            if (threats.size() == 1 && !(threats[0] == m)) continue;
            const bool four = makesFour(b, m, attacker);
            if (!four && !makesThree(b, m, attacker)) continue;  // not a threat
            Board after = b;
            after.makeMove(m, uint8_t(attacker), rule_);
            if (vcfFrom(after, maxFours_)) continue;  // the defender wins first
            if (four) {
                Board replied;
                Pos reply;
                if (playFour(b, m, replied, reply) != 0) return false;
                replied.makeMove(reply, uint8_t(defender), rule_);
                if (!provesNoThreatWin(replied, depth - 1)) return false;
                continue;
            }
            // A three: some block of it must hold.
            const bool held = walkLines(m, 4, [&](Pos q) {
                if (!legal(after, q, defender) || !legal(after, q, attacker)) return false;
                Board probe = after;
                probe.makeMove(q, uint8_t(attacker), rule_);
                if (newFivePoints(probe, q, attacker).size() < 2) return false;
                Board blocked = after;
                blocked.makeMove(q, uint8_t(defender), rule_);
                return provesNoThreatWin(blocked, depth - 1);
            });
            if (!held) return false;
        }
    return true;
}

}  // namespace velmor::test
