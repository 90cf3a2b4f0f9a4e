#pragma once

#include "events/CarbonEvents.h"

#include <atomic>
#include <chrono>

namespace tw::events {

// The time behind event stamps and timers: the monotonic clock (seconds since
// boot), or, for tests, a manual clock that moves only when told to.
class Clock {
public:
    static EventTime Now();
    static bool IsManual() { return sManual.load(std::memory_order_acquire); }
    static void SetManual(bool on);
    // Moves the manual clock forward (never back); no effect on the real clock.
    static void AdvanceTo(EventTime when);
    static std::chrono::steady_clock::time_point ToSteady(EventTime when);

    // Where the manual clock starts: far from zero, as uptime would be.
    static constexpr EventTime kManualEpoch = 1000.0;

private:
    static std::atomic<bool> sManual;
    static std::atomic<EventTime> sManualNow;
};

} // namespace tw::events
