#pragma once
// Internals of the threat-space search (dbSearch): the threat tree, the
// working record of one search, and the stages that grow and check the tree.
//
// The attacker plays only threats; the defender answers each threat by taking
// all of its defence squares in one reply. The dependency stage grows the tree
// depth-first from the root, the combination stage joins independent chains
// whose threats meet on one line, and every candidate win is replayed against
// each single defence and the defender's counter-fours before it is believed.
#include <cstdint>

#include "board/board.h"
#include "board/generators.h"
#include "board/small_list.h"
#include "threat/threat_context.h"

namespace velmor {

// Why a search stopped with `found` set.
enum StopReason : int32_t {
    StopNone = 0,
    StopWin = 3,           // a verified win (or, in a defender search, any win)
    StopInterference = 4,  // a defender four landed on a square the attack needs
    StopTimeout = 5,       // the clock ran out: nothing is proven either way
};

// One attacker threat and its defence squares. Layout (48 bytes):
//   move:2 | defenceCount:2 | kind:1 pass:1 type:1 combined:1 | refuted:1 pad:3
//   childCount:4 | defences:8 | firstChild:8 | lastChild:8 | nextSibling:8
// Nodes and their defence lists live in the search's NodeArena; a parent owns
// its children in creation order through the sibling chain.
struct ThreatNode {
    enum Kind : uint8_t { Root = 0, Dependency = 1, CombinationCopy = 2 };

    Pos move;                  // the attacker's threat (0 at the root)
    uint16_t defenceCount;
    uint8_t kind;
    uint8_t pass;              // the search's pass when the node was made
    uint8_t type;              // ChessType of the threat along its line
    bool combined;             // has served as the base of a combination
    bool refuted;              // a verification failed through this node
    uint32_t childCount;
    const Pos* defences;       // as collectDefences returned them
    ThreatNode* firstChild;
    ThreatNode* lastChild;
    ThreatNode* nextSibling;

    void appendChild(ThreatNode* child) {
        if (lastChild) lastChild->nextSibling = child;
        else firstChild = child;
        lastChild = child;
        ++childCount;
    }
};
static_assert(sizeof(ThreatNode) == 48);

// The nodes from the first threat below the root down to the one being
// expanded (not owning).
using ThreatLine = SmallList<ThreatNode*, 64>;

// The squares of a line not yet replayed by verification. Only membership
// matters; the lists are short, so a flat array beats any tree.
class SquareSet {
public:
    void insert(Pos p) {
        if (!contains(p)) squares_.push_back(p);
    }
    void erase(Pos p) {
        for (uint32_t i = 0; i < squares_.size(); ++i)
            if (squares_[i] == p) {
                squares_[i] = squares_.back();
                squares_.pop_back();
                return;
            }
    }
    bool contains(Pos p) const {
        for (Pos q : squares_)
            if (q == p) return true;
        return false;
    }
    uint32_t size() const { return squares_.size(); }

private:
    SmallList<Pos, 64> squares_;
};

// The working record of one search (and of each nested defender search).
struct DBSearchState {
    int32_t maxThreatDepth = 0;  // longest line at the start of an expansion
    GameRule rule = FreeStyle;
    uint8_t pass = 0;            // 1 in the dependency stage, then one per combination pass
    uint8_t level = FoursOnly;   // ThreatLevel of the attacker's threats
    ThreatNode* root = nullptr;  // the tree; lives in the context's arena
    const Board* board = nullptr;  // the starting position; never changed
    int32_t refutations = 0;     // candidate wins that verification refuted
    bool progress = false;       // something was expanded or combined this pass
    bool verifyMode = false;     // a defender counter-search inside verification
    const SquareSet* guardSquares = nullptr;  // verifyMode: squares the attack still needs
    bool found = false;          // every stage returns at once when set
    int32_t stopReason = StopNone;
    ThreatContext* context = nullptr;  // its arena and clock; shared by the outer search and its nested searches
};

// A search gives up after more candidate wins than this were refuted.
inline constexpr int32_t kRefutationLimit = 12;

// A fresh node (all fields zero) from the context's arena, counted.
ThreatNode* newThreatNode(DBSearchState& state);

// Stage driver: dependency stage, then combination passes until a pass makes
// no progress, a win is found or the refutation limit is passed. On a win,
// appends attack, defence, attack, ... to `line` when given.
bool runPasses(DBSearchState& state, SmallList<Pos, 64>* line);

// Dependency stage.
void expandNode(DBSearchState& state, ThreatNode* node, const Board& board, ThreatLine& line);
void expandThreats(DBSearchState& state, ThreatNode* parent, const Board& board, ThreatLine& line,
                   const MoveList& threats);

// Combination stage.
void combinePass(DBSearchState& state, ThreatNode* node, const Board& board, ThreatLine& line);
void combineWith(DBSearchState& state, ThreatNode* node, ThreatLine& line, const Board& board,
                 ThreatNode* other, ThreatLine& chain);
bool combineOnLine(DBSearchState& state, ThreatNode* node, ThreatLine& line, const Board& board,
                   Pos otherMove, const ThreatLine& chain);

// Fives on the stones themselves (five_points.cpp). `winsAt`: would a stone
// of `side` at `p` (empty or not) stand in a winning line under `rule`?
bool winsAt(const Board& board, Pos p, int side, GameRule rule);
// The points on the lines through `move` where `side` completes a real five;
// the first one found goes to `first` when given.
int realFivePoints(const Board& board, Pos move, int side, GameRule rule, Pos* first);

// Verification of a candidate win against every single defence.
bool verifyWin(DBSearchState& state, const ThreatLine& line);
bool verifyStep(DBSearchState& state, const Board& board, SquareSet squares, const ThreatLine& line,
                uint32_t i);

}  // namespace velmor
