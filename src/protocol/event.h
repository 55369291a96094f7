#pragma once
// A signalling event in the manner of an operating-system event object, built
// on a mutex and a condition variable so that it behaves the same everywhere.
#include <condition_variable>
#include <mutex>

namespace velmor {

class Event {
public:
    enum class Reset { Auto, Manual };

    Event(Reset reset, bool signalled) : autoReset_(reset == Reset::Auto), signalled_(signalled) {}
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    // Signals the event. An auto-reset event releases exactly one waiter (or
    // the next one to arrive) and falls back to unsignalled; a manual-reset
    // event releases every waiter and stays signalled until reset.
    void set();
    void reset();
    // Blocks without a time limit until the event is signalled.
    void wait();
    bool isSignalled();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    const bool autoReset_;
    bool signalled_;
};

}  // namespace velmor
