#include "events/Clock.h"

namespace tw::events {

std::atomic<bool> Clock::sManual { false };
std::atomic<EventTime> Clock::sManualNow { Clock::kManualEpoch };

EventTime Clock::Now()
{
    if (IsManual())
        return sManualNow.load(std::memory_order_acquire);
    auto const since = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<EventTime>(since).count();
}

void Clock::SetManual(bool on)
{
    sManualNow.store(kManualEpoch, std::memory_order_release);
    sManual.store(on, std::memory_order_release);
}

void Clock::AdvanceTo(EventTime when)
{
    if (IsManual() && when > sManualNow.load(std::memory_order_acquire))
        sManualNow.store(when, std::memory_order_release);
}

std::chrono::steady_clock::time_point Clock::ToSteady(EventTime when)
{
    using namespace std::chrono;
    return steady_clock::time_point(duration_cast<steady_clock::duration>(duration<EventTime>(when)));
}

} // namespace tw::events

EventTime GetCurrentEventTime() { return tw::events::Clock::Now(); }

namespace tw::events {

void SetManualClock(bool on) { Clock::SetManual(on); }
bool IsManualClock() { return Clock::IsManual(); }
void AdvanceClock(EventTime seconds)
{
    if (seconds > 0)
        Clock::AdvanceTo(Clock::Now() + seconds);
}

} // namespace tw::events
