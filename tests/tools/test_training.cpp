#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "board/evaluation.h"
#include "search/search_settings.h"
#include "support/positions.h"
#include "training/game_record.h"
#include "training/samples.h"
#include "training/weights_source.h"

namespace velmor::training {
namespace {

GameRecord sampleGame(GameRule rule, int size) {
    GameRecord g;
    g.rule = rule;
    g.size = size;
    g.result = Result::WhiteWins;
    g.openingStones = 3;
    const Pos moves[] = {Pos(7, 7), Pos(8, 8), Pos(7, 9), Pos(6, 8), Pos(8, 6), Pos(9, 9), Pos(size - 1, size - 1)};
    int16_t value = -1200;
    for (Pos p : moves) {
        g.moves.push_back(p);
        g.kept.push_back(g.moves.size() > 3);
        g.values.push_back(value);
        value = int16_t(-value / 2 + 7);
    }
    return g;
}

std::string tempPath(const char* name) { return testing::TempDir() + name; }

TEST(GameRecord, WritesAndReadsBackWholeGamesAndStopsAtACutRecord) {
    const std::string path = tempPath("velmor_games.bin");
    std::remove(path.c_str());
    const GameRecord games[] = {sampleGame(FreeStyle, 15), sampleGame(Renju, 15), sampleGame(ExactFive, 20)};
    {
        GameWriter w;
        ASSERT_TRUE(w.open(path));
        ASSERT_TRUE(w.write(games[0]));
    }
    {
        GameWriter w;  // appends, without a second file header
        ASSERT_TRUE(w.open(path));
        ASSERT_TRUE(w.write(games[1]));
        ASSERT_TRUE(w.write(games[2]));
    }
    std::vector<GameRecord> read;
    std::string error;
    ASSERT_TRUE(readGames(path, read, error)) << error;
    ASSERT_EQ(read.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(read[i].rule, games[i].rule);
        EXPECT_EQ(read[i].size, games[i].size);
        EXPECT_EQ(read[i].result, games[i].result);
        EXPECT_EQ(read[i].openingStones, games[i].openingStones);
        EXPECT_EQ(read[i].moves, games[i].moves);
        EXPECT_EQ(read[i].kept, games[i].kept);
        EXPECT_EQ(read[i].values, games[i].values);
    }

    // A writer stopped mid-record: the whole games before it are kept and
    // the damage is reported, not passed over.
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes.substr(0, bytes.size() - 5);
    read.clear();
    EXPECT_FALSE(readGames(path, read, error));
    EXPECT_EQ(read.size(), 2u);
    EXPECT_NE(error.find("cut short"), std::string::npos) << error;

    std::ofstream(path, std::ios::binary | std::ios::trunc) << "VMGR\x02";
    read.clear();
    EXPECT_FALSE(readGames(path, read, error));
    EXPECT_TRUE(read.empty());
    std::remove(path.c_str());
}

// The tuner fits the evaluation it reads from the samples: their terms,
// weighed with the compiled-in tables, must give evaluate's value.
TEST(Samples, TermsAddUpToTheEvaluation) {
    test::ensureEngineTables();
    // The evaluation walks points where only one side has a shape; the
    // other side's entry 0 must then add nothing.
    for (const EvalWeights& w : kEvalWeights) EXPECT_EQ(w.toMove[0] | w.waiting[0], 0);
    for (GameRule rule : {FreeStyle, ExactFive, Renju}) {
        const GameRecord g = sampleGame(rule, 15);
        SampleSet set;
        ASSERT_TRUE(appendSamples(g, set));
        ASSERT_EQ(set.samples.size(), 4u);
        std::vector<Pos> played(g.moves.begin(), g.moves.begin() + 3);
        for (const Sample& s : set.samples) {
            const Board b = test::playMoves(15, rule, played);
            const int me = b.sideToMove();
            const EvalWeights& mine = kEvalWeights[s.setToMove];
            const EvalWeights& theirs = kEvalWeights[s.setOther];
            int32_t sum = mine.tempo[me];
            for (int i = 0; i < s.toMoveCount; ++i) sum += mine.toMove[set.terms[s.begin + i]];
            for (int i = 0; i < s.otherCount; ++i) sum -= theirs.waiting[set.terms[s.begin + s.toMoveCount + i]];
            EXPECT_EQ(std::clamp(sum, -kEvalLimit, kEvalLimit), evaluate(b, me, rule)) << int(rule);
            EXPECT_EQ(s.result, g.scoreFor(played.size()));
            EXPECT_EQ(s.searchValue, g.values[played.size()]);
            played.push_back(g.moves[played.size()]);
        }
    }
}

// What datagen keeps: positions the search evaluates, not those it settles
// by a five or a proven win.
TEST(Samples, TrainingPositionsAreTheOnesTheSearchEvaluates) {
    test::ensureEngineTables();
    const Board quiet = test::playMoves(15, FreeStyle, {Pos(7, 7), Pos(8, 8), Pos(7, 8)});
    // Black's four 7,5..7,8 (white to move: white must block a five).
    const Board mustBlock = test::playMoves(15, FreeStyle, {Pos(7, 5), Pos(0, 0), Pos(7, 6), Pos(0, 2), Pos(7, 7),
                                                             Pos(0, 4), Pos(7, 8)});
    // The same four with black to move: black makes five.
    const Board canWin = test::playMoves(15, FreeStyle, {Pos(7, 5), Pos(0, 0), Pos(7, 6), Pos(0, 2), Pos(7, 7),
                                                          Pos(0, 4), Pos(7, 8), Pos(14, 14)});
    struct Case {
        const Board* board;
        int32_t value;
        bool kept;
    } cases[] = {{&quiet, 35, true}, {&quiet, kLoss, true}, {&quiet, kWin, false},
                 {&mustBlock, -20, false}, {&canWin, 20, false}};
    for (const Case& c : cases) EXPECT_EQ(isTrainingPosition(*c.board, c.value), c.kept) << c.value;
}

// The compiled-in tables are exactly what the tuner's writer makes of them:
// a hand edit, or a writer changed without regenerating, shows here.
TEST(WeightsSource, CommittedFileIsTheWritersOutput) {
    std::ifstream in(VELMOR_SOURCE_DIR "/src/board/eval_weights.cpp");
    ASSERT_TRUE(in);
    std::stringstream text;
    text << in.rdbuf();
    const std::string source = text.str();
    EXPECT_EQ(formatWeightsSource(kEvalWeights, headerOf(source)), source);
}

}  // namespace
}  // namespace velmor::training
