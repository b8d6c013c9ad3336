#include "platform/TaskLine.h"

#include <algorithm>
#include <typeinfo>

namespace vantorix {

bool runCaught(const std::function<void()> &work)
{
    try {
        work();
        return true;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "vantorix: a task failed: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "vantorix: a task failed\n");
    }
    return false;
}

struct TaskLine::Task {
    explicit Task(quint64 number) : serial(number) {}
    // Told apart by number, not by address: a new task may take the memory
    // of one that ended, whose steps may still be on their way.
    const quint64 serial;
    std::atomic<bool> cancelled{false};
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;

    void finish()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        done = true;
        ended.notify_all();
    }
    void wait()
    {
        std::unique_lock<std::mutex> lock(mutex);
        ended.wait(lock, [this] { return done; });
    }
};

TaskLine::TaskLine(Executor &executor, QObject *parent) : QObject(parent), executor_(executor) {}

TaskLine::~TaskLine()
{
    for (const std::shared_ptr<Task> &task : tasks_) {
        task->cancelled = true;
        task->wait();
    }
}

void TaskLine::cancel()
{
    if (current_)
        current_->cancelled = true;
    current_.reset();
}

quint64 TaskLine::start(std::function<void(const Control &)> work)
{
    cancel();
    tasks_.erase(std::remove_if(tasks_.begin(), tasks_.end(),
                                [](const std::shared_ptr<Task> &task) {
                                    const std::lock_guard<std::mutex> lock(task->mutex);
                                    return task->done;
                                }),
                 tasks_.end());
    auto task = std::make_shared<Task>(++serial_);
    tasks_.push_back(task);
    current_ = task;
    executor_.start([control = Control(this, task), work = std::move(work)] {
        runCaught([&] { work(control); });
        control.task_->finish();
    });
    return serial_;
}

bool TaskLine::Control::cancelled() const
{
    return task_->cancelled;
}

const std::atomic<bool> &TaskLine::Control::cancelFlag() const
{
    return task_->cancelled;
}

quint64 TaskLine::Control::serial() const
{
    return task_->serial;
}

void TaskLine::Control::handBack(std::function<void()> step) const
{
    if (task_->cancelled)
        return;
    // The line waits for its tasks before it goes: it is there to take this.
    TaskLine *line = line_;
    const quint64 serial = task_->serial;
    QMetaObject::invokeMethod(
        line,
        [line, serial, step = std::move(step)] {
            if (line->current_ && line->current_->serial == serial && !line->current_->cancelled)
                runCaught(step);
        },
        Qt::QueuedConnection);
}

}  // namespace vantorix
