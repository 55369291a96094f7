#pragma once
// Where the games start: openings read from a file in the shared data format
// (blocks of "size:", "rule:", "moves:" lines), or drawn at random near the
// centre from a seed and kept only when neither side already has a win the
// threat search can prove.
#include <cstdint>
#include <string>
#include <vector>

#include "match/referee.h"

namespace velmor::match {

struct Opening {
    std::vector<Point> moves;  // alternating, black first
    std::string id;
};

// Stones on the board, all distinct, no five made and, in renju, no black
// foul among them.
bool validOpening(const std::vector<Point>& moves, int size, Rule rule);

// The `moves:` openings of `path` for this board size and rule (renju
// openings for renju, free-style and exact-five ones for the other two),
// in file order. Invalid ones are skipped and counted in `skipped`.
// False with `error` set when the file cannot be read.
bool readOpenings(const std::string& path, int size, Rule rule, std::vector<Opening>& out, int& skipped,
                  std::string& error);

// `count` distinct random openings of 3 to 5 stones within a few points of
// the centre, the same for the same seed. `rejected` counts the draws thrown
// away (repeats, invalid, or a proven win for either side, or, when
// `maxImbalance` is above 0, a value beyond it for either side).
std::vector<Opening> randomOpenings(int count, int size, Rule rule, uint64_t seed, int& rejected,
                                    int32_t maxImbalance = 0);

// The engine's value of the opening for black, from a search of `depth`
// plies without a clock. An opening that one side already leads clearly
// decides its game pair before either engine plays (most pairs then split
// one win each whoever is stronger), so a match learns little from it.
int32_t openingValue(const std::vector<Point>& moves, int size, Rule rule, int depth);
inline constexpr int kBalanceDepth = 6;

// Can `side` (0 black) force a win here with fours and threes, by the
// engine's threat search? For the side that has just moved this asks what it
// could do if the other passed: a threat already on the board.
bool provenWin(const std::vector<Point>& moves, int size, Rule rule, int side);

// Writes the openings in the data format, readable by readOpenings.
bool writeOpenings(const std::string& path, const std::vector<Opening>& openings, int size, Rule rule);

}  // namespace velmor::match
