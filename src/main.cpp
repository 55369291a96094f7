// pbrain-velmor: a Gomoku brain driven by a manager over standard input/output.
#include "protocol/command_loop.h"

int main() { velmor::runCommandLoop(); }
