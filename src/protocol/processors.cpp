#include "protocol/processors.h"

#include <thread>

namespace velmor {

int processorCount() {
    // The standard library answers 0 when it cannot tell; one processor is
    // the safe reading of that.
    unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : int(n);
}

}  // namespace velmor
