#include "foundation/CThreadTask.h"

#include "foundation/CThreadSafeList.h"
#include "foundation/CTimerTask.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

constexpr std::chrono::milliseconds kWaitSlice { 50 };

CThreadSafeList<CThreadTask>& HandOffs()
{
    static CThreadSafeList<CThreadTask> sList;
    return sList;
}

// The one main-loop timer that runs workers' hand-offs, one per tick.
class HandOffTimer : public CTimerTask {
protected:
    void DoTimer() override { CThreadTask::ServeMainThread(false); }
};

HandOffTimer* sTimer = nullptr; // owns; lives to the end of the process
std::thread::id sMainThread;

bool IsMainThread() { return std::this_thread::get_id() == sMainThread; }

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
    mCondition.notify_all();
    return noErr;
}

void* CThreadTask::ThreadEntry(void* task)
{
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
        // A run asked for after a stop starts afresh.
        mStop = false;
        mBusy = true;
        lock.unlock();
        DoTask();
        lock.lock();
        mBusy = false;
        mCondition.notify_all();
    }
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

void CThreadTask::ResetForTesting()
{
    delete sTimer;
    sTimer = nullptr;
    HandOffs().Clear();
}
