// Slow work's way back: a newer task of a line silences the one before, a
// cancelled task hands nothing back, and what a task throws ends nothing.
#include "platform/Executor.h"
#include "platform/TaskLine.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

using namespace testing_support;
using namespace vantorix;

namespace {

TEST(TaskLine, LatestTaskAloneHandsBackAndThrowsEndNothing)
{
    Executor executor(2);
    QStringList seen;
    {
        TaskLine line(executor);
        std::atomic<bool> release{false};
        // The first waits, then hands back: by then a second has begun.
        line.start([&](const TaskLine::Control &task) {
            while (!release && !task.cancelled())
                std::this_thread::yield();
            task.handBack([&] { seen.append("first"); });
        });
        line.start([&](const TaskLine::Control &task) {
            task.handBack([&] { seen.append("second: step"); });
            task.handBack([&] { seen.append("second: done"); });
        });
        release = true;
        ASSERT_TRUE(waitFor([&] { return seen.size() == 2; }));
        // A task that throws, and a step that throws on the line's thread.
        line.start([](const TaskLine::Control &) { throw std::runtime_error("no memory"); });
        line.start([&](const TaskLine::Control &task) {
            task.handBack([] { throw std::runtime_error("a bad step"); });
            task.handBack([&] { seen.append("after"); });
        });
        ASSERT_TRUE(waitFor([&] { return seen.size() == 3; }));
        // Cancelled: nothing more comes.
        line.start([&](const TaskLine::Control &task) {
            while (!task.cancelled())
                std::this_thread::yield();
            task.handBack([&] { seen.append("cancelled"); });
        });
        line.cancel();
        EXPECT_FALSE(waitFor([&] { return seen.size() > 3; }, 300));
    }
    EXPECT_EQ(seen, QStringList({"second: step", "second: done", "after"}));

    // A single task that throws hands nothing back and the executor goes on.
    QObject context;
    int handed = 0;
    handBack(executor, &context, []() -> int { throw std::runtime_error("broken"); }, [&](int) { ++handed; });
    handBack(executor, &context, [] { return 7; }, [&](int value) { handed += value; });
    ASSERT_TRUE(waitFor([&] { return handed == 7; }));
    executor.waitForDone();
    EXPECT_EQ(handed, 7);
}

}  // namespace
