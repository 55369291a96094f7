// Black's renju fouls judged on the stones, for the points the line patterns
// flag. The patterns read four points each way and count every three, so
// they take a few legal points for fouls: a double three whose second three
// can only become a straight four on a point that is itself a foul, and
// threes or fours whose completion would join an own stone just beyond into
// six. This check settles those, and it is the only place that looks five
// points along a line or follows a three to its completion point.
#include <algorithm>
#include <array>
#include <bit>

#include "board/foul_check.h"

#include "board/board_tables.h"

namespace velmor {

namespace {

// A line through a point as bits 0..10 for the offsets -5..+5; the point is
// bit 5.
constexpr int kCentre = 5;
constexpr uint32_t kLineBits = 0x7FF;
constexpr uint32_t kWithinFour = 0x3FE;   // offsets -4..+4
constexpr uint32_t kWithinThree = 0x1FC;  // offsets -3..+3

// A stone-mask byte (bit 7..4 = offsets -4..-1, bit 3..0 = +1..+4) as line bits.
constexpr std::array<uint16_t, 256> kSpread = [] {
    std::array<uint16_t, 256> spread{};
    for (unsigned m = 0; m < 256; ++m)
        for (int b = 0; b < 8; ++b)
            if (m >> b & 1) spread[m] |= uint16_t(1u << (b >= 4 ? 8 - b : 9 - b));
    return spread;
}();

// Past the first few levels a chain of threes whose straight-four points are
// threes again is not found in play; a verdict that would need more takes
// the three for real, which is how the patterns count it.
constexpr int kMaxImagined = 16;
constexpr int kCheckBudget = 4096;

// What a black stone at a point makes along one line, in 16 bits: the
// number of fours (the two five points of a straight four are one four),
// five, overline, whether the four is straight, and, for a line without a
// four, the offsets of up to two moves that make a straight four of it.
struct LineFacts {
    uint16_t bits = 0;

    int fours() const { return bits & 3; }
    bool five() const { return bits >> 2 & 1; }
    bool overline() const { return bits >> 3 & 1; }
    bool straight() const { return bits >> 4 & 1; }
    int threes() const { return bits >> 5 & 3; }
    int threeAt(int j) const { return int(bits >> (7 + 3 * j) & 7) - 3; }

