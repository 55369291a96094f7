// Seeded, bounded fuzzing of the command loop: thousands of random and
// mutated lines, BOARD blocks and binary junk must never crash or hang the
// engine, which must still answer ABOUT and end cleanly afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "protocol/engine_process.h"

namespace velmor::test {
namespace {

using namespace std::chrono_literals;

const std::string kAbout = R"(name="velmor", author="Ilvarsen", version="0.7.0.0", country="Tavrelia", www="")";

// Every line the engine may write to a manager.
const std::regex kReply(
    R"(OK|UNKNOWN command|-?\d+,-?\d+|ERROR bad START parameter|ERROR bad RECTSTART parameters)"
    R"(|ERROR size of the board, only support 15\*15 or 20\*20|ERROR init game failed!|ERROR bad coordinates)"
    R"(|ERROR (my|opponents's|winning) move \[-?\d+,-?\d+\]|ERROR x,y,who or DONE expected after BOARD)"
    R"(|ERROR a game must be started first: START 15 or START 20)"
    R"(|name="velmor", author="Ilvarsen", version="0\.7\.0\.0", country="Tavrelia", www="")");

class LineFuzzer {
public:
    explicit LineFuzzer(uint32_t seed) : random_(seed) {}

    // One chunk of input: a command, a BOARD block, a mutated command or junk.
    std::vector<std::string> next() {
        switch (pick(10)) {
            case 0: return {junk()};
            case 1: return boardBlock();
            case 2:
            case 3: return {mutate(command())};
            default: return {command()};
        }
    }

    // Lines that would end the engine or lift the time limits are replaced:
    // the fuzz run must stay bounded, and END is the test's own last word.
    std::string tame(std::string line) {
        if (startsWith(line, "end")) line[0] = 'x';
        if (startsWith(line, "info")) line = safeInfo();
        return line;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }

    static bool startsWith(const std::string& line, const char* keyword) {
        for (std::size_t i = 0; keyword[i]; ++i)
            if (i >= line.size() || std::tolower(static_cast<unsigned char>(line[i])) != keyword[i]) return false;
        return true;
    }

    std::string coordinate() {
        switch (pick(8)) {
            case 0: return std::to_string(between(-3, 25));
            case 1: return std::to_string(between(-2147483647, 2147483647));
            case 2: return "99999999999999";
            default: return std::to_string(between(0, 19));
        }
    }
    std::string point() { return coordinate() + (pick(10) ? "," : " ,") + coordinate(); }

    std::string safeInfo() {
        switch (pick(8)) {
            case 0: return "INFO timeout_turn " + std::to_string(between(0, 40));
            case 1: return "INFO time_left " + std::to_string(between(-500, 400));
            case 2: return "INFO max_memory " + std::to_string(between(100000, 3000000));
            case 3: return "INFO rule " + std::to_string(between(-1, 7));
            case 4: return "INFO folder " + junk();
            case 5: return "INFO timeout_match " + coordinate();
            case 6: return "INFO game_type " + coordinate();
            default: return "INFO " + junk();
        }
    }

    std::string command() {
        static const char* const sizes[] = {"15", "20", "15", "20", "10", "4", "x", "", "2147483648", "-20"};
        switch (pick(14)) {
            case 0: return "START " + std::string(sizes[pick(10)]);
            case 1: return "RECTSTART " + std::string(sizes[pick(10)]) + (pick(2) ? "," : " , ") + sizes[pick(10)];
            case 2: return "RESTART";
            case 3:
            case 4:
            case 5: return "TURN " + point();
            case 6:
            case 7: return "PLAY " + point();
            case 8: return "BEGIN";
            case 9: return "TAKEBACK " + point();
            case 10: return "ABOUT";
            case 11: return safeInfo();
            case 12: return "DONE";
            default: return std::string(pick(2) ? "turn" : "Play") + point();
        }
    }

