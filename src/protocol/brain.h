#pragma once
// The brain thread: it sleeps until the command loop asks for a move, chooses
// and plays the engine's move, writes it, and signals that it is idle again.
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
