#include "platform/Executor.h"
#include "platform/TaskLine.h"

#include <system_error>

namespace vantorix {

Executor::Executor(int maxThreads) : maxThreads_(maxThreads > 0 ? maxThreads : 1) {}

Executor::~Executor()
{
    waitForDone();
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    taskWaiting_.notify_all();
    for (std::thread &thread : threads_)
        thread.join();
}

bool Executor::addThread()
{
    if (int(threads_.size()) >= maxThreads_)
        return false;
    try {
        threads_.emplace_back([this] { run(); });
        return true;
    } catch (const std::system_error &) {
    } catch (const std::bad_alloc &) {
    }
    return false;
}

void Executor::start(std::function<void()> task)
{
    std::unique_lock<std::mutex> lock(mutex_);
    tasks_.push_back(std::move(task));
    if (idle_ >= int(tasks_.size()) || addThread()) {
        lock.unlock();
        taskWaiting_.notify_one();
        return;
    }
    if (!threads_.empty())
        return;  // a thread there takes it in its turn
    // No thread at all: done here rather than never.
    std::function<void()> now = std::move(tasks_.back());
    tasks_.pop_back();
    lock.unlock();
    now();
}

bool Executor::tryStart(std::function<void()> task)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (idle_ <= int(tasks_.size()) && !addThread())
        return false;
    tasks_.push_back(std::move(task));
    lock.unlock();
    taskWaiting_.notify_one();
    return true;
}

int Executor::activeThreadCount() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return active_;
}

void Executor::waitForDone()
{
    std::unique_lock<std::mutex> lock(mutex_);
    allDone_.wait(lock, [this] { return tasks_.empty() && active_ == 0; });
}

void Executor::run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        ++idle_;
        taskWaiting_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
        --idle_;
        if (tasks_.empty())
            return;  // stopping
        std::function<void()> task = std::move(tasks_.front());
        tasks_.pop_front();
        ++active_;
        lock.unlock();
        runCaught(task);  // what a task throws never ends the program
        task = nullptr;  // what it holds goes before the task counts as done
        lock.lock();
        if (--active_ == 0 && tasks_.empty())
            allDone_.notify_all();
    }
}

}  // namespace vantorix
