#include "protocol/event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace velmor {
namespace {

using namespace std::chrono_literals;

// Three threads that each wait on `event` once and then count themselves in
// `released`.
std::vector<std::thread> startWaiters(Event& event, std::atomic<int>& released) {
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) waiters.emplace_back([&event, &released] {
        event.wait();
        ++released;
    });
    return waiters;
}

TEST(Event, AutoResetReleasesOneWaiterPerSet) {
    Event event(Event::Reset::Auto, false);
    std::atomic<int> released{0};
    std::vector<std::thread> waiters = startWaiters(event, released);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(released, 0);
    for (int expected = 1; expected <= 3; ++expected) {
        event.set();
        auto deadline = std::chrono::steady_clock::now() + 5s;
        while (released < expected && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
        std::this_thread::sleep_for(20ms);  // a second waiter would slip through here
        EXPECT_EQ(released, expected);
    }
    for (std::thread& t : waiters) t.join();
    EXPECT_FALSE(event.isSignalled());
}

TEST(Event, AutoResetSetBeforeWaitIsKept) {
    Event event(Event::Reset::Auto, false);
    event.set();
    event.wait();  // returns at once and consumes the signal
    EXPECT_FALSE(event.isSignalled());
}

TEST(Event, ManualResetReleasesEveryWaiterAndStaysSignalled) {
    Event event(Event::Reset::Manual, false);
    std::atomic<int> released{0};
    std::vector<std::thread> waiters = startWaiters(event, released);
    std::this_thread::sleep_for(20ms);
    event.set();
    for (std::thread& t : waiters) t.join();
    EXPECT_EQ(released, 3);
    EXPECT_TRUE(event.isSignalled());
    event.wait();  // still signalled
    event.reset();
    EXPECT_FALSE(event.isSignalled());
}

}  // namespace
}  // namespace velmor
