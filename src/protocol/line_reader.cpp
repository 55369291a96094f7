#include "protocol/line_reader.h"

namespace velmor {

bool readCommandLine(std::FILE* in, char (&line)[kLineBufferSize]) {
    int stored = 0;
    for (;;) {
        const int c = std::getc(in);
        if (c == EOF) return false;
        if (stored < kLineBufferSize) line[stored++] = char(c);
        if (c == '\n') break;
    }
    // The last stored character is the newline, or for an overlong line the
    // 256th character; either gives way to the terminator.
    line[stored - 1] = '\0';
    if (stored >= 2 && line[stored - 2] == '\r') line[stored - 2] = '\0';
    return true;
}

}  // namespace velmor
