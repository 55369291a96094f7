#include "match/openings.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "board/board.h"
#include "board/patterns.h"
#include "search/clock.h"
#include "search/search_state.h"

namespace velmor::match {

namespace {

std::vector<Point> parsePoints(const std::string& text) {
    std::vector<Point> points;
    std::istringstream in(text);
    std::string item;
    while (in >> item) {
        Point p;
        if (!parsePoint(item, p)) return {};
        points.push_back(p);
    }
    return points;
}

GameRule engineRule(Rule rule) {
    return rule == Rule::FreeStyle ? FreeStyle : rule == Rule::ExactFive ? ExactFive : Renju;
}

// The data files write renju as 2 where the protocol writes 4.
bool dataRuleFits(int dataRule, Rule rule) { return rule == Rule::Renju ? dataRule == 2 : dataRule != 2; }

// The engine's tables, built once for the tool's own searches.
bool tablesReady() {
    static const bool built = [] {
        fillZobristKeys();
        return buildAllPatternTables();
    }();
    return built;
}

// The opening on the engine's board (and its process-wide board size).
Board openingBoard(const std::vector<Point>& moves, int size, Rule rule) {
    boardSize = int8_t(size);
    Board board;
    newBoard(board);
    for (size_t i = 0; i < moves.size(); ++i)
        board.makeMove(Pos(moves[i].x, moves[i].y), uint8_t(i % 2), engineRule(rule));
    return board;
}

}  // namespace

bool validOpening(const std::vector<Point>& moves, int size, Rule rule) {
    Stones stones(size);
    for (size_t i = 0; i < moves.size(); ++i) {
        const Point p = moves[i];
        if (!stones.onBoard(p.x, p.y) || stones.at(p.x, p.y) != Empty) return false;
        if (judgeMove(stones, p, Stone(i % 2), rule) != Verdict::Continue) return false;
    }
    return true;
}

bool readOpenings(const std::string& path, int size, Rule rule, std::vector<Opening>& out, int& skipped,
                  std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    skipped = 0;
    int blockSize = 15, blockRule = 0;
    bool hasMoves = false, open = false;
    Opening current;
    auto flush = [&] {
        if (open && blockSize == size && dataRuleFits(blockRule, rule)) {
            if (hasMoves && validOpening(current.moves, size, rule)) out.push_back(current);
            else ++skipped;
        }
        current = Opening();
        blockSize = 15;
        blockRule = 0;
        hasMoves = open = false;
    };
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) {
            flush();
            continue;
        }
        if (!open) current.id = path + ":" + std::to_string(lineNumber);
        open = true;
        if (line.rfind("# id:", 0) == 0 && line.find_first_not_of(' ', 5) != std::string::npos)
            current.id = line.substr(line.find_first_not_of(' ', 5));
        if (line[0] == '#') continue;
        const size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string key = line.substr(0, colon), value = line.substr(colon + 1);
        if (key == "size") blockSize = std::atoi(value.c_str());
        else if (key == "rule") blockRule = std::atoi(value.c_str());
        else if (key == "moves") {
            current.moves = parsePoints(value);
            hasMoves = !current.moves.empty();
        }
    }
    flush();
    return true;
}

bool provenWin(const std::vector<Point>& moves, int size, Rule rule, int side) {
    if (!tablesReady()) return false;
    const GameRule r = engineRule(rule);
    Board board = openingBoard(moves, size, rule);
    board.lastMove.side = uint8_t(1 - side);  // `side` to move
    SearchState state;
    state.rule = r;
    SearchPath path;
    path.reset(board.lastMove.stoneCount);
    return state.dbSearch(board, path, false, false);
}

int32_t openingValue(const std::vector<Point>& moves, int size, Rule rule, int depth) {
    if (!tablesReady()) return 0;
    const Board board = openingBoard(moves, size, rule);
    SearchSettings settings;
    settings.rule = engineRule(rule);
    settings.maxMemory = 48000000;
    settings.turnTimeMs = 0xFFFFFFFFu;  // no clock: the same value on every run
    settings.timeLeftMs = 0xFFFFFFFFu;
    settings.maxDepth = depth;
    SearchState state;
    state.configure(settings);
    state.setRoot(board);
    state.iterativeDeepening(wallClockTicks());
    const int32_t value = state.bestLine.rating;
    return board.sideToMove() == 0 ? value : -value;
}

std::vector<Opening> randomOpenings(int count, int size, Rule rule, uint64_t seed, int& rejected,
                                    int32_t maxImbalance) {
    std::mt19937_64 rng(seed);
    const int centre = size / 2, radius = size >= 20 ? 4 : 3;
    std::vector<Opening> out;
    std::vector<std::vector<Point>> seen;  // each opening's black and white stones, sorted
    auto key = [](std::vector<Point> moves) {
        // Order within a colour does not matter: sort blacks then whites.
        std::vector<Point> black, white;
        for (size_t i = 0; i < moves.size(); ++i) (i % 2 ? white : black).push_back(moves[i]);
        auto less = [](Point a, Point b) { return a.x != b.x ? a.x < b.x : a.y < b.y; };
        std::sort(black.begin(), black.end(), less);
        std::sort(white.begin(), white.end(), less);
        black.push_back({-1, -1});
        black.insert(black.end(), white.begin(), white.end());
        return black;
    };
    rejected = 0;
    for (long attempt = 0; int(out.size()) < count && attempt < 1000L * count + 1000; ++attempt) {
        const int stones = 3 + int(rng() % 3);
        Opening o;
        for (int i = 0; i < stones; ++i)
            o.moves.push_back({centre - radius + int(rng() % (2 * radius + 1)),
                               centre - radius + int(rng() % (2 * radius + 1))});
        const int toMove = stones % 2;
        std::vector<Point> k = key(o.moves);
        if (!validOpening(o.moves, size, rule) || std::find(seen.begin(), seen.end(), k) != seen.end() ||
            provenWin(o.moves, size, rule, toMove) || provenWin(o.moves, size, rule, 1 - toMove) ||
            (maxImbalance > 0 && std::abs(openingValue(o.moves, size, rule, kBalanceDepth)) > maxImbalance)) {
            ++rejected;
            continue;
        }
        seen.push_back(k);
        o.id = "random seed " + std::to_string(seed) + " #" + std::to_string(out.size() + 1);
        out.push_back(o);
    }
    return out;
}

bool writeOpenings(const std::string& path, const std::vector<Opening>& openings, int size, Rule rule) {
    std::ofstream out(path);
    for (const Opening& o : openings) {
        out << "# id: " << o.id << "\nsize: " << size << "\nrule: " << dataValue(rule) << "\nmoves:";
        for (Point p : o.moves) out << ' ' << p.x << ',' << p.y;
        out << "\ntomove: " << (o.moves.size() % 2 ? "white" : "black") << "\nkind: opening\n\n";
    }
    out.flush();
    return bool(out);
}

}  // namespace velmor::match
