#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "board/patterns.h"
#include "support/positions.h"

namespace velmor {
namespace {

// A line of nine points P-4e .. P+4e as text: '_' is P, 'o' own stone, 'x'
// the other side's stone, '.' empty, '#' off the board.
struct LineMasks {
    uint32_t own = 0, other = 0;
};

LineMasks masksOf(const std::string& line) {
    LineMasks m;
    for (int i = 0; i < 9; ++i) {
        if (i == 4) continue;
        const int k = i - 4;
        const uint32_t bit = 1u << (k < 0 ? 3 - k : 4 - k);
        if (line[i] == 'o' || line[i] == '#') m.own |= bit;
        if (line[i] == 'x' || line[i] == '#') m.other |= bit;
    }
    return m;
}

struct LineCase {
    const char* line;
    ChessType freeStyle, exactFive;
};

const LineCase kLineCases[] = {
    {"...._oooo", Five, Five},
    {"..oo_oo..", Five, Five},
    {"xooo_o...", Five, Five},
    {"oooo_o...", Five, Forbidden},
    {".ooo_....", LiveFour, LiveFour},
    {"x.oo_o...", LiveFour, LiveFour},
    {"#.oo_o...", LiveFour, LiveFour},
    {".ooo_.o..", LiveFour, RushFour},
    {"xooo_....", RushFour, RushFour},
    {"#ooo_.###", RushFour, RushFour},
    {"o.oo_....", RushFourPlus, RushFourPlus},
    {"oo.o_o...", RushFourPlus, DeadThree},
    {"o.oo_.o..", DoubleFour, DoubleFour},
    {".o.o_o.o.", DoubleFour, DoubleFour},
    {"...o_o...", WideThree, WideThree},
    {"#..o_o...", WideThree, WideThree},
    {"..o._o...", LiveThree, LiveThree},
    {"##.o_o...", LiveThree, LiveThree},
    {"xoo._....", DeadThree, DeadThree},
    {"...o_..o.", DeadThree, DeadThree},
    {"...._o...", LiveTwo, LiveTwo},
    {".o.._.o..", Two, Two},
    {"...._....", None, None},
    // Blockers that leave fewer than five points through P.
    {"ooox_x...", None, None},
    {"##oo_ox..", None, None},
};

TEST(PatternTables, LineTypeExamples) {
    test::ensureEngineTables();
    for (const LineCase& c : kLineCases) {
        // Each line is also read back to front, which must not matter.
        const std::string line(c.line), mirrored(line.rbegin(), line.rend());
        for (const std::string& l : {line, mirrored}) {
            const LineMasks m = masksOf(l);
            EXPECT_EQ(lineTypeTable[0][m.own << 8 | m.other], c.freeStyle) << l << " free-style";
            EXPECT_EQ(lineTypeTable[1][m.own << 8 | m.other], c.exactFive) << l << " exact five";
        }
    }
}

TEST(PatternTables, TooShortLinesAreNoneForEveryOwnMask) {
    test::ensureEngineTables();
    for (uint32_t other = 0; other < 256; ++other) {
        int minus = 0, plus = 0;
        while (minus < 4 && !(other >> (4 + minus) & 1)) ++minus;
        while (plus < 4 && !(other >> (3 - plus) & 1)) ++plus;
        if (minus + 1 + plus >= 5) continue;
        for (uint32_t own = 0; own < 256; ++own) {
            ASSERT_EQ(lineTypeTable[0][own << 8 | other], None) << own << "/" << other;
            ASSERT_EQ(lineTypeTable[1][own << 8 | other], None) << own << "/" << other;
        }
    }
}

uint32_t reverseByte(uint32_t b) {
    uint32_t r = 0;
    for (int i = 0; i < 8; ++i) r |= (b >> i & 1) << (7 - i);
    return r;
}

TEST(PatternTables, LineTablesAreMirrorSymmetric) {
    test::ensureEngineTables();
    for (int table = 0; table < 2; ++table)
        for (uint32_t own = 0; own < 256; ++own)
            for (uint32_t other = 0; other < 256; ++other)
                ASSERT_EQ(lineTypeTable[table][own << 8 | other],
                          lineTypeTable[table][reverseByte(own) << 8 | reverseByte(other)])
                    << "table " << table << " own " << own << " other " << other;
}

// The classification rule written out directly, without the automaton: the
// lowest-index pattern found inside the segment with the new stone at most
// `reach` from its start, and of its occurrences the leftmost.
ChessType classifyDirectly(uint32_t stones, int length, int j, bool exactFive) {
    std::string segment(length, '?');
    for (int p = 0; p < length; ++p)
        if (stones >> p & 1) segment[p] = 'o';
    segment[j] = 'o';
    for (int m = 0; m < kPatternCount; ++m) {
        const LinePattern& pattern = kPatterns[m];
        for (int s = std::max(0, j - int(pattern.reach)); s <= j; ++s)
            if (s + pattern.length <= length && segment.compare(s, pattern.length, pattern.text) == 0)
                return patternType(m, j - s, exactFive);
    }
    return None;
}

TEST(PatternTables, SegmentTablesAgreeWithTheClassificationRule) {
    test::ensureEngineTables();
    int compared = 0;
    for (int L = 5; L <= 9; ++L)
        for (int exact = 0; exact < 2; ++exact) {
            const uint8_t* table = segmentTable(L, exact);
            for (uint32_t i = 0; i < (1u << L); ++i)
                for (int j = 0; j < L; ++j) {
                    if (j > 4 || L - 1 - j > 4) continue;  // never read: no line reaches so far
                    const int expected = (i >> j & 1) ? None : classifyDirectly(i, L, j, exact);
                    ASSERT_EQ(table[i * L + j], expected) << "L " << L << " stones " << i << " j " << j
                                                          << (exact ? " exact five" : " free-style");
                    ++compared;
                }
        }
    EXPECT_GT(compared, 3000);
}

struct CombineCase {
    const char* name;
    ChessType lines[4];
    ChessType variant[3];  // free-style, exact five, renju restricted side
};

const CombineCase kCombineCases[] = {
    {"six in a row (exact-five line)", {Forbidden, None, None, None}, {Forbidden, None, Forbidden}},
    {"six in a row with a five elsewhere", {Forbidden, Five, None, None}, {Five, Five, Five}},
    {"live four + rush four", {LiveFour, RushFour, None, None}, {DoubleFour, DoubleFour, Forbidden}},
    {"rush four + live three", {RushFour, None, LiveThree, None}, {FourThree, FourThree, FourThree}},
    {"two live threes", {None, LiveThree, None, LiveThree}, {DoubleThree, DoubleThree, Forbidden}},
    {"wide three + live three", {WideThree, LiveThree, Two, None}, {DoubleThree, DoubleThree, Forbidden}},
    {"two fours in one line", {DoubleFour, None, None, None}, {DoubleFour, DoubleFour, Forbidden}},
    {"two rush fours", {RushFour, RushFourPlus, None, None}, {DoubleFour, DoubleFour, Forbidden}},
    {"live four + live three", {LiveFour, LiveThree, None, None}, {LiveFour, LiveFour, LiveFour}},
    {"rush four + two threes", {RushFour, LiveThree, LiveThree, None}, {FourThree, FourThree, Forbidden}},
    {"single rush four plus", {RushFourPlus, DeadThree, Two, None}, {RushFourPlus, RushFourPlus, RushFourPlus}},
    {"dead threes do not combine", {DeadThree, DeadThree, None, None}, {DeadThree, DeadThree, DeadThree}},
    {"twos", {WeakTwo, LiveTwo, Two, None}, {LiveTwo, LiveTwo, LiveTwo}},
    {"nothing", {None, None, None, None}, {None, None, None}},
};

TEST(PatternTables, CombineCases) {
    test::ensureEngineTables();
    for (const CombineCase& c : kCombineCases) {
        // The order of the directions must not matter: try every rotation.
        for (int r = 0; r < 4; ++r) {
            uint32_t word = 0;
            for (int d = 0; d < 4; ++d) word |= uint32_t(c.lines[(d + r) % 4]) << (4 * d);
            for (int v = 0; v < 3; ++v) EXPECT_EQ(combineTable[word][v], c.variant[v]) << c.name << ", variant " << v;
        }
    }
}

TEST(PatternTrie, RejectsBadCharacterAndDuplicate) {
    struct Case {
        const char* name;
        LinePattern patterns[3];
        int count;
        bool ok;
    };
    const Case cases[] = {
        {"valid", {{"oo?o", 3, 4}, {"?o", 1, 2}, {"x?o", 2, 3}}, 3, true},
        {"bad character", {{"oo?o", 3, 4}, {"o.o", 2, 3}, {"?o", 1, 2}}, 3, false},
        {"listed twice", {{"oo?o", 3, 4}, {"?o", 1, 2}, {"oo?o", 3, 4}}, 3, false},
        {"empty pattern", {{"", 0, 0}, {"?o", 1, 2}, {"o", 0, 1}}, 3, false},
    };
    for (const Case& c : cases) {
        PatternTrie trie;
        EXPECT_EQ(buildPatternTrie(trie, c.patterns, c.count), c.ok) << c.name;
        EXPECT_EQ(trie.root != nullptr, c.ok) << c.name << ": a failed build leaves the trie empty";
    }
}

TEST(PatternTrie, FailureLinksPointAtTheLongestSuffix) {
    const LinePattern patterns[] = {{"o?o", 2, 3}, {"?oo", 2, 3}, {"oo", 1, 2}};
    PatternTrie trie;
    ASSERT_TRUE(buildPatternTrie(trie, patterns, 3));
    auto walk = [&](const char* text) {
        PatternTrieNode* node = trie.root;
        for (const char* c = text; *c; ++c) node = node->child[*c == '?' ? 0 : *c == 'o' ? 1 : 2];
        return node;
    };
    EXPECT_EQ(walk("o?")->fail, walk("?"));
    EXPECT_EQ(walk("o?o")->fail, walk("?o"));
    EXPECT_EQ(walk("?oo")->fail, walk("oo"));
    EXPECT_EQ(walk("oo")->fail, walk("o"));
    EXPECT_EQ(walk("o")->fail, trie.root);
    EXPECT_EQ(walk("?oo")->patternIndex, 1);
    EXPECT_EQ(walk("?oo")->patternLength, 3);
}

TEST(PatternTables, RebuildingGivesTheSameContent) {
    test::ensureEngineTables();
    static uint8_t lines[2][65536];
    std::memcpy(lines, lineTypeTable, sizeof lines);
    const PatternTrieNode* root = patternTrie().root;
    ASSERT_TRUE(buildAllPatternTables());
    EXPECT_EQ(patternTrie().root, root) << "the automaton is built once and kept";
    EXPECT_EQ(std::memcmp(lines, lineTypeTable, sizeof lines), 0);
}

}  // namespace
}  // namespace velmor
