#pragma once
// A process-wide set of worker threads with two task queues. Tasks of the main
// queue are taken whenever there are any; a task of the exclusive queue is
// taken only while no task at all is running, so that it starts alone.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace velmor {

class ThreadPool {
public:
    using Task = std::function<void()>;

    // The process-wide pool, created on first use and never destroyed: its
    // workers block for the life of the process.
    static ThreadPool& getInstance();

    ThreadPool() = default;
    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;
    // Only pools other than the process-wide one are ever destroyed (tests):
    // each worker finishes the task it is running and stops; queued tasks
    // are dropped.
    ~ThreadPool();

    // Starts n workers (none for n <= 0). Every game start calls this again;
    // once workers are running a repeated call leaves the pool as it is, so
    // that game after game does not pile up idle threads.
    void startWorkers(int32_t n);

    // Starts workers until there are at least n (starting the pool if it was
    // not). A search that wants more helper threads than the game start
    // provided, or one run outside a game (tools, tests), calls this first.
    // Only from the thread that also calls startWorkers, never concurrently.
    void ensureWorkers(int32_t n);

    // Queue a task. The search queues its helper threads on the main queue;
    // the exclusive queue exists for callers that need a task to run alone.
    void submit(Task task);
    void submitExclusive(Task task);

    int32_t threadCount() const { return threadCount_; }
    int32_t activeTasks() const { return activeTasks_.load(); }
    bool running() const { return running_.load(); }
    std::size_t workerCount() const { return workers_.size(); }

private:
    void workerLoop();
    std::optional<Task> takeTask();
    bool queuesEmpty();
    void notifyWorkers();

    int32_t threadCount_ = 0;
    std::atomic<int32_t> activeTasks_{0};
    // Lock order: poolMutex_ first, then mainQueueMutex_; exclusiveQueueMutex_
    // is only taken after mainQueueMutex_ has been released.
    std::mutex poolMutex_;
    std::mutex mainQueueMutex_;
    std::mutex exclusiveQueueMutex_;
    std::condition_variable taskReady_;
    std::vector<std::thread> workers_;
    std::deque<Task> mainQueue_;
    std::deque<Task> exclusiveQueue_;
    std::atomic<bool> running_{false};
};

}  // namespace velmor
