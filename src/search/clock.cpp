#include "search/clock.h"

#include <chrono>
#include <ctime>

namespace velmor {

int64_t wallClockTicks() {
    using namespace std::chrono;
    return duration_cast<duration<int64_t, std::ratio<1, kTicksPerSecond>>>(
               system_clock::now().time_since_epoch())
        .count();
}

int64_t calendarSeconds() { return int64_t(std::time(nullptr)); }

}  // namespace velmor
