#include "pool/thread_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velmor {
namespace {

using namespace std::chrono_literals;

// Polls `done` until it holds or `limit` passes; a hung pool fails the test
// instead of blocking it.
template <class Pred>
bool waitUntil(Pred done, std::chrono::milliseconds limit = 5000ms) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// A task that blocks until the test opens it.
struct Gate {
    std::atomic<bool> open{false};
    std::atomic<bool> entered{false};
    void pass() {
        entered = true;
        while (!open) std::this_thread::sleep_for(1ms);
    }
};

TEST(ThreadPool, StartWorkersOnceAndRepeatedStartsKeepThePool) {
    ThreadPool pool;
    EXPECT_EQ(pool.threadCount(), 0);
    EXPECT_FALSE(pool.running());

    pool.startWorkers(4);
    EXPECT_EQ(pool.threadCount(), 4);
    EXPECT_EQ(pool.workerCount(), 4u);
    EXPECT_TRUE(pool.running());
    EXPECT_EQ(pool.activeTasks(), 0);

    // Every game start calls startWorkers again: the pool must not grow.
    for (int game = 0; game < 5; ++game) pool.startWorkers(4);
    EXPECT_EQ(pool.workerCount(), 4u);
    EXPECT_EQ(pool.threadCount(), 4);
}

// A search that wants more helpers than the game start provided grows the
// pool (or starts it); it never shrinks, and the added workers take tasks.
TEST(ThreadPool, EnsureWorkersGrowsOnlyAndTheNewWorkersRun) {
    ThreadPool pool;
    pool.ensureWorkers(1);
    EXPECT_TRUE(pool.running());
    EXPECT_EQ(pool.workerCount(), 1u);
    pool.ensureWorkers(3);
    EXPECT_EQ(pool.workerCount(), 3u);
    pool.ensureWorkers(2);
    EXPECT_EQ(pool.workerCount(), 3u);
    pool.startWorkers(8);  // a later game start keeps the pool as it is
    EXPECT_EQ(pool.workerCount(), 3u);

    // Three tasks that each wait for the other two: they finish only if
    // three workers run them at once.
    std::atomic<int> arrived{0};
    std::atomic<int> finished{0};
    for (int i = 0; i < 3; ++i)
        pool.submit([&] {
            ++arrived;
            waitUntil([&] { return arrived.load() == 3; });
            ++finished;
        });
    EXPECT_TRUE(waitUntil([&] { return finished.load() == 3; }));
}

TEST(ThreadPool, NoWorkersForZeroOrNegativeCounts) {
    for (int n : {0, -3}) {
        ThreadPool pool;
        pool.startWorkers(n);
        EXPECT_EQ(pool.workerCount(), 0u) << n;
        EXPECT_TRUE(pool.running());
    }
}

TEST(ThreadPool, IdleWorkersBlockWithoutBurningProcessorTime) {
    ThreadPool pool;
    pool.startWorkers(4);
    std::clock_t before = std::clock();
    std::this_thread::sleep_for(300ms);
    double cpuMs = double(std::clock() - before) * 1000.0 / CLOCKS_PER_SEC;
    // Four spinning workers would burn about 600 ms on two cores.
    EXPECT_LT(cpuMs, 60.0);
}

TEST(ThreadPool, MainQueueIsTakenBeforeTheExclusiveQueue) {
    ThreadPool pool;
    pool.startWorkers(1);
    Gate gate;
    std::mutex orderMutex;
    std::vector<std::string> order;
    auto record = [&](const char* name) {
        return [&, name] {
            std::lock_guard lock(orderMutex);
            order.emplace_back(name);
        };
    };

    pool.submit([&] { gate.pass(); });
    ASSERT_TRUE(waitUntil([&] { return gate.entered.load(); }));
    // Queued while the only worker is busy, exclusive ones first.
    pool.submitExclusive(record("E1"));
    pool.submitExclusive(record("E2"));
    pool.submit(record("M1"));
    pool.submit(record("M2"));
    gate.open = true;

    ASSERT_TRUE(waitUntil([&] {
        std::lock_guard lock(orderMutex);
        return order.size() == 4;
    }));
    EXPECT_EQ(order, (std::vector<std::string>{"M1", "M2", "E1", "E2"}));
    EXPECT_TRUE(waitUntil([&] { return pool.activeTasks() == 0; }));
}

TEST(ThreadPool, ExclusiveTaskWaitsUntilNothingElseRuns) {
    ThreadPool pool;
    pool.startWorkers(3);
    Gate gate;
    std::atomic<bool> exclusiveRan{false};
    std::atomic<int> activeAtExclusiveStart{-1};

    pool.submit([&] { gate.pass(); });
    ASSERT_TRUE(waitUntil([&] { return gate.entered.load(); }));
    pool.submitExclusive([&] {
        activeAtExclusiveStart = pool.activeTasks();
        exclusiveRan = true;
    });

    // Two workers are free, yet neither may start the exclusive task.
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(exclusiveRan);
    EXPECT_EQ(pool.activeTasks(), 1);

    gate.open = true;
    ASSERT_TRUE(waitUntil([&] { return exclusiveRan.load(); }));
    EXPECT_EQ(activeAtExclusiveStart, 1);  // itself only
}

TEST(ThreadPool, ExclusiveTasksRunAloneAmongManyTasks) {
    constexpr int kMainTasks = 120;
    constexpr int kExclusiveTasks = 20;
    ThreadPool pool;
    std::atomic<int> running{0}, maxMainConcurrency{0};
    std::atomic<int> mainDone{0}, exclusiveDone{0};
    std::atomic<int> exclusiveNotAlone{0}, exclusiveBeforeMainDone{0};

    // Everything is queued before any worker exists, so the order of taking
    // depends on the pool's rule alone.
    for (int i = 0; i < kMainTasks; ++i)
        pool.submit([&] {
            int now = ++running;
            for (int seen = maxMainConcurrency; now > seen && !maxMainConcurrency.compare_exchange_weak(seen, now);) {
            }
            std::this_thread::sleep_for(200us);
            --running;
            ++mainDone;
        });
    for (int i = 0; i < kExclusiveTasks; ++i)
        pool.submitExclusive([&] {
            if (++running != 1) ++exclusiveNotAlone;
            if (mainDone != kMainTasks) ++exclusiveBeforeMainDone;
            std::this_thread::sleep_for(200us);
            if (running != 1) ++exclusiveNotAlone;
            --running;
            ++exclusiveDone;
        });
    pool.startWorkers(4);

    ASSERT_TRUE(waitUntil([&] { return mainDone == kMainTasks && exclusiveDone == kExclusiveTasks; }));
    EXPECT_EQ(exclusiveNotAlone, 0);
    EXPECT_EQ(exclusiveBeforeMainDone, 0);
    EXPECT_GT(maxMainConcurrency, 1);  // the main queue does run in parallel
    EXPECT_TRUE(waitUntil([&] { return pool.activeTasks() == 0; }));
}

}  // namespace
}  // namespace velmor
