#pragma once
#include <cstdio>

namespace velmor {

// The command line buffer: at most 255 characters and the terminating zero.
inline constexpr int kLineBufferSize = 256;

// Reads one line of `in` into `line`: the newline and a carriage return in
// front of it are removed, and characters beyond the 255th are read and
// dropped. False at the end of input (a last line without its newline
// included).
bool readCommandLine(std::FILE* in, char (&line)[kLineBufferSize]);

}  // namespace velmor
