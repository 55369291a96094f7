// pbrain-velmor: a Gomoku brain driven by a manager over standard input/output.
int main() { return 0; }
