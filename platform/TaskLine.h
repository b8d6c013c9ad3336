#pragma once

#include "platform/Executor.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// Slow work's one way off a thread and back to it: run on the program's
// executor, handed back to the thread of an object that asked (unless it is
// gone by then), with a serial, cancellation and progress. Nothing a task
// throws ever leaves it: it is caught at the task's edge and said on
// standard error, so that no exception ends the program from a thread.
namespace vantorix {

// Runs work, catching at its edge whatever it throws: false when it threw.
bool runCaught(const std::function<void()> &work);

// A line of tasks of which one at a time counts: starting a task cancels
// the one before, whose later hand-backs never arrive. A task sees itself
// through its TaskControl: whether it is cancelled, and a way to hand steps
// (a batch found, the result) back to the line's thread.
class TaskLine : public QObject {
    Q_OBJECT
public:
    class Control;

    explicit TaskLine(Executor &executor, QObject *parent = nullptr);
    // Cancels the task under way and waits for every task of the line to
    // end: nothing is ever handed to a line that is gone.
    ~TaskLine() override;

    // Starts work on the executor as the line's one task; returns its
    // serial.
    quint64 start(std::function<void(const Control &)> work);
    // The task under way stops handing back and is told to stop.
    void cancel();
    // The serial of the latest task started (0: none yet).
    quint64 serial() const { return serial_; }

private:
    struct Task;
    Executor &executor_;
    std::vector<std::shared_ptr<Task>> tasks_;  // not yet known to have ended
    std::shared_ptr<Task> current_;
    quint64 serial_ = 0;
};

class TaskLine::Control {
public:
    bool cancelled() const;
    // The flag itself, for code that only looks at an atomic.
    const std::atomic<bool> &cancelFlag() const;
    quint64 serial() const;
    // Runs step on the line's thread, unless the task was cancelled or
    // followed by another meanwhile.
    void handBack(std::function<void()> step) const;

private:
    friend class TaskLine;
    Control(TaskLine *line, std::shared_ptr<Task> task) : line_(line), task_(std::move(task)) {}
    TaskLine *line_;
    std::shared_ptr<Task> task_;
};

// One task on its own (no line): work runs on the executor, and what it
// returns goes to done on context's thread, unless context is gone by then.
// Whoever may have asked again meanwhile checks a serial of its own in done.
// A task that throws hands nothing back.
template <typename Work, typename Done>
void handBack(Executor &executor, QObject *context, Work work, Done done)
{
    QPointer<QObject> alive(context);
    executor.start([alive, work = std::move(work), done = std::move(done)]() mutable {
        using Result = decltype(work());
        auto result = std::make_shared<Result>();
        if (!runCaught([&] { *result = work(); }))
            return;
        // Posted to the application, which outlives every context: whether
        // context still lives is asked there, on its own thread.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [alive, done = std::move(done), result]() mutable {
                if (alive)
                    done(*result);
            },
            Qt::QueuedConnection);
    });
}

}  // namespace vantorix
