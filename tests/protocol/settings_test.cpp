// Reading the manager's numbers and INFO lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "protocol/brain.h"
#include "protocol/integer_scan.h"
#include "protocol/processors.h"
#include "protocol/protocol_settings.h"

namespace velmor {
namespace {

TEST(IntegerScan, ReadsLikeAtoiButSaturates) {
    struct Case {
        const char* text;
        int32_t value;
    } cases[] = {
        {"42", 42},
        {"  \t+17xyz", 17},
        {"-5", -5},
        {"", 0},
        {"abc", 0},
        {"-", 0},
        {"+-3", 0},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX},
        {"99999999999999999999999", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},
        {"-99999999999999999999999", INT32_MIN},
        {"000000000000000000000012", 12},
    };
    for (const Case& c : cases) EXPECT_EQ(readIntSaturated(c.text), c.value) << '"' << c.text << '"';
}

TEST(IntegerScan, FollowsTheFormatLikeSscanf) {
    struct Case {
        const char* text;
        const char* format;
        int count;
        std::vector<int32_t> values;
    } cases[] = {
        {"7,8", "%d,%d", 2, {7, 8}},
        {"7, 8", "%d,%d", 2, {7, 8}},  // %d skips white space before the number
        {" 7,8", "%d,%d", 2, {7, 8}},
        {"7 ,8", "%d,%d", 1, {7}},     // but a literal comma does not
        {"7", "%d,%d", 1, {7}},
        {"", "%d,%d", 0, {}},
        {",8", "%d,%d", 0, {}},
        {"-1,+2", "%d,%d", 2, {-1, 2}},
        {"7,8junk", "%d,%d", 2, {7, 8}},
        {"99999999999,1", "%d,%d", 2, {INT32_MAX, 1}},
        {"20 , 20", "%d ,%d", 2, {20, 20}},
        {"20,20", "%d ,%d", 2, {20, 20}},
        {"20\t,\t20", "%d ,%d", 2, {20, 20}},
        {"1,2,3", "%d,%d,%d", 3, {1, 2, 3}},
        {"1,2", "%d,%d,%d", 2, {1, 2}},
    };
    for (const Case& c : cases) {
        int32_t values[3] = {};
        int count = scanIntegers(c.text, c.format, values, 3);
        EXPECT_EQ(count, c.count) << '"' << c.text << "\" with " << c.format;
        for (int i = 0; i < std::min<int>(count, int(c.values.size())); ++i) EXPECT_EQ(values[i], c.values[i]) << c.text;
    }
}

class InfoTest : public ::testing::Test {
protected:
    void SetUp() override { protocolSettings.reset(); }
    void TearDown() override { protocolSettings.reset(); }
};

TEST_F(InfoTest, KeysSetTheirSetting) {
    applyInfo("timeout_turn 5000");
    applyInfo("TIME_LEFT\t123456");
    applyInfo("max_memory 83886080");
    applyInfo("timeout_match 180000");
    applyInfo("game_type 1");
    EXPECT_EQ(protocolSettings.turnTimeMs, 5000);
    EXPECT_EQ(protocolSettings.timeLeftMs, 123456);
    EXPECT_EQ(protocolSettings.maxMemory, 83886080);
}

TEST_F(InfoTest, RuleBitsGiveTheRuleCode) {
    struct Case {
        const char* line;
        GameRule rule;
    } cases[] = {
        {"rule 0", FreeStyle}, {"rule 1", ExactFive}, {"rule 2", FreeStyle}, {"rule 3", ExactFive},
        {"rule 4", Renju},     {"rule 5", Renju},     {"rule 8", FreeStyle}, {"rule 13", Renju},
        {"rule -1", Renju},    {"rule", FreeStyle},   {"Rule 1", ExactFive},
    };
    for (const Case& c : cases) {
        applyInfo(c.line);
        EXPECT_EQ(protocolSettings.rule(), c.rule) << c.line;
    }
}

TEST_F(InfoTest, UnknownOrMissingKeysChangeNothing) {
    for (const char* line : {"", "timeout 100", "xyz 5", "turn_timeout 5", " timeout_turn 5"}) applyInfo(line);
    EXPECT_EQ(protocolSettings.turnTimeMs, 30000);
    EXPECT_EQ(protocolSettings.timeLeftMs, 1000000000);
    EXPECT_EQ(protocolSettings.maxMemory, 0);
    EXPECT_EQ(protocolSettings.rule(), FreeStyle);
}

TEST_F(InfoTest, OutOfRangeValuesSaturate) {
    applyInfo("max_memory 5000000000");
    applyInfo("time_left -9999999999");
    EXPECT_EQ(protocolSettings.maxMemory, INT32_MAX);
    EXPECT_EQ(protocolSettings.timeLeftMs, INT32_MIN);
}

TEST_F(InfoTest, FolderKeepsAtMost255Characters) {
    applyInfo("folder   C:\\brains\\velmor data");
    EXPECT_STREQ(protocolSettings.dataFolder, "C:\\brains\\velmor data");
    std::string longFolder(400, 'f');
    applyInfo(("folder " + longFolder).c_str());
    EXPECT_EQ(std::strlen(protocolSettings.dataFolder), 255u);
}

TEST_F(InfoTest, ThinkSettingsNeverWrapNegativeLimits) {
    struct Case {
        const char* turn;
        const char* left;
        const char* memory;
        uint32_t turnMs, leftMs, memoryBytes;
    } cases[] = {
        {"timeout_turn 200", "time_left 5000", "max_memory 1000000", 200, 5000, 1000000},
        {"timeout_turn -1", "time_left -1", "max_memory -1", 0, 0, 0},
        {"timeout_turn 0", "time_left 0", "max_memory 0", 0, 0, 0},
        {"timeout_turn -99999999999", "time_left 99999999999", "max_memory 99999999999", 0, INT32_MAX, INT32_MAX},
    };
    for (const Case& c : cases) {
        applyInfo(c.turn);
        applyInfo(c.left);
        applyInfo(c.memory);
        SearchSettings s = searchSettingsNow();
        EXPECT_EQ(s.turnTimeMs, c.turnMs) << c.turn;
        EXPECT_EQ(s.timeLeftMs, c.leftMs) << c.left;
        EXPECT_EQ(s.maxMemory, c.memoryBytes) << c.memory;
    }
}

// One thread by default; INFO thread_num raises it up to the processors the
// machine has, and anything below one is one.
TEST_F(InfoTest, ThreadNumIsCappedByTheProcessors) {
    EXPECT_EQ(searchSettingsNow().threads, 1);
    const int32_t processors = processorCount();
    struct Case {
        const char* info;
        int32_t threads;
    } cases[] = {{"thread_num 1", 1},  {"thread_num 0", 1},     {"thread_num -5", 1},
                 {"THREAD_NUM 1", 1},  {"thread_num 2", std::min(2, processors)},
                 {"thread_num 99999999999", processors}};
    for (const Case& c : cases) {
        applyInfo(c.info);
        EXPECT_EQ(searchSettingsNow().threads, c.threads) << c.info;
    }
    protocolSettings.reset();
    EXPECT_EQ(searchSettingsNow().threads, 1);
}

TEST_F(InfoTest, ThinkSettingsCarryTheRuleAndASilentSink) {
    applyInfo("rule 4");
    SearchSettings s = searchSettingsNow();
    EXPECT_EQ(s.rule, Renju);
    // The search reports through the sink unconditionally: an empty one would throw.
    ASSERT_TRUE(s.messageSink);
    s.messageSink("a report line goes nowhere");
}

}  // namespace
}  // namespace velmor
