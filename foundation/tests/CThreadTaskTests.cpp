#include "foundation/CThreadTask.h"
#include "events/Queue.h"
#include "events/Waiter.h"
#include "foundation/CThreadParts.h"
#include "services/ThreadSignalStack.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <gtest/gtest.h>
#include <memory>
#include <sched.h>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Hands work to the main thread until stopped (or once, when asked).
class Worker : public CThreadTask {
public:
    ~Worker() override { EndTask(); }

    std::atomic<int> mTaskRuns { 0 };
    std::atomic<int> mMainRuns { 0 };
    std::atomic<bool> mWaiting { false };
    std::thread::id mMainThread;
    bool mOnce = true;
    bool mStopFromMain = false;

protected:
    void DoTask() override
    {
        ++mTaskRuns;
        do {
            mWaiting = true;
            UseMainThread();
            mWaiting = false;
        } while (!mOnce && !ShouldStop());
    }
    void DoMainTask() override
    {
        ++mMainRuns;
        mMainThread = std::this_thread::get_id();
        if (mStopFromMain)
            StopTask(); // only asks: waiting here would wait for ourselves
    }
};

// Runs the real event loop until the condition holds or five seconds pass.
template <typename Condition> bool RunLoopUntil(Condition condition)
{
    auto deadline = Clock::now() + std::chrono::seconds(5);
    while (!condition() && Clock::now() < deadline)
        RunCurrentEventLoop(0.02);
    return condition();
}

void WaitUntilBlocked(Worker& worker)
{
    auto deadline = Clock::now() + std::chrono::seconds(5);
    while (!worker.mWaiting && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // now inside UseMainThread
}

} // namespace

TEST(CThreadTask, WorkerHandsWorkToTheMainThread)
{
    Worker worker;
    ASSERT_EQ(worker.PostMessage(CThreadTask::kMsgRunTask), noErr);
    ASSERT_TRUE(RunLoopUntil([&] { return worker.mMainRuns == 1 && !worker.IsBusy(); }));
    EXPECT_EQ(worker.mMainThread, std::this_thread::get_id());

    // Message 2 runs the task once more.
    worker.PostMessage(CThreadTask::kMsgRunTask);
    ASSERT_TRUE(RunLoopUntil([&] { return worker.mMainRuns == 2 && !worker.IsBusy(); }));
    EXPECT_EQ(worker.mTaskRuns, 2);
}

// A loop that sleeps in a window system's waiter (which wakes only when told, or at the
// deadline the loop gives it) still runs the workers' hand-offs.
class SleepingWaiter : public tw::events::Waiter {
public:
    SleepingWaiter() { GetMainEventQueue()->SetWaiter(this); }
    ~SleepingWaiter() override { GetMainEventQueue()->SetWaiter(nullptr); }
    void Pump() override { }
    void Sleep(std::optional<Clock::time_point> deadline) override
    {
        std::unique_lock lock(mMutex);
        if (!mCondition.wait_until(
                lock, deadline.value_or(Clock::now() + std::chrono::seconds(10)), [this] { return mWoken; })
            && !deadline)
            mGaveUp = true;
        mWoken = false;
    }
    void Wake() override
    {
        std::lock_guard lock(mMutex);
        mWoken = true;
        mCondition.notify_all();
    }

    bool mGaveUp = false; // a sleep without a deadline ended after ten seconds

private:
    std::mutex mMutex;
    std::condition_variable mCondition;
    bool mWoken = false;
};

class QuittingWorker : public Worker {
protected:
    void DoMainTask() override
    {
        Worker::DoMainTask();
        QuitEventLoop(GetCurrentEventLoop());
    }
};

TEST(CThreadTask, HandOffsReachALoopSleepingInAWaiter)
{
    SleepingWaiter waiter;
    QuittingWorker worker;
    ASSERT_EQ(worker.PostMessage(CThreadTask::kMsgRunTask), noErr);
    // Ended by the hand-off itself: the waiter slept only as long as the loop's timers allowed.
    EXPECT_EQ(RunCurrentEventLoop(30), eventLoopQuitErr);
    EXPECT_FALSE(waiter.mGaveUp);
    EXPECT_EQ(worker.mMainRuns, 1);
    EXPECT_EQ(worker.mMainThread, std::this_thread::get_id());
}

TEST(CThreadTask, StoppingWorkersThatWaitForTheMainThreadNeverDeadlocks)
{
    // The main thread runs no loop here: only StopTask's own serving can release the workers.
    std::vector<std::unique_ptr<Worker>> workers;
    for (int i = 0; i < 4; ++i) {
        workers.push_back(std::make_unique<Worker>());
        workers.back()->mOnce = false;
        ASSERT_EQ(workers.back()->PostMessage(CThreadTask::kMsgRunTask), noErr);
    }
    for (auto& worker : workers)
        WaitUntilBlocked(*worker);

    auto start = Clock::now();
    for (auto& worker : workers) {
        worker->StopTask();
        EXPECT_FALSE(worker->IsBusy());
    }
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
    for (auto& worker : workers)
        EXPECT_EQ(worker->mTaskRuns, 1);

    // After a stop, a new run starts afresh.
    workers[0]->mOnce = true;
    workers[0]->PostMessage(CThreadTask::kMsgRunTask);
    ASSERT_TRUE(RunLoopUntil([&] { return workers[0]->mTaskRuns == 2 && !workers[0]->IsBusy(); }));
    workers.clear(); // ends every thread, again while some may wait
}

