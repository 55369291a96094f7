// Many short thinks on two threads through the protocol, with new games,
// take-backs and stop requests between them: every request is answered once,
// with a legal move, within the turn.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <utility>

#include "protocol/engine_process.h"

namespace velmor::test {
namespace {

using namespace std::chrono_literals;
using Point = std::pair<int, int>;

// The next answer (the harness reads past MESSAGE lines).
std::optional<std::string> answer(EngineProcess& engine) { return engine.readLine(5s); }

TEST(ThreadedThinks, ManyShortThinksWithStartsTakebacksAndStopsLoseNothing) {
    constexpr int kTurnMs = 80;
    // What a manager would forgive for the pipe and a busy machine; sanitizer
    // builds of the engine need most of it.
    constexpr auto kLimit = std::chrono::milliseconds(kTurnMs + 300);
    EngineProcess engine;
    ASSERT_TRUE(engine.writeLines({"INFO thread_num 2", "INFO timeout_turn " + std::to_string(kTurnMs),
                                   "INFO max_memory 8000000"}));
    std::mt19937 random(13);
    int moves = 0;
    for (int game = 0; game < 6; ++game) {
        const int size = game % 3 == 2 ? 20 : 15;
        ASSERT_TRUE(engine.writeLine("START " + std::to_string(size)));
        ASSERT_EQ(answer(engine), "OK");
        std::set<Point> stones;
        for (int turn = 0; turn < 10; ++turn) {
            // The opponent's move: a free point near the centre.
            std::uniform_int_distribution<int> near(size / 2 - 4, size / 2 + 4);
            Point own;
            do own = {near(random), near(random)};
            while (stones.count(own));
            stones.insert(own);

            // Every fourth think would take long, and is stopped instead.
            const bool stopped = turn % 4 == 1;
            if (stopped) {
                ASSERT_TRUE(engine.writeLine("INFO timeout_turn 20000"));
            }
            const auto sent = std::chrono::steady_clock::now();
            ASSERT_TRUE(engine.writeLine("TURN " + std::to_string(own.first) + "," + std::to_string(own.second)));
            if (stopped) {
                std::this_thread::sleep_for(30ms);
                ASSERT_TRUE(engine.writeLines({"YXSTOP", "INFO timeout_turn " + std::to_string(kTurnMs)}));
            }
            const std::optional<std::string> reply = answer(engine);
            const auto took = std::chrono::steady_clock::now() - sent;
            ASSERT_TRUE(reply.has_value()) << "game " << game << " turn " << turn;
            Point move;
            ASSERT_EQ(std::sscanf(reply->c_str(), "%d,%d", &move.first, &move.second), 2) << *reply;
            EXPECT_TRUE(move.first >= 0 && move.first < size && move.second >= 0 && move.second < size) << *reply;
            EXPECT_FALSE(stones.count(move)) << *reply << " is taken";
            EXPECT_LT(took, kLimit + (stopped ? 30ms : 0ms)) << "game " << game << " turn " << turn;
            stones.insert(move);
            ++moves;

            // A stop request with no think running changes nothing.
            if (turn % 4 == 3) {
                ASSERT_TRUE(engine.writeLine("YXSTOP"));
            }
            // Now and then both moves are taken back, and the game goes on
            // from the position before them.
            if (turn % 3 == 2) {
                for (const Point& p : {move, own}) {
                    ASSERT_TRUE(engine.writeLine("TAKEBACK " + std::to_string(p.first) + "," +
                                                 std::to_string(p.second)));
                    ASSERT_EQ(answer(engine), "OK");
                    stones.erase(p);
                }
            }
        }
    }
    EXPECT_EQ(moves, 60);
    ASSERT_TRUE(engine.writeLine("END"));
    EXPECT_EQ(engine.waitExit(10s), 0);
    // Nothing after the last answer: no move of a think that outlived its turn.
    EXPECT_TRUE(engine.readAll(1s).empty());
}

}  // namespace
}  // namespace velmor::test
