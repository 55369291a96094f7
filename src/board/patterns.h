#pragma once
// The pattern vocabulary and the precomputed tables that let a Board classify
// a point with table look-ups only. Everything here is built at engine
// start-up and read-only afterwards.
#include <cstdint>
#include <memory>

#include "board/chess_type.h"

namespace velmor {

// One line pattern: 'o' own stone, '?' empty point ('x', the other side's
// stone, is accepted by the automaton but used by no pattern). `reach` is the
// largest offset from the first character at which the new stone may lie.
struct LinePattern {
    const char* text;
    uint8_t reach;
    uint8_t length;
};

inline constexpr int kPatternCount = 43;
extern const LinePattern kPatterns[kPatternCount];

// Free-style and exact-five result of pattern `index` when the new stone lies
// at offset k of the matched occurrence.
ChessType patternType(int index, int k, bool exactFive);

// Trie with failure links (Aho-Corasick) over the alphabet {'?', 'o', 'x'}.
struct PatternTrieNode {
    PatternTrieNode* child[3] = {nullptr, nullptr, nullptr};  // '?', 'o', 'x'
    int32_t patternIndex = -1;
    int32_t patternLength = 0;
    PatternTrieNode* fail = nullptr;
};

struct PatternTrie {
    PatternTrieNode* root = nullptr;
    ~PatternTrie();
    void clear();
};

PatternTrie& patternTrie();

// Inserts `count` patterns and links failures. Fails (and leaves the trie
// empty) on a character outside the alphabet or a pattern listed twice.
bool buildPatternTrie(PatternTrie& trie, const LinePattern* patterns, int count);
// The engine's trie with the fixed list; a no-op once it holds the list.
bool buildPatternTrie();

// SegmentTable[L] for L = 5..9: entry [i * L + j] is the type that a stone at
// position j makes in a segment of own stones i (bit j = position j).
const uint8_t* segmentTable(int length, bool exactFive);
void buildSegmentTables();

// Line type of one direction, indexed own * 256 + other stone masks.
extern uint8_t lineTypeTable[2][65536];  // [0] free-style, [1] exact-five
void buildLineTypeTables();

// Point type of a lineTypes word under combine variant 0 (free-style),
// 1 (exact five) or 2 (renju, restricted side).
extern uint8_t combineTable[65536][3];
void buildCombineTable();

// Builds everything above in start-up order (trie, segments, combine, lines).
bool buildAllPatternTables();

}  // namespace velmor
