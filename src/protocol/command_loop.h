#pragma once
// The main thread: reads the manager's commands line by line and answers them.

namespace velmor {

// Start-up and the read loop. Never returns: the process ends with status 0
// at END or at the end of input.
[[noreturn]] void runCommandLoop();

// Executes one command line (without its line terminator).
void dispatchCommand(const char* line);

}  // namespace velmor
