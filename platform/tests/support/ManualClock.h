#pragma once

// Puts the event system on the manual clock for the life of the object, with
// no timers, queued events or application handlers left from earlier tests;
// restores the real clock and clears the same state when it goes.

#include "events/CarbonEvents.h"

namespace tw::test {

class ManualClock {
public:
    ManualClock();
    ~ManualClock();
    ManualClock(ManualClock const&) = delete;
    ManualClock& operator=(ManualClock const&) = delete;

    // Runs the event loop for this long: the clock jumps from due timer to due
    // timer and ends exactly this much later, without sleeping.
    static OSStatus RunFor(EventTime seconds);
    static EventTime Now();
};

// The same clean state on the real clock, for tests of real timing.
class RealClock {
public:
    RealClock();
    ~RealClock();
    RealClock(RealClock const&) = delete;
    RealClock& operator=(RealClock const&) = delete;
};

} // namespace tw::test