    void addThree(int offset) {
        const int j = threes();
        if (j == 2) return;  // no line holds more than two
        bits = uint16_t((bits + (1 << 5)) | (offset + 3) << (7 + 3 * j));
    }
};

// The run of own stones through bit i: its lowest and highest bits. Bits
// past the window are read as not own; a run that reaches an end of the
// window through the centre is six long already, an overline either way.
inline void runAround(uint32_t own, int i, int& lo, int& hi) {
    hi = i + std::countr_one(own >> i) - 1;
    lo = i - std::countl_one(own << (31 - i)) + 1;
}

// What a black stone at the centre makes along one line, by the rules: a
// five is exactly five in a row, a four a point where one more stone makes
// such a five through the centre, a three a point where one more stone makes
// a straight four (four in a row whose both ends make exactly five).
LineFacts classifyLine(uint32_t own, uint32_t blocked) {
    int lo, hi;
    runAround(own, kCentre, lo, hi);
    if (hi - lo == 4) return {1 << 2};
    if (hi - lo > 4) return {1 << 3};
    LineFacts s;
    const uint32_t empty = ~(own | blocked) & kLineBits;
    int fiveAt[8];
    int n = 0;
    for (uint32_t e = empty & kWithinFour; e; e &= e - 1) {
        const int q = std::countr_zero(e);
        runAround(own | 1u << q, kCentre, lo, hi);
        if (hi - lo == 4 && lo <= q && q <= hi) fiveAt[n++] = q;
    }
    if (n > 0) {
        int fours = n;
        bool straight = false;
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j)
                if (fiveAt[j] - fiveAt[i] == 5) {
                    --fours;
                    straight = true;
                }
        return {uint16_t(fours | straight << 4)};
    }
    for (uint32_t e = empty & kWithinThree; e; e &= e - 1) {
        const int q = std::countr_zero(e);
        const uint32_t after = own | 1u << q;
        runAround(after, kCentre, lo, hi);
        if (hi - lo != 3 || q < lo || q > hi) continue;
        const bool endsOpen = (empty >> (lo - 1) & 1) && (empty >> (hi + 1) & 1);
        const bool noSix = !(after >> (lo - 2) & 1) && !(after >> (hi + 2) & 1);
        if (endsOpen && noSix) s.addThree(q - kCentre);
    }
    return s;
}

// Bits of a gLineFacts entry above the LineFacts: a black stone coming to or
// leaving the point five back (ahead) changes the facts; some stone five
// away could change them.
constexpr int kFarBackBit = 13, kFarAheadBit = 14, kFarMattersBit = 15;

// classifyLine for every line a point can have. Each half of the line, seen
// from the point, is up to four points before the first blocker (white stone
// or edge), each empty or black, and, when no blocker is that close, whether
// the point five away is black: 1 + 2 + 4 + 8 + 16 * 2 = 47 cases, so 47 * 47
// lines in a table small enough to stay in the first-level cache. Bits 13 and
// 14 of an entry tell whether the point five back or five ahead matters.
constexpr int kHalves = 47;

// A half from its stone-mask bits, nearest point first: bit i of `black` and
// `blocked` for the point i + 1 steps away. Bit 7 of the result: no blocker
// within four, add the bit for a black stone five away.
constexpr uint8_t halfCase(unsigned black, unsigned blocked) {
    int free = 0;
    while (free < 4 && !(blocked >> free & 1)) ++free;
    const unsigned pattern = black & ((1u << free) - 1);
    return free < 4 ? uint8_t((1u << free) - 1 + pattern) : uint8_t(0x80 | (15 + 2 * pattern));
}

// [black nibble | blocked nibble << 4] of the minus side (mask bits 4..7,
// nearest first) and of the plus side (mask bits 3..0, nearest first).
constexpr std::array<uint8_t, 256> kMinusHalf = [] {
    std::array<uint8_t, 256> t{};
    for (unsigned m = 0; m < 256; ++m) t[m] = halfCase(m & 15, m >> 4);
    return t;
}();
constexpr unsigned reverseNibble(unsigned n) { return (n & 1) << 3 | (n & 2) << 1 | (n & 4) >> 1 | (n & 8) >> 3; }
constexpr std::array<uint8_t, 256> kPlusHalf = [] {
    std::array<uint8_t, 256> t{};
    for (unsigned m = 0; m < 256; ++m) t[m] = halfCase(reverseNibble(m & 15), reverseNibble(m >> 4));
    return t;
}();

// The line of a point from its masks in one direction (`black` and `blocked`
// without common bits) and `far` (bit 0: black five back, bit 1: five ahead).
inline int lineCase(unsigned black, unsigned blocked, unsigned far) {
    const unsigned minus = kMinusHalf[black >> 4 | (blocked >> 4) << 4];
    const unsigned plus = kPlusHalf[(black & 15) | (blocked & 15) << 4];
    return int(((minus & 0x7F) + (minus >> 7 & far)) * kHalves + (plus & 0x7F) + (plus >> 7 & far >> 1));
}

std::array<uint16_t, kHalves * kHalves> buildLineFacts() {
    std::array<uint16_t, kHalves * kHalves> t{};
    for (unsigned black = 0; black < 256; ++black)
        for (unsigned blocked = 0; blocked < 256; ++blocked) {
            if (black & blocked) continue;
            uint16_t facts[4];
            for (unsigned far = 0; far < 4; ++far) {
                const uint32_t own = kSpread[black] | 1u << kCentre | (far & 1) | (far & 2) << 9;
                facts[far] = classifyLine(own, kSpread[blocked]).bits;
            }
            // Whether a black stone coming to or leaving the point five back
            // (ahead) changes the facts, and whether the points five away
            // matter at all: for most lines they do not, and the judge need
            // not look at them.
            const bool farMatters = facts[1] != facts[0] || facts[2] != facts[0] || facts[3] != facts[0];
            for (unsigned far = 0; far < 4; ++far)
                t[lineCase(black, blocked, far)] =
                    uint16_t(facts[far] | (facts[far] != facts[far ^ 1]) << kFarBackBit |
                             (facts[far] != facts[far ^ 2]) << kFarAheadBit | farMatters << kFarMattersBit);
        }
    return t;
}

// Built before main, so that the judge, which runs inside renju moves,
// reads it without a first-use check.
const std::array<uint16_t, kHalves * kHalves> gLineFacts = buildLineFacts();

inline int nibble(unsigned word, int d) { return int(word >> (4 * d) & 0xF); }

inline void recount(uint8_t* counts, uint8_t from, uint8_t to) {
    if (from != to) {
        --counts[from];
        ++counts[to];
    }
}

// Bit 0: a black stone five points back from (x, y) along d; bit 1: five ahead.
inline unsigned farBlack(const Board& board, int x, int y, int d) {
    unsigned far = 0;
    for (int sign = -1; sign <= 1; sign += 2) {
        const int fx = x + 5 * sign * kDirDx[d], fy = y + 5 * sign * kDirDy[d];
        if (Board::onBoard(fx, fy) && board.cells[fx][fy].stone == 0) far |= sign < 0 ? 1u : 2u;
    }
    return far;
}

// The facts of a point's line `d` from its masks (`black` and `blocked`
// without common bits) and the black stones five away known already (`far`,
// as in lineCase). The board's own points five away are read only where the
// table says they can change the facts.
[[gnu::always_inline]] inline uint16_t lineFactsAt(const Board& board, int x, int y, int d, unsigned black,
                                                   unsigned blocked, unsigned far) {
    const uint16_t facts = gLineFacts[lineCase(black, blocked, far)];
    if (facts >> kFarMattersBit) [[unlikely]]
        return gLineFacts[lineCase(black, blocked, far | farBlack(board, x, y, d))];
    return facts;
}

// The line types the patterns give decide much without a look at the
// stones: they never miss a three, a four, a five or an overline, and their
// fives and overlines are the real ones (five in a row on the board would
// have ended the game). Only their threes and fours may be none.
inline bool isThreeType(int t) { return t == LiveThree || t == WideThree; }
inline bool isFourType(int t) { return t >= RushFour && t <= LiveFour && t != DoubleThree && t != FourThree; }
// A line type's weight for plainNoFoul: a three 1, anything the line types
// alone do not settle 2 (a four, a five, an overline).
constexpr uint8_t kPlainWeight[16] = {0, 0, 0, 0, 0, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2};

// Judges points with black stones imagined on the board (the points whose
// threes are being followed). With Mark it records on `marks` (the same
// board) what each verdict rests on: the lines it read stone by stone, the
// points whose line types it went by, and the cells five points away.
template <bool Mark>
class FoulJudge {
public:
    FoulJudge(const Board& board, Board* marks) : board_(board), marks_(marks) {}

