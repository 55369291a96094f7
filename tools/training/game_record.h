#pragma once
// Training games on disk: the stones of each self-play game in playing order,
// with the search value and a "learn from this" flag per position. A game is
// stored once and its positions are its prefixes, so a position costs four
// bytes (a move and a value) and millions fit in a few tens of megabytes.
//
// File layout, little-endian:
//   "VMGR" | uint32 version (1)
//   then records, each:
//     rule:1 | size:1 | result:1 | openingStones:1 | moveCount:2 | reserved:2
//     moves[moveCount]:  uint16, x * 20 + y; bit 15 set when the position
//                        before the move is a training position
//     values[moveCount]: int16, the search value of the position before the
//                        move, from the side to move's point of view
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "board/chess_type.h"
#include "board/pos.h"

namespace velmor::training {

enum class Result : uint8_t { BlackWins = 0, WhiteWins = 1, Draw = 2 };

struct GameRecord {
    GameRule rule = FreeStyle;
    int size = 15;
    Result result = Result::Draw;
    int openingStones = 0;
    std::vector<Pos> moves;
    std::vector<bool> kept;       // per move: the position before it is for training
    std::vector<int16_t> values;  // per move: search value before it, side to move's view

    // The game's score for the side to move before move `ply`: 1 win, 0.5 draw, 0 loss.
    double scoreFor(size_t ply) const {
        if (result == Result::Draw) return 0.5;
        const int winner = result == Result::BlackWins ? 0 : 1;
        return int(ply % 2) == winner ? 1.0 : 0.0;
    }
};

// Appends records to a file (created with its header when new or empty).
class GameWriter {
public:
    bool open(const std::string& path);
    bool write(const GameRecord& game);
    bool close();
    ~GameWriter() { close(); }

private:
    std::FILE* file_ = nullptr;
};

// Reads every record of `path`; false with `error` set on a missing file,
// a wrong header or a record cut short (the records before it are kept).
bool readGames(const std::string& path, std::vector<GameRecord>& out, std::string& error);

}  // namespace velmor::training
