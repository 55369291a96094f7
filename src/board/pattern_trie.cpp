// The multi-pattern automaton: a trie of the line patterns with failure
// links, so one left-to-right pass over a segment finds the patterns in it.
#include <deque>

#include "board/patterns.h"

namespace velmor {

namespace {

int symbolIndex(char c) {
    switch (c) {
        case '?': return 0;
        case 'o': return 1;
        case 'x': return 2;
        default: return -1;
    }
}

void destroy(PatternTrieNode* node) {
    if (!node) return;
    for (PatternTrieNode* child : node->child) destroy(child);
    delete node;
}

// True when the trie holds exactly the patterns given (the engine's list on
// a repeated start-up).
bool holds(const PatternTrie& trie, const LinePattern* patterns, int count) {
    if (!trie.root) return false;
    int found = 0;
    std::deque<const PatternTrieNode*> open{trie.root};
    while (!open.empty()) {
        const PatternTrieNode* node = open.front();
        open.pop_front();
        if (node->patternIndex >= 0) ++found;
        for (const PatternTrieNode* child : node->child)
            if (child) open.push_back(child);
    }
    if (found != count) return false;
    for (int i = 0; i < count; ++i) {
        const PatternTrieNode* node = trie.root;
        for (const char* c = patterns[i].text; *c && node; ++c) {
            int s = symbolIndex(*c);
            node = s < 0 ? nullptr : node->child[s];
        }
        if (!node || node->patternIndex != i) return false;
    }
    return true;
}

}  // namespace

PatternTrie::~PatternTrie() { clear(); }

void PatternTrie::clear() {
    destroy(root);
    root = nullptr;
}

PatternTrie& patternTrie() {
    static PatternTrie trie;
    return trie;
}

bool buildPatternTrie(PatternTrie& trie, const LinePattern* patterns, int count) {
    trie.clear();
    trie.root = new PatternTrieNode;

    // Step 1: insert every pattern; a stray character or a repeated pattern
    // discards the whole trie.
    for (int i = 0; i < count; ++i) {
        PatternTrieNode* node = trie.root;
        int length = 0;
        for (const char* c = patterns[i].text; *c; ++c, ++length) {
            int s = symbolIndex(*c);
            if (s < 0) {
                trie.clear();
                return false;
            }
            if (!node->child[s]) node->child[s] = new PatternTrieNode;
            node = node->child[s];
        }
        if (node->patternIndex >= 0 || node == trie.root) {
            trie.clear();
            return false;
        }
        node->patternIndex = i;
        node->patternLength = length;
    }

    // Step 2: failure links, breadth first so that a node's failure chain is
    // complete before its children need it.
    trie.root->fail = trie.root;
    std::deque<PatternTrieNode*> open;
    for (PatternTrieNode* child : trie.root->child)
        if (child) {
            child->fail = trie.root;
            open.push_back(child);
        }
    while (!open.empty()) {
        PatternTrieNode* u = open.front();
        open.pop_front();
        for (int c = 0; c < 3; ++c) {
            PatternTrieNode* v = u->child[c];
            if (!v) continue;
            v->fail = trie.root;
            for (PatternTrieNode* f = u->fail;; f = f->fail) {
                if (f->child[c]) {
                    v->fail = f->child[c];
                    break;
                }
                if (f == trie.root) break;
            }
            open.push_back(v);
        }
    }
    return true;
}

bool buildPatternTrie() {
    PatternTrie& trie = patternTrie();
    if (holds(trie, kPatterns, kPatternCount)) return true;
    return buildPatternTrie(trie, kPatterns, kPatternCount);
}

}  // namespace velmor
