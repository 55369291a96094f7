#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <sstream>
#include <set>
#include <string>
#include <vector>

#include "board/board.h"
#include "support/positions.h"

namespace velmor {
namespace {

// Renju positions from public collections, answered by the full
// international rules; the board must agree on every point. The line
// patterns alone take some legal points for fouls; those listed here, with
// the reason, must each be flagged by the patterns and cleared by the exact
// check, so that the check is seen to do its work.
struct PatternMisjudgement {
    const char* id;  // the end of the case's id, or a part followed by a space
    int x, y;
    const char* reason;
};

// One of the two threes can become a straight four only on a point that is
// itself a foul, so it is no real three.
constexpr const char* kFakeThree = "double three: one three's only live-four point is forbidden";
// The completion of a three or four would join an own stone just past the
// shape into six: no four (or no three).
constexpr const char* kSixPastPattern = "a three or four whose completion makes six with an own stone past the shape";
// As above with the own stone five points away, beyond what the patterns read.
constexpr const char* kSixPastWindow = "a three or four whose completion makes six with an own stone five points away";

const PatternMisjudgement kMisjudged[] = {
    {"square 1, check 1", 8, 14, kSixPastWindow},
    {"square 7, check 7", 7, 7, kFakeThree},
    {"square 7, check 8", 8, 8, kFakeThree},
    {"square 8, check 10", 6, 7, kFakeThree},
    {"square 14, check 16", 7, 7, kSixPastWindow},
    {"square 15, check 17", 7, 7, kSixPastWindow},
    {"json#31", 4, 3, kSixPastPattern},
    {"(1~10)_puzzle.json#12", 4, 3, kSixPastPattern},
    {"(1~10)_puzzle.json#17", 3, 2, kFakeThree},
    {"(1~10)_puzzle.json#33", 2, 4, kFakeThree},
    {"(1~10)_puzzle.json#33", 3, 3, kFakeThree},
    {"(1~10)_puzzle.json#36", 2, 4, kFakeThree},
    {"(1~10)_puzzle.json#36", 6, 4, kFakeThree},
    {"(1~10)_puzzle.json#36", 7, 3, kSixPastWindow},
    {"(1~10)_puzzle.json#45", 3, 2, kFakeThree},
    {"(1~10)_puzzle.json#46", 4, 3, kFakeThree},
    {"(1~10)_puzzle.json#68", 5, 2, kSixPastPattern},
    {"(1~10)_puzzle.json#68", 6, 2, kSixPastPattern},
    {"(1~10)_puzzle.json#85", 1, 3, kFakeThree},
    {"(1~10)_puzzle.json#85", 1, 4, kFakeThree},
    {"(1~10)_puzzle.json#85", 3, 4, kFakeThree},
    {"(1~10)_puzzle.json#85", 5, 3, kFakeThree},
    {"(1~10)_puzzle.json#86", 4, 1, kFakeThree},
    {"(1~10)_puzzle.json#87", 7, 4, kSixPastPattern},
    {"(11~20)_puzzle.json#5", 11, 3, kSixPastPattern},
    {"(11~20)_puzzle.json#5", 12, 12, kSixPastPattern},
    {"(21~47)_puzzle.json#151", 11, 13, kFakeThree},
    {"(21~47)_puzzle.json#152", 2, 11, kSixPastPattern},
    {"(21~47)_puzzle.json#153", 5, 13, kSixPastWindow},
};

enum Foul { Overline = 1, DoubleFourFoul = 2, DoubleThreeFoul = 4 };

// Why the board forbids a point, read from its line types (a point may have
// several reasons).
int foulsOf(const Cell& cell) {
    int counts[16] = {};
    for (int d = 0; d < 4; ++d) ++counts[cell.lineTypes[0] >> (4 * d) & 0xF];
    int fouls = 0;
    if (counts[Forbidden]) fouls |= Overline;
    if (counts[DoubleFour] || counts[LiveFour] + counts[RushFour] + counts[RushFourPlus] >= 2) fouls |= DoubleFourFoul;
    if (counts[LiveThree] + counts[WideThree] >= 2) fouls |= DoubleThreeFoul;
    return fouls;
}

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// What a case asserts: the whole set of forbidden points (of one kind or of
// any), or only the points it names.
struct Claim {
    bool wholeSet = false;
    int kind = Overline | DoubleFourFoul | DoubleThreeFoul;
    std::set<std::pair<int, int>> forbidden, notForbidden;
};

Claim claimOf(const test::DataCase& c) {
    Claim claim;
    for (Pos p : c.best) claim.forbidden.insert({p.x(), p.y()});
    for (Pos p : c.safe) claim.notForbidden.insert({p.x(), p.y()});
    if (contains(c.id, "task: find all forbidden points")) claim.wholeSet = true;
    if (contains(c.id, "task: find all overline points")) claim.wholeSet = true, claim.kind = Overline;
    if (contains(c.id, "task: find all double-four points")) claim.wholeSet = true, claim.kind = DoubleFourFoul;
    if (contains(c.id, "task: find all double-three points")) claim.wholeSet = true, claim.kind = DoubleThreeFoul;
    for (const std::string& note : c.notes) {
        if (contains(note, "all forbidden points of the position")) claim.wholeSet = true;
        // Labelled points of a question that an independent checker clears:
        // "A=4,3 src:no checker:not-forbidden;".
        std::istringstream words(note);
        std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
        for (size_t i = 0; i + 2 < w.size(); ++i) {
            char label = 0;
            int x = 0, y = 0;
            if (std::sscanf(w[i].c_str(), "%c=%d,%d", &label, &x, &y) == 3 &&
                w[i + 2].rfind("checker:not-forbidden", 0) == 0)
                claim.notForbidden.insert({x, y});
        }
    }
    return claim;
}

bool idMatches(const std::string& id, const std::string& part) {
    const size_t at = id.find(part);
    if (at == std::string::npos) return false;
    const size_t after = at + part.size();
    return after == id.size() || id[after] == ' ';
}

const PatternMisjudgement* misjudged(const std::string& id, int x, int y) {
    for (const PatternMisjudgement& m : kMisjudged)
        if (m.x == x && m.y == y && idMatches(id, m.id)) return &m;
    return nullptr;
}

void checkFile(const char* file, int& cleared) {
    const std::vector<test::DataCase> cases = test::loadDataCases(file);
    ASSERT_FALSE(cases.empty());
    for (const test::DataCase& c : cases) {
        ASSERT_EQ(c.rule, Renju) << c.id;
        const Board board = c.board();
        ASSERT_EQ(checkBoardConsistency(board, Renju), "") << c.id;
        const Claim claim = claimOf(c);
        for (int x = 0; x < c.size; ++x)
            for (int y = 0; y < c.size; ++y) {
                if (!board.isEmpty(x, y)) continue;
                const Cell& cell = board.cells[x][y];
                const bool forbidden = cell.pointType[0] == Forbidden;
                const bool listed = claim.forbidden.count({x, y}) > 0;
                if (const PatternMisjudgement* m = misjudged(c.id, x, y)) {
                    EXPECT_TRUE((cell.foulMark & kFoulFlagged) && !forbidden) << c.id << " " << x << "," << y << ": "
                                                                              << m->reason;
                    ++cleared;
                }
                bool agrees = true;
                if (listed) agrees = forbidden;
                else if (claim.notForbidden.count({x, y})) agrees = !forbidden;
                else if (claim.wholeSet) agrees = !forbidden || !(foulsOf(cell) & claim.kind);
                if (agrees) continue;
                ADD_FAILURE() << c.id << "\n  point " << x << "," << y << ": the board says "
                              << (forbidden ? "forbidden" : "not forbidden") << " (type " << int(cell.pointType[0])
                              << ", fouls " << foulsOf(cell) << ", lines " << std::hex << cell.lineTypes[0] << std::dec
                              << "), the file " << (listed ? "lists it" : "does not");
            }
    }
}

TEST(ForbiddenPoints, AgreeWithPublishedAnswers) {
    int cleared = 0;
    checkFile("forbidden_renju_quintet_unittests.txt", cleared);
    checkFile("forbidden_renju_lfz084.txt", cleared);
    // Every listed point must be met: a stale entry would check nothing.
    EXPECT_EQ(cleared, int(std::size(kMisjudged)));
}

}  // namespace
}  // namespace velmor
