#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/clock.h"
#include "search/search_state.h"
#include "support/positions.h"

namespace velmor {
namespace {

struct ReportFixture : ::testing::Test {
    Board root;
    SearchState state;
    std::vector<std::string> lines;
    void SetUp() override {
        root = test::playMoves(15, FreeStyle, {Pos(7, 7), Pos(8, 8), Pos(6, 6)});
        state.setRoot(root);
        state.messageSink = [this](const std::string& text) { lines.push_back(text); };
        state.startTime = wallClockTicks();
    }
    SearchPath path(std::initializer_list<Pos> moves, int32_t rating) {
        SearchPath p;
        p.reset(state.rootStep);
        for (Pos m : moves) p.moves.push_back(m);
        p.endStep = uint16_t(p.startStep + p.moves.size());
        p.rating = rating;
        return p;
    }
};

TEST_F(ReportFixture, IterationLine) {
    state.depth = 6;
    state.deepestStep = state.rootStep + 11;
    state.stats.nodes = 402;
    state.stats.ab = 1000;
    const int64_t before = state.elapsedMs();
    state.reportIteration(path({Pos(7, 8), Pos(8, 8), Pos(6, 8)}, 152));
    const int64_t after = state.elapsedMs();

    ASSERT_EQ(lines.size(), 1u);
    const std::string head = "depth: 6-11 [7,8] rating:152 time:";
    const std::string tail = "ms node:402 path:[7,8][8,8][6,8]";
    const std::string& line = lines[0];
    ASSERT_EQ(line.compare(0, head.size(), head), 0) << line;
    ASSERT_GE(line.size(), head.size() + tail.size());
    ASSERT_EQ(line.compare(line.size() - tail.size(), tail.size(), tail), 0) << line;
    const int64_t ms = std::stoll(line.substr(head.size(), line.size() - head.size() - tail.size()));
    EXPECT_GE(ms, before);
    EXPECT_LE(ms, after);
    // The iteration's nodes move into the running total.
    EXPECT_EQ(state.stats.nodes, 0);
    EXPECT_EQ(state.stats.ab, 1402);
}

TEST_F(ReportFixture, IterationLineWithNegativeValues) {
    state.depth = 3;
    state.deepestStep = state.rootStep;  // the threat search went no deeper
    state.stats.nodes = 0;
    state.startTime = wallClockTicks() + 100 * kTicksPerSecond;  // a start in the future reads negative
    state.reportIteration(path({Pos(0, 14)}, -9000));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("depth: 3-0 [0,14] rating:-9000 time:-", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("ms node:0 path:[0,14]"), std::string::npos) << lines[0];
}

TEST_F(ReportFixture, EmptyIterationKeepsTheNodeCount) {
    state.stats.nodes = 17;
    state.reportIteration(path({}, 0));
    EXPECT_EQ(lines, std::vector<std::string>{"no path"});
    EXPECT_EQ(state.stats.nodes, 17);
    EXPECT_EQ(state.stats.ab, 0);
}

TEST_F(ReportFixture, TimeLineAndSummary) {
    state.timeMaxMs = 4294967295u;
    state.timeSuggestMs = 10000;
    state.depth = 9;
    state.stats = {0, 81234, 5000, 77, 0, 12, 34, 56, 18446744073709551615ull, 0, 0, 4000000000ull, 321, 9999,
                   250};
    state.reportTimeBudget();
    state.reportSummary(path({Pos(10, 3), Pos(4, 4)}, 10000));
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "time max:4294967295ms suggest:10000ms",
                         "depth:9 [10,3] complex:56 ab:81234 leaf:5000 scout:77 quies:0 null:12 bestmove:34",
                         "hit:18446744073709551615 miss:0 clash:0 cover:4000000000",
                         "DBSearch count:321 total:9999 max:250",
                     }));
}

TEST_F(ReportFixture, SummaryWithoutPath) {
    state.reportSummary(path({}, 0));
    EXPECT_EQ(lines, std::vector<std::string>{"no path"});
}

TEST_F(ReportFixture, EveryLineGoesThroughTheSinkWithoutTerminator) {
    state.depth = 2;
    state.reportIteration(path({Pos(1, 2)}, 5));
    state.reportTimeBudget();
    state.reportSummary(path({Pos(1, 2)}, 5));
    ASSERT_EQ(lines.size(), 5u);
    for (const std::string& line : lines) EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
}

}  // namespace
}  // namespace velmor
