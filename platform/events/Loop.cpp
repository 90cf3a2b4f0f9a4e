#include "events/Loop.h"

#include "events/ApplicationTarget.h"
#include "events/Clock.h"
#include "events/CommandTypes.h"
#include "events/Event.h"
#include "events/EventSystem.h"
#include "events/Queue.h"
#include "events/Target.h"
#include "events/Timer.h"

#include <algorithm>
#include <cmath>

namespace tw::events {

namespace {

    // Intervals below this could stop the manual clock from moving on.
    constexpr EventTime kMinimumInterval = kEventDurationMicrosecond;
    // Due times that differ by less than this are the same time: repeating timers
    // add up binary fractions (5 x 0.2 s is not quite 1 s).
    constexpr EventTime kSameTime = 1e-9;

} // namespace

Loop::Loop(Queue& queue)
    : mQueue(queue)
{
}

Loop::~Loop() { RemoveAllTimers(); }

OSStatus Loop::Run(EventTimeout timeout, bool application)
{
    Pass pass { application, mInnermost };
    mInnermost = &pass;
    bool const forever = timeout < 0;
    EventTime const deadline = forever ? Timer::kNever : Clock::Now() + timeout;
    OSStatus result = eventLoopTimedOutErr;
    for (;;) {
        if (pass.quit) {
            result = eventLoopQuitErr;
            break;
        }
        if (FireNextDueTimer(Clock::Now()))
            continue;
        if (EventRef event = mQueue.Pop()) {
            Deliver(event);
            if (!forever && Clock::Now() >= deadline && !pass.quit)
                break;
            continue;
        }
        if (Clock::Now() >= deadline) {
            // A run that does not wait still takes the input that waits now.
            if (PumpIfDue() && mQueue.Count() > 0)
                continue;
            break;
        }
        WaitUntil(std::min(deadline, NextDue()));
    }
    mInnermost = pass.outer;
    return result;
}

// A quit asked for while the loop pumps its waiter (from input, or a hang-up) ends the wait
// that follows before it starts.
void Loop::Quit()
{
    if (mInnermost)
        mInnermost->quit = true;
    mQueue.Wake();
}

void Loop::QuitApplication()
{
    for (Pass* pass = mInnermost; pass; pass = pass->outer) {
        if (pass->application) {
            pass->quit = true;
            mQueue.Wake();
            return;
        }
    }
}

void Loop::WaitUntil(EventTime wakeAt)
{
    bool const timed = wakeAt != Timer::kNever;
    if (Clock::IsManual() && timed) {
        // The manual clock moves on only once the input that waits now is in.
        mLastPump = Clock::Now();
        mQueue.Pump();
        if (mQueue.Count() > 0)
            return;
        Clock::AdvanceTo(wakeAt);
    } else {
        mLastPump = Clock::Now();
        mQueue.Wait(timed ? std::optional(Clock::ToSteady(wakeAt)) : std::nullopt);
    }
}

bool Loop::PumpIfDue()
{
    EventTime const now = Clock::Now();
    // A clock that went back (the manual one set up afresh) pumps at once.
    if (!mQueue.GetWaiter() || (now >= mLastPump && now < mLastPump + kPumpInterval))
        return false;
    mLastPump = now;
    mQueue.Pump();
    return true;
}

bool Loop::FireNextDueTimer(EventTime now)
{
    Timer* next = nullptr;
    for (Timer* timer : mTimers) {
        if (timer->IsFiring() || timer->GetDue() > now + kSameTime)
            continue;
        if (!next || timer->GetDue() < next->GetDue()
            || (timer->GetDue() == next->GetDue() && timer->GetSequence() < next->GetSequence()))
            next = timer;
    }
    if (!next)
        return false;
    next->Fire(now);
    return true;
}

EventTime Loop::NextDue() const
{
    EventTime due = Timer::kNever;
    for (Timer* timer : mTimers)
        if (!timer->IsFiring())
            due = std::min(due, timer->GetDue());
    return due;
}

void Loop::Deliver(EventRef event)
{
    EventSystem& system = EventSystem::Get();
    EventTargetRef target = nullptr;
    if (GetEventParameter(event, kEventParamPostTarget, typeEventTargetRef, nullptr, sizeof target, nullptr, &target)
        == noErr) {
        // A target that went away after the post is not sent to.
        if (Target::IsLive(target))
            SendEventToEventTarget(event, target);
    } else if (system.mRouter) {
        system.mRouter(event);
    } else {
        EventClass const eventClass = event->GetClass();
        bool const toFocus = eventClass == kEventClassCommand || eventClass == kEventClassKeyboard
            || eventClass == kEventClassTextInput;
        SendEventToEventTarget(event, toFocus ? GetUserFocusEventTarget() : GetApplicationEventTarget());
    }
    event->Release();
}

OSStatus Loop::AddTimer(EventTimerInterval fireDelay, EventTimerInterval interval, EventLoopTimerUPP proc,
    EventLoopIdleTimerUPP idleProc, void* userData, EventLoopTimerRef* outTimer)
{
    if (outTimer)
        *outTimer = nullptr;
    if ((!proc && !idleProc) || !outTimer || !std::isfinite(fireDelay) || !std::isfinite(interval) || interval < 0)
        return paramErr;
    if (interval > 0)
        interval = std::max(interval, kMinimumInterval);
    auto* timer = new Timer(proc, idleProc, userData, interval, mNextSequence++);
    timer->SetDue(fireDelay < 0 ? Timer::kNever : Clock::Now() + fireDelay);
    mTimers.push_back(timer);
    mLive.insert(timer);
    *outTimer = timer;
    return noErr;
}

OSStatus Loop::RemoveTimer(Timer* timer)
{
    if (!IsTimer(timer))
        return paramErr;
    mLive.erase(timer);
    mTimers.erase(std::find(mTimers.begin(), mTimers.end(), timer));
    timer->MarkRemoved();
    timer->Release();
    return noErr;
}

OSStatus Loop::SetNextFire(Timer* timer, EventTimerInterval nextFire)
{
    if (!IsTimer(timer) || !std::isfinite(nextFire))
        return paramErr;
    timer->SetDue(nextFire < 0 ? Timer::kNever : Clock::Now() + nextFire);
    return noErr;
}

std::size_t Loop::CountScheduledTimers() const
{
    return std::size_t(std::count_if(
        mTimers.begin(), mTimers.end(), [](Timer const* timer) { return timer->GetDue() != Timer::kNever; }));
}

void Loop::RemoveAllTimers()
{
    while (!mTimers.empty())
        RemoveTimer(mTimers.back());
}

} // namespace tw::events

