#pragma once
// Test support: engine tables, boards built by playing stones, and the
// renju data files under tests/data.
#include <string>
#include <vector>

#include "board/board.h"

namespace velmor::test {

// Builds the pattern tables and Zobrist keys once per test process.
void ensureEngineTables();

// A fresh board of `size` (also sets the process-wide boardSize).
Board emptyBoard(int size);

struct Stone {
    int x, y, side;
};

// Plays `moves` alternately (first stone side 0) from an empty board.
Board playMoves(int size, GameRule rule, const std::vector<Pos>& moves);
// Places each stone with its own side; afterwards `toMove` is the side to move.
Board placeStones(int size, GameRule rule, const std::vector<Stone>& stones, int toMove);
// Parses "x,y x,y ..." into points.
std::vector<Pos> parsePoints(const std::string& text);

// One block of a data file (see tests/data/README.md).
struct DataCase {
    std::string id;
    int size = 15;
    GameRule rule = FreeStyle;
    std::vector<Pos> moves;  // moves: (alternating), empty when black/white are given
    std::vector<Pos> black, white;
    int toMove = 0;          // 0 black, 1 white
    std::vector<Pos> best, safe, line;
    std::string kind;
    std::vector<std::string> notes;  // the block's other '#' lines, without the '# '

    Board board() const;
};

// Reads every case of tests/data/<file>.
std::vector<DataCase> loadDataCases(const std::string& file);

}  // namespace velmor::test
