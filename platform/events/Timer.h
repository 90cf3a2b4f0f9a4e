#pragma once

#include "events/CarbonEvents.h"

#include <limits>

namespace tw::events {

// One event-loop timer, owned by its loop until removed. Reference-counted so
// that a timer removed from inside its own callback stays readable until the
// callback returns.
class Timer {
public:
    static constexpr EventTime kNever = std::numeric_limits<EventTime>::infinity();

    Timer(EventLoopTimerUPP proc, EventLoopIdleTimerUPP idleProc, void* userData, EventTime interval, UInt64 sequence);
    Timer(Timer const&) = delete;
    Timer& operator=(Timer const&) = delete;

    void Retain() { ++mRefs; }
    void Release();

    EventTime GetDue() const { return mDue; }
    void SetDue(EventTime due) { mDue = due; }
    EventTime GetInterval() const { return mInterval; }
    UInt64 GetSequence() const { return mSequence; }
    bool IsFiring() const { return mFiring; }
    bool IsRemoved() const { return mRemoved; }
    void MarkRemoved() { mRemoved = true; }

    // Schedules the next firing (or none for a one-shot timer), then calls the callback.
    void Fire(EventTime now);

private:
    ~Timer() = default;

    EventLoopTimerUPP mProc;
    EventLoopIdleTimerUPP mIdleProc;
    void* mUserData; // borrowed
    EventTime mInterval; // [s]; 0 for one-shot
    UInt64 mSequence; // installation order, for timers due at the same time
    EventTime mDue = kNever; // [s] on the event clock
    UInt32 mRefs = 1;
    bool mFiring = false;
    bool mRemoved = false;
};

} // namespace tw::events
