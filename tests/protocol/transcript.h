#pragma once
// Transcript tests: a script of command lines for the real engine and the
// replies it must give, line for line. MESSAGE lines are left out unless a
// test asks for them.
#include <ostream>
#include <string>
#include <vector>

#include "protocol/engine_process.h"

namespace velmor::test {

struct Transcript {
    const char* name;
    std::vector<std::string> input;     // END is appended unless the script ends the engine itself
    std::vector<std::string> expected;  // exact lines, or "~regex"
    bool appendEnd = true;
};

// Names a failing case by its transcript (found by argument lookup).
inline void PrintTo(const Transcript& t, std::ostream* os) { *os << t.name; }

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b);

bool lineMatches(const std::string& expected, const std::string& actual);
std::string joined(const std::vector<std::string>& lines);

// Runs `input` (plus END), collects everything up to the end of output and
// requires exit status 0.
std::vector<std::string> runScript(std::vector<std::string> input, bool appendEnd = true,
                                   EngineProcess::Messages messages = EngineProcess::Messages::Skip);
void expectTranscript(const std::vector<std::string>& expected, const std::vector<std::string>& actual);

// PLAY lines for the points of `moves` ("x,y x,y ..."), and their echoes.
std::vector<std::string> plays(const char* moves);
std::vector<std::string> echoes(const char* moves);

}  // namespace velmor::test
