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

// Only this function fills the engine's trie, always with the fixed list, so
// a trie that exists already holds it: a repeated start-up keeps it as is.
bool buildPatternTrie() {
    PatternTrie& trie = patternTrie();
    if (trie.root) return true;
    return buildPatternTrie(trie, kPatterns, kPatternCount);
}

}  // namespace velmor