    FoulVerdict verdict(Pos p) {
        budget_ = kCheckBudget;
        depth_ = 0;
        const unsigned word = board_.cell(p).lineTypes[0];
        LineFacts s[kDirCount];
        unsigned read = 0;
        int fours = 0;
        for (int d = 0; d < kDirCount; ++d) {
            const int t = nibble(word, d);
            if (t == Forbidden) return {Forbidden, uint16_t(word)};
            if (t < LiveThree) continue;
            read |= 1u << d;
            s[d] = ownLine(p, d);
            fours += s[d].fours();
        }
        if constexpr (Mark) mark(p.x(), p.y(), uint8_t(read * kFoulLineRead));  // kFoulLineRead << d for each line read
        if (fours >= 2) return {Forbidden, uint16_t(word)};

        unsigned real = 0;
        imagine(p);
        for (int d = 0; d < kDirCount; ++d) {
            if (!(read >> d & 1) || !realThree(p, d, s[d])) continue;
            if (real) return {Forbidden, uint16_t(word)};
            real |= 1u << d;
        }
        --depth_;

        // Not a foul: the type the point has by its real shapes, read from
        // the lines themselves (the patterns' finer kinds of three and four
        // are not kept). A line the patterns saw as a three or four that is
        // neither keeps the worth of a dead three.
        unsigned exact = word;
        for (int d = 0; d < kDirCount; ++d) {
            if (!(read >> d & 1)) continue;
            int type = DeadThree;
            if (s[d].fours()) type = s[d].straight() ? LiveFour : RushFour;
            else if (real >> d & 1) type = LiveThree;
            exact = (exact & ~(0xFu << (4 * d))) | unsigned(type) << (4 * d);
        }
        return {pointTypeTable[Renju][exact], uint16_t(exact)};
    }

