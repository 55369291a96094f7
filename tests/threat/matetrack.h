#pragma once
// The known-answer suite of the threat search ("matetrack"): positions given
// as stone lists, each with the truth of the position.
//
// Truth, established independently of the threat search:
// - `vcfWins`: every first move that wins by continuous fours, from the
//   exhaustive checker in vcf_oracle (the suite test recomputes and compares).
// - `threes`: whether the side to move wins by threats (threes and fours).
//   Win: a forced win is known; `vctWins` lists first moves proven by the
//   checker to win against every reply of the defender anywhere on the board
//   (the defender's reply followed by continuous fours), VCF moves aside.
//   NoWin: proven by the checker (every threat is met by a defender's win
//   with fours or a block after which the same holds). Open: not proven
//   either way; a claimed win is then only checked by replaying its line.
// - `known`: documented disagreements of the threat search with that truth
//   (a missed win is a limit of any threat search; a false claim never is).
#include <cstdint>

#include "board/chess_type.h"

namespace velmor::test {

enum class ThreesTruth : uint8_t { Win, NoWin, Open };

enum KnownDisagreement : uint8_t {
    Agrees = 0,
    MissesFours = 1,      // a fours-only search finds no win although one exists
    MissesThrees = 2,     // a search with threes finds no win although one exists
    ThreesClaimOpen = 4,  // a search with threes claims a win the checker cannot settle
};

struct MatetrackCase {
    const char* name;
    int size;
    GameRule rule;
    int toMove;  // 0 black (first player), 1 white
    const char* black;
    const char* white;
    const char* vcfWins;  // "" when the side to move has no win by fours
    ThreesTruth threes;
    const char* vctWins;  // further first moves proven to win with threes
    uint8_t known;
    const char* note;
};

// clang-format off
inline constexpr MatetrackCase kMatetrack[] = {
    // ---- free-style, 15x15 ----
    {"fs15-double-four", 15, FreeStyle, 0,
     "5,7 6,7 7,7 8,4 8,5 8,6", "4,7 8,3 1,1 13,13",
     "8,7", ThreesTruth::Win, "", Agrees,
     "two blocked threes cross at 8,7: one stone makes two fours"},
    {"fs15-four-three", 15, FreeStyle, 0,
     "5,7 6,7 7,7 8,5 8,6", "4,7 1,1 13,13",
     "8,7", ThreesTruth::Win, "", Agrees,
     "a four and an open three at once; the three becomes a live four"},
    {"fs15-double-three", 15, FreeStyle, 0,
     "6,7 7,7 8,5 8,6", "1,1 13,13 2,12 12,2",
     "", ThreesTruth::Win, "8,7", Agrees,
     "two open threes at once: no four anywhere, a win with threes"},
    {"fs15-three-refuted-by-counter-four", 15, FreeStyle, 0,
     "6,7 7,7 8,5 8,6 10,1 14,5", "10,2 10,3 10,4 11,5 12,5 13,5",
     "", ThreesTruth::NoWin, "", Agrees,
     "the double three at 8,7 looks winning, but white answers any three with the double four 10,5"},
    {"fs15-defender-four-block-is-double-four", 15, FreeStyle, 0,
     "6,8 7,8 8,8 6,5 7,6 8,7 9,13", "5,8 5,4 9,9 9,10 9,11 9,12 1,1 13,1",
     "9,8", ThreesTruth::Win, "", Agrees,
     "white already has a four; black's forced block 9,8 is itself a double four"},
    {"fs15-defender-four-no-answer", 15, FreeStyle, 0,
     "6,8 7,8 8,8 6,6 9,13", "5,8 9,9 9,10 9,11 9,12 1,1 13,1",
     "", ThreesTruth::Open, "", Agrees,
     "white already has a four; black's block is a plain four that leads nowhere"},
    {"fs15-black-blocks-on-own-double-three", 15, FreeStyle, 1,
     "2,7 7,5 7,6 8,8 9,9 13,13", "3,7 4,7 5,7 1,1 12,1",
     "", ThreesTruth::Open, "", Agrees,
     "the renju case below without the rule: black may block at 7,7, so white's four is harmless"},
    {"fs15-combination-a", 15, FreeStyle, 1,
     "8,5 11,5 5,10 3,11 10,10 10,11 10,3 6,9 10,9", "7,3 11,7 5,5 10,7 4,9 7,4 7,10 7,7 3,7",
     "6,4 7,5 9,7", ThreesTruth::Win, "", Agrees,
     "the winning four only appears where two independent chains meet"},
    {"fs15-combination-b", 15, FreeStyle, 1,
     "9,5 4,3 10,9 3,10 10,3 5,7 5,11 5,6 3,4 10,10", "7,7 8,3 9,7 6,3 7,6 8,9 6,8 9,4 6,7",
     "8,5 8,7 10,7", ThreesTruth::Win, "", ThreesClaimOpen,
     "two chains joined; with threes the search starts with the three 5,8 instead"},
    {"fs15-combination-c", 15, FreeStyle, 0,
     "8,8 6,10 4,9 10,6 4,6 9,5 3,7 3,8 3,3 3,11", "10,10 8,6 5,7 6,6 7,4 7,10 8,5 11,4 6,5",
     "3,9 7,9", ThreesTruth::Win, "4,8", Agrees,
     "two chains joined"},
    {"fs15-lone-stones", 15, FreeStyle, 0,
     "7,7", "8,8",
     "", ThreesTruth::NoWin, "", Agrees,
     "nothing to threaten with"},
    {"fs15-five-on-offer", 15, FreeStyle, 0,
     "3,3 4,3 5,3 6,3 9,9 9,10 9,11 9,12", "2,3 1,1 13,13 0,14 14,0 5,5 6,6 12,12",
     "7,3 9,8 9,13", ThreesTruth::Win, "", Agrees,
     "three five points: the first in scan order is played"},

    // ---- exact five, 15x15 ----
    {"ef15-double-four", 15, ExactFive, 0,
     "5,7 6,7 7,7 8,4 8,5 8,6", "4,7 8,3 1,1 13,13",
     "8,7", ThreesTruth::Win, "", Agrees,
     "as in free-style: no overline involved"},
    {"ef15-overline-past-the-window-a", 15, ExactFive, 0,
     "6,9 9,9 6,4 11,9 7,9 3,6", "9,5 4,9 4,6 5,3 11,3 3,8 7,11",
     "", ThreesTruth::Open, "", Agrees,
     "8,9 looks like a four, but its completion would make six; a stone five points away is "
     "outside what the board sees from the threat point"},
    {"ef15-overline-past-the-window-b", 15, ExactFive, 1,
     "11,3 6,5 7,10 9,5 7,3 7,6 10,8", "4,11 6,11 9,11 8,11 9,6",
     "", ThreesTruth::Open, "", Agrees,
     "white 7,11 looks like a four whose far completion is an overline"},
    {"ef15-joined-chain-stale-defence", 15, ExactFive, 1,
     "9,11 4,9 4,11 9,5 6,4 10,8 4,8 8,6 4,3", "8,5 6,11 6,5 3,7 7,6 3,3 10,6 3,6 5,5",
     "", ThreesTruth::Open, "", Agrees,
     "a chain joined from another branch keeps the block it had there (7,5); here the real "
     "block is 2,5, and 7,5 would make an overline"},
    {"ef15-combination-a", 15, ExactFive, 0,
     "3,6 10,6 4,6 8,7 10,3 9,11 11,3 7,3 7,6 3,3", "8,8 7,4 4,4 10,11 4,3 9,4 11,11 6,3 6,10 9,5",
     "6,6 9,3", ThreesTruth::Win, "", Agrees,
     "two chains joined"},
    {"ef15-combination-b", 15, ExactFive, 1,
     "9,8 7,11 5,9 3,7 10,5 7,8 9,11 6,8 6,11 3,10 10,7", "10,11 10,3 9,10 5,11 6,3 5,4 5,8 5,7 6,7 9,9 4,7 9,4 9,3",
     "5,6 7,7 8,3 8,7", ThreesTruth::Win, "", Agrees,
     "a seven-four line through two joined chains"},

    // ---- renju, 15x15 ----
    {"rj15-double-four-forbidden", 15, Renju, 0,
     "5,7 6,7 7,7 8,4 8,5 8,6", "4,7 8,3 1,1 13,13 2,12",
     "", ThreesTruth::Open, "", ThreesClaimOpen,
     "the free-style winning point 8,7 is a double four, forbidden to black; with threes the "
     "search finds a longer three-first line that the checker cannot settle one three deep"},
    {"rj15-white-four-block-forbidden", 15, Renju, 1,
     "2,7 7,5 7,6 8,8 9,9 13,13", "3,7 4,7 5,7 1,1 12,1",
     "6,7", ThreesTruth::Win, "", Agrees,
     "white's four at 6,7 can only be blocked at 7,7, a double three forbidden to black"},
    {"rj15-joined-chain-stale-defence", 15, Renju, 0,
     "11,11 4,3 9,3 7,8 5,6 9,5 4,6 8,8 10,4 11,8 4,4 9,10 9,9 11,9", "11,4 10,7 9,11 4,7 9,6 3,5 7,10 11,10 6,4 7,7 8,7 6,10",
     "", ThreesTruth::Open, "", Agrees,
     "a joined chain keeps its old block 8,9, which here would give black an overline"},
    {"rj15-live-four-that-is-not", 15, Renju, 0,
     "3,4 9,4 3,8 3,5 3,9 11,7 3,7", "4,7 5,5 8,10 10,10 9,6 11,11 6,9",
     "", ThreesTruth::Open, "", Agrees,
     "3,10 looks like a live four, but one end makes six with 3,4 3,5"},
    {"rj15-four-that-is-not", 15, Renju, 0,
     "6,3 8,7 7,8 10,4 7,6 7,10 7,5", "3,7 6,5 11,8 8,5 10,9 6,11 7,3",
     "", ThreesTruth::Open, "", ThreesClaimOpen,
     "7,7 looks like a four whose only completion is an overline"},
    {"rj15-combination-a", 15, Renju, 1,
     "8,3 3,7 10,9 11,9 10,8 4,5 9,10 3,10 5,6", "4,7 11,7 8,9 7,7 4,9 5,9 10,7 10,5",
     "6,9 8,7", ThreesTruth::Win, "4,10", Agrees,
     "two chains joined (white)"},
    {"rj15-combination-b", 15, Renju, 0,
     "9,4 7,7 6,10 4,11 10,6 3,10 3,7 5,3 5,4 10,7 8,4 3,6 6,5", "7,9 4,4 9,7 10,11 8,7 9,8 4,3 10,4 6,6 5,8 7,5 11,10",
     "3,8 7,4", ThreesTruth::Win, "", Agrees,
     "two chains joined (black)"},
    {"rj15-combination-c", 15, Renju, 0,
     "7,4 10,6 4,11 10,11 3,6 3,5 8,3 4,4 4,8 4,7 11,6", "9,10 11,5 3,4 11,11 7,10 9,7 9,11 6,6 9,6 7,9 5,7 7,3 8,6",
     "4,6 4,10 5,6", ThreesTruth::Win, "", Agrees,
     "two chains joined (black)"},
    {"rj15-black-double-three-forbidden", 15, Renju, 0,
     "6,7 7,7 8,5 8,6", "1,1 13,13 2,12 12,2 0,0",
     "", ThreesTruth::Open, "", ThreesClaimOpen,
     "the free-style double three 8,7 is forbidden to black"},
    {"rj15-white-double-three", 15, Renju, 1,
     "1,1 13,13 2,12 12,2 0,0", "6,7 7,7 8,5 8,6",
     "", ThreesTruth::Win, "8,7", Agrees,
     "white may make a double three"},
    {"rj15-black-overline-is-no-five", 15, Renju, 0,
     "2,7 3,7 4,7 6,7 7,7", "1,7 8,7 1,1 13,13 12,12",
     "", ThreesTruth::Open, "", Agrees,
     "5,7 would give black six in a row: forbidden, not a five"},
    {"rj15-white-overline-wins", 15, Renju, 1,
     "1,7 8,7 1,1 13,13 12,12 0,14", "2,7 3,7 4,7 6,7 7,7",
     "5,7", ThreesTruth::Win, "", Agrees,
     "six in a row wins for white"},

    // ---- 20x20 ----
    {"fs20-edge-double-four", 20, FreeStyle, 0,
     "15,13 16,13 17,13 18,10 18,11 18,12", "14,13 18,9 1,1 10,10",
     "18,13", ThreesTruth::Win, "", Agrees,
     "beyond the 15x15 corner, next to the edge"},
    {"fs20-combination-a", 20, FreeStyle, 0,
     "10,11 9,10 13,8 14,12 10,7 9,8 7,11 10,8", "11,12 10,14 8,13 7,8 9,14 8,12 12,7",
     "10,9 11,8", ThreesTruth::Win, "", ThreesClaimOpen,
     "two chains joined; with threes the search starts with the three 9,9"},
    {"fs20-combination-b", 20, FreeStyle, 1,
     "14,10 11,7 14,8 13,12 7,10 6,12 12,13 9,10", "12,11 9,13 10,11 10,10 11,10 14,7 8,11 7,12",
     "9,11 12,9", ThreesTruth::Win, "", MissesFours,
     "two chains joined; the fours-only search follows one chain at a time, the search with "
     "threes joins them"},
    {"fs20-long-joined-line", 20, FreeStyle, 1,
     "13,14 9,6 8,11 6,14 10,14 12,12 7,7 9,13 7,11 12,6 11,8 11,7 7,8 13,6", "12,11 10,10 14,9 10,13 6,8 10,6 8,14 14,7 8,7 6,13 14,11",
     "13,10 14,10", ThreesTruth::Win, "", Agrees,
     "an eleven-four line through joined chains"},
    {"fs20-corner-dead-shapes", 20, FreeStyle, 1,
     "10,10 11,11", "17,18 18,18 19,16 19,17",
     "", ThreesTruth::Open, "", Agrees,
     "white's stones against the edge make only dead shapes"},
    {"ef20-combination-a", 20, ExactFive, 0,
     "14,11 9,7 6,6 14,13 12,9 10,7 6,7 10,10", "7,6 8,13 10,11 6,11 13,9 9,11 7,8 9,12",
     "7,7 11,8", ThreesTruth::Win, "", MissesFours,
     "two chains joined; the fours-only search follows one chain at a time, the search with "
     "threes joins them"},
    {"ef20-combination-long", 20, ExactFive, 1,
     "13,12 9,11 14,7 6,9 8,13 6,8 13,13 13,10 8,6 8,14", "7,9 6,14 7,10 7,6 11,10 8,11 11,11 13,6 10,6 13,9 11,14 12,14",
     "7,8 9,12 10,13 11,12", ThreesTruth::Win, "", ThreesClaimOpen,
     "a nine-four line through joined chains"},
    {"ef20-combination-b", 20, ExactFive, 1,
     "7,9 10,10 11,13 13,12 11,9 6,8 13,14 12,11 8,7 10,14 14,13 14,8 13,10 11,11", "13,11 6,10 10,13 6,7 9,7 8,14 9,14 9,12 6,14 11,12 9,10",
     "7,14 8,15 9,13", ThreesTruth::Win, "", Agrees,
     "two chains joined, past row 14"},
    {"rj20-combination-a", 20, Renju, 0,
     "12,12 7,10 11,12 8,12 6,10 12,14 7,14 10,10", "9,8 9,7 13,11 7,11 9,14 13,12 12,13",
     "8,10 10,12", ThreesTruth::Win, "", ThreesClaimOpen,
     "two chains joined (black)"},
    {"rj20-combination-b", 20, Renju, 0,
     "14,8 7,11 11,12 6,9 11,6 9,9 11,7 7,9 7,10 10,13", "7,12 14,14 12,10 9,13 10,9 13,7 9,8 7,13 11,10 8,8 6,14",
     "7,8 8,9 8,10 8,11 9,12", ThreesTruth::Win, "", Agrees,
     "five winning first moves"},
    {"rj20-block-makes-no-foul", 20, Renju, 1,
     "7,7 9,7 6,7 12,7 8,10 13,9 14,7", "12,9 6,8 11,9 11,13 8,12 8,14 10,9 11,11",
     "", ThreesTruth::Open, "", Agrees,
     "after 8,9 9,9 11,10 11,12 11,8 black must block at 11,7, which looks like a double three; "
     "but the row through it becomes a four only at 10,7 or 13,7, and each of those fours has an "
     "end that makes six: one three only, black may block, no win by fours"},
    {"rj20-forbidden-made-by-block-b", 20, Renju, 1,
     "11,11 6,8 9,13 9,12 6,14 10,8 6,13", "14,9 10,11 8,11 13,10 8,8 12,8 8,7 7,11",
     "8,9", ThreesTruth::Win, "", Agrees,
     "8,9 8,10 6,11 wins because black's block 8,10 makes 9,11 a double three for black"},
};
// clang-format on

}  // namespace velmor::test
