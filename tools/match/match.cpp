#include "match/match.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>

namespace velmor::match {

namespace {

class Tournament {
public:
    Tournament(const MatchOptions& o, const std::vector<Opening>& openings, std::FILE* log)
        : o_(o), openings_(openings), log_(log) {
        if (!o.sgfPath.empty()) sgf_.open(o.sgfPath, std::ios::app);
    }

    MatchSummary run() {
        std::vector<std::thread> slots;
        for (int i = 0; i < std::max(1, o_.concurrency); ++i) slots.emplace_back([this] { slot(); });
        for (std::thread& t : slots) t.join();
        return summary_;
    }

private:
    // One game slot: its own two engine processes, reused for each game it
    // takes from the shared count.
    void slot() {
        Engine engines[2] = {Engine(o_.command[0], o_.info[0]), Engine(o_.command[1], o_.info[1])};
        for (;;) {
            const int g = next_.fetch_add(1);
            if (g >= o_.games || stop_.load()) break;
            const bool firstIsBlack = g % 2 == 0;
            const Opening& opening = openings_[size_t(g / 2) % openings_.size()];
            GameRecord r = playGame(engines[firstIsBlack ? 0 : 1], engines[firstIsBlack ? 1 : 0], opening.moves,
                                    o_.game, &stop_);
            if (r.end == GameEnd::Aborted) break;
            record(g, r);
        }
        for (Engine& e : engines) e.process.stop(2000);
    }

    void record(int g, const GameRecord& r) {
        std::lock_guard<std::mutex> lock(mutex_);
        const bool firstIsBlack = g % 2 == 0;
        auto engineOf = [firstIsBlack](int colour) { return (colour == 0) == firstIsBlack ? 0 : 1; };
        MatchSummary& s = summary_;
        if (r.winner < 0) ++s.score.draws;
        else if (engineOf(r.winner) == 0) ++s.score.wins;
        else ++s.score.losses;

        // With several slots the two games of a pair finish in either order;
        // the first one's result waits here for its partner. A pair whose
        // other game the stop abandoned never completes and is not counted.
        const int halfPoints = r.winner < 0 ? 1 : engineOf(r.winner) == 0 ? 2 : 0;
        const auto partner = unpaired_.find(g / 2);
        if (partner == unpaired_.end()) {
            unpaired_.emplace(g / 2, halfPoints);
        } else {
            ++s.pairs.count[partner->second + halfPoints];
            unpaired_.erase(partner);
        }

        for (size_t j = 0; j < r.moveMs.size(); ++j) {
            EngineStats& e = s.engine[engineOf(int((size_t(r.openingLength) + j) % 2))];
            const double ms = r.moveMs[j];
            ++e.moves;
            e.shareSum += ms / o_.game.turnMs;
            if (ms < 0.1 * o_.game.turnMs) ++e.quickMoves, e.quickShareSum += ms / o_.game.turnMs;
            if (ms > o_.game.turnMs) ++e.overTurn;
            e.worstOverrunMs = std::max(e.worstOverrunMs, ms - o_.game.turnMs);
        }
        const int loser = r.winner < 0 ? -1 : engineOf(1 - r.winner);
        switch (r.end) {
        case GameEnd::Five: ++s.fives; break;
        case GameEnd::FullBoard: ++s.fullBoards; break;
        case GameEnd::Foul: ++s.fouls, ++s.engine[loser].fouls; break;
        case GameEnd::Time: ++s.onTime, ++s.engine[loser].lostOnTime; break;
        case GameEnd::Crash: ++s.crashes, ++s.engine[loser].crashes; break;
        case GameEnd::Illegal: ++s.illegal, ++s.engine[loser].illegal; break;
        case GameEnd::Aborted: break;
        }

        const std::string& blackName = o_.name[firstIsBlack ? 0 : 1];
        const std::string& whiteName = o_.name[firstIsBlack ? 1 : 0];
        if (sgf_.is_open()) {
            sgf_ << sgfRecord(r, o_.game, blackName, whiteName) << '\n';
            sgf_.flush();
        }
        // Once the test has decided, games still in flight may finish before
        // they see the stop; they count in the score, but the verdict stands
        // as it was taken (they could otherwise move the LLR back between the
        // bounds and report "no decision" for a match the test has stopped).
        if (o_.sprtEnabled && s.decision == 0) {
            s.llr = pentanomial() ? o_.sprt.pairLlr(s.pairs) : o_.sprt.llr(s.score);
            s.decision = o_.sprt.decisionOf(s.llr);
            if (s.decision != 0) stop_ = true;
        }
        if (log_) {
            std::fprintf(log_, "game %d/%d  %s  (%s black: %s)\n", s.score.games(), o_.games, progress().c_str(),
                         blackName.c_str(), r.detail.c_str());
            std::fflush(log_);
        }
    }

