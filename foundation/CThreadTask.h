#pragma once

// Base of the worker threads. Each worker is a thread with a 512 KB stack, a
// message queue and a semaphore: message 2 runs DoTask once, message 1 ends
// the thread. A worker hands work to the main thread with UseMainThread: it
// joins one process-wide list and blocks until a main-loop timer (every
// 0.025 s) has run its DoMainTask, which is skipped once the worker is being
// stopped. The timer sleeps while no worker has a run queued or under way. While the main thread waits for a worker (StopTask, EndTask) it
// serves that list every 50 ms, so stopping never deadlocks.
// Subclasses call EndTask first in their destructor, so that DoTask never
// runs on a half-destroyed object.

#include "platform/Platform.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <pthread.h>

class CThreadTask {
public:
    enum : UInt32 {
        kMsgEndTask = 1,
        kMsgRunTask = 2,
    };
    static constexpr std::size_t kStackSize = 512 * 1024; // [bytes]
    static constexpr double kHandOffInterval = 0.025; // [s]

    // The first worker (made on the main thread) installs the hand-off timer on the main loop.
    CThreadTask();
    CThreadTask(CThreadTask const&) = delete;
    CThreadTask& operator=(CThreadTask const&) = delete;
    virtual ~CThreadTask();

    // The thread starts with the first message; memFullErr when it cannot be made.
    OSStatus PostMessage(UInt32 message);
    // Asks the worker to stop its current task, drops its pending runs and waits until it
    // is idle. From inside this worker's own DoTask or DoMainTask it only asks.
    void StopTask();
    // Stops the task and ends the thread, waiting for it to exit.
    void EndTask();
    bool ShouldStop() const { return mStop.load(); }
    bool IsBusy() const;

    // Runs one waiting hand-off (the timer's tick) or every waiting one; main thread only.
    static void ServeMainThread(bool all);
    // Whether the hand-off timer is installed (it sleeps while no run is queued or under way).
    static bool IsHandOffTimerRunning();
    // Test only: removes the hand-off timer so that the next worker installs it afresh.
    static void ResetForTesting();

protected:
    virtual void DoTask() = 0;
    virtual void DoMainTask() { }
    // From DoTask: runs DoMainTask on the main thread and waits for it (returns at once when stopping).
    void UseMainThread();

private:
    static void* ThreadEntry(void* task);
    void Run();
    void ReleaseFromMainThread();
    void WaitUntil(bool (CThreadTask::*done)() const);
    bool IsIdle() const { return !mBusy; }
    bool HasExited() const { return mExited; }
    bool IsOnWorker() const;

    mutable std::mutex mMutex;
    std::condition_variable mCondition; // queue, busy, exit and hand-off changes
    std::deque<UInt32> mQueue;
    pthread_t mThread {};
    bool mStarted = false;
    bool mBusy = false; // in DoTask
    bool mExited = false;
    bool mHandOffReleased = false;
    std::atomic<bool> mStop { false };
    std::atomic<bool> mInMainTask { false };
};
