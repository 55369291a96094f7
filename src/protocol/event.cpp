#include "protocol/event.h"

namespace velmor {

void Event::set() {
    std::lock_guard lock(mutex_);
    signalled_ = true;
    // One waiter suffices for an auto-reset event: the first to wake consumes it.
    if (autoReset_)
        changed_.notify_one();
    else
        changed_.notify_all();
}

void Event::reset() {
    std::lock_guard lock(mutex_);
    signalled_ = false;
}

void Event::wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return signalled_; });
    if (autoReset_) signalled_ = false;
}

bool Event::isSignalled() {
    std::lock_guard lock(mutex_);
    return signalled_;
}

}  // namespace velmor
