#include "protocol/brain.h"

#include <algorithm>
#include <random>
#include <thread>

#include "protocol/game_context.h"
#include "protocol/processors.h"
#include "protocol/protocol_settings.h"
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

void think() { playOwnMove(chooseMove(searchSettingsNow())); }

void brainLoop() {
    for (;;) {
        thinkEvent.wait();
        think();
        idleEvent.set();
    }
}

}  // namespace

void startBrainThread() { std::thread(brainLoop).detach(); }

SearchSettings searchSettingsNow() {
    const ProtocolSettings& protocol = protocolSettings;
    SearchSettings settings;
    settings.rule = protocol.rule();
    settings.turnTimeMs = nonNegative(protocol.turnTimeMs);
    settings.timeLeftMs = nonNegative(protocol.timeLeftMs);
    settings.maxMemory = nonNegative(protocol.maxMemory);
    // The search's progress lines are for developers' tools, not the manager.
    settings.messageSink = [](const std::string&) {};
    settings.minDepth = 2;
    settings.maxDepth = 20;
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

    // Rule 1. The engine opens: next to the centre rather than on it.
    if (game.history.empty()) return Pos(boardSize / 2 - 1, boardSize / 2 - 1);

    // Rule 2. A lone stone on the centre: one of its eight neighbours, drawn
    // afresh every second so that games do not all open alike.
    const Pos centre(boardSize / 2, boardSize / 2);
    if (game.history.size() == 1 && game.board->lastMove.pos == centre)
        return neighbourOfCentre(centre, uint32_t(calendarSeconds()));

    // Rule 3. Otherwise a fresh engine searches a private copy of the Board.
    game.engine.reset();
    game.engine = std::make_unique<AIVelmorSearch>();
    Board copy = *game.board;
    return game.engine->getBestMove(copy, settings);
}

}  // namespace velmor
