#pragma once
// What the manager has told the engine: the board dimensions of START and
// RECTSTART and the values of its INFO lines. Only the command loop writes
// these; the brain thread reads them when a think begins.
#include <atomic>
#include <cstdint>

#include "board/chess_type.h"

namespace velmor {

struct ProtocolSettings {
    // 0 while no game has been started. Written only while the brain thread is
    // idle, read by it only while it thinks: the turn handshake orders them.
    int32_t boardWidth = 0;
    int32_t boardHeight = 0;

    // INFO may arrive in the middle of a think, so these are atomic; a think
    // keeps the values it copied when it began.
    std::atomic<int32_t> turnTimeMs{30000};
    std::atomic<int32_t> timeLeftMs{1000000000};
    std::atomic<int32_t> maxMemory{0};
    std::atomic<int32_t> exactFiveFlag{0};  // INFO rule, bit 0
    std::atomic<int32_t> renjuFlag{0};      // INFO rule, bit 2
    std::atomic<int32_t> threadNum{1};      // INFO thread_num, as given
    // INFO max_depth and max_node: a think ends after that depth or node
    // count; 0 is no limit of the manager's.
    std::atomic<int32_t> maxDepth{0};
    std::atomic<int32_t> maxNodes{0};
    // INFO show_detail: kDetailUnset until a manager sends one (one summary
    // line per move), 0 for no search output at all, otherwise the summary
    // line plus the real-time lines (bit 0) and the search's own report
    // lines (bit 1).
    std::atomic<int32_t> showDetail{kDetailUnset};
    static constexpr int32_t kDetailUnset = -1;

    // INFO folder: kept, read by nothing (the engine reads no files).
    char dataFolder[256] = {};

    // Renju wins when both bits are set.
    GameRule rule() const {
        if (renjuFlag.load(std::memory_order_relaxed) == 1) return Renju;
        if (exactFiveFlag.load(std::memory_order_relaxed) == 1) return ExactFive;
        return FreeStyle;
    }

    bool showsSummary() const { return showDetail.load(std::memory_order_relaxed) != 0; }
    bool showsRealtime() const { return detailBit(1); }
    bool showsReports() const { return detailBit(2); }

    // Back to the values of a freshly started process.
    void reset();

private:
    bool detailBit(int32_t bit) const {
        const int32_t detail = showDetail.load(std::memory_order_relaxed);
        return detail > 0 && (detail & bit) != 0;
    }
};

extern ProtocolSettings protocolSettings;

// Applies the parameter of one INFO line (the text after the keyword). Every
// key is tested on its own as a case-insensitive prefix; unknown keys change
// nothing. Never replies.
void applyInfo(const char* parameter);

// Case-insensitive test that `text` begins with `prefix`.
bool startsWithIgnoringCase(const char* text, const char* prefix);

}  // namespace velmor
