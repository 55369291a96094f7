#pragma once
// The brain thread: it sleeps until the command loop asks for a move, chooses
// and plays the engine's move, writes it, and signals that it is idle again.
#include <functional>

#include "board/pos.h"
#include "protocol/event.h"
#include "search/search_settings.h"

namespace velmor {

// Setting thinkEvent releases the brain thread for exactly one move (it
// resets itself as the brain wakes). idleEvent is signalled exactly while no
// think runs; the command loop resets it just before it sets thinkEvent.
extern Event thinkEvent;
extern Event idleEvent;

// Starts the brain thread; it runs until the process ends.
void startBrainThread();

// Hands `job` to the brain thread and returns at once; idleEvent stays
// reset until the job has written its answer. Command loop only, and only
// while the brain is idle.
void startBrainJob(std::function<void()> job);

// Ends a running think as if its time were up: it writes the best move it
// has so far. Does nothing while the brain is idle. Any thread.
void requestStop();

// The jobs of TURN, BEGIN and BOARD: choose the engine's move, tell the
// manager about the think, play the move and write it.
void playTurn();

// YXNBEST: the `count` best moves of the current position, each as a
// MESSAGE line with its value and line, best first, then the best move as
// the answer; the board does not change.
void reportBestMoves(int count);

// The settings of one think, from the protocol settings as they are now.
SearchSettings searchSettingsNow();

// The engine's move for the current game: the two opening rules, otherwise
// a fresh search engine on a copy of the Board. Brain thread only.
Pos chooseMove(const SearchSettings& settings);

// Plays the chosen move on the game and writes it; a move off the board or on
// an occupied point is reported as an error line before it and not played.
void playOwnMove(Pos move);

// The second opening rule: the neighbour of `centre` chosen by the first
// output of an mt19937 seeded with `seed`.
Pos neighbourOfCentre(Pos centre, uint32_t seed);

}  // namespace velmor
