#pragma once
#include <cstdint>

namespace velmor {

// Wall clock in 100-ns ticks since 1970 (the resolution the time control is
// written for); portable stand-in for the Windows file-time clock.
int64_t wallClockTicks();
inline constexpr int64_t kTicksPerMs = 10000;
inline constexpr int64_t kTicksPerSecond = 10000000;
// Calendar time in whole seconds (seed of the opening rule).
int64_t calendarSeconds();

}  // namespace velmor
