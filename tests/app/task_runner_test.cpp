// The long-task runner: one task at a time, completion on the UI thread, abort that waits.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/gui_test_support.h"
#include "app/task_runner.h"

namespace zorvane {
namespace {

using namespace std::chrono_literals;

TEST(TaskRunner, RunsOneTaskAtATimeAndFinishesOnTheUiThread) {
    TaskRunner runner;
    int stateChanges = 0;
    runner.setStateListener([&] { ++stateChanges; });
    std::atomic<bool> release{false};
    std::thread::id doneThread;
    bool wasAborted = true;
    ASSERT_TRUE(runner.start(
        [&](std::atomic<bool>&) {
            while (!release) std::this_thread::sleep_for(1ms);
        },
        [&](const TaskEnd& end) {
            doneThread = std::this_thread::get_id();
            wasAborted = end.aborted || end.failed;
        }));
    EXPECT_TRUE(runner.isBusy());
    EXPECT_EQ(stateChanges, 1);
    bool secondRan = false;
    EXPECT_FALSE(runner.start([&](std::atomic<bool>&) { secondRan = true; }));
    release = true;
    ASSERT_TRUE(ztest::pumpUntil([&] { return !runner.isBusy(); }));
    EXPECT_EQ(doneThread, std::this_thread::get_id());
    EXPECT_FALSE(wasAborted);
    EXPECT_FALSE(secondRan);
    EXPECT_EQ(stateChanges, 2);
    // Free again: the next task starts.
    ASSERT_TRUE(runner.start([&](std::atomic<bool>&) { secondRan = true; }));
    ASSERT_TRUE(ztest::pumpUntil([&] { return !runner.isBusy(); }));
    EXPECT_TRUE(secondRan);
}

TEST(TaskRunner, AbortSetsTheFlagAndReturnsOnlyAfterTheTaskEnded) {
    TaskRunner runner;
    std::atomic<bool> taskEnded{false};
    int doneCalls = 0;
    bool wasAborted = false;
    ASSERT_TRUE(runner.start(
        [&](std::atomic<bool>& abort) {
            while (!abort) std::this_thread::sleep_for(1ms);
            std::this_thread::sleep_for(20ms);  // winding down takes a moment
            taskEnded = true;
        },
        [&](const TaskEnd& end) {
            ++doneCalls;
            wasAborted = end.aborted;
        }));
    runner.abort();
    EXPECT_TRUE(taskEnded);
    EXPECT_FALSE(runner.isBusy());
    EXPECT_EQ(doneCalls, 1);
    EXPECT_TRUE(wasAborted);
    ztest::pumpFor(30);  // the worker's own completion message changes nothing now
    EXPECT_EQ(doneCalls, 1);
    runner.abort();  // nothing running: nothing happens
    EXPECT_EQ(doneCalls, 1);
}

TEST(TaskRunner, AFailingTaskEndsAsAFailure) {
    TaskRunner runner;
    bool done = false;
    TaskEnd seen;
    ASSERT_TRUE(runner.start([](std::atomic<bool>&) { throw std::runtime_error("broken"); },
                             [&](const TaskEnd& end) {
                                 done = true;
                                 seen = end;
                             }));
    ASSERT_TRUE(ztest::pumpUntil([&] { return !runner.isBusy(); }));
    EXPECT_TRUE(done);
    EXPECT_TRUE(seen.failed);
    EXPECT_FALSE(seen.aborted);
    EXPECT_EQ(seen.failure, "broken");
}

TEST(TaskRunner, DestroyingARunnerStopsItsTask) {
    std::atomic<bool> sawAbort{false};
    {
        TaskRunner runner;
        ASSERT_TRUE(runner.start([&](std::atomic<bool>& abort) {
            while (!abort) std::this_thread::sleep_for(1ms);
            sawAbort = true;
        }));
    }
    EXPECT_TRUE(sawAbort);
    ztest::pumpFor(20);  // the late completion message finds no runner and does nothing
}

}  // namespace
}  // namespace zorvane
