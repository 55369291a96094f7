#pragma once
// What the engine tells the person watching a think: one summary line per
// move, and with real-time detail the root moves as the search visits them.
#include <chrono>
#include <string>
#include <vector>

#include "search/engine.h"

namespace velmor {

// "depth D-S | eval E | nodes N | speed K/s | time T ms | pv x,y x,y ...":
// the text of the MESSAGE line written before each searched move.
std::string searchSummary(const SearchOutcome& outcome);
// "x,y x,y ..." for a line of moves.
std::string pointList(const std::vector<Pos>& moves);

// Writes MESSAGE REALTIME POS / DONE / BEST / LOST lines for one think. A
// GUI draws them on its board, and a fast search produces thousands of root
// events a second, so the lines are thinned: none in the first 200 ms (most
// thinks that short end before anyone could read them) and then at most one
// per 100 ms. Thinning keeps the story consistent: DONE only follows the POS
// of the same move, and BEST names only a move whose POS was written; a best
// move that could not be shown yet is written at the next chance.
class RealtimeReport : public RootObserver {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr auto kQuietStart = std::chrono::milliseconds(200);
    static constexpr auto kLineInterval = std::chrono::milliseconds(100);

    explicit RealtimeReport(Clock::time_point thinkStart) : thinkStart_(thinkStart) {}

    void rootMoveStarted(Pos move) override;
    void rootMoveDone(Pos move, int32_t value) override;
    void bestMoveFound(Pos move, int32_t value) override;
    void rootMoveLost(Pos move) override;

private:
    bool mayWrite();
    void write(const char* kind, Pos move);
    void writePending();
    static bool inRange(Pos move) {
        return move.x() >= 0 && move.x() < kMaxBoardSize && move.y() >= 0 && move.y() < kMaxBoardSize;
    }
    bool wasShown(Pos move) const { return inRange(move) && shown_[move.x()][move.y()]; }

    Clock::time_point thinkStart_;
    Clock::time_point lastLine_{};
    bool anyLine_ = false;
    Pos searching_{0xFFFF};  // the move whose POS is the latest line about it
    Pos best_{0xFFFF};
    bool bestPending_ = false;
    std::vector<Pos> lostPending_;
    bool shown_[kMaxBoardSize][kMaxBoardSize] = {};  // moves whose POS was written
    bool lost_[kMaxBoardSize][kMaxBoardSize] = {};   // moves reported lost (every iteration finds them again)
};

}  // namespace velmor
