#pragma once

#include "events/CarbonEvents.h"

#include <unordered_set>
#include <vector>

namespace tw::events {

// The main event loop: runs (nested ones included) take queued events and fire
// due timers until their time runs out or they are quit. On the manual clock a
// run with nothing to do jumps the clock to the next due timer or to its end.
// Main thread only.
class Loop {
public:
    static constexpr EventTime kPumpInterval = 1.0 / 120; // [s]
    explicit Loop(Queue& queue);
    Loop(Loop const&) = delete;
    Loop& operator=(Loop const&) = delete;
    ~Loop();

    // eventLoopTimedOutErr when the time ran out, eventLoopQuitErr when quit.
    OSStatus Run(EventTimeout timeout, bool application);
    // Ends the innermost run; no effect when none is running.
    void Quit();
    // Ends the innermost application run once the runs nested in it have ended.
    void QuitApplication();

    OSStatus AddTimer(EventTimerInterval fireDelay, EventTimerInterval interval, EventLoopTimerUPP proc,
        EventLoopIdleTimerUPP idleProc, void* userData, EventLoopTimerRef* outTimer);
    OSStatus RemoveTimer(Timer* timer);
    OSStatus SetNextFire(Timer* timer, EventTimerInterval nextFire);
    void RemoveAllTimers();
    // Timers that will fire again: repeating ones and one-shots not yet fired.
    std::size_t CountScheduledTimers() const;

private:
    // One run of the loop, on its caller's stack.
    struct Pass {
        bool application;
        Pass* outer; // weak: the enclosing pass
        bool quit = false;
    };

    bool IsTimer(Timer* timer) const { return timer && mLive.contains(timer); }
    bool FireNextDueTimer(EventTime now);
    EventTime NextDue() const;
    void Deliver(EventRef event);
    void WaitUntil(EventTime wakeAt);
    // Pumps the queue's waiter unless it was pumped less than kPumpInterval ago: runs that
    // never wait still see input, without composing the screen on every pass.
    bool PumpIfDue();

    Queue& mQueue;
    Pass* mInnermost = nullptr; // weak: the innermost pass
    std::vector<Timer*> mTimers; // owns one reference each
    std::unordered_set<Timer*> mLive;
    UInt64 mNextSequence = 0;
    EventTime mLastPump = -1e300;
};

} // namespace tw::events
