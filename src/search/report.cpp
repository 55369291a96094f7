// Progress lines of a search: one per iteration, the time budget, and a
// three-line summary. They go to the caller's sink only (the brain thread
// discards them); analysis tools and tests read them.
#include <string>

#include "search/search_state.h"

namespace velmor {

namespace {
void appendPoint(std::string& text, Pos p) {
    text += '[';
    text += std::to_string(p.x());
    text += ',';
    text += std::to_string(p.y());
    text += ']';
}
}  // namespace

void SearchState::reportIteration(const SearchPath& path) {
    if (path.moves.empty()) {
        // Nothing to show; the node count carries over to the next line.
        emit("no path");
        return;
    }
    std::string text = "depth: " + std::to_string(depth) + "-" + std::to_string(deepestStep - rootStep) + " ";
    appendPoint(text, path.moves[0]);
    text += " rating:" + std::to_string(path.rating);
    text += " time:" + std::to_string(elapsedMs()) + "ms";
    text += " node:" + std::to_string(stats.nodes);
    text += " path:";
    for (Pos p : path.moves) appendPoint(text, p);
    emit(text);
    stats.ab += stats.nodes;
    stats.nodes = 0;
}

void SearchState::reportTimeBudget() const {
    emit("time max:" + std::to_string(timeMaxMs) + "ms suggest:" + std::to_string(timeSuggestMs) + "ms");
}

void SearchState::reportSummary(const SearchPath& path) const {
    if (path.moves.empty()) {
        emit("no path");
        return;
    }
    std::string text = "depth:" + std::to_string(depth) + " ";
    appendPoint(text, path.moves[0]);
    text += " complex:" + std::to_string(stats.complex) + " ab:" + std::to_string(stats.ab) +
            " leaf:" + std::to_string(stats.leaf) + " scout:" + std::to_string(stats.scout) +
            " quies:" + std::to_string(stats.quies) + " null:" + std::to_string(stats.null) +
            " bestmove:" + std::to_string(stats.bestmove);
    emit(text);
    emit("hit:" + std::to_string(stats.hit) + " miss:" + std::to_string(stats.miss) +
         " clash:" + std::to_string(stats.clash) + " cover:" + std::to_string(stats.cover));
    emit("DBSearch count:" + std::to_string(stats.dbSearchCount) + " total:" + std::to_string(stats.dbTotal) +
         " max:" + std::to_string(stats.dbMax));
}

}  // namespace velmor
