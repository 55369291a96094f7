// match: plays two Gomoku engines against each other through the manager
// protocol, the way a tournament manager does, and judges whether one is
// stronger: Elo with a 95% interval and a sequential probability ratio test
// that stops the match once it has decided.
//
//   match [--engine1 CMD] [--engine2 CMD] [--name1 NAME] [--name2 NAME]
//         [--info1 'KEY VALUE']... [--info2 'KEY VALUE']...
//         [--size 15|20] [--rule 0|1|4] [--turn MS] [--match MS]
//         [--tolerance MS] [--memory BYTES] [--games N] [--concurrency N]
//         [--openings FILE | --random-openings] [--seed N] [--balance V]
//         [--write-openings FILE] [--sprt ELO0,ELO1|off] [--alpha A]
//         [--beta B] [--stats pentanomial|trinomial] [--sgf FILE] [--strict]
//
// Both engines default to the build's pbrain-velmor. Exit status: 0 after a
// match, 1 after one with --strict where a game was lost on time, by a
// crash, an illegal move or a foul, 2 on bad options or an engine that
// cannot play at all.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "match/engine_process.h"
#include "match/match.h"

using namespace velmor::match;

namespace {

const char* kUsage =
    "usage: match [options]\n"
    "  --engine1 CMD, --engine2 CMD  engine commands (default: the build's pbrain-velmor)\n"
    "  --name1 NAME, --name2 NAME    names in the report and the SGF\n"
    "  --info1 'KEY VALUE', --info2 'KEY VALUE'  an INFO line for that engine alone (repeatable)\n"
    "  --size 15|20 (15)  --rule 0|1|4 (0: free-style, 1: exact five, 4: renju)\n"
    "  --turn MS (1000)   timeout_turn\n"
    "  --match MS         time per side per game (default: no match clock)\n"
    "  --tolerance MS (30) lateness forgiven before a move loses on time\n"
    "  --memory BYTES     max_memory (default: none sent)\n"
    "  --games N (1000)   at most N games, in colour-swapped pairs\n"
    "  --concurrency N (1) games at once\n"
    "  --openings FILE    openings in the data format; default: random openings\n"
    "  --random-openings  --seed N (1)   random openings near the centre\n"
    "  --balance V        random openings only where a short search values neither side above V\n"
    "  --write-openings FILE  save the random openings\n"
    "  --sprt ELO0,ELO1|off (0,10)  --alpha A (0.05)  --beta B (0.05)\n"
    "  --stats pentanomial|trinomial (pentanomial)  Elo and SPRT per game pair or per game\n"
    "  --sgf FILE         append every game to FILE\n"
    "  --strict           exit status 1 if a game was lost by time, crash, illegal move or foul\n";

std::string baseName(const std::string& command) {
    std::string first = command.substr(0, command.find(' '));
    const size_t slash = first.rfind('/');
    return slash == std::string::npos ? first : first.substr(slash + 1);
}

bool number(const char* text, long long& out, long long low, long long high) {
    char* end = nullptr;
    out = std::strtoll(text, &end, 10);
    return end != text && *end == '\0' && out >= low && out <= high;
}

bool real(const char* text, double& out) {
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == '\0';
}

struct Setup {
    MatchOptions match;
    std::string openingsPath, writePath;
    bool random = false;
    bool strict = false;  // exit status 1 when any game was lost by a fault
    unsigned long long seed = 1;
    long long balance = 0;  // 0: no balance filter
};

bool parse(int argc, char** argv, Setup& s) {
    MatchOptions& o = s.match;
    o.command[0] = o.command[1] = defaultEnginePath(argv[0]);
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--random-openings" || a == "--strict") {
            (a == "--strict" ? s.strict : s.random) = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        const char* v = argv[++i];
        long long n = 0;
        bool ok = true;
        if (a == "--engine1") o.command[0] = v;
        else if (a == "--engine2") o.command[1] = v;
        else if (a == "--name1") o.name[0] = v;
        else if (a == "--name2") o.name[1] = v;
        else if (a == "--info1") o.info[0].push_back(v);
        else if (a == "--info2") o.info[1].push_back(v);
        else if (a == "--size") ok = number(v, n, 15, 20) && (n == 15 || n == 20), o.game.size = int(n);
        else if (a == "--rule") ok = number(v, n, 0, 4) && ruleFromInfo(int(n), o.game.rule);
        else if (a == "--turn") ok = number(v, n, 1, 1LL << 30), o.game.turnMs = int(n);
        else if (a == "--match") ok = number(v, n, 1, 1LL << 40), o.game.matchMs = n;
        else if (a == "--tolerance") ok = number(v, n, 0, 1LL << 30), o.game.toleranceMs = int(n);
        else if (a == "--memory") ok = number(v, n, 0, 1LL << 40), o.game.memory = n;
        else if (a == "--games") ok = number(v, n, 1, 1LL << 30), o.games = int(n);
        else if (a == "--concurrency") ok = number(v, n, 1, 256), o.concurrency = int(n);
        else if (a == "--openings") s.openingsPath = v;
        else if (a == "--seed") ok = number(v, n, 0, (1LL << 62)), s.seed = (unsigned long long)n;
        else if (a == "--balance") ok = number(v, s.balance, 0, 9999);
        else if (a == "--write-openings") s.writePath = v;
        else if (a == "--sgf") o.sgfPath = v;
        else if (a == "--stats") {
            const std::string m = v;
            ok = m == "pentanomial" || m == "trinomial";
            o.stats = m == "trinomial" ? StatsModel::Trinomial : StatsModel::Pentanomial;
        }
        else if (a == "--alpha") ok = real(v, o.sprt.alpha) && o.sprt.alpha > 0 && o.sprt.alpha < 1;
        else if (a == "--beta") ok = real(v, o.sprt.beta) && o.sprt.beta > 0 && o.sprt.beta < 1;
        else if (a == "--sprt") {
            if (std::strcmp(v, "off") == 0) {
                o.sprtEnabled = false;
            } else {
                const char* comma = std::strchr(v, ',');
                ok = comma && real(std::string(v, comma).c_str(), o.sprt.elo0) && real(comma + 1, o.sprt.elo1) &&
                     o.sprt.elo0 < o.sprt.elo1;
            }
        } else ok = false;
        if (!ok) {
            std::fprintf(stderr, "bad option %s %s\n", a.c_str(), v);
            return false;
        }
    }
    if (!s.openingsPath.empty() && s.random) {
        std::fprintf(stderr, "--openings and --random-openings exclude each other\n");
        return false;
    }
    if (s.openingsPath.empty()) s.random = true;
    o.games += o.games % 2;  // whole pairs
    for (int i = 0; i < 2; ++i)
        if (o.name[i].empty()) o.name[i] = baseName(o.command[i]);
    if (o.name[0] == o.name[1]) {
        o.name[0] += "#1";
        o.name[1] += "#2";
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Setup s;
    if (!parse(argc, argv, s)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    MatchOptions& o = s.match;
    const int pairs = o.games / 2;
    std::vector<Opening> openings;
    if (s.random) {
        int rejected = 0;
        openings = randomOpenings(pairs, o.game.size, o.game.rule, s.seed, rejected, int32_t(s.balance));
        std::printf("%zu random openings from seed %llu (%d draws rejected)\n", openings.size(), s.seed, rejected);
        if (!s.writePath.empty() && !writeOpenings(s.writePath, openings, o.game.size, o.game.rule)) {
            std::fprintf(stderr, "cannot write %s\n", s.writePath.c_str());
            return 2;
        }
    } else {
        std::string error;
        int skipped = 0;
        if (!readOpenings(s.openingsPath, o.game.size, o.game.rule, openings, skipped, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 2;
        }
        std::printf("%zu openings for %dx%d %s from %s", openings.size(), o.game.size, o.game.size,
                    ruleName(o.game.rule), s.openingsPath.c_str());
        if (skipped) std::printf(" (%d invalid ones skipped)", skipped);
        std::printf("\n");
        if (int(openings.size()) < pairs)
            std::printf("fewer openings than game pairs: they are used again in turn\n");
    }
    if (openings.empty()) {
        std::fprintf(stderr, "no openings for this size and rule\n");
        return 2;
    }

    // An engine that cannot even start a game would lose every game; say so
    // instead of playing the match.
    for (int i = 0; i < 2; ++i) {
        Engine e(o.command[i]);
        std::string why;
        if (!openGame(e, o.game, why)) {
            std::fprintf(stderr, "engine %d (%s) %s\n", i + 1, o.command[i].c_str(), why.c_str());
            return 2;
        }
        e.process.stop(2000);
    }

    std::printf("%s vs %s: %d games at most, %d at once, %s %dx%d, timeout_turn %d ms, tolerance %d ms\n",
                o.name[0].c_str(), o.name[1].c_str(), o.games, o.concurrency, ruleName(o.game.rule), o.game.size,
                o.game.size, o.game.turnMs, o.game.toleranceMs);
    std::fflush(stdout);
    const MatchSummary summary = runMatch(o, openings, stdout);
    printSummary(o, summary, stdout);
    // For CI: a game lost on time, by a crash, an illegal move or a foul is
    // a fault of an engine, not a result.
    const bool faults = summary.onTime + summary.crashes + summary.illegal + summary.fouls > 0;
    return s.strict && faults ? 1 : 0;
}
