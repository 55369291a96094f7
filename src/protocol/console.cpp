#include "protocol/console.h"

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace velmor {

bool stdinIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdin)) != 0;
#else
    return isatty(fileno(stdin)) != 0;
#endif
}

void readInputAsBytes() {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
}

[[noreturn]] void exitAtOnce() {
#ifdef _WIN32
    // ExitProcess, which _Exit comes down to, still calls every DLL's detach
    // routine after the other threads are gone, and the thread library's
    // can touch what a killed thread held: once, under wine, that ended in
    // a page fault after the last reply was written. On Windows such a
    // fault can stop a tournament behind an error dialog.
    TerminateProcess(GetCurrentProcess(), 0);
#endif
    std::_Exit(0);
}

}  // namespace velmor
