#pragma once

namespace velmor {

// True when standard input is an interactive terminal rather than a pipe
// from a manager (or a file).
bool stdinIsTerminal();

// Reads standard input as bytes. On Windows a text-mode stream ends at the
// first Ctrl-Z byte, so one stray byte from a manager would end the engine;
// the line reader removes the CR of CR LF itself. Nothing to do elsewhere.
void readInputAsBytes();

// Ends the process with status 0 at once: no destructors, no exit handlers.
// The caller has flushed every reply.
[[noreturn]] void exitAtOnce();

}  // namespace velmor
