#pragma once

namespace velmor {

// True when standard input is an interactive terminal rather than a pipe
// from a manager (or a file).
bool stdinIsTerminal();

}  // namespace velmor
