// The commands of analysis GUIs and swap2 tournaments, and what the engine
// tells about its think, through the real executable.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "protocol/engine_process.h"
#include "protocol/transcript.h"

namespace velmor::test {
namespace {

using namespace std::chrono_literals;
using Clock = EngineProcess::Clock;
using Lines = std::vector<std::string>;

const std::string kAbout = R"(name="velmor", author="Ilvarsen", version="0.7.0.0", country="Tavrelia", www="")";
const std::string kNoGame = "ERROR a game must be started first: START 15 or START 20";
const std::string kMove = R"(~\d+,\d+)";
const std::string kSummary = R"(~MESSAGE depth \d+-\d+ \| eval -?\d+ \| nodes \d+ \| speed \d+K/s \| time \d+ ms \| pv \d+,\d+( \d+,\d+)*)";
// A middle game on 15x15 with no forced result: every think runs its time.
const Lines kMiddleGame = plays("7,7 8,8 7,8 7,6 6,7 8,7 8,6 6,8 9,5 5,9");
const Lines kMiddleEchoes = echoes("7,7 8,8 7,8 7,6 6,7 8,7 8,6 6,8 9,5 5,9");
const Lines kStart = {"INFO timeout_turn 1000", "INFO max_memory 8000000", "START 15"};

int field(const std::string& line, const char* name) {
    std::smatch m;
    if (!std::regex_search(line, m, std::regex(std::string(name) + " (\\d+)"))) return -1;
    return std::stoi(m[1]);
}

std::set<std::string> pointsOf(const std::string& text) {
    std::istringstream in(text);
    std::set<std::string> points;
    for (std::string p; in >> p;) points.insert(p);
    return points;
}

class GuiTranscript : public ::testing::TestWithParam<Transcript> {};
TEST_P(GuiTranscript, RepliesAsExpected) {
    const Transcript& t = GetParam();
    expectTranscript(t.expected, runScript(t.input, t.appendEnd, EngineProcess::Messages::Keep));
}

// White stones first (who 2), then black's (who 1, to move with equal
// counts): the renju fouls are black's, so the colours must follow who.
const Lines kComposedFouls = {"YXBOARD", "0,0,2", "0,2,2", "0,4,2", "14,14,2", "14,12,2", "14,10,2", "12,14,2",
                              "10,14,2", "9,3,1", "9,4,1", "10,3,1", "11,4,1", "3,9,1", "4,9,1", "2,10,1", "2,11,1",
                              "DONE"};

const Transcript kTranscripts[] = {
    {"YxboardSetsUpWithoutAMove", Lines{"START 15", "INFO rule 4"} + kComposedFouls + Lines{"YXSHOWFORBID"},
     {"OK", "FORBID 02090902."}},
    {"YxboardWithoutAGame", {"START 10", "YXBOARD", "1,1,1", "DONE"}, {"ERROR size of the board, only support 15*15 or 20*20", kNoGame}},
    {"GuiInfoKeysNeedNoReply",
     {"INFO thread_num 4", "INFO caution_factor 2", "INFO pondering 1", "INFO usedatabase 0", "INFO max_depth 0",
      "INFO max_node 0", "INFO show_detail 1", "ABOUT"},
     {kAbout}},
    {"YxstopWithoutAThinkDoesNothing", {"START 15", "YXSTOP", "yxstop", "ABOUT"}, {"OK", kAbout}},
    {"ThinkSummaryBeforeTheMove", kStart + kMiddleGame + Lines{"TURN 9,9"},
     Lines{"OK"} + kMiddleEchoes + Lines{kSummary, kMove}},
    {"OpeningMoveSaysSo", {"START 15", "BEGIN"}, {"OK", "MESSAGE opening move 6,6, no search", "6,6"}},
    {"ShowDetailZeroIsSilent", kStart + kMiddleGame + Lines{"INFO show_detail 0", "TURN 9,9"},
     Lines{"OK"} + kMiddleEchoes + Lines{kMove}},
    {"ShowDetailTwoAddsTheReportLines",
     kStart + kMiddleGame + Lines{"INFO show_detail 2", "INFO max_depth 3", "TURN 9,9"},
     Lines{"OK"} + kMiddleEchoes +
         Lines{"~MESSAGE depth: 2-.*", "~MESSAGE depth: 3-.*", "~MESSAGE time max:.*", "~MESSAGE depth:3 .*",
               "~MESSAGE hit:.*", "~MESSAGE DBSearch.*", "~MESSAGE depth 3-.*", kMove}},
    {"NbestWithoutAGame", {"START 10", "YXNBEST 3"}, {"ERROR size of the board, only support 15*15 or 20*20", kNoGame}},
    {"SwapBlockErrorsKeepTheEngineUsable",
     {"START 15", "SWAP2BOARD", "7,7", "8,8", "DONE", "SWAP2BOARD", "7,7", "8,8", "9,9", "6,6", "DONE", "SWAP2BOARD",
      "7,7", "8,8", "7,7", "DONE", "SWAP2BOARD", "7,7", "15,3", "1,1", "DONE", "SWAP2BOARD", "7,7", "ABOUT", "BEGIN"},
     {"OK", "ERROR swap2 needs 0, 3 or 5 stones, not 2", "ERROR swap2 needs 0, 3 or 5 stones, not 4",
      "ERROR swap2 stone [7,7] is on an occupied point", "ERROR swap2 stone [15,3] is off the board",
      "ERROR x,y or DONE expected after SWAP2BOARD", "MESSAGE opening move 6,6, no search", "6,6"}},
};
INSTANTIATE_TEST_SUITE_P(Engine, GuiTranscript, ::testing::ValuesIn(kTranscripts),
                         [](const auto& info) { return std::string(info.param.name); });

// INFO max_depth and max_node end the think; the summary line shows where.
TEST(GuiLimits, DepthAndNodeLimitsEndTheThink) {
    struct Case { const char* info; int depth; int maxNodes; };
    for (const Case& c : {Case{"INFO max_depth 1", 1, -1}, Case{"INFO max_depth 4", 4, -1},
                          Case{"INFO max_node 3000", -1, 3000}}) {
        SCOPED_TRACE(c.info);
        const Lines out = runScript(Lines{"INFO timeout_turn 20000", "START 15"} + kMiddleGame + Lines{c.info, "TURN 9,9"},
                                    true, EngineProcess::Messages::Keep);
        ASSERT_EQ(out.size(), kMiddleGame.size() + 3) << joined(out);
        const std::string& summary = out[out.size() - 2];
        if (c.depth > 0) {
            EXPECT_EQ(field(summary, "depth"), c.depth) << summary;
        }
        // The node search checks its limits at interior nodes; the leaves
        // of the last one may come on top.
        if (c.maxNodes > 0) {
            EXPECT_LE(field(summary, "nodes"), c.maxNodes + 300) << summary;
        }
        EXPECT_LT(field(summary, "time"), 10000) << summary;
    }
}

// After YXHASHCLEAR the same search starts from nothing again, so it counts
// the same nodes; without it the second search would reuse the first.
TEST(GuiLimits, HashClearMakesTheSameSearchAgain) {
    const Lines search = Lines{"INFO max_depth 5", "INFO timeout_turn 20000", "START 15"} + kMiddleGame +
                         Lines{"TURN 9,9", "RESTART", "YXHASHCLEAR"} + kMiddleGame + Lines{"TURN 9,9"};
    Lines summaries;
    for (const std::string& line : runScript(search, true, EngineProcess::Messages::Keep))
        if (line.rfind("MESSAGE depth", 0) == 0) summaries.push_back(line);
    ASSERT_EQ(summaries.size(), 2u);
    EXPECT_EQ(field(summaries[0], "nodes"), field(summaries[1], "nodes")) << joined(summaries);
}

struct NbestCase { const char* name; int asked; std::size_t expectedLines; };

class Nbest : public ::testing::TestWithParam<NbestCase> {};
// Distinct moves, best first, the answer is the first, and nothing is
// played: the answer's point is still free afterwards.
TEST_P(Nbest, ListsDistinctMovesAndPlaysNone) {
    const NbestCase& c = GetParam();
    EngineProcess engine(EngineProcess::Messages::Keep);
    ASSERT_TRUE(engine.writeLines(kStart + kMiddleGame));
    for (std::size_t i = 0; i <= kMiddleGame.size(); ++i) ASSERT_TRUE(engine.readLine());
    const auto asked = Clock::now();
    ASSERT_TRUE(engine.writeLine("YXNBEST " + std::to_string(c.asked)));
    Lines tail;
    for (auto line = engine.readLine(); line; line = engine.readLine()) {
        tail.push_back(*line);
        if (line->rfind("MESSAGE", 0) != 0) break;
    }
    EXPECT_LT(Clock::now() - asked, 1000ms);
    ASSERT_TRUE(engine.writeLine("PLAY " + tail.back()));
    EXPECT_EQ(engine.readLine(), tail.back());  // still free: YXNBEST played nothing
    ASSERT_GE(tail.size(), 2u);
    std::set<std::string> moves;
    for (std::size_t k = 0; k + 1 < tail.size(); ++k) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(tail[k], m, std::regex(R"(MESSAGE NBEST (\d+) (\d+,\d+) \| eval -?\d+ \| depth \d+-\d+ \| pv \2( \d+,\d+)*)")))
            << tail[k];
        EXPECT_EQ(std::stoi(m[1]), int(k) + 1);
        EXPECT_TRUE(moves.insert(m[2]).second) << "repeated " << m[2];
        EXPECT_EQ(std::count(kMiddleEchoes.begin(), kMiddleEchoes.end(), m[2].str()), 0) << m[2] << " is taken";
    }
    if (c.expectedLines) EXPECT_EQ(moves.size(), c.expectedLines);
    else EXPECT_GT(moves.size(), 10u);  // every candidate, however many were asked for
    EXPECT_EQ("MESSAGE NBEST 1 " + tail.back(), tail[0].substr(0, tail[0].find(" |")));
}
INSTANTIATE_TEST_SUITE_P(Engine, Nbest,
                         ::testing::Values(NbestCase{"Three", 3, 3}, NbestCase{"ZeroGivesTheBest", 0, 1},
                                           NbestCase{"MoreThanTheMoves", 400, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// The GUI's analysis: a long turn, stopped by YXSTOP. The best move so far
// comes within 50 ms, and the real-time lines tell the think in order and
// at most about ten a second.
TEST(GuiAnalysis, StopEndsALongThinkWithOrderlyRealtimeLines) {
    EngineProcess engine(EngineProcess::Messages::Keep);
    ASSERT_TRUE(engine.writeLines(Lines{"INFO timeout_turn 60000", "INFO show_detail 1", "START 15"} + kMiddleGame));
    for (std::size_t i = 0; i <= kMiddleGame.size(); ++i) ASSERT_TRUE(engine.readLine());
    const auto asked = Clock::now();
    ASSERT_TRUE(engine.writeLine("TURN 9,9"));
    std::this_thread::sleep_for(1500ms);
    const auto stopped = Clock::now();
    ASSERT_TRUE(engine.writeLine("YXSTOP"));

    std::vector<std::pair<std::string, Clock::time_point>> realtime;
    std::optional<std::pair<std::string, Clock::time_point>> line;
    while ((line = engine.readTimedLine(5s)) && line->first.rfind("MESSAGE", 0) == 0)
        if (line->first.rfind("MESSAGE REALTIME", 0) == 0) realtime.push_back(*line);
    ASSERT_TRUE(line);
    EXPECT_TRUE(lineMatches(kMove, line->first)) << line->first;
    EXPECT_LT(line->second - stopped, 50ms);

    ASSERT_GE(realtime.size(), 3u);
    EXPECT_GE(realtime.front().second - asked, 200ms);
    std::string searching;
    std::set<std::string> searched;
    for (std::size_t i = 0; i < realtime.size(); ++i) {
        const std::string& text = realtime[i].first;
        SCOPED_TRACE(text);
        if (i > 0) {
            EXPECT_GE(realtime[i].second - realtime[i - 1].second, 80ms);  // read jitter
        }
        std::smatch m;
        ASSERT_TRUE(std::regex_match(text, m, std::regex(R"(MESSAGE REALTIME (POS|DONE|BEST|LOST) (\d+,\d+))")));
        if (m[1] == "POS") searching = m[2], searched.insert(m[2]);
        if (m[1] == "DONE") {
            EXPECT_EQ(searching, m[2]);
        }
        if (m[1] == "BEST") {
            EXPECT_TRUE(searched.count(m[2]));
        }
    }
    // Still usable, and a stop is not carried over into the next think.
    const auto next = Clock::now();
    ASSERT_TRUE(engine.writeLines(Lines{"INFO timeout_turn 400", "INFO show_detail 0", "RESTART"} + kMiddleGame +
                                  Lines{"TURN 9,9"}));
    for (std::size_t i = 0; i <= kMiddleGame.size(); ++i) ASSERT_TRUE(engine.readLine());
    EXPECT_TRUE(lineMatches(kMove, engine.readLine().value_or("")));
    EXPECT_GT(Clock::now() - next, 200ms);
    ASSERT_TRUE(engine.writeLine("END"));
    EXPECT_EQ(engine.waitExit(5s), 0);
}

// timeout_turn 0 asks for a move at once (the analysis GUI's "no limit"
// is a long turn and YXSTOP instead).
TEST(GuiAnalysis, TurnOfZeroMovesAtOnce) {
    EngineProcess engine;
    ASSERT_TRUE(engine.writeLines(Lines{"INFO timeout_turn 0", "INFO timeout_match 0", "INFO time_left 2147483647",
                                        "START 15"} + kMiddleGame));
    for (std::size_t i = 0; i <= kMiddleGame.size(); ++i) ASSERT_TRUE(engine.readLine());
    const auto asked = Clock::now();
    ASSERT_TRUE(engine.writeLine("TURN 9,9"));
    EXPECT_TRUE(lineMatches(kMove, engine.readLine().value_or("")));
    EXPECT_LT(Clock::now() - asked, 200ms);
}

// Every swap2 answer is legal for its block and comes within the turn.
TEST(Swap2, AnswersAreLegalAndInTime) {
    struct Case { Lines stones; const char* answer; };
    const Case cases[] = {
        {{}, R"(\d+,\d+ \d+,\d+ \d+,\d+)"},
        {{"7,7", "8,8", "7,9"}, R"(SWAP|\d+,\d+|\d+,\d+ \d+,\d+)"},
        {{"7,7,1", "8,8,2", "6,6,1"}, R"(SWAP|\d+,\d+|\d+,\d+ \d+,\d+)"},  // a trailing who is accepted
        {{"7,7", "7,8", "7,9"}, R"(SWAP|\d+,\d+|\d+,\d+ \d+,\d+)"},
        {{"7,7", "8,7", "6,8", "9,6", "7,5"}, R"(SWAP|\d+,\d+)"},
        // One side clearly better: the engine takes it.
        {{"0,0", "7,7", "14,14"}, R"(\d+,\d+)"},
        {{"7,7", "0,0", "7,8", "14,14", "7,9"}, "SWAP"},
        {{"7,7", "3,3", "0,14", "3,4", "14,0"}, R"(\d+,\d+)"},
    };
    EngineProcess engine;
    ASSERT_TRUE(engine.writeLines({"INFO timeout_turn 1000", "INFO max_memory 8000000", "START 15"}));
    ASSERT_EQ(engine.readLine(), "OK");
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.stones));
        ASSERT_TRUE(engine.writeLines(Lines{"SWAP2BOARD"} + c.stones));
        const auto asked = Clock::now();
        ASSERT_TRUE(engine.writeLine("DONE"));
        const auto answer = engine.readLine(3s);
        ASSERT_TRUE(answer);
        EXPECT_LT(Clock::now() - asked, 1000ms);
        EXPECT_TRUE(std::regex_match(*answer, std::regex(c.answer))) << *answer;
        if (*answer == "SWAP") continue;
        std::set<std::string> taken;
        for (const std::string& s : c.stones) taken.insert(s.substr(0, s.find(',', s.find(',') + 1)));
        const std::set<std::string> placed = pointsOf(*answer);
        EXPECT_EQ(placed.size(), size_t(std::count(answer->begin(), answer->end(), ',')));
        for (const std::string& p : placed) {
            EXPECT_FALSE(taken.count(p)) << p << " is taken";
            int x = -1, y = -1;
            EXPECT_EQ(std::sscanf(p.c_str(), "%d,%d", &x, &y), 2);
            EXPECT_TRUE(x >= 0 && x < 15 && y >= 0 && y < 15) << p;
        }
    }
    ASSERT_TRUE(engine.writeLine("END"));
    EXPECT_EQ(engine.waitExit(5s), 0);
}

}  // namespace
}  // namespace velmor::test
