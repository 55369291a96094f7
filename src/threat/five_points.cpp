// Fives counted on the stones themselves. A point's pattern data sees four
// points each way, which is enough to tell a five from an overline except
// where six or more stones already stand in a row (possible under exact
// five): the threat search confirms its fives here before it believes them.
#include "threat/db_search.h"

namespace velmor {

namespace {

// Stones of `side` in a row through `p` along `dir`, `p` itself counted as
// one of them whether or not it is occupied yet.
int runThrough(const Board& b, Pos p, int side, int dir) {
    int run = 1;
    for (int sign = -1; sign <= 1; sign += 2)
        for (int k = 1;; ++k) {
            const int x = p.x() + sign * k * kDirDx[dir], y = p.y() + sign * k * kDirDy[dir];
            if (!Board::onBoard(x, y) || b.cells[x][y].stone != side) break;
            ++run;
        }
    return run;
}

}  // namespace

bool winsAt(const Board& b, Pos p, int side, GameRule rule) {
    const bool overlineWins = rule == FreeStyle || (rule == Renju && side == 1);
    for (int d = 0; d < kDirCount; ++d) {
        const int run = runThrough(b, p, side, d);
        if (run == 5 || (run > 5 && overlineWins)) return true;
    }
    return false;
}

int realFivePoints(const Board& b, Pos move, int side, GameRule rule, Pos* first) {
    int count = 0;
    for (int d = 0; d < kDirCount; ++d)
        for (int sign = -1; sign <= 1; sign += 2)
            for (int k = 1; k <= 4; ++k) {
                const int x = move.x() + sign * k * kDirDx[d], y = move.y() + sign * k * kDirDy[d];
                if (!Board::onBoard(x, y)) break;
                const Cell& c = b.cells[x][y];
                if (c.stone == 1 - side) break;
                if (c.stone != 2 || c.pointType[side] != Five) continue;
                const Pos p(x, y);
                if (!winsAt(b, p, side, rule)) continue;
                if (count == 0 && first) *first = p;
                ++count;
            }
    return count;
}

}  // namespace velmor
