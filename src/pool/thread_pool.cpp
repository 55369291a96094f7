#include "pool/thread_pool.h"

#include <utility>

namespace velmor {

ThreadPool& ThreadPool::getInstance() {
    // Deliberately leaked: its workers stay blocked until the process ends,
    // and destroying it at exit would only have to wake and join them.
    static ThreadPool* instance = new ThreadPool;
    return *instance;
}

ThreadPool::~ThreadPool() {
    running_ = false;
    notifyWorkers();
    for (std::thread& worker : workers_)
        if (worker.joinable()) worker.join();
}

void ThreadPool::startWorkers(int32_t n) {
    if (running_ && !workers_.empty()) return;
    threadCount_ = n;
    running_ = true;
    if (n <= 0) return;
    if (workers_.capacity() < std::size_t(n)) workers_.reserve(std::size_t(n));
    for (int32_t i = 0; i < n; ++i) workers_.emplace_back(&ThreadPool::workerLoop, this);
}

void ThreadPool::ensureWorkers(int32_t n) {
    if (!running_) {
        startWorkers(n);
        return;
    }
    while (int32_t(workers_.size()) < n) workers_.emplace_back(&ThreadPool::workerLoop, this);
    if (threadCount_ < n) threadCount_ = n;
}

void ThreadPool::submit(Task task) {
    {
        std::lock_guard lock(mainQueueMutex_);
        mainQueue_.push_back(std::move(task));
    }
    notifyWorkers();
}

void ThreadPool::submitExclusive(Task task) {
    {
        std::lock_guard lock(exclusiveQueueMutex_);
        exclusiveQueue_.push_back(std::move(task));
    }
    notifyWorkers();
}

// Taking poolMutex_ before notifying closes the gap between a worker's test of
// the queues and its wait: the worker holds poolMutex_ across both.
void ThreadPool::notifyWorkers() {
    std::lock_guard lock(poolMutex_);
    taskReady_.notify_all();
}

void ThreadPool::workerLoop() {
    while (running_) {
        std::optional<Task> task = takeTask();
        if (task) {
            (*task)();
            --activeTasks_;
        }
    }
}

bool ThreadPool::queuesEmpty() {
    {
        std::lock_guard lock(mainQueueMutex_);
        if (!mainQueue_.empty()) return false;
    }
    std::lock_guard lock(exclusiveQueueMutex_);
    return exclusiveQueue_.empty();
}

std::optional<ThreadPool::Task> ThreadPool::takeTask() {
    // Step 1. Only one worker at a time looks at the queues, so the test of
    // activeTasks_ below and the increment after it cannot be overtaken.
    std::unique_lock poolLock(poolMutex_);

    // Step 2. Sleep while there is nothing to take.
    taskReady_.wait(poolLock, [this] { return !queuesEmpty() || !running_; });
    if (!running_) return std::nullopt;  // a test pool being destroyed

    // Step 3-4. The main queue first, whenever it holds a task.
    std::optional<Task> task;
    {
        std::lock_guard lock(mainQueueMutex_);
        if (!mainQueue_.empty()) {
            task.emplace(std::move(mainQueue_.front()));
            mainQueue_.pop_front();
            ++activeTasks_;
            return task;
        }
    }

    // Step 5. An exclusive task only when nothing at all is running. If one
    // is, this worker returns empty-handed and its loop asks again at once.
    std::lock_guard lock(exclusiveQueueMutex_);
    if (activeTasks_ == 0 && !exclusiveQueue_.empty()) {
        task.emplace(std::move(exclusiveQueue_.front()));
        exclusiveQueue_.pop_front();
        ++activeTasks_;
    }
    return task;
}

}  // namespace velmor
