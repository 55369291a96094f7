#include "training/prior.h"

#include "board/patterns.h"

namespace velmor::training {
namespace {

struct TypeWeight {
    int16_t toMove;  // for the side to move
    int16_t other;   // for the side that moved last
};

// A double threat or a four is worth far more to the side that plays next
// than to the side that must wait a move.
constexpr TypeWeight kTypeWeight[ChessTypeCount] = {
    {0, 0},        // None
    {0, 0},        // WeakTwo
    {2, 2},        // Two
    {6, 6},        // LiveTwo
    {2, 2},        // DeadThree
    {12, 12},      // LiveThree
    {12, 12},      // WideThree
    {18, 18},      // RushFour
    {26, 26},      // RushFourPlus
    {100, 30},     // DoubleThree
    {200, 50},     // FourThree
    {400, 50},     // DoubleFour
    {200, 20},     // LiveFour
    {1000, 50},    // Five
    {-10, -10},    // Forbidden
};
constexpr int16_t kTempo = 60;

// The combine table's variant for a rule set: renju's white plays as in
// free-style.
constexpr int kVariant[kEvalRuleSets] = {0, 1, 2, 0};

}  // namespace

void handSetWeights(EvalWeights* sets) {
    for (int s = 0; s < kEvalRuleSets; ++s) {
        sets[s].tempo[0] = sets[s].tempo[1] = kTempo;
        for (int e = 0; e < kCombinationCount; ++e) {
            const auto t = combinationTypes(e);
            const uint16_t word = uint16_t(t[0] | t[1] << 4 | t[2] << 8 | t[3] << 12);
            const int type = combineTable[word][kVariant[s]];
            sets[s].toMove[e] = kTypeWeight[type].toMove;
            sets[s].waiting[e] = kTypeWeight[type].other;
        }
        sets[s].toMove[kFoulEntry] = kTypeWeight[Forbidden].toMove;
        sets[s].waiting[kFoulEntry] = kTypeWeight[Forbidden].other;
        sets[s].toMove[0] = sets[s].waiting[0] = 0;  // four Nones: not a term
    }
}

}  // namespace velmor::training
