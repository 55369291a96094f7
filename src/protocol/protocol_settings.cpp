#include "protocol/protocol_settings.h"

#include <cstring>

#include "protocol/integer_scan.h"

namespace velmor {

ProtocolSettings protocolSettings;

void ProtocolSettings::reset() {
    boardWidth = 0;
    boardHeight = 0;
    turnTimeMs = 30000;
    timeLeftMs = 1000000000;
    maxMemory = 0;
    exactFiveFlag = 0;
    renjuFlag = 0;
    threadNum = 1;
    maxDepth = 0;
    maxNodes = 0;
    showDetail = kDetailUnset;
    dataFolder[0] = '\0';
}

// ASCII only: bytes above 127 (binary junk) must not reach tolower, where a
// negative char is undefined behaviour.
static char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool startsWithIgnoringCase(const char* text, const char* prefix) {
    for (; *prefix; ++text, ++prefix)
        if (*text == '\0' || asciiLower(*text) != asciiLower(*prefix)) return false;
    return true;
}

namespace {

// The value after a matched key: white space skipped, then read like atoi.
int32_t valueAfter(const char* parameter, const char* key) {
    return readIntSaturated(skipSpace(parameter + std::strlen(key)));
}

}  // namespace

void applyInfo(const char* parameter) {
    ProtocolSettings& s = protocolSettings;
    if (startsWithIgnoringCase(parameter, "max_memory")) s.maxMemory = valueAfter(parameter, "max_memory");
    if (startsWithIgnoringCase(parameter, "timeout_match")) (void)valueAfter(parameter, "timeout_match");
    if (startsWithIgnoringCase(parameter, "timeout_turn")) s.turnTimeMs = valueAfter(parameter, "timeout_turn");
    if (startsWithIgnoringCase(parameter, "time_left")) s.timeLeftMs = valueAfter(parameter, "time_left");
    if (startsWithIgnoringCase(parameter, "thread_num")) s.threadNum = valueAfter(parameter, "thread_num");
    if (startsWithIgnoringCase(parameter, "game_type")) (void)valueAfter(parameter, "game_type");
    if (startsWithIgnoringCase(parameter, "rule")) {
        int32_t r = valueAfter(parameter, "rule");
        s.exactFiveFlag = r & 1;
        s.renjuFlag = (r >> 2) & 1;
    }
    if (startsWithIgnoringCase(parameter, "max_depth")) s.maxDepth = valueAfter(parameter, "max_depth");
    if (startsWithIgnoringCase(parameter, "max_node")) s.maxNodes = valueAfter(parameter, "max_node");
    if (startsWithIgnoringCase(parameter, "show_detail")) s.showDetail = valueAfter(parameter, "show_detail");
    // caution_factor, pondering and usedatabase are accepted as every
    // unknown key is: they change nothing here.
    if (startsWithIgnoringCase(parameter, "folder")) {
        const char* folder = skipSpace(parameter + std::strlen("folder"));
        std::strncpy(s.dataFolder, folder, sizeof s.dataFolder - 1);
        s.dataFolder[sizeof s.dataFolder - 1] = '\0';
    }
}

}  // namespace velmor
