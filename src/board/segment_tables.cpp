// Segment tables: for every free stretch of 5..9 points (no blocker inside)
// and every point in it, the type a new stone there makes. They are filled
// by running the pattern automaton over each segment.
#include <cstring>

#include "board/patterns.h"

namespace velmor {

namespace {

constexpr int kMinSegment = 5;
constexpr int kMaxSegment = 9;

// [L - 5][exactFive][i * L + j]; sized for the longest segment.
uint8_t gSegments[kMaxSegment - kMinSegment + 1][2][kMaxSegment << kMaxSegment];

// A pattern may count only if the new stone (always at bit 5 of the scanned
// word) lies within its reach from the pattern's first character, where the
// pattern ends at bit b.
bool accepted(const PatternTrieNode* node, int b) {
    if (node->patternIndex < 0) return false;
    int k = 5 - (b - node->patternLength + 1);
    return k >= 0 && k <= kPatterns[node->patternIndex].reach;
}

struct Match {
    int pattern = -1;
    int end = 0;

    // Keep the first hit of the best (lowest-index) pattern.
    void offer(const PatternTrieNode* node, int b) {
        if (accepted(node, b) && (pattern < 0 || node->patternIndex < pattern)) {
            pattern = node->patternIndex;
            end = b;
        }
    }
};

// Scans bits start..end-1 of t (bit set = own stone) with the automaton.
Match scan(const PatternTrieNode* root, uint32_t t, int start, int end) {
    Match best;
    if (start > 10) return best;
    const PatternTrieNode* node = root;
    for (int b = start; b < end && b <= 10; ++b) {
        int c = (t >> b) & 1;  // child 0 is '?', child 1 is 'o'
        while (!node->child[c]) {
            best.offer(node, b);
            if (node == root) break;
            node = node->fail;
        }
        if (node->child[c]) {
            node = node->child[c];
            best.offer(node, b);
        }
    }
    return best;
}

}  // namespace

const uint8_t* segmentTable(int length, bool exactFive) {
    return gSegments[length - kMinSegment][exactFive ? 1 : 0];
}

void buildSegmentTables() {
    const PatternTrieNode* root = patternTrie().root;
    for (int L = kMinSegment; L <= kMaxSegment; ++L) {
        uint8_t* freeTable = gSegments[L - kMinSegment][0];
        uint8_t* exactTable = gSegments[L - kMinSegment][1];
        for (uint32_t i = 0; i < (1u << L); ++i) {
            for (int j = 0; j < L; ++j) {
                int at = int(i) * L + j;
                freeTable[at] = exactTable[at] = None;
                if (i >> j & 1) continue;
                // Align the new stone at bit 5 so every scan shares one
                // notion of the stone's offset.
                uint32_t t = i | (1u << j);
                t = j < 5 ? t << (5 - j) : t >> (j - 5);
                int start = j < 5 ? 5 - j : 0;
                Match m = scan(root, t, start, L + 5 - j);
                if (m.pattern < 0) continue;
                int k = 5 - (m.end - kPatterns[m.pattern].length + 1);
                freeTable[at] = patternType(m.pattern, k, false);
                exactTable[at] = patternType(m.pattern, k, true);
            }
        }
    }
}

}  // namespace velmor
