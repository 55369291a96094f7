#include "protocol/send_line.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace velmor {

namespace {

std::mutex outputMutex;
std::function<void(const std::string&)> replyCapture;

}  // namespace

void sendLine(const char* format, ...) {
    // Format the whole line first, so that it leaves in one write.
    char small[256];
    std::va_list args;
    va_start(args, format);
    int length = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (length < 0) return;
    std::string line;
    if (std::size_t(length) < sizeof small) {
        line.assign(small, std::size_t(length));
    } else {
        line.resize(std::size_t(length) + 1);
        va_start(args, format);
        std::vsnprintf(line.data(), line.size(), format, args);
        va_end(args);
        line.resize(std::size_t(length));
    }

    std::lock_guard lock(outputMutex);
    if (replyCapture) {
        replyCapture(line);
        return;
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

void captureRepliesForTesting(std::function<void(const std::string&)> capture) {
    std::lock_guard lock(outputMutex);
    replyCapture = std::move(capture);
}

}  // namespace velmor
