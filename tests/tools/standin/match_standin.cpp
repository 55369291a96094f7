// A stand-in engine for the match tool's tests: speaks just enough of the
// manager protocol and misbehaves on purpose.
//
//   match_standin MODE [LOG]
//
// MODE: weak (first empty point in scan order), illegal (plays on a stone),
// garbage (answers a word), slow (answers after three turns' time), crash
// (dies when asked for a move). LOG, when given, receives every line read.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

namespace {

int size = 15;
int turnMs = 1000;
bool taken[20][20];
int lastX = -1, lastY = -1;

void clear() {
    for (auto& column : taken)
        for (bool& t : column) t = false;
    lastX = lastY = -1;
}

void mark(int x, int y) {
    if (x >= 0 && y >= 0 && x < 20 && y < 20) taken[x][y] = true;
    lastX = x;
    lastY = y;
}

void answer(const std::string& mode) {
    if (mode == "crash") std::abort();
    if (mode == "slow") std::this_thread::sleep_for(std::chrono::milliseconds(3 * turnMs));
    if (mode == "garbage") {
        std::cout << "thinking" << std::endl;
        return;
    }
    if (mode == "illegal" && lastX >= 0) {
        std::cout << lastX << "," << lastY << std::endl;
        return;
    }
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (!taken[x][y]) {
                mark(x, y);
                std::cout << x << "," << y << std::endl;
                return;
            }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "weak";
    std::ofstream log;
    if (argc > 2) log.open(argv[2], std::ios::app);
    std::string line;
    bool inBoard = false;
    while (std::getline(std::cin, line)) {
        if (log.is_open()) log << line << std::endl;
        int x, y, who;
        if (inBoard) {
            if (line == "DONE") {
                inBoard = false;
                answer(mode);
            } else if (std::sscanf(line.c_str(), "%d,%d,%d", &x, &y, &who) == 3) {
                mark(x, y);
            }
        } else if (line.rfind("START ", 0) == 0) {
            size = std::atoi(line.c_str() + 6);
            clear();
            std::cout << "OK" << std::endl;
        } else if (line.rfind("INFO timeout_turn ", 0) == 0) {
            turnMs = std::atoi(line.c_str() + 18);
        } else if (line == "BEGIN") {
            answer(mode);
        } else if (std::sscanf(line.c_str(), "TURN %d,%d", &x, &y) == 2) {
            mark(x, y);
            answer(mode);
        } else if (line == "BOARD") {
            clear();
            inBoard = true;
        } else if (line == "END") {
            return 0;
        }
    }
    return 0;
}
