#pragma once
// The match referee's own view of a game: a plain stone array and the rules of
// five, overline and renju fouls worked out on it directly. It shares nothing
// with the engine's board model on purpose: the referee is the yardstick the
// engine is measured by, so it follows the written rules literally (slow is
// fine) instead of the engine's incremental shape tables.
#include <cstdint>
#include <string>
#include <vector>

namespace velmor::match {

inline constexpr int kMaxSize = 20;

// The manager protocol's rule bits as a match plays them.
enum class Rule { FreeStyle, ExactFive, Renju };

// From the INFO rule value (0, 1 or 4); false for anything else.
bool ruleFromInfo(int info, Rule& rule);
int infoValue(Rule rule);
// The rule field of a data file (0 free-style, 1 exact five, 2 renju).
int dataValue(Rule rule);
const char* ruleName(Rule rule);

struct Point {
    int x = 0, y = 0;
    friend bool operator==(Point a, Point b) { return a.x == b.x && a.y == b.y; }
};

enum Stone : uint8_t { Black = 0, White = 1, Empty = 2 };

class Stones {
public:
    explicit Stones(int size = 15);

    int size() const { return size_; }
    bool onBoard(int x, int y) const { return x >= 0 && y >= 0 && x < size_ && y < size_; }
    Stone at(int x, int y) const { return Stone(cells_[x][y]); }
    void set(Point p, Stone s) { cells_[p.x][p.y] = s; }
    int stoneCount() const { return count_; }
    bool full() const { return count_ == size_ * size_; }
    // Places a stone; the caller has checked that the point is empty.
    void place(Point p, Stone s) {
        cells_[p.x][p.y] = s;
        ++count_;
    }
    void remove(Point p) {
        cells_[p.x][p.y] = Empty;
        --count_;
    }

    // The longest run of `s` through `p` along the four lines, as if `p`
    // held a stone of `s` (whatever it holds).
    int longestRun(Point p, Stone s) const;
    // Would a stone of `s` at `p` stand in a run of exactly five?
    bool makesExactFive(Point p, Stone s) const;

private:
    int size_;
    int count_ = 0;
    uint8_t cells_[kMaxSize][kMaxSize];
};

// Renju fouls for black, by the full rules. A black move is a foul when it
// makes no five (exactly five in a line always wins) and makes an overline,
// two or more fours, or two or more threes; a three only counts when the
// point that would turn it into a straight four is itself not a foul, which
// is decided the same way, recursively. `p` must be empty; the stones are
// left as they were.
enum class Foul { None, Overline, DoubleFour, DoubleThree };
Foul renjuFoul(Stones& stones, Point p);
inline bool isRenjuFoul(Stones& stones, Point p) { return renjuFoul(stones, p) != Foul::None; }
const char* foulName(Foul foul);

// How one move ends the game, if it does.
enum class Verdict {
    Continue,
    Five,     // the mover wins
    Foul,     // black made a renju foul: black loses
    FullBoard // the last empty point was filled without a win: a draw
};

// Judges the move `p` of `s`, which must be legal (on the board, empty), and
// places it. Free-style: five or more wins. Exact five: only exactly five
// wins, an overline is an ordinary move. Renju: black wins only with exactly
// five and any other overline, double four or double three is a foul; white
// wins with five or more. A foul's kind goes to `foul` when given.
Verdict judgeMove(Stones& stones, Point p, Stone s, Rule rule, Foul* foul = nullptr);

// Parses an engine's move answer "x,y" (spaces allowed around the numbers).
bool parsePoint(const std::string& text, Point& p);

}  // namespace velmor::match