    std::vector<std::string> boardBlock() {
        std::vector<std::string> block = {pick(4) ? "BOARD" : "board"};
        const int stones = between(0, 30);
        for (int i = 0; i < stones; ++i) {
            std::string line = point() + "," + std::to_string(pick(8) ? between(1, 3) : between(-1, 5));
            block.push_back(pick(8) ? line : mutate(line));
        }
        static const char* const ends[] = {"DONE", "done", "Done\r", "DONE ", "7,7", "", "ABOUT", "BEGIN"};
        block.push_back(ends[pick(8)]);
        return block;
    }

    std::string junk() {
        std::string bytes(std::size_t(pick(6) ? between(0, 40) : between(200, 700)), '\0');
        for (char& c : bytes) {
            c = char(between(0, 255));
            if (c == '\n' && pick(2)) c = '\r';
        }
        return bytes;
    }

    std::string mutate(std::string line) {
        const int edits = between(1, 4);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = line.empty() ? 0 : std::size_t(pick(int(line.size())));
            switch (pick(7)) {
                case 0:
                    if (!line.empty()) line[at] = char(between(0, 255));
                    break;
                case 1: line.insert(at, 1, char(between(0, 255))); break;
                case 2:
                    if (!line.empty()) line.erase(at, std::size_t(between(1, 3)));
                    break;
                case 3: line.resize(at); break;
                case 4: line += std::string(std::size_t(between(1, 400)), char(between(32, 126))); break;
                case 5: line.insert(at, pick(2) ? "\r" : std::string(1, '\0')); break;
                default:
                    for (char& c : line) c = char(pick(2) ? std::toupper(static_cast<unsigned char>(c)) : std::tolower(static_cast<unsigned char>(c)));
            }
        }
        return line;
    }

    std::mt19937 random_;
};

// Splits raw chunks into the physical lines the engine will read.
std::string physicalLines(LineFuzzer& fuzzer, const std::vector<std::string>& chunk) {
    std::string text;
    for (const std::string& line : chunk) {
        std::size_t start = 0;
        for (;;) {
            std::size_t end = line.find('\n', start);
            text += fuzzer.tame(line.substr(start, end == std::string::npos ? std::string::npos : end - start)) + "\n";
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    return text;
}

TEST(ProtocolFuzz, RandomAndMutatedLinesNeitherCrashNorHang) {
    constexpr int kSessions = 4;
    constexpr int kChunksPerSession = 900;
    for (int session = 0; session < kSessions; ++session) {
        SCOPED_TRACE("session " + std::to_string(session));
        LineFuzzer fuzzer(20240611u + uint32_t(session));
        EngineProcess engine;
        ASSERT_TRUE(engine.started());
        // Short limits and small tables keep every think brief; a start
        // first, so that most sessions play (later starts may refuse).
        ASSERT_TRUE(engine.writeLines({"INFO timeout_turn 30", "INFO time_left 300", "INFO max_memory 2000000",
                                       session % 2 ? "START 20" : "START 15"}));
        std::string input;
        for (int i = 0; i < kChunksPerSession; ++i) input += physicalLines(fuzzer, fuzzer.next());
        ASSERT_TRUE(engine.write(input, 120s)) << "the engine stopped reading";

        // An empty line ends a BOARD block left open; RESTART waits for any
        // think, so ABOUT's answer must be the very last line.
        ASSERT_TRUE(engine.write("\nRESTART\nABOUT\nEND\n"));
        bool complete = false;
        std::vector<std::string> replies = engine.readAll(120s, &complete);
        EXPECT_TRUE(complete) << "the engine did not finish";
        EXPECT_EQ(engine.waitExit(10s), 0);
        ASSERT_FALSE(replies.empty());
        EXPECT_EQ(replies.back(), kAbout);
        int moves = 0, errors = 0;
        for (const std::string& line : replies) {
            moves += std::regex_match(line, std::regex(R"(-?\d+,-?\d+)"));
            errors += line.rfind("ERROR", 0) == 0;
        }
        std::printf("session %d: %zu input lines, %zu replies, %d moves, %d errors\n", session,
                    std::size_t(std::count(input.begin(), input.end(), '\n')), replies.size(), moves, errors);
        for (const std::string& line : replies) EXPECT_TRUE(std::regex_match(line, kReply)) << "unexpected reply: " << line;
    }
}

}  // namespace
}  // namespace velmor::test
