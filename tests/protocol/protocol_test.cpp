// The engine as a manager sees it: each case starts the real executable,
// writes a script of command lines and compares the whole transcript.
#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <sstream>
#include <set>
#include <string>
#include <vector>

#include "protocol/engine_process.h"
#include "protocol/transcript.h"

namespace velmor::test {
namespace {

using namespace std::chrono_literals;

const std::string kAbout = R"(name="velmor", author="Ilvarsen", version="0.7.0.0", country="Tavrelia", www="")";
const std::string kNoGame = "ERROR a game must be started first: START 15 or START 20";
const std::string kSizeError = "ERROR size of the board, only support 15*15 or 20*20";
const std::string kBoardEnd = "ERROR x,y,who or DONE expected after BOARD";
// Any move; and any of the eight neighbours of the 15x15 and 20x20 centres.
const std::string kMove = R"(~\d+,\d+)";
const std::string kNextTo7 = "~(7,6|7,8|6,7|8,7|6,6|8,8|8,6|6,8)";
const std::string kNextTo10 = "~(10,9|10,11|9,10|11,10|9,9|11,11|11,9|9,11)";

// Keeps every think that reaches the search short, whichever search is built.
const std::vector<std::string> kQuick = {"INFO timeout_turn 150", "INFO time_left 3000", "INFO max_memory 8000000"};

class ProtocolTranscript : public ::testing::TestWithParam<Transcript> {};

TEST_P(ProtocolTranscript, RepliesAsExpected) {
    const Transcript& t = GetParam();
    expectTranscript(t.expected, runScript(t.input, t.appendEnd));
}

// 64 stones without a five: colour ((x / 2) + y) mod 2 over the 8x8 corner
// keeps every run of one colour at two stones or fewer. Lines alternate
// colours, as the BOARD stones do.
std::vector<std::string> crowdedBoardBlock() {
    std::vector<std::string> first, second;
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y)
            ((x / 2 + y) % 2 ? second : first).push_back(std::to_string(x) + "," + std::to_string(y));
    std::vector<std::string> block = {"BOARD"};
    for (std::size_t i = 0; i < first.size(); ++i) {
        block.push_back(first[i] + ",2");
        block.push_back(second[i] + ",1");
    }
    block.push_back("DONE");
    return block;
}

std::string repeat(char c, int n) { return std::string(std::size_t(n), c); }

// Black to move with double threes at 9,2 and 2,9 (white far away); and a
// position whose 11,7 the line patterns alone take for a double three,
// though the row's three through it would make six on either four.
constexpr const char* kTwoFouls = "9,3 0,0 9,4 0,2 10,3 0,4 11,4 14,14 3,9 14,12 4,9 14,10 2,10 12,14 2,11 10,14";
constexpr const char* kNoRealFoul = "6,7 8,4 7,7 9,5 9,7 10,6 12,7 12,8 14,7 0,0 11,8 14,0 11,9 0,14";
const std::vector<std::string> kRenju15 = {"START 15", "INFO rule 4"};

const Transcript kTranscripts[] = {
    // Start-up and game start.
    {"NothingBeforeEnd", {}, {}},
    {"AboutInfoAndEndStartNoGame", {"ABOUT", "INFO timeout_turn 5000", "INFO rule 1"}, {kAbout}},
    {"StartSizes",
     {"START 15", "start 20", "START 10", "START 4", "START x", "STARTING", "START", "START 20 junk"},
     {"OK", "OK", kSizeError, "ERROR bad START parameter", "ERROR bad START parameter", "ERROR bad START parameter",
      "ERROR bad START parameter", "OK"}},
    {"RectstartForms",
     {"RECTSTART 20,20", "RECTSTART 20 , 20", "rectstart 15,15", "RECTSTART 15,20", "RECTSTART 20", "RECTSTART 4,20",
      "RECTSTART 20,3", "RECTSTART"},
     {"OK", "OK", "OK", kSizeError, "ERROR bad RECTSTART parameters", "ERROR bad RECTSTART parameters",
      "ERROR bad RECTSTART parameters", "ERROR bad RECTSTART parameters"}},
    {"ImplicitStartByTurnOnTheCentre", {"TURN 10,10"}, {"OK", kNextTo10}},
    {"ImplicitStartByTurnElsewhere", kQuick + std::vector<std::string>{"TURN 7,7"}, {"OK", kMove}},
    {"ImplicitStartByRestart", {"RESTART"}, {"OK", "OK"}},
    {"ImplicitStartByBegin", {"BEGIN"}, {"OK", "9,9"}},
    {"BadStartParameterLeadsToImplicitStart", {"START 3", "BEGIN"}, {"ERROR bad START parameter", "OK", "9,9"}},
    {"BadRectstartLeadsToImplicitStart", {"RECTSTART 3,3", "TURN 10,10"}, {"ERROR bad RECTSTART parameters", "OK", kNextTo10}},

    // Opening rules.
    {"Begin15", {"START 15", "BEGIN"}, {"OK", "6,6"}},
    {"Begin20", {"START 20", "BEGIN"}, {"OK", "9,9"}},
    {"NeighbourOfTheCentre15", {"START 15", "TURN 7,7"}, {"OK", kNextTo7}},
    {"NeighbourOfTheCentre20", {"START 20", "TURN 10,10"}, {"OK", kNextTo10}},
    {"SearchOffTheCentre", kQuick + std::vector<std::string>{"START 15", "TURN 6,6"}, {"OK", kMove}},
    {"RestartEmptiesTheBoard", {"START 15", "PLAY 3,3", "RESTART", "BEGIN"}, {"OK", "3,3", "OK", "6,6"}},

    // TURN and PLAY.
    {"TurnCoordinates",
     {"START 15", "TURN 15,0", "TURN 0,15", "TURN -1,3", "TURN 7 ,7", "TURN 7", "TURN", "TURN a,b", "TURN 99999999999,1",
      "TURN 7, 7"},
     {"OK", "ERROR bad coordinates", "ERROR bad coordinates", "ERROR bad coordinates", "ERROR bad coordinates",
      "ERROR bad coordinates", "ERROR bad coordinates", "ERROR bad coordinates", "ERROR bad coordinates", kNextTo7}},
    {"TurnWithoutBlank", {"START 15", "TURN7,7"}, {"OK", kNextTo7}},
    {"TurnOnAnOccupiedPointStillThinks",
     {"START 15", "PLAY 7,7", "TURN 7,7"},
     {"OK", "7,7", "ERROR opponents's move [7,7]", kNextTo7}},
    {"PlayEchoesAndRefuses",
     {"START 15", "PLAY 7,7", "PLAY 7,7", "PLAY 15,15", "play 0,14"},
     {"OK", "7,7", "ERROR my move [7,7]", "7,7", "ERROR bad coordinates", "0,14"}},

    // BOARD blocks.
    {"BoardWhoThreePlacesNothing", {"START 15", "BOARD", "7,7,3", "DONE"}, {"OK", "ERROR winning move [7,7]", "6,6"}},
    {"BoardLoneCentreStone", {"START 15", "BOARD", "7,7,2", "done"}, {"OK", kNextTo7}},
    // Lines in playing order: the first, third, fifth and seventh make a
    // four for the first player, which the engine, second to move, blocks.
    {"BoardInPlayingOrder",
     kQuick + std::vector<std::string>{"START 15", "BOARD", "0,0,2", "9,5,1", "1,0,2", "9,7,1", "2,0,2", "12,12,1",
                                       "3,0,2", "Done"},
     {"OK", "4,0"}},
    // Composed blocks: the stones take the colour their who names, however
    // the lines are ordered. The engine's own four (who 1) wins; the
    // opponent's four (who 2, the side with more stones) is blocked.
    {"BoardOwnStonesFirst",
     kQuick + std::vector<std::string>{"START 15", "BOARD", "0,0,1", "1,0,1", "2,0,1", "3,0,1", "10,10,2", "12,12,2",
                                       "10,13,2", "DONE"},
     {"OK", "4,0"}},
    {"BoardOpponentStonesFirst",
     kQuick + std::vector<std::string>{"START 15", "BOARD", "0,5,2", "1,5,2", "2,5,2", "3,5,2", "9,9,1", "11,11,1",
                                       "9,12,1", "DONE"},
     {"OK", "4,5"}},
    {"BoardOccupiedPoints",
     {"START 15", "BOARD", "7,7,1", "7,7,1", "7,7,2", "DONE"},
     {"OK", "ERROR my move [7,7]", "ERROR opponents's move [7,7]", kNextTo7}},
    {"BoardEndedByTwoNumbers", {"START 15", "BOARD", "7,7,1", "3,3", "RESTART"}, {"OK", kBoardEnd, kNextTo7, "OK"}},
    {"BoardEndedByWhoZero", {"START 15", "BOARD", "7,7"",0"}, {"OK", kBoardEnd, "6,6"}},
    {"BoardEndedByAnOffBoardLine", {"START 15", "BOARD", "15,3,1"}, {"OK", kBoardEnd, "6,6"}},
    // The line that ends a block is used up, even when it is a command.
    {"BoardEndLineIsNotExecuted", {"START 15", "BOARD", "ABOUT"}, {"OK", kBoardEnd, "6,6"}},
    {"BoardDoneWithTrailingBlank", {"START 15", "BOARD", "DONE "}, {"OK", kBoardEnd, "6,6"}},
    {"BoardAddsToTheGame", {"START 15", "PLAY 7,7", "BOARD", "DONE"}, {"OK", "7,7", kNextTo7}},

    // TAKEBACK: the history's last move goes, whichever occupied point is named.
    {"TakebackToOneStone", {"START 15", "PLAY 7,7", "PLAY 8,8", "TAKEBACK 8,8", "BEGIN"}, {"OK", "7,7", "8,8", "OK", kNextTo7}},
    {"TakebackNamesAnyOccupiedPoint",
     {"START 15", "PLAY 7,7", "PLAY 8,8", "TAKEBACK 7,7", "BEGIN"},
     {"OK", "7,7", "8,8", "OK", kNextTo7}},
    {"TakebackEverything", {"START 15", "PLAY 7,7", "TAKEBACK 7,7", "BEGIN"}, {"OK", "7,7", "OK", "6,6"}},
    {"TakebackRefused",
     {"START 15", "PLAY 7,7", "TAKEBACK 3,3", "TAKEBACK 15,15", "TAKEBACK 7", "TAKEBACK"},
     {"OK", "7,7", "ERROR bad coordinates", "ERROR bad coordinates", "ERROR bad coordinates", "ERROR bad coordinates"}},

    // After a refused size there is no game until a start succeeds.
    {"NoGameAfterRefusedSize",
     {"START 10", "TURN 1,1", "PLAY 1,1", "BEGIN", "TAKEBACK 1,1", "RESTART", "BOARD", "1,1,1", "12,12,2", "3,3,3",
      "40,40,1", "DONE", "ABOUT", "START 15", "BEGIN"},
     {kSizeError, kNoGame, kNoGame, kNoGame, kNoGame, kNoGame, kNoGame, kAbout, "OK", "6,6"}},
    {"NoGameAfterRefusedRectangle", {"RECTSTART 15,20", "BEGIN", "RECTSTART 20,20", "BEGIN"}, {kSizeError, kNoGame, "OK", "9,9"}},

    // YXSHOWFORBID: black's fouls, only for black to move under renju.
    {"ShowForbidOnTheEmptyBoard", kRenju15 + std::vector<std::string>{"yxshowforbid"}, {"OK", "FORBID ."}},
    {"ShowForbidInScanOrder", kRenju15 + plays(kTwoFouls) + std::vector<std::string>{"YXSHOWFORBID"},
     std::vector<std::string>{"OK"} + echoes(kTwoFouls) + std::vector<std::string>{"FORBID 02090902."}},
    {"ShowForbidOnlyForBlackUnderRenju",
     kRenju15 + plays(kTwoFouls) +
         std::vector<std::string>{"PLAY 7,7", "YXSHOWFORBID", "PLAY 7,8", "INFO rule 1", "YXSHOWFORBID", "INFO rule 0",
                                  "YXSHOWFORBID"},
     std::vector<std::string>{"OK"} + echoes(kTwoFouls) +
         std::vector<std::string>{"7,7", "FORBID .", "7,8", "FORBID .", "FORBID ."}},
    {"ShowForbidAfterARuleChange",
     std::vector<std::string>{"START 15"} + plays(kTwoFouls) + std::vector<std::string>{"INFO rule 4", "YXSHOWFORBID"},
     std::vector<std::string>{"OK"} + echoes(kTwoFouls) + std::vector<std::string>{"FORBID 02090902."}},
    {"ShowForbidLeavesOutWhatOnlyLooksLikeAFoul", kRenju15 + plays(kNoRealFoul) + std::vector<std::string>{"YXSHOWFORBID"},
     std::vector<std::string>{"OK"} + echoes(kNoRealFoul) + std::vector<std::string>{"FORBID ."}},
    {"ShowForbidWaitsForTheThink", kRenju15 + std::vector<std::string>{"TURN 7,7", "YXSHOWFORBID"},
     {"OK", kNextTo7, "FORBID ."}},
    {"ShowForbidWithoutAGame", {"START 10", "YXSHOWFORBID"}, {kSizeError, kNoGame}},

    // Unrecognised lines.
    {"UnknownLines", {"", "   ", "\t", "hello", "STAR 15", "TAKE"}, std::vector<std::string>(6, "UNKNOWN command")},
    {"EndPrefixEndsTheProcess", {"ENDGAME", "ABOUT"}, {}, false},

    // Line reading.
    {"CrlfLines", kQuick + std::vector<std::string>{"START 15\r", "PLAY 7,7\r", "BOARD\r", "8,8,1\r", "DONE\r",
                                                   "PLAY 0,0\r", "ABOUT\r"},
     {"OK", "7,7", kMove, "0,0", kAbout}},
    {"LongLineKeepsItsFirst255Characters",
     {"START 15", "PLAY 7," + repeat(' ', 247) + "8", "PLAY 8," + repeat(' ', 248) + "8", "about" + repeat('x', 3000)},
     {"OK", "7,8", "ERROR bad coordinates", kAbout}},
    {"TailOfALongLineIsDropped", {"XYZ" + repeat('a', 300) + "END", "ABOUT"}, {"UNKNOWN command", kAbout}},

    // INFO limits below zero must not turn into huge budgets: 64 stones
    // spend a tenth of the time left, which would otherwise be 49 days.
    {"NegativeTimeLeft",
     std::vector<std::string>{"INFO timeout_turn 100", "INFO time_left -1", "INFO max_memory 8000000", "START 15"} +
         crowdedBoardBlock(),
     {"OK", kMove}},
};

INSTANTIATE_TEST_SUITE_P(Engine, ProtocolTranscript, ::testing::ValuesIn(kTranscripts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProtocolProcess, EndDuringAThinkWritesTheMoveFirst) {
    std::vector<std::string> output =
        runScript(kQuick + std::vector<std::string>{"START 15", "TURN 6,6", "END"}, false);
    expectTranscript({"OK", kMove}, output);
}

TEST(ProtocolProcess, AboutIsAnsweredDuringAThink) {
    std::vector<std::string> output =
        runScript(kQuick + std::vector<std::string>{"START 15", "TURN 6,6", "ABOUT", "BEGIN"});
    // ABOUT does not wait for the think, so it may come before the move;
    // BEGIN waits for the first move before it asks for another.
    ASSERT_EQ(output.size(), 4u) << joined(output);
    EXPECT_EQ(output[0], "OK");
    std::multiset<std::string> middle = {output[1], output[2]};
    EXPECT_EQ(middle.count(kAbout), 1u) << joined(output);
    EXPECT_TRUE(lineMatches(kMove, output[1] == kAbout ? output[2] : output[1])) << joined(output);
    EXPECT_TRUE(lineMatches(kMove, output[3])) << joined(output);
}

TEST(ProtocolProcess, EndOfInputEndsAtOnceEvenDuringALongThink) {
    EngineProcess engine;
    ASSERT_TRUE(engine.writeLines({"INFO timeout_turn 60000", "INFO max_memory 8000000", "START 15", "TURN 6,6"}));
    ASSERT_EQ(engine.readLine(), "OK");
    auto start = std::chrono::steady_clock::now();
    engine.closeInput();
    EXPECT_EQ(engine.waitExit(5s), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST(ProtocolProcess, EndOfInputInTheMiddleOfALineEndsTheProcess) {
    EngineProcess engine;
    ASSERT_TRUE(engine.write("START 15\nABO"));
    ASSERT_EQ(engine.readLine(), "OK");
    engine.closeInput();
    EXPECT_EQ(engine.waitExit(5s), 0);
    EXPECT_TRUE(engine.readAll(1s).empty());
}

TEST(ProtocolProcess, InfoDuringAThinkAppliesToTheNextThink) {
    // A think keeps the limits it began with; the next think uses the new
    // ones. Observable as: the game goes on and every request is answered.
    std::vector<std::string> output = runScript(
        kQuick + std::vector<std::string>{"START 15", "TURN 6,6", "INFO timeout_turn 100", "INFO rule 5", "BEGIN"});
    expectTranscript({"OK", kMove, kMove}, output);
}

TEST(ProtocolProcess, TerminalGetsTheNoticeFirst) {
    // Under wine the console is wine's own: what a terminal looks like there
    // is not this test's question.
    if (EngineProcess::foreignEngine()) GTEST_SKIP() << "terminal detection of the native build only";
    EngineProcess engine(EngineProcess::Input::Terminal, EngineProcess::Messages::Keep);
    ASSERT_TRUE(engine.started());
    EXPECT_EQ(engine.readLine(),
              "MESSAGE Gomoku AI should not be started directly. Please install gomoku manager "
              "(https://github.com/wind23/piskvork_renju). Then enter path to this exe file in players settings.");
    ASSERT_TRUE(engine.writeLine("ABOUT"));
    EXPECT_EQ(engine.readLine(), kAbout);
    ASSERT_TRUE(engine.writeLine("END"));
    EXPECT_EQ(engine.waitExit(5s), 0);
}

TEST(ProtocolProcess, ManyGamesInOneProcess) {
    // Game after game, as in a tournament: each start rebuilds the tables
    // and must neither leak threads into a crash nor slow down.
    std::vector<std::string> input;
    std::vector<std::string> expected;
    for (int game = 0; game < 30; ++game) {
        input.insert(input.end(), {game % 2 ? "START 20" : "START 15", "BEGIN", "RESTART"});
        expected.insert(expected.end(), {"OK", game % 2 ? "9,9" : "6,6", "OK"});
    }
    expectTranscript(expected, runScript(input));
}

}  // namespace
}  // namespace velmor::test
