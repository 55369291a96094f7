#include "protocol/search_info.h"

#include <algorithm>

#include "protocol/send_line.h"

namespace velmor {

std::string pointList(const std::vector<Pos>& moves) {
    std::string text;
    for (Pos p : moves) {
        if (!text.empty()) text += ' ';
        text += std::to_string(p.x()) + "," + std::to_string(p.y());
    }
    return text;
}

std::string searchSummary(const SearchOutcome& outcome) {
    // Nodes per millisecond is thousands per second.
    const int64_t speed = outcome.nodes / std::max<int64_t>(outcome.ms, 1);
    return "depth " + std::to_string(outcome.depth) + "-" + std::to_string(outcome.selDepth) + " | eval " +
           std::to_string(outcome.value) + " | nodes " + std::to_string(outcome.nodes) + " | speed " +
           std::to_string(speed) + "K/s | time " + std::to_string(outcome.ms) + " ms | pv " +
           pointList(outcome.line);
}

bool RealtimeReport::mayWrite() {
    const Clock::time_point now = Clock::now();
    if (now - thinkStart_ < kQuietStart) return false;
    if (anyLine_ && now - lastLine_ < kLineInterval) return false;
    return true;
}

void RealtimeReport::write(const char* kind, Pos move) {
    sendLine("MESSAGE REALTIME %s %d,%d", kind, move.x(), move.y());
    lastLine_ = Clock::now();
    anyLine_ = true;
}

void RealtimeReport::writePending() {
    if (bestPending_ && wasShown(best_) && mayWrite()) {
        write("BEST", best_);
        bestPending_ = false;
    }
    while (!lostPending_.empty() && mayWrite()) {
        write("LOST", lostPending_.front());
        lostPending_.erase(lostPending_.begin());
    }
}

void RealtimeReport::rootMoveStarted(Pos move) {
    writePending();
    searching_ = Pos(0xFFFF);
    if (!mayWrite()) return;
    write("POS", move);
    searching_ = move;
    if (inRange(move)) shown_[move.x()][move.y()] = true;
}

void RealtimeReport::rootMoveDone(Pos move, int32_t) {
    writePending();
    if (searching_ == move && mayWrite()) write("DONE", move);
    searching_ = Pos(0xFFFF);
}

void RealtimeReport::bestMoveFound(Pos move, int32_t) {
    if (move == best_) return;
    best_ = move;
    bestPending_ = true;
    writePending();
}

void RealtimeReport::rootMoveLost(Pos move) {
    if (!inRange(move) || lost_[move.x()][move.y()]) return;
    lost_[move.x()][move.y()] = true;
    lostPending_.push_back(move);
    writePending();
}

}  // namespace velmor