    std::string progress() const {
        const MatchSummary& s = summary_;
        char buf[160];
        if (pentanomial())
            std::snprintf(buf, sizeof buf, "W-L-D %d-%d-%d  Elo %s (%d pairs)", s.score.wins, s.score.losses,
                          s.score.draws, formatElo(estimatePairElo(s.pairs)).c_str(), s.pairs.pairs());
        else
            std::snprintf(buf, sizeof buf, "W-L-D %d-%d-%d  Elo %s", s.score.wins, s.score.losses, s.score.draws,
                          formatElo(estimateElo(s.score)).c_str());
        std::string line = buf;
        if (o_.sprtEnabled) {
            std::snprintf(buf, sizeof buf, "  LLR %+.2f (%.2f, %.2f)", s.llr, o_.sprt.lowerBound(),
                          o_.sprt.upperBound());
            line += buf;
        }
        return line;
    }

    bool pentanomial() const { return o_.stats == StatsModel::Pentanomial; }

    const MatchOptions& o_;
    const std::vector<Opening>& openings_;
    std::FILE* log_;
    std::ofstream sgf_;
    std::atomic<int> next_{0};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    MatchSummary summary_;
    std::map<int, int> unpaired_;  // pair -> engine 1's half points in its finished game
};

}  // namespace

MatchSummary runMatch(const MatchOptions& options, const std::vector<Opening>& openings, std::FILE* log) {
    if (openings.empty()) return {};
    return Tournament(options, openings, log).run();
}

void printSummary(const MatchOptions& o, const MatchSummary& s, std::FILE* out) {
    const Score& sc = s.score;
    std::fprintf(out, "\n%s vs %s, %d games (%s, %dx%d, timeout_turn %d ms", o.name[0].c_str(), o.name[1].c_str(),
                 sc.games(), ruleName(o.game.rule), o.game.size, o.game.size, o.game.turnMs);
    if (o.game.matchMs > 0) std::fprintf(out, ", %lld ms per game", o.game.matchMs);
    std::fprintf(out, ")\n");
    std::fprintf(out, "%s: %d wins, %d losses, %d draws, score %.1f%%\n", o.name[0].c_str(), sc.wins, sc.losses,
                 sc.draws, sc.games() ? 100.0 * (sc.wins + sc.draws / 2.0) / sc.games() : 0.0);
    const PairScores& p = s.pairs;
    std::fprintf(out, "pairs: 0:%d 0.5:%d 1:%d 1.5:%d 2:%d\n", p.count[0], p.count[1], p.count[2], p.count[3],
                 p.count[4]);
    // Both models; the one the SPRT used first.
    const bool penta = o.stats == StatsModel::Pentanomial;
    char pentaLine[160], triLine[160];
    std::snprintf(pentaLine, sizeof pentaLine, "Elo %s (95%% interval, pentanomial, %d pairs)\n",
                  formatElo(estimatePairElo(p)).c_str(), p.pairs());
    std::snprintf(triLine, sizeof triLine, "Elo %s (95%% interval, trinomial, %d games)\n",
                  formatElo(estimateElo(sc)).c_str(), sc.games());
    std::fputs(penta ? pentaLine : triLine, out);
    std::fputs(penta ? triLine : pentaLine, out);
    if (o.sprtEnabled) {
        std::fprintf(out, "SPRT elo0 %g, elo1 %g, alpha %g, beta %g: LLR %+.3f (%.3f, %.3f): %s (%s; %s LLR %+.3f)\n",
                     o.sprt.elo0, o.sprt.elo1, o.sprt.alpha, o.sprt.beta, s.llr, o.sprt.lowerBound(),
                     o.sprt.upperBound(),
                     s.decision > 0   ? "H1 accepted"
                     : s.decision < 0 ? "H0 accepted"
                                      : "no decision",
                     penta ? "pentanomial" : "trinomial", penta ? "trinomial" : "pentanomial",
                     penta ? o.sprt.llr(sc) : o.sprt.pairLlr(p));
    }
    std::fprintf(out, "Endings: %d fives, %d renju fouls, %d full boards, %d on time, %d crashes, %d illegal\n",
                 s.fives, s.fouls, s.fullBoards, s.onTime, s.crashes, s.illegal);
    for (int i = 0; i < 2; ++i) {
        const EngineStats& e = s.engine[i];
        std::fprintf(out,
                     "%s: %lld moves, %.1f%% of the turn on average (%lld answered within a tenth of it, the "
                     "others %.1f%%), %lld over timeout_turn, worst %+.0f ms beyond it; lost %d on time, %d by "
                     "crash, %d by illegal move, %d by foul\n",
                     o.name[i].c_str(), e.moves, 100 * e.averageShare(), e.quickMoves, 100 * e.thinkingShare(),
                     e.overTurn,
                     e.moves ? e.worstOverrunMs : 0.0, e.lostOnTime, e.crashes, e.illegal, e.fouls);
    }
}

}  // namespace velmor::match
