#pragma once

// Owner of one event-loop timer that calls DoTimer: first after a delay, then
// at every interval (interval 0 fires once). The timer stays installed after a
// one-shot firing until RemoveTimer; the destructor removes it. DoTimer may
// delete its object. Main thread only.

#include "platform/Platform.h"

class CTimerTask {
public:
    CTimerTask() = default;
    CTimerTask(CTimerTask const&) = delete;
    CTimerTask& operator=(CTimerTask const&) = delete;
    virtual ~CTimerTask();

    // Removes any timer this object has, then installs a new one on the loop (null: the
    // main loop); an idle timer when the flag is set.
    OSStatus InstallTimer(double delay, double interval, bool idle = false, EventLoopRef loop = nullptr); // [s]
    void RemoveTimer();
    bool IsInstalled() const { return mTimer != nullptr; }
    bool IsRepeating() const { return mInterval != 0; }
    // Moves the next firing to that many seconds from now.
    OSStatus SetNextFireTime(double seconds);

protected:
    virtual void DoTimer() = 0;

private:
    static void TimerProc(EventLoopTimerRef timer, void* userData);
    static void IdleTimerProc(EventLoopTimerRef timer, EventLoopIdleTimerMessage state, void* userData);

    EventLoopTimerRef mTimer = nullptr; // owns
    double mInterval = 0; // [s]
};