    void writeMarks() {
        Board& board = *marks_;
        const int count = markCount_;
        markCount_ = 0;
        for (int i = 0; i < count; ++i) {
            const int at = int(marksToWrite_[i] >> 8);
            (&board.cells[0][0])[at].foulMark |= uint8_t(marksToWrite_[i]);
            if (marksToWrite_[i] & kFoulLineWatch) board.lineWatchedPoints.set(at);
        }
        if (count) board.foulMarked = 1;
    }

private:
    // Is one of the line's straight-four points no foul, with a black stone
    // at `from`?
    bool realThree(Pos from, int d, LineFacts s) {
        for (int j = 0; j < s.threes(); ++j) {
            const int k = s.threeAt(j);
            const Pos q(from.x() + k * kDirDx[d], from.y() + k * kDirDy[d]);
            if (depth_ == 1 && plainNoFoul(q, d)) return true;
            if (!foul(q, d)) return true;
        }
        return false;
    }

    // The usual straight-four point of a judged point's three: with only the
    // judged point imagined, and that on the line `via`, q's other lines are
    // the patterns' own, and holding no four, five or overline and at most
    // one three, q is no foul by them alone.
    bool plainNoFoul(Pos q, int via) {
        const unsigned word = board_.cell(q).lineTypes[0] & ~(0xFu << (4 * via));
        const unsigned sum = kPlainWeight[word & 0xF] + kPlainWeight[word >> 4 & 0xF] +
                             kPlainWeight[word >> 8 & 0xF] + kPlainWeight[word >> 12];
        if (sum > 1) return false;
        if constexpr (Mark) markPoint(q);
        return true;
    }

    // Is black's move at the empty point `q` a foul, with the imagined stones
    // on the board? `via` is the line on which q completes a straight four
    // with the newest of them: one four, no five, no overline. Most such
    // points are settled by their line types alone.
    bool foul(Pos q, int via) {
        if (depth_ == kMaxImagined || --budget_ < 0) return false;
        if constexpr (Mark) markPoint(q);
        const unsigned word = board_.cell(q).lineTypes[0];
        LineFacts s[kDirCount];
        unsigned read = 0;
        bool overline = false;
        int fours = 1, threeLines = 0;
        for (int d = 0; d < kDirCount; ++d) {
            if (d == via) continue;
            const int t = nibble(word, d);
            // The patterns know nothing of the imagined stones: a line that
            // holds one is read afresh.
            if (isFourType(t) || (depth_ > 1 && imaginedOnLine(q, d))) {
                read |= 1u << d;
                s[d] = lineThrough(q, d);
                if (s[d].five()) return false;
                overline |= s[d].overline();
                fours += s[d].fours();
                threeLines += s[d].threes() > 0;
            } else if (t == Five) {
                return false;
            } else {
                overline |= t == Forbidden;
                threeLines += isThreeType(t);
            }
        }
        if (overline || fours >= 2) return true;
        if (threeLines < 2) return false;

        int threes = 0;
        imagine(q);
        for (int d = 0; d < kDirCount && threes < 2; ++d) {
            if (d == via) continue;
            if (!(read >> d & 1)) {
                if (!isThreeType(nibble(word, d))) continue;
                s[d] = lineThrough(q, d);
            }
            if (realThree(q, d, s[d])) ++threes;
        }
        --depth_;
        return threes >= 2;
    }

