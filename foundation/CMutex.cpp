#include "foundation/CMutex.h"

#include <chrono>
#include <thread>

namespace {

constexpr std::chrono::microseconds kSpinSleep { 300 };

} // namespace

CMutex::CMutex(Type type)
    : mType(type == kMutexSpin ? kMutexSpin : kMutexRecursive)
{
}

void CMutex::Lock()
{
    if (mType == kMutexRecursive) {
        mRecursive.lock();
        return;
    }
    while (mSpin.test_and_set(std::memory_order_acquire))
        std::this_thread::sleep_for(kSpinSleep);
}

bool CMutex::TryLock()
{
    if (mType == kMutexRecursive)
        return mRecursive.try_lock();
    return !mSpin.test_and_set(std::memory_order_acquire);
}

void CMutex::Unlock()
{
    if (mType == kMutexRecursive)
        mRecursive.unlock();
    else
        mSpin.clear(std::memory_order_release);
}
