#include "foundation/CTimerTask.h"

#include "foundation/Status.h"

#include <cmath>

CTimerTask::~CTimerTask() { RemoveTimer(); }

OSStatus CTimerTask::InstallTimer(double delay, double interval, bool idle, EventLoopRef loop)
{
    RemoveTimer();
    if (!std::isfinite(delay) || !std::isfinite(interval) || delay < 0 || interval < 0)
        return paramErr;
    if (!loop)
        loop = GetMainEventLoop();
    EventLoopTimerRef timer = nullptr;
    OSStatus status = idle ? InstallEventLoopIdleTimer(loop, delay, interval, IdleTimerProc, this, &timer)
                           : InstallEventLoopTimer(loop, delay, interval, TimerProc, this, &timer);
    TW_RETURN_IF_ERROR(status);
    mTimer = timer;
    mInterval = interval;
    return noErr;
}

void CTimerTask::RemoveTimer()
{
    if (!mTimer)
        return;
    RemoveEventLoopTimer(mTimer);
    mTimer = nullptr;
    mInterval = 0;
}

OSStatus CTimerTask::SetNextFireTime(double seconds)
{
    if (!mTimer)
        return paramErr;
    if (!std::isfinite(seconds) || seconds < 0)
        return paramErr;
    return SetEventLoopTimerNextFireTime(mTimer, seconds);
}

void CTimerTask::TimerProc(EventLoopTimerRef, void* userData) { static_cast<CTimerTask*>(userData)->DoTimer(); }

void CTimerTask::IdleTimerProc(EventLoopTimerRef, EventLoopIdleTimerMessage state, void* userData)
{
    if (state != kEventLoopIdleTimerStopped)
        static_cast<CTimerTask*>(userData)->DoTimer();
}