    void imagine(Pos p) {
        imaginedX_[depth_] = int16_t(p.x());
        imaginedY_[depth_++] = int16_t(p.y());
    }

    // Offset of imagined stone `i` from `p` along `d`, or 0 when it is not on
    // that line within five points.
    int offsetOnLine(Pos p, int d, int i) const {
        const int dx = imaginedX_[i] - p.x(), dy = imaginedY_[i] - p.y();
        const int k = d == 1 ? dx : dy;
        if (k < -5 || k > 5 || dx != k * kDirDx[d] || dy != k * kDirDy[d]) return 0;
        return k;
    }

    bool imaginedOnLine(Pos p, int d) const {
        for (int i = 0; i < depth_; ++i)
            if (offsetOnLine(p, d, i)) return true;
        return false;
    }

    // lineThrough for the judged point itself, before anything is imagined;
    // the caller marks the lines it read.
    [[gnu::always_inline]] LineFacts ownLine(Pos p, int d) {
        const Cell& c = board_.cell(p);
        const unsigned blocked = c.stoneMask[1][d];
        const uint16_t facts = lineFactsAt(board_, p.x(), p.y(), d, c.stoneMask[0][d] & ~blocked, blocked, 0);
        if constexpr (Mark)
            if (facts >> kFarBackBit & 3) [[unlikely]] markFar(p, d, facts);
        return {facts};
    }

    // Marks the points five away whose black stone would change the facts.
    [[gnu::noinline]] void markFar(Pos p, int d, uint16_t facts) {
        for (int sign = -1; sign <= 1; sign += 2) {
            const int x = p.x() + 5 * sign * kDirDx[d], y = p.y() + 5 * sign * kDirDy[d];
            if ((facts >> (sign < 0 ? kFarBackBit : kFarAheadBit) & 1) && Board::onBoard(x, y)) mark(x, y, kFoulWatched);
        }
    }

    LineFacts lineThrough(Pos p, int d) {
        const Cell& c = board_.cell(p);
        const unsigned blocked = c.stoneMask[1][d];  // white stones and walls
        unsigned black = c.stoneMask[0][d] & ~blocked, far = 0, imagined = 0;
        for (int i = 0; i < depth_; ++i) {
            const int k = offsetOnLine(p, d, i);
            if (k == -5 || k == 5) far |= k < 0 ? 1u : 2u;
            else if (k) black |= 1u << (k < 0 ? 3 - k : 4 - k);
            imagined |= k != 0;
        }
        const uint16_t facts = lineFactsAt(board_, p.x(), p.y(), d, black, blocked, far);
        if constexpr (Mark) {
            if (!imagined) {
                // A stone placed or taken within four points shows as a change
                // of this line at p; the points five away need marks of their
                // own where a black stone there would change the facts.
                mark(p.x(), p.y(), uint8_t(kFoulLineRead << d));
                if (facts >> kFarBackBit & 3) [[unlikely]] markFar(p, d, facts);
            } else {
                // The Board cannot tell these facts from the stones alone:
                // every point of the line is watched.
                for (int k = -5; k <= 5; ++k) {
                    const int x = p.x() + k * kDirDx[d], y = p.y() + k * kDirDy[d];
                    if (k != 0 && Board::onBoard(x, y)) mark(x, y, kFoulWatched);
                }
            }
        }
        return {facts};
    }

    void markPoint(Pos p) { mark(p.x(), p.y(), kFoulTypesRead); }

    // Marks are gathered and written after the verdicts (writeMarks): a byte
    // written into the board could alias anything, and the judge would
    // reread all it holds after every mark.
    void mark(int x, int y, uint8_t bits) {
        const uint32_t at = uint32_t(x * kMaxBoardSize + y) << 8;
        if (markCount_ > 0 && (marksToWrite_[markCount_ - 1] & ~0xFFu) == at) {
            marksToWrite_[markCount_ - 1] |= bits;  // the point's lines come one after another
            return;
        }
        if (markCount_ == kMarkRoom) writeMarks();
        marksToWrite_[markCount_++] = at | bits;
    }

