#include "tests/support/ManualClock.h"

namespace tw::test {

ManualClock::ManualClock()
{
    tw::events::ResetEventSystemForTesting();
    tw::events::SetManualClock(true);
}

ManualClock::~ManualClock()
{
    tw::events::ResetEventSystemForTesting();
    tw::events::SetManualClock(false);
}

OSStatus ManualClock::RunFor(EventTime seconds) { return RunCurrentEventLoop(seconds); }

EventTime ManualClock::Now() { return GetCurrentEventTime(); }

RealClock::RealClock()
{
    tw::events::SetManualClock(false);
    tw::events::ResetEventSystemForTesting();
}

RealClock::~RealClock() { tw::events::ResetEventSystemForTesting(); }

} // namespace tw::test
