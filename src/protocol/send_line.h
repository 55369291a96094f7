#pragma once
// The one way the engine writes to the manager.
#include <functional>
#include <string>

namespace velmor {

// Formats one reply printf-style, ends it with a newline and flushes, so the
// manager sees every line as soon as it is complete. Safe to call from the
// command loop and the brain thread at once: lines never interleave.
void sendLine(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Tests of the game context read the replies here instead of standard
// output; an empty function restores standard output.
void captureRepliesForTesting(std::function<void(const std::string&)> capture);

}  // namespace velmor
