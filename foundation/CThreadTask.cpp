#include "foundation/CThreadTask.h"

#include "foundation/CThreadSafeList.h"
#include "foundation/CTimerTask.h"
#include "services/ThreadSignalStack.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

constexpr std::chrono::milliseconds kWaitSlice { 50 };

// Never destroyed: a worker may still hand off while exit() runs the static destructors (an X
// server that goes away makes Xlib exit from under the event loop).
CThreadSafeList<CThreadTask>& HandOffs()
{
    static auto* const sList = new CThreadSafeList<CThreadTask>;
    return *sList;
}

std::atomic<long> sRuns { 0 }; // runs of DoTask queued or under way, in every worker
std::atomic<bool> sKeepTimer { false }; // a run was asked for off the main thread

bool IsHandOffIdle();

// The one main-loop timer that runs workers' hand-offs, one per tick. It sleeps while no
// worker has a run queued or under way (only a running task hands off), so that an idle
// program uses no processor time; a run asked for on the main thread wakes it.
class HandOffTimer : public CTimerTask {
protected:
    void DoTimer() override
    {
        CThreadTask::ServeMainThread(false);
        if (IsHandOffIdle())
            RemoveTimer();
    }
};

HandOffTimer* sTimer = nullptr; // owns; lives to the end of the process
std::thread::id sMainThread;

bool IsMainThread() { return std::this_thread::get_id() == sMainThread; }

bool IsHandOffIdle() { return sRuns == 0 && !sKeepTimer && HandOffs().IsEmpty(); }

void WakeHandOffTimer()
{
    // Timers belong to the main thread; a run asked for elsewhere keeps the timer going for good.
    if (!IsMainThread()) {
        sKeepTimer = true;
        return;
    }
    if (sTimer && !sTimer->IsInstalled())
        sTimer->InstallTimer(CThreadTask::kHandOffInterval, CThreadTask::kHandOffInterval);
}

long CountRuns(std::deque<UInt32> const& queue)
{
    return long(std::count(queue.begin(), queue.end(), UInt32(CThreadTask::kMsgRunTask)));
}

} // namespace

CThreadTask::CThreadTask()
{
    if (!sTimer) {
        sMainThread = std::this_thread::get_id();
        sTimer = new HandOffTimer;
        sTimer->InstallTimer(kHandOffInterval, kHandOffInterval);
    }
}

CThreadTask::~CThreadTask()
{
    EndTask();
    HandOffs().Remove(this);
}

OSStatus CThreadTask::PostMessage(UInt32 message)
{
    std::lock_guard lock(mMutex);
    if (mExited)
        return paramErr;
    if (!mStarted) {
        pthread_attr_t attributes;
        pthread_attr_init(&attributes);
        pthread_attr_setstacksize(&attributes, kStackSize);
        int error = pthread_create(&mThread, &attributes, ThreadEntry, this);
        pthread_attr_destroy(&attributes);
        if (error != 0)
            return memFullErr;
        mStarted = true;
    }
    mQueue.push_back(message);
    if (message == kMsgRunTask) {
        ++sRuns;
        WakeHandOffTimer();
    }
    mCondition.notify_all();
    return noErr;
}

void* CThreadTask::ThreadEntry(void* task)
{
    tw::services::ThreadSignalStack const signalStack;
    static_cast<CThreadTask*>(task)->Run();
    return nullptr;
}

void CThreadTask::Run()
{
    std::unique_lock lock(mMutex);
    for (;;) {
        mCondition.wait(lock, [this] { return !mQueue.empty(); });
        UInt32 message = mQueue.front();
        mQueue.pop_front();
        if (message == kMsgEndTask)
            break;
        if (message != kMsgRunTask)
            continue;
        // Counted until it has run: the hand-off timer stays awake meanwhile.
        // A run asked for after a stop starts afresh.
        mStop = false;
        mBusy = true;
        lock.unlock();
        DoTask();
        lock.lock();
        mBusy = false;
        --sRuns;
        mCondition.notify_all();
    }
    sRuns -= CountRuns(mQueue);
    mQueue.clear();
    mExited = true;
    mCondition.notify_all();
}

bool CThreadTask::IsBusy() const
{
    std::lock_guard lock(mMutex);
    return mBusy;
}

bool CThreadTask::IsOnWorker() const { return mStarted && pthread_equal(pthread_self(), mThread); }

void CThreadTask::StopTask()
{
    {
        std::lock_guard lock(mMutex);
        if (!mStarted || mExited)
            return;
        mStop = true;
        sRuns -= CountRuns(mQueue);
        mQueue.erase(std::remove(mQueue.begin(), mQueue.end(), kMsgRunTask), mQueue.end());
    }
    // Waiting here would wait for ourselves.
    if (IsOnWorker() || (mInMainTask && IsMainThread()))
        return;
    WaitUntil(&CThreadTask::IsIdle);
}

void CThreadTask::EndTask()
{
    {
        std::lock_guard lock(mMutex);
        if (!mStarted)
            return;
        if (!mExited) {
            mStop = true;
            sRuns -= CountRuns(mQueue);
            mQueue.clear();
            mQueue.push_back(kMsgEndTask);
            mCondition.notify_all();
        }
    }
    if (IsOnWorker())
        return;
    WaitUntil(&CThreadTask::HasExited);
    std::lock_guard lock(mMutex);
    if (mStarted) {
        pthread_join(mThread, nullptr);
        mStarted = false;
    }
}

void CThreadTask::WaitUntil(bool (CThreadTask::*done)() const)
{
    bool serve = IsMainThread();
    for (;;) {
        // A worker blocked in UseMainThread is released here, or it could never finish.
        if (serve)
            ServeMainThread(true);
        std::unique_lock lock(mMutex);
        if ((this->*done)())
            return;
        mCondition.wait_for(lock, kWaitSlice);
        if ((this->*done)())
            return;
    }
}

void CThreadTask::UseMainThread()
{
    if (ShouldStop())
        return;
    {
        std::lock_guard lock(mMutex);
        mHandOffReleased = false;
    }
    HandOffs().PushBack(this);
    mCondition.notify_all(); // a main thread waiting for this worker serves it at once
    std::unique_lock lock(mMutex);
    mCondition.wait(lock, [this] { return mHandOffReleased; });
}

void CThreadTask::ReleaseFromMainThread()
{
    std::lock_guard lock(mMutex);
    mHandOffReleased = true;
    mCondition.notify_all();
}

void CThreadTask::ServeMainThread(bool all)
{
    while (CThreadTask* task = HandOffs().PopFront()) {
        task->mInMainTask = true;
        if (!task->ShouldStop())
            task->DoMainTask();
        task->mInMainTask = false;
        task->ReleaseFromMainThread();
        if (!all)
            break;
    }
}

bool CThreadTask::IsHandOffTimerRunning() { return sTimer && sTimer->IsInstalled(); }

void CThreadTask::ResetForTesting()
{
    delete sTimer;
    sTimer = nullptr;
    HandOffs().Clear();
}
