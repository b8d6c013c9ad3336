#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace vantorix {

// The one set of threads a program runs its slow work on, sized once.
// Threads are started as tasks need them, up to the size, and kept. Unlike
// QThreadPool it stays sound when the system starts no more threads (a
// task limit, a small address space): a task whose thread cannot be had
// waits for a thread already there, or, when there is none, runs at once
// on the caller's thread; tryStart then says no.
class Executor {
public:
    explicit Executor(int maxThreads);
    // Runs the tasks waiting, then ends the threads.
    ~Executor();
    Executor(const Executor &) = delete;
    Executor &operator=(const Executor &) = delete;

    void start(std::function<void()> task);
    // Starts the task only when a thread takes it now; false otherwise.
    bool tryStart(std::function<void()> task);
    // Threads running a task now, and the most there may be.
    int activeThreadCount() const;
    int maxThreadCount() const { return maxThreads_; }
    // Waits until no task waits or runs.
    void waitForDone();

private:
    // With the lock held: a new thread, false when the system gives none.
    bool addThread();
    void run();

    const int maxThreads_;
    mutable std::mutex mutex_;
    std::condition_variable taskWaiting_;
    std::condition_variable allDone_;
    std::deque<std::function<void()>> tasks_;
    std::vector<std::thread> threads_;
    int idle_ = 0;
    int active_ = 0;
    bool stopping_ = false;
};

}  // namespace vantorix
