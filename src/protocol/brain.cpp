#include "protocol/brain.h"

#include <algorithm>
#include <atomic>
#include <optional>
#include <random>
#include <thread>

#include "protocol/game_context.h"
#include "protocol/processors.h"
#include "protocol/protocol_settings.h"
#include "protocol/search_info.h"
#include "protocol/send_line.h"
#include "search/clock.h"

namespace velmor {

Event thinkEvent(Event::Reset::Auto, false);
Event idleEvent(Event::Reset::Manual, true);

namespace {

// The eight neighbours of a point, indexed by the opening rule's k.
constexpr int kNeighbourDx[8] = {0, 0, -1, 1, -1, 1, 1, -1};
constexpr int kNeighbourDy[8] = {-1, 1, 0, 0, -1, 1, -1, 1};

// A limit of the manager's below zero would wrap into an enormous unsigned
// budget; nothing left means nothing to spend.
uint32_t nonNegative(int32_t value) { return uint32_t(std::max<int32_t>(value, 0)); }

// The brain's next job. Written by the command loop before it sets
// thinkEvent and read by the brain after that event wakes it, so the
// event's lock orders the two.
std::function<void()> pendingJob;

// YXSTOP's request; cleared whenever a job is handed over, so a stop meant
// for one think never cuts the next one short.
std::atomic<bool> stopFlag{false};

void brainLoop() {
    for (;;) {
        thinkEvent.wait();
        pendingJob();
        idleEvent.set();
    }
}

// The per-move line; an opening-rule move had no search to tell about.
void reportThink(const GameContext& game, Pos move) {
    if (game.engine)
        sendLine("MESSAGE %s", searchSummary(game.engine->outcome()).c_str());
    else
        sendLine("MESSAGE opening move %d,%d, no search", move.x(), move.y());
}

// Real-time lines when the manager asked for them.
struct ThinkObserver {
    std::optional<RealtimeReport> report;
    explicit ThinkObserver(SearchSettings& settings) {
        if (!protocolSettings.showsRealtime()) return;
        report.emplace(RealtimeReport::Clock::now());
        settings.observer = &*report;
    }
};

}  // namespace

void startBrainThread() { std::thread(brainLoop).detach(); }

void startBrainJob(std::function<void()> job) {
    stopFlag = false;
    pendingJob = std::move(job);
    idleEvent.reset();
    thinkEvent.set();
}

void requestStop() {
    if (!idleEvent.isSignalled()) stopFlag = true;
}

void playTurn() {
    // INFO may change the detail during the think; the think keeps what it
    // began with, like its other settings.
    const bool summary = protocolSettings.showsSummary();
    SearchSettings settings = searchSettingsNow();
    ThinkObserver observer(settings);
    const Pos move = chooseMove(settings);
    if (summary) reportThink(*currentGame(), move);
    playOwnMove(move);
}

void reportBestMoves(int count) {
    SearchSettings settings = searchSettingsNow();
    ThinkObserver observer(settings);
    GameContext& game = *currentGame();
    // The opening rules need no search, and an empty board gives the search
    // no candidates: the rule's move is the one answer.
    if (game.history.empty()) {
        const Pos move = chooseMove(settings);
        sendLine("MESSAGE NBEST 1 %d,%d | opening move", move.x(), move.y());
        sendLine("%d,%d", move.x(), move.y());
        return;
    }
    // Each move is found by a search of its own that leaves out the moves
    // already reported, and the turn is shared evenly between them, so the
    // answer comes within the turn however many moves are asked for.
    count = std::max(count, 1);
    const int64_t start = wallClockTicks();
    const int64_t turnTicks = int64_t(settings.turnTimeMs) * kTicksPerMs;
    settings.turnTimeMs /= uint32_t(count);
    settings.timeLeftMs /= uint32_t(count);
    Pos best;
    for (int k = 1; k <= count; ++k) {
        // Searches that get almost no time still cost their set-up; the
        // answer must not wait for a long list of them.
        if (k > 1 && (wallClockTicks() - start) * 10 > turnTicks * 9) break;
        game.engine = std::make_unique<AIVelmorSearch>();
        Board copy = *game.board;
        const Pos move = game.engine->getBestMove(copy, settings);
        const SearchOutcome& outcome = game.engine->outcome();
        // No candidate left: every move worth a search has been reported.
        if (k > 1 && outcome.rootMoves == 0) break;
        if (k == 1) best = move;
        sendLine("MESSAGE NBEST %d %d,%d | eval %d | depth %d-%d | pv %s", k, move.x(), move.y(), outcome.value,
                 outcome.depth, outcome.selDepth, pointList(outcome.line).c_str());
        if (stopFlag || outcome.rootMoves <= 1) break;
        settings.excludedRootMoves.push_back(move);
    }
    sendLine("%d,%d", best.x(), best.y());
}

SearchSettings searchSettingsNow() {
    const ProtocolSettings& protocol = protocolSettings;
    SearchSettings settings;
    settings.rule = protocol.rule();
    settings.turnTimeMs = nonNegative(protocol.turnTimeMs);
    settings.timeLeftMs = nonNegative(protocol.timeLeftMs);
    settings.maxMemory = nonNegative(protocol.maxMemory);
    // The search's own progress lines reach the manager only on request.
    if (protocol.showsReports())
        settings.messageSink = [](const std::string& line) { sendLine("MESSAGE %s", line.c_str()); };
    else
        settings.messageSink = [](const std::string&) {};
    settings.minDepth = 2;
    const int32_t maxDepth = protocol.maxDepth;
    settings.maxDepth = maxDepth > 0 ? std::min(maxDepth, kDepthCeiling) : 20;
    settings.maxNodes = std::max<int32_t>(protocol.maxNodes, 0);
    settings.stopRequest = &stopFlag;
    settings.useHashTables = true;
    // One thread unless the manager asks for more, and never more than the
    // machine has: a manager running several games at once expects each
    // engine on one core.
    settings.threads = std::clamp<int32_t>(protocol.threadNum, 1, processorCount());
    return settings;
}

void playOwnMove(Pos move) {
    const int x = move.x(), y = move.y();
    const ProtocolSettings& protocol = protocolSettings;
    GameContext& game = *currentGame();
    // The engine's move is checked like the manager's: a point off the board
    // or already taken is reported and not played, so the game stays sound.
    if (x >= 0 && x < protocol.boardWidth && y >= 0 && y < protocol.boardHeight && game.board->isEmpty(x, y))
        playMove(x, y, protocol.rule());
    else
        sendLine("ERROR my move [%d,%d]", x, y);
    sendLine("%d,%d", x, y);
}

Pos neighbourOfCentre(Pos centre, uint32_t seed) {
    std::mt19937 generator(seed);
    const unsigned k = generator() & 7;
    return Pos(centre.x() + kNeighbourDx[k], centre.y() + kNeighbourDy[k]);
}

Pos chooseMove(const SearchSettings& settings) {
    GameContext& game = *currentGame();
    // Left empty by the opening rules, which search nothing.
    game.engine.reset();

    // Rule 1. The engine opens: next to the centre rather than on it.
    if (game.history.empty()) return Pos(boardSize / 2 - 1, boardSize / 2 - 1);

    // Rule 2. A lone stone on the centre: one of its eight neighbours, drawn
    // afresh every second so that games do not all open alike.
    const Pos centre(boardSize / 2, boardSize / 2);
    if (game.history.size() == 1 && game.board->lastMove.pos == centre)
        return neighbourOfCentre(centre, uint32_t(calendarSeconds()));

    // Rule 3. Otherwise a fresh engine searches a private copy of the Board.
    game.engine = std::make_unique<AIVelmorSearch>();
    Board copy = *game.board;
    return game.engine->getBestMove(copy, settings);
}

}  // namespace velmor
