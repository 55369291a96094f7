#pragma once
// Reading the manager's numbers. The protocol is defined in terms of the C
// library's atoi and sscanf("%d"), whose behaviour on out-of-range numbers is
// undefined; these readers accept the same texts but saturate to the 32-bit
// range, so "TURN 99999999999,1" is simply off the board.
#include <cstdint>

namespace velmor {

// The white space that %d and atoi skip: blank, tab, LF, VT, FF, CR.
bool isProtocolSpace(char c);
const char* skipSpace(const char* text);

// Like atoi: leading white space, an optional sign, then digits; no digits
// give 0.
int32_t readIntSaturated(const char* text);

// Like sscanf with a format made of "%d" conversions, blanks (any run of
// white space, also none) and literal characters. Stores up to `capacity`
// numbers and returns how many were read before the first mismatch.
int scanIntegers(const char* text, const char* format, int32_t* values, int capacity);

}  // namespace velmor
