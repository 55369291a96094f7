// The match tool's game runner and match loop against stand-in engines that
// misbehave on purpose, and against the real engine.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "match/match.h"

using namespace velmor::match;

namespace {

std::string standin(const std::string& mode, const std::string& log = "") {
    return std::string(VELMOR_STANDIN_PATH) + " " + mode + (log.empty() ? "" : " " + log);
}

GameConfig fastConfig() {
    GameConfig c;
    c.turnMs = 100;
    // Room for the real engine on a loaded or sanitizer-slowed machine; the
    // slow stand-in, at three turns, is still late.
    c.toleranceMs = 150;
    c.startMs = 10000;
    return c;
}

std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace

TEST(MatchGames, FaultsLoseAndTheRealEngineWins) {
    struct Case {
        std::string black, white;
        GameEnd end;
        int winner;
    } cases[] = {
        {VELMOR_ENGINE_PATH, standin("illegal"), GameEnd::Illegal, 0},
        {standin("garbage"), VELMOR_ENGINE_PATH, GameEnd::Illegal, 1},
        {standin("slow"), VELMOR_ENGINE_PATH, GameEnd::Time, 1},
        {VELMOR_ENGINE_PATH, standin("crash"), GameEnd::Crash, 0},
        {standin("weak"), VELMOR_ENGINE_PATH, GameEnd::Five, 1},
        {"/nonexistent/engine", standin("weak"), GameEnd::Crash, 1},
    };
    for (const Case& c : cases) {
        Engine black(c.black), white(c.white);
        const GameRecord g = playGame(black, white, {{7, 7}, {8, 8}}, fastConfig());
        EXPECT_EQ(g.end, c.end) << c.black << " vs " << c.white << ": " << g.detail;
        EXPECT_EQ(g.winner, c.winner) << g.detail;
        // The loser of a time or crash fault is stopped, to start afresh.
        if (c.end == GameEnd::Time || c.end == GameEnd::Crash) {
            EXPECT_FALSE((c.winner == 0 ? white : black).process.running());
        }
    }
}

TEST(MatchGames, SpeaksTheManagerProtocol) {
    const std::string log = testing::TempDir() + "match_protocol.log";
    std::remove(log.c_str());
    GameConfig config = fastConfig();
    config.matchMs = 5000;
    config.memory = 1000000;
    // Black alone gets its own INFO line, after the common ones.
    Engine black(standin("weak", log), {"thread_num 2"}), white(VELMOR_ENGINE_PATH);
    // Two games in a row on the same process: START again without END; the
    // first request of a game is a BOARD block, later ones TURN.
    for (int game = 0; game < 2; ++game) playGame(black, white, {{7, 7}, {7, 8}}, config);
    const std::vector<std::string> lines = readLines(log);
    const std::vector<std::string> opening = {"START 15",
                                              "INFO timeout_turn 100",
                                              "INFO timeout_match 5000",
                                              "INFO max_memory 1000000",
                                              "INFO rule 0",
                                              "INFO game_type 1",
                                              "INFO thread_num 2",
                                              "INFO time_left 5000",
                                              "BOARD",
                                              "7,7,1",
                                              "7,8,2",
                                              "DONE",
                                              "INFO time_left"};
    ASSERT_GT(lines.size(), opening.size());
    for (size_t i = 0; i < opening.size(); ++i) EXPECT_EQ(lines[i].rfind(opening[i], 0), 0u) << i << ": " << lines[i];
    EXPECT_EQ(lines[opening.size()].rfind("TURN ", 0), 0u);
    int starts = 0;
    for (const std::string& l : lines) {
        starts += l.rfind("START", 0) == 0;
        EXPECT_NE(l, "END");
    }
    EXPECT_EQ(starts, 2);
}

TEST(MatchGames, MatchCountsStopsOnTheSprtAndWritesSgf) {
    const std::string sgf = testing::TempDir() + "match_games.sgf";
    std::remove(sgf.c_str());
    MatchOptions o;
    o.command[0] = standin("weak");
    o.command[1] = standin("illegal");
    o.name[0] = "weak";
    o.name[1] = "illegal";
    o.game = fastConfig();
    o.games = 200;
    o.concurrency = 2;
    o.sgfPath = sgf;
    int rejected = 0;
    const std::vector<Opening> openings = randomOpenings(4, 15, Rule::FreeStyle, 7, rejected);
    ASSERT_EQ(openings.size(), 4u);
    const MatchSummary s = runMatch(o, openings, nullptr);
    // The illegal stand-in loses every game; the test decides long before 200.
    EXPECT_EQ(s.decision, 1);
    EXPECT_EQ(s.score.losses + s.score.draws, 0);
    EXPECT_LT(s.score.games(), 40);
    EXPECT_EQ(s.illegal, s.score.games());
    EXPECT_EQ(s.engine[1].illegal, s.score.games());
    const std::vector<std::string> records = readLines(sgf);
    ASSERT_EQ(int(records.size()), s.score.games());
    EXPECT_EQ(records[0].rfind("(;GM[4]FF[4]", 0), 0u);
    EXPECT_NE(records[0].find("SZ[15]"), std::string::npos);
    EXPECT_NE(records[0].find("+F]"), std::string::npos);
}

TEST(MatchGames, StopReportsHowTheEngineEnded) {
    // A tool's exit status depends on this: a clean END is 0, an engine that
    // died says by which signal, and one that would not end is killed (-1).
    struct Case {
        std::string command, request;
        int graceMs, status;
    } cases[] = {
        {VELMOR_ENGINE_PATH, "", 10000, 0},
        {standin("crash"), "BEGIN", 10000, 128 + SIGABRT},
        {standin("slow"), "BEGIN", 50, -1},
    };
    for (const Case& c : cases) {
        EngineProcess p(c.command);
        ASSERT_TRUE(p.start()) << c.command;
        std::string line;
        ASSERT_EQ(p.send("START 15") ? p.readLine(std::chrono::steady_clock::now() + std::chrono::seconds(10), line)
                                     : EngineProcess::Read::Closed,
                  EngineProcess::Read::Line);
        if (!c.request.empty()) p.send(c.request);
        EXPECT_EQ(p.stop(c.graceMs), c.status) << c.command;
        EXPECT_FALSE(p.running());
    }
    EXPECT_EQ(EngineProcess("unused").stop(), -1);
}
