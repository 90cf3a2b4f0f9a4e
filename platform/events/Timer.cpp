#include "events/Timer.h"

namespace tw::events {

Timer::Timer(
    EventLoopTimerUPP proc, EventLoopIdleTimerUPP idleProc, void* userData, EventTime interval, UInt64 sequence)
    : mProc(proc)
    , mIdleProc(idleProc)
    , mUserData(userData)
    , mInterval(interval)
    , mSequence(sequence)
{
}

void Timer::Release()
{
    if (--mRefs == 0)
        delete this;
}

void Timer::Fire(EventTime now)
{
    if (mInterval > 0) {
        // A loop that fell behind skips the missed firings instead of bunching them.
        EventTime next = mDue + mInterval;
        mDue = next > now ? next : now + mInterval;
    } else {
        mDue = kNever;
    }
    Retain();
    mFiring = true;
    if (mIdleProc)
        mIdleProc(this, kEventLoopIdleTimerIdling, mUserData);
    else if (mProc)
        mProc(this, mUserData);
    mFiring = false;
    Release();
}

} // namespace tw::events
