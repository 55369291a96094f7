#pragma once

namespace velmor {

// The number of processors the system reports, at least 1.
int processorCount();

}  // namespace velmor
