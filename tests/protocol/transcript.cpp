#include "protocol/transcript.h"

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <sstream>

namespace velmor::test {

using namespace std::chrono_literals;

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

bool lineMatches(const std::string& expected, const std::string& actual) {
    if (!expected.empty() && expected[0] == '~') return std::regex_match(actual, std::regex(expected.substr(1)));
    return expected == actual;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += "  [" + line + "]\n";
    return text;
}

std::vector<std::string> runScript(std::vector<std::string> input, bool appendEnd, EngineProcess::Messages messages) {
    EngineProcess engine(messages);
    EXPECT_TRUE(engine.started());
    if (appendEnd) input.push_back("END");
    EXPECT_TRUE(engine.writeLines(input));
    bool complete = false;
    std::vector<std::string> output = engine.readAll(20s, &complete);
    EXPECT_TRUE(complete) << "the engine did not finish; output so far:\n" << joined(output);
    EXPECT_EQ(engine.waitExit(5s), 0);
    return output;
}

void expectTranscript(const std::vector<std::string>& expected, const std::vector<std::string>& actual) {
    bool same = expected.size() == actual.size();
    for (std::size_t i = 0; same && i < expected.size(); ++i) same = lineMatches(expected[i], actual[i]);
    EXPECT_TRUE(same) << "expected:\n" << joined(expected) << "actual:\n" << joined(actual);
}

std::vector<std::string> plays(const char* moves) {
    std::vector<std::string> lines;
    std::istringstream in(moves);
    for (std::string point; in >> point;) lines.push_back("PLAY " + point);
    return lines;
}

std::vector<std::string> echoes(const char* moves) {
    std::vector<std::string> lines;
    std::istringstream in(moves);
    for (std::string point; in >> point;) lines.push_back(point);
    return lines;
}

}  // namespace velmor::test
