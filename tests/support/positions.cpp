#include "support/positions.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "board/patterns.h"

namespace velmor::test {

void ensureEngineTables() {
    static const bool built = [] {
        fillZobristKeys();
        return buildAllPatternTables();
    }();
    if (!built) throw std::runtime_error("pattern tables failed to build");
}

Board emptyBoard(int size) {
    ensureEngineTables();
    boardSize = int8_t(size);
    Board board;
    newBoard(board);
    return board;
}

Board playMoves(int size, GameRule rule, const std::vector<Pos>& moves) {
    Board board = emptyBoard(size);
    for (Pos p : moves)
        if (!board.makeMove(p, uint8_t(board.sideToMove()), rule))
            throw std::runtime_error("occupied point in a test position");
    return board;
}

Board placeStones(int size, GameRule rule, const std::vector<Stone>& stones, int toMove) {
    Board board = emptyBoard(size);
    for (const Stone& s : stones)
        if (!board.makeMove(Pos(s.x, s.y), uint8_t(s.side), rule))
            throw std::runtime_error("occupied point in a test position");
    board.lastMove.side = uint8_t(1 - toMove);
    return board;
}

std::vector<Pos> parsePoints(const std::string& text) {
    std::vector<Pos> points;
    std::istringstream in(text);
    std::string item;
    while (in >> item) {
        int x = 0, y = 0;
        char comma = 0;
        std::istringstream pair(item);
        if (pair >> x >> comma >> y && comma == ',') points.emplace_back(x, y);
    }
    return points;
}

Board DataCase::board() const {
    if (!moves.empty()) {
        Board b = playMoves(size, rule, moves);
        b.lastMove.side = uint8_t(1 - toMove);
        return b;
    }
    std::vector<Stone> stones;
    for (Pos p : black) stones.push_back({p.x(), p.y(), 0});
    for (Pos p : white) stones.push_back({p.x(), p.y(), 1});
    return placeStones(size, rule, stones, toMove);
}

std::vector<DataCase> loadDataCases(const std::string& file) {
    std::ifstream in(std::string(VELMOR_TEST_DATA) + "/" + file);
    if (!in) throw std::runtime_error("missing test data file " + file);
    std::vector<DataCase> cases;
    DataCase current;
    bool open = false;
    auto flush = [&] {
        if (open) cases.push_back(current);
        current = DataCase();
        open = false;
    };
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) {
            flush();
            continue;
        }
        open = true;
        if (line.rfind("# id:", 0) == 0) {
            current.id = line.substr(6);
            continue;
        }
        if (line[0] == '#') {
            current.notes.push_back(line.substr(line.size() > 1 && line[1] == ' ' ? 2 : 1));
            continue;
        }
        auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string key = line.substr(0, colon), value = line.substr(colon + 1);
        if (key == "size") current.size = std::stoi(value);
        else if (key == "rule") current.rule = GameRule(std::stoi(value));
        else if (key == "moves") current.moves = parsePoints(value);
        else if (key == "black") current.black = parsePoints(value);
        else if (key == "white") current.white = parsePoints(value);
        else if (key == "tomove") current.toMove = value.find("white") != std::string::npos ? 1 : 0;
        else if (key == "best") current.best = parsePoints(value);
        else if (key == "safe") current.safe = parsePoints(value);
        else if (key == "line") current.line = parsePoints(value);
        else if (key == "kind") current.kind = value.substr(value.find_first_not_of(' '));
    }
    flush();
    return cases;
}

}  // namespace velmor::test
