#include "protocol/line_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace velmor {
namespace {

// Every line readCommandLine gives for `input`, up to the end of input.
std::vector<std::string> readAllLines(const std::string& input) {
    std::FILE* file = std::tmpfile();
    EXPECT_NE(file, nullptr);
    std::fwrite(input.data(), 1, input.size(), file);
    std::rewind(file);
    std::vector<std::string> lines;
    char line[kLineBufferSize];
    while (readCommandLine(file, line)) lines.emplace_back(line);
    std::fclose(file);
    return lines;
}

TEST(LineReader, SplitsAndCleansLines) {
    const std::string s254(254, 's'), s255(255, 'a'), s256(256, 'b'), s300(300, 'c');
    struct Case {
        const char* name;
        std::string input;
        std::vector<std::string> lines;
    } cases[] = {
        {"plain", "START 15\nBEGIN\n", {"START 15", "BEGIN"}},
        {"crlf", "START 15\r\nBEGIN\r\n", {"START 15", "BEGIN"}},
        {"empty lines", "\n\r\n\n", {"", "", ""}},
        {"inner cr kept", "A\rB\n", {"A\rB"}},
        {"last line without newline is not a line", "ABOUT\nEND", {"ABOUT"}},
        {"255 characters survive", s255 + "\nX\n", {s255, "X"}},
        {"256th character goes", s256 + "\nX\n", {std::string(255, 'b'), "X"}},
        {"tail dropped, next line intact", s300 + "END\nABOUT\n", {std::string(255, 'c'), "ABOUT"}},
        {"cr before the cut goes too", s254 + "\rtail\n", {s254}},
        {"embedded zero ends the text", std::string("AB\0CD\n", 6), {"AB"}},
        {"high bytes pass", "\xff\xfe\n", {"\xff\xfe"}},
    };
    for (const Case& c : cases) EXPECT_EQ(readAllLines(c.input), c.lines) << c.name;
}

}  // namespace
}  // namespace velmor