    const Board& board_;
    Board* marks_;
    // Left uninitialised, the judge runs within moves. No byte-sized members:
    // a store through a char type could alias the board for the compiler.
    static constexpr int kMarkRoom = 64;
    uint32_t marksToWrite_[kMarkRoom];  // index << 8 | mark bits
    int markCount_ = 0;
    int16_t imaginedX_[kMaxImagined];
    int16_t imaginedY_[kMaxImagined];
    int depth_ = 0;
    int budget_ = 0;
};

}  // namespace

bool lineFactsChanged(const Board& board, int index, int dir) {
    const int x = index / kMaxBoardSize, y = index % kMaxBoardSize;
    const int dx = board.foulStoneAt.x() - x, dy = board.foulStoneAt.y() - y;
    const int k = dir == 1 ? dx : dy;
    if (k == 0 || k < -4 || k > 4 || dx != k * kDirDx[dir] || dy != k * kDirDy[dir]) return true;
    const unsigned bit = k > 0 ? 0x10u >> k : 0x08u << -k;
    const int side = board.foulStoneSide;
    const Cell& c = (&board.cells[0][0])[index];
    const unsigned m0 = c.stoneMask[0][dir], m1 = c.stoneMask[1][dir];
    const unsigned was0 = side == 0 ? m0 ^ bit : m0, was1 = side == 1 ? m1 ^ bit : m1;
    const uint16_t now = lineFactsAt(board, x, y, dir, m0 & ~m1, m1, 0);
    const uint16_t was = lineFactsAt(board, x, y, dir, was0 & ~was1, was1, 0);
    return ((now ^ was) & ~(1u << kFarMattersBit)) != 0;
}

FoulVerdict judgeFlaggedPoint(const Board& board, Pos p) { return FoulJudge<false>(board, nullptr).verdict(p); }

void Board::refreshFouls() {
    foulRefreshPending = 0;
    Cell* const flat = &cells[0][0];
    // The marks are not listed (only those on lines are), so the whole board
    // is cleared; a refresh judges every flagged point, which costs more.
    for (int x = 0; x < boardSize; ++x)
        for (int y = 0; y < boardSize; ++y) cells[x][y].foulMark &= kFoulFlagged;
    lineWatchedPoints = {};

    FoulJudge<true> judge(*this, this);
    for (int w = 0; w < int(std::size(flaggedPoints.words)); ++w)
        for (uint64_t bits = flaggedPoints.words[w]; bits; bits &= bits - 1) {
            const int i = w * 64 + std::countr_zero(bits);
            Cell& c = flat[i];
            c.foulMark &= uint8_t(~kFoulUnjudged);
            const uint8_t type = judge.verdict(Pos(i / kMaxBoardSize, i % kMaxBoardSize)).pointType;
            recount(typeCount[0], c.pointType[0], type);
            c.pointType[0] = type;
        }
    foulMarked = flaggedPoints.any();
    judge.writeMarks();
}

// Points flagged by this move, or whose own verdicts it may have changed, and
// nothing else: the other verdicts and their marks stand, and the new ones
// add theirs.
void Board::judgeNewlyFlagged() {
    foulRefreshPending = 0;
    Cell* const flat = &cells[0][0];
    FoulJudge<true> judge(*this, this);
    for (int w = 0; w < int(std::size(flaggedPoints.words)); ++w)
        for (uint64_t bits = flaggedPoints.words[w]; bits; bits &= bits - 1) {
            const int i = w * 64 + std::countr_zero(bits);
            Cell& c = flat[i];
            if (!(c.foulMark & kFoulUnjudged)) continue;
            c.foulMark &= uint8_t(~kFoulUnjudged);
            const uint8_t type = judge.verdict(Pos(i / kMaxBoardSize, i % kMaxBoardSize)).pointType;
            recount(typeCount[0], c.pointType[0], type);
            c.pointType[0] = type;
        }
    judge.writeMarks();
}

}  // namespace velmor