TEST(CThreadTask, EndingAWaitingWorkerSkipsItsMainTask)
{
    Worker worker;
    worker.mOnce = false;
    worker.PostMessage(CThreadTask::kMsgRunTask);
    WaitUntilBlocked(worker);
    worker.EndTask(); // waits, serving the hand-off without running it
    EXPECT_EQ(worker.mMainRuns, 0);
    EXPECT_FALSE(worker.IsBusy());
    EXPECT_EQ(worker.PostMessage(CThreadTask::kMsgRunTask), paramErr);
}

TEST(CThreadTask, StopFromItsOwnMainTaskOnlyAsks)
{
    Worker worker;
    worker.mOnce = false;
    worker.mStopFromMain = true;
    worker.PostMessage(CThreadTask::kMsgRunTask);
    ASSERT_TRUE(RunLoopUntil([&] { return worker.mMainRuns >= 1 && !worker.IsBusy(); }));
    EXPECT_EQ(worker.mMainRuns, 1);
    EXPECT_TRUE(worker.ShouldStop());
}

TEST(CThreadTask, PendingRunsAreDroppedByAStopAndMessagesAfterTheEndRefused)
{
    Worker worker;
    worker.StopTask(); // never started: nothing to wait for
    worker.mOnce = false;
    worker.PostMessage(CThreadTask::kMsgRunTask);
    worker.PostMessage(CThreadTask::kMsgRunTask);
    worker.PostMessage(CThreadTask::kMsgRunTask);
    WaitUntilBlocked(worker);
    worker.StopTask();
    EXPECT_EQ(worker.mTaskRuns, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(worker.mTaskRuns, 1);

    worker.EndTask();
    EXPECT_EQ(worker.PostMessage(CThreadTask::kMsgRunTask), paramErr);
}

TEST(CThreadTask, HandOffTimerSleepsWhileNoWorkerRuns)
{
    Worker worker;
    ASSERT_TRUE(RunLoopUntil([] { return !CThreadTask::IsHandOffTimerRunning(); }));
    // A run wakes it, the hand-off is served, and once the run is over it sleeps again.
    worker.PostMessage(CThreadTask::kMsgRunTask);
    EXPECT_TRUE(CThreadTask::IsHandOffTimerRunning());
    ASSERT_TRUE(RunLoopUntil([&] { return worker.mMainRuns == 1 && !worker.IsBusy(); }));
    ASSERT_TRUE(RunLoopUntil([] { return !CThreadTask::IsHandOffTimerRunning(); }));
    // Runs dropped by a stop count no more: the timer still falls asleep.
    worker.mOnce = false;
    worker.PostMessage(CThreadTask::kMsgRunTask);
    worker.PostMessage(CThreadTask::kMsgRunTask);
    WaitUntilBlocked(worker);
    worker.StopTask();
    ASSERT_TRUE(RunLoopUntil([] { return !CThreadTask::IsHandOffTimerRunning(); }));
    // While a run is under way the timer stays awake, however long the run takes.
    worker.mOnce = false;
    worker.PostMessage(CThreadTask::kMsgRunTask);
    WaitUntilBlocked(worker);
    RunCurrentEventLoop(0.1);
    EXPECT_TRUE(CThreadTask::IsHandOffTimerRunning());
    worker.EndTask();
    ASSERT_TRUE(RunLoopUntil([] { return !CThreadTask::IsHandOffTimerRunning(); }));
}

// Each part once, the first on the calling thread and every other on a thread of its own
// that can report a crash; no more parts than the processors the process may use.
TEST(CThreadParts, EveryPartRunsOnceAtOnceEachOnAThreadWithItsSignalStack)
{
    constexpr std::size_t kParts = 5;
    std::mutex mutex;
    std::vector<int> runs(kParts, 0);
    std::vector<std::thread::id> threads(kParts);
    std::vector<bool> stacks(kParts, false);
    std::atomic<std::size_t> arrived { 0 };
    CThreadParts::Run(kParts, [&](std::size_t part) {
        {
            std::lock_guard const lock(mutex);
            ++runs[part];
            threads[part] = std::this_thread::get_id();
            stacks[part] = tw::services::ThreadSignalStack::HasSignalStack();
        }
        // Every part waits for all: parts run one after another would never get past this.
        ++arrived;
        auto const until = Clock::now() + std::chrono::seconds(10);
        while (arrived.load() < kParts && Clock::now() < until)
            std::this_thread::yield();
    });
    EXPECT_EQ(arrived.load(), kParts);
    EXPECT_EQ(runs, std::vector<int>(kParts, 1));
    EXPECT_EQ(threads[0], std::this_thread::get_id());
    for (std::size_t part = 1; part < kParts; ++part) {
        EXPECT_NE(threads[part], std::this_thread::get_id()) << part;
        EXPECT_TRUE(stacks[part]) << part;
        for (std::size_t other = 1; other < part; ++other)
            EXPECT_NE(threads[part], threads[other]);
    }

    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    ASSERT_EQ(sched_getaffinity(0, sizeof allowed, &allowed), 0);
    EXPECT_EQ(CThreadParts::MostParts(), std::min<std::size_t>(std::size_t(CPU_COUNT(&allowed)), 8));
}

// A thread started on its own (an import's reader, the single-instance watcher) can report a
// crash as the parts can: its signal stack is there before its work begins.
TEST(CThreadParts, AThreadStartedOnItsOwnHasItsSignalStack)
{
    bool stack = false;
    std::thread::id id;
    std::thread thread = CThreadParts::Start([&] {
        stack = tw::services::ThreadSignalStack::HasSignalStack();
        id = std::this_thread::get_id();
    });
    thread.join();
    EXPECT_NE(id, std::this_thread::get_id());
    EXPECT_TRUE(stack);
}