using tw::events::EventSystem;

EventLoopRef GetMainEventLoop() { return &EventSystem::Get().MainLoop(); }
EventLoopRef GetCurrentEventLoop() { return GetMainEventLoop(); }

OSStatus RunCurrentEventLoop(EventTimeout inTimeout)
{
    if (std::isnan(inTimeout))
        return paramErr;
    return EventSystem::Get().MainLoop().Run(inTimeout, false);
}

OSStatus QuitEventLoop(EventLoopRef loop)
{
    if (loop != GetMainEventLoop())
        return paramErr;
    loop->Quit();
    return noErr;
}

void RunApplicationEventLoop() { EventSystem::Get().MainLoop().Run(kEventDurationForever, true); }
void QuitApplicationEventLoop() { EventSystem::Get().MainLoop().QuitApplication(); }

OSStatus InstallEventLoopTimer(EventLoopRef loop, EventTimerInterval fireDelay, EventTimerInterval interval,
    EventLoopTimerUPP proc, void* userData, EventLoopTimerRef* outTimer)
{
    if (loop != GetMainEventLoop())
        return paramErr;
    return loop->AddTimer(fireDelay, interval, proc, nullptr, userData, outTimer);
}

OSStatus InstallEventLoopIdleTimer(EventLoopRef loop, EventTimerInterval delay, EventTimerInterval interval,
    EventLoopIdleTimerUPP proc, void* userData, EventLoopTimerRef* outTimer)
{
    if (loop != GetMainEventLoop() || !proc)
        return paramErr;
    return loop->AddTimer(delay, interval, nullptr, proc, userData, outTimer);
}

OSStatus RemoveEventLoopTimer(EventLoopTimerRef timer) { return GetMainEventLoop()->RemoveTimer(timer); }

OSStatus SetEventLoopTimerNextFireTime(EventLoopTimerRef timer, EventTimerInterval nextFire)
{
    return GetMainEventLoop()->SetNextFire(timer, nextFire);
}
