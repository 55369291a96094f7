#include "protocol/integer_scan.h"

#include <algorithm>
#include <limits>

namespace velmor {

bool isProtocolSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

const char* skipSpace(const char* text) {
    while (isProtocolSpace(*text)) ++text;
    return text;
}

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// One %d conversion at `text`; advances `text` past it on success.
bool readOne(const char*& text, int32_t& value) {
    const char* p = skipSpace(text);
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (!isDigit(*p)) return false;
    // Accumulate towards the limit of the sign, stopping there.
    const int64_t limit = negative ? -int64_t(std::numeric_limits<int32_t>::min())
                                   : int64_t(std::numeric_limits<int32_t>::max());
    int64_t magnitude = 0;
    for (; isDigit(*p); ++p)
        if (magnitude < limit) magnitude = std::min(limit, magnitude * 10 + (*p - '0'));
    value = int32_t(negative ? -magnitude : magnitude);
    text = p;
    return true;
}

}  // namespace

int32_t readIntSaturated(const char* text) {
    int32_t value = 0;
    return readOne(text, value) ? value : 0;
}

int scanIntegers(const char* text, const char* format, int32_t* values, int capacity) {
    int count = 0;
    for (const char* f = format; *f; ++f) {
        if (f[0] == '%' && f[1] == 'd') {
            if (count == capacity || !readOne(text, values[count])) break;
            ++count;
            ++f;
        } else if (isProtocolSpace(*f)) {
            text = skipSpace(text);
        } else if (*text == *f) {
            ++text;
        } else {
            break;
        }
    }
    return count;
}

}  // namespace velmor
