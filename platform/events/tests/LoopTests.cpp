#include "events/CarbonEvents.h"
#include "events/Clock.h"
#include "events/Queue.h"
#include "events/Target.h"
#include "events/Waiter.h"
#include "tests/support/ManualClock.h"
#include "toolbox/HIToolboxTypes.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace {

using tw::test::ManualClock;

// Milliseconds since the test's start, rounded: due times add up in binary fractions.
long MillisecondsSince(EventTime start) { return std::lround((GetCurrentEventTime() - start) * 1000); }

// A timer that logs its name and firing time, then runs an action.
struct TimerProbe {
    TimerProbe(std::vector<std::pair<std::string, long>>* log, std::string name, EventTime start)
        : log(log)
        , name(std::move(name))
        , start(start)
    {
    }

    std::vector<std::pair<std::string, long>>* log;
    std::string name;
    EventTime start;
    std::function<void()> action;
    EventLoopTimerRef ref = nullptr;

    static void Proc(EventLoopTimerRef, void* userData)
    {
        auto* probe = static_cast<TimerProbe*>(userData);
        probe->log->emplace_back(probe->name, MillisecondsSince(probe->start));
        if (probe->action)
            probe->action();
    }

    OSStatus Install(EventTime delay, EventTime interval)
    {
        return InstallEventLoopTimer(GetMainEventLoop(), delay, interval, NewEventLoopTimerUPP(Proc), this, &ref);
    }
};

using Log = std::vector<std::pair<std::string, long>>;

class Timers : public testing::Test {
protected:
    ManualClock mClock;
    Log mLog;
    EventTime mStart = GetCurrentEventTime();

    TimerProbe Probe(std::string name) { return TimerProbe { &mLog, std::move(name), mStart }; }
};

TEST_F(Timers, FireInDueOrderOnTheManualClockWithoutSleeping)
{
    TimerProbe fast = Probe("fast"), slow = Probe("slow"), once = Probe("once");
    ASSERT_EQ(fast.Install(0.25, 0.25), noErr);
    ASSERT_EQ(slow.Install(0.5, 0.5), noErr);
    ASSERT_EQ(once.Install(0.3, 0), noErr);

    auto const wallStart = std::chrono::steady_clock::now();
    EXPECT_EQ(ManualClock::RunFor(1.0), eventLoopTimedOutErr);
    EXPECT_LT(std::chrono::steady_clock::now() - wallStart, std::chrono::milliseconds(200));

    EXPECT_EQ(mLog,
        (Log { { "fast", 250 }, { "once", 300 }, { "fast", 500 }, { "slow", 500 }, { "fast", 750 }, { "fast", 1000 },
            { "slow", 1000 } }));
    EXPECT_DOUBLE_EQ(GetCurrentEventTime() - mStart, 1.0);
}

TEST_F(Timers, OneShotRefStaysValidUntilRemoved)
{
    TimerProbe once = Probe("once");
    ASSERT_EQ(once.Install(0.1, 0), noErr);
    ManualClock::RunFor(0.5);
    ASSERT_EQ(mLog.size(), 1u);
    EXPECT_EQ(SetEventLoopTimerNextFireTime(once.ref, 0.2), noErr);
    ManualClock::RunFor(0.5);
    EXPECT_EQ(mLog, (Log { { "once", 100 }, { "once", 700 } }));
    EXPECT_EQ(RemoveEventLoopTimer(once.ref), noErr);
    EXPECT_EQ(RemoveEventLoopTimer(once.ref), paramErr);
    EXPECT_EQ(SetEventLoopTimerNextFireTime(once.ref, 0.1), paramErr);
}

TEST_F(Timers, OnlyTimersThatWillFireAgainCountAsScheduled)
{
    TimerProbe once = Probe("once");
    TimerProbe beat = Probe("beat");
    ASSERT_EQ(tw::events::CountScheduledTimersForTesting(), 0u);
    ASSERT_EQ(once.Install(0.1, 0), noErr);
    ASSERT_EQ(beat.Install(0.1, 0.1), noErr);
    EXPECT_EQ(tw::events::CountScheduledTimersForTesting(), 2u);
    ManualClock::RunFor(0.15);
    EXPECT_EQ(tw::events::CountScheduledTimersForTesting(), 1u) << "a fired one-shot waits for nothing";
    EXPECT_EQ(RemoveEventLoopTimer(beat.ref), noErr);
    EXPECT_EQ(tw::events::CountScheduledTimersForTesting(), 0u);
    EXPECT_EQ(SetEventLoopTimerNextFireTime(once.ref, 0.2), noErr);
    EXPECT_EQ(tw::events::CountScheduledTimersForTesting(), 1u);
    EXPECT_EQ(RemoveEventLoopTimer(once.ref), noErr);
}

TEST_F(Timers, ForeverDelayWaitsForAnExplicitFireTime)
{
    TimerProbe idle = Probe("idle");
    ASSERT_EQ(idle.Install(kEventDurationForever, 0), noErr);
    ManualClock::RunFor(2.0);
    EXPECT_TRUE(mLog.empty());
    SetEventLoopTimerNextFireTime(idle.ref, 0.5);
    ManualClock::RunFor(1.0);
    EXPECT_EQ(mLog, (Log { { "idle", 2500 } }));
    SetEventLoopTimerNextFireTime(idle.ref, kEventDurationForever);
    ManualClock::RunFor(1.0);
    EXPECT_EQ(mLog.size(), 1u);
}

TEST_F(Timers, CallbacksMayRemoveAndInstallTimers)
{
    TimerProbe self = Probe("self"), other = Probe("other"), added = Probe("added"), trigger = Probe("trigger");
    self.action = [&] { EXPECT_EQ(RemoveEventLoopTimer(self.ref), noErr); };
    trigger.action = [&] {
        EXPECT_EQ(RemoveEventLoopTimer(other.ref), noErr);
        EXPECT_EQ(added.Install(0.05, 0), noErr);
    };
    ASSERT_EQ(self.Install(0.1, 0.1), noErr);
    ASSERT_EQ(trigger.Install(0.2, 0), noErr);
    ASSERT_EQ(other.Install(0.2, 0), noErr); // same due time, installed later: removed before it runs
    ManualClock::RunFor(1.0);
    EXPECT_EQ(mLog, (Log { { "self", 100 }, { "trigger", 200 }, { "added", 250 } }));
}

TEST_F(Timers, FireInsideNestedLoopsWhichEndByTimeOrQuit)
{
    TimerProbe tick = Probe("tick"), modal = Probe("modal"), closer = Probe("closer");
    OSStatus nestedStatus = 0;
    modal.action = [&] {
        EXPECT_EQ(closer.Install(0.35, 0), noErr);
        nestedStatus = RunCurrentEventLoop(kEventDurationForever);
        mLog.emplace_back("modal.end", MillisecondsSince(mStart));
    };
    closer.action = [&] { QuitEventLoop(GetCurrentEventLoop()); };
    ASSERT_EQ(tick.Install(0.2, 0.2), noErr);
    ASSERT_EQ(modal.Install(0.3, 0), noErr);

    EXPECT_EQ(ManualClock::RunFor(1.0), eventLoopTimedOutErr);
    EXPECT_EQ(nestedStatus, eventLoopQuitErr);
    EXPECT_EQ(mLog,
        (Log { { "tick", 200 }, { "modal", 300 }, { "tick", 400 }, { "tick", 600 }, { "closer", 650 },
            { "modal.end", 650 }, { "tick", 800 }, { "tick", 1000 } }));
}

TEST_F(Timers, ATimerDoesNotReenterItsOwnCallback)
{
    TimerProbe pump = Probe("pump");
    int depth = 0, deepest = 0;
    pump.action = [&] {
        deepest = std::max(deepest, ++depth);
        if (mLog.size() == 1)
            RunCurrentEventLoop(0.5);
        --depth;
    };
    ASSERT_EQ(pump.Install(0.1, 0.1), noErr);
    ManualClock::RunFor(1.0);
    EXPECT_EQ(deepest, 1);
    EXPECT_GE(mLog.size(), 5u);
}

// A repeating timer whose loop was busy (here in a nested loop of its own first firing) fires once
// for the firings it missed, then keeps its pace from there.
TEST_F(Timers, ARepeatingTimerThatFellBehindFiresOnceAndKeepsItsPace)
{
    struct Case {
        EventTime busy; // [s] the nested loop of the first firing
        Log expected;
    };
    Case const cases[] = {
        { 1.0, { { "tick", 250 }, { "tick", 1250 }, { "tick", 1500 }, { "tick", 1750 } } },
        // Exactly one interval late: the due firing runs now and the next one a whole interval on.
        { 0.5, { { "tick", 250 }, { "tick", 750 }, { "tick", 1000 }, { "tick", 1250 }, { "tick", 1500 },
                   { "tick", 1750 } } },
        // Late by less than an interval: the schedule holds.
        { 0.2, { { "tick", 250 }, { "tick", 500 }, { "tick", 750 }, { "tick", 1000 }, { "tick", 1250 },
                   { "tick", 1500 }, { "tick", 1750 } } },
    };
    for (Case const& c : cases) {
        mLog.clear();
        mStart = GetCurrentEventTime();
        TimerProbe tick = Probe("tick");
        tick.action = [&] {
            if (mLog.size() == 1)
                RunCurrentEventLoop(c.busy);
        };
        ASSERT_EQ(tick.Install(0.25, 0.25), noErr);
        ManualClock::RunFor(1.8);
        RemoveEventLoopTimer(tick.ref);
        EXPECT_EQ(mLog, c.expected) << c.busy;
    }
}

TEST_F(Timers, IdleTimerFiresLikeAPlainTimer)
{
    std::vector<EventLoopIdleTimerMessage> messages;
    auto proc = [](EventLoopTimerRef, EventLoopIdleTimerMessage message, void* userData) {
        static_cast<std::vector<EventLoopIdleTimerMessage>*>(userData)->push_back(message);
    };
    EventLoopTimerRef timer = nullptr;
    ASSERT_EQ(
        InstallEventLoopIdleTimer(GetMainEventLoop(), 0.5, 0.5, NewEventLoopIdleTimerUPP(proc), &messages, &timer),
        noErr);
    ManualClock::RunFor(1.6);
    EXPECT_EQ(messages, (std::vector<EventLoopIdleTimerMessage>(3, kEventLoopIdleTimerIdling)));
}

TEST_F(Timers, BadArgumentsAreRefused)
{
    EventLoopTimerRef timer = reinterpret_cast<EventLoopTimerRef>(1);
    auto proc = NewEventLoopTimerUPP(TimerProbe::Proc);
    EXPECT_EQ(InstallEventLoopTimer(GetMainEventLoop(), 0.1, 0, nullptr, nullptr, &timer), paramErr);
    EXPECT_EQ(timer, nullptr);
    EXPECT_EQ(InstallEventLoopTimer(GetMainEventLoop(), std::nan(""), 0, proc, nullptr, &timer), paramErr);
    EXPECT_EQ(InstallEventLoopTimer(GetMainEventLoop(), 0.1, -1, proc, nullptr, &timer), paramErr);
    EXPECT_EQ(InstallEventLoopTimer(nullptr, 0.1, 0, proc, nullptr, &timer), paramErr);
    EXPECT_EQ(RemoveEventLoopTimer(nullptr), paramErr);
    EXPECT_EQ(RunCurrentEventLoop(std::nan("")), paramErr);
}

// Posted events.

struct Catcher {
    std::vector<UInt32>* log;
    static OSStatus Proc(EventHandlerCallRef, EventRef event, void* userData)
    {
        UInt32 tag = 0;
        GetEventParameter(event, 'tag ', typeUInt32, nullptr, sizeof tag, nullptr, &tag);
        static_cast<Catcher*>(userData)->log->push_back(tag);
        return noErr;
    }
};

EventRef MakeTagged(UInt32 tag, EventTargetRef target)
{
    EventRef event = nullptr;
    CreateEvent(nullptr, 'user', 1, 0, kEventAttributeNone, &event);
    SetEventParameter(event, 'tag ', typeUInt32, sizeof tag, &tag);
    if (target)
        SetEventParameter(event, kEventParamPostTarget, typeEventTargetRef, sizeof target, &target);
    return event;
}

// The current loop ends when a tagged event reaches target.
void QuitLoopOnTaggedEvents(tw::events::Target& target)
{
    EventTypeSpec const spec { 'user', 1 };
    auto quit = [](EventHandlerCallRef, EventRef, void*) -> OSStatus {
        QuitEventLoop(GetCurrentEventLoop());
        return noErr;
    };
    InstallEventHandler(&target, NewEventHandlerUPP(quit), 1, &spec, nullptr, nullptr);
}

TEST_F(Timers, PostedEventsGoInPriorityOrderToTheirTargets)
{
    std::vector<UInt32> seen;
    Catcher catcher { &seen };
    EventTypeSpec const spec { 'user', 1 };
    tw::events::Target user(tw::events::Target::Kind::User);
    auto gone = std::make_unique<tw::events::Target>(tw::events::Target::Kind::User);
    InstallEventHandler(&user, NewEventHandlerUPP(Catcher::Proc), 1, &spec, &catcher, nullptr);
    InstallEventHandler(GetApplicationEventTarget(), NewEventHandlerUPP(Catcher::Proc), 1, &spec, &catcher, nullptr);

    std::vector<std::pair<UInt32, EventPriority>> const posts { { 1, kEventPriorityStandard }, { 2, kEventPriorityLow },
        { 3, kEventPriorityHigh }, { 4, kEventPriorityStandard } };
    for (auto [tag, priority] : posts) {
        EventRef event = MakeTagged(tag, tag == 4 ? nullptr : &user);
        EXPECT_EQ(PostEventToQueue(GetMainEventQueue(), event, priority), noErr);
        EXPECT_EQ(PostEventToQueue(GetMainEventQueue(), event, priority), eventAlreadyPostedErr);
        ReleaseEvent(event);
    }
    EventRef orphan = MakeTagged(5, gone.get());
    PostEventToQueue(GetMainEventQueue(), orphan, kEventPriorityHigh);
    gone.reset();
    EventRef removed = MakeTagged(6, &user);
    PostEventToQueue(GetMainEventQueue(), removed, kEventPriorityStandard);
    EXPECT_TRUE(IsEventInQueue(GetMainEventQueue(), removed));
    EXPECT_EQ(RemoveEventFromQueue(GetMainEventQueue(), removed), noErr);
    EXPECT_EQ(RemoveEventFromQueue(GetMainEventQueue(), removed), eventNotInQueueErr);
    EXPECT_EQ(GetEventRetainCount(removed), 1u);
    ReleaseEvent(orphan);
    ReleaseEvent(removed);
    EXPECT_EQ(GetNumEventsInQueue(GetMainEventQueue()), 5u);

    ManualClock::RunFor(0.1);
    EXPECT_EQ(seen, (std::vector<UInt32> { 3, 1, 4, 2 }));
    EXPECT_EQ(GetNumEventsInQueue(GetMainEventQueue()), 0u);
}

TEST_F(Timers, UnhandledQuitCommandEndsTheApplicationLoop)
{
    EventRef quit = nullptr;
    CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, 0, kEventAttributeNone, &quit);
    HICommandExtended command {};
    command.commandID = kHICommandQuit;
    SetEventParameter(quit, kEventParamDirectObject, typeHICommand, sizeof command, &command);
    TimerProbe poster = Probe("poster"), guard = Probe("guard");
    poster.action = [&] { PostEventToQueue(GetMainEventQueue(), quit, kEventPriorityStandard); };
    guard.action = [] { QuitApplicationEventLoop(); };
    poster.Install(1.0, 0);
    guard.Install(60.0, 0);
    RunApplicationEventLoop();
    EXPECT_EQ(mLog, (Log { { "poster", 1000 } }));
    ReleaseEvent(quit);
}

// Real time.

TEST(RealClockTimers, FireWithinAFewMillisecondsOfTheirTime)
{
    tw::test::RealClock clock;
    using namespace std::chrono;
    steady_clock::time_point fired[3];
    int count = 0;
    struct Context {
        steady_clock::time_point* fired;
        int* count;
    } context { fired, &count };
    auto proc = [](EventLoopTimerRef timer, void* userData) {
        auto* c = static_cast<Context*>(userData);
        c->fired[(*c->count)++] = steady_clock::now();
        if (*c->count == 3) {
            RemoveEventLoopTimer(timer);
            QuitEventLoop(GetCurrentEventLoop());
        }
    };
    EventLoopTimerRef timer = nullptr;
    auto const start = steady_clock::now();
    ASSERT_EQ(InstallEventLoopTimer(GetMainEventLoop(), 0.05, 0.03, proc, &context, &timer), noErr);
    EXPECT_EQ(RunCurrentEventLoop(2.0), eventLoopQuitErr);
    ASSERT_EQ(count, 3);
    for (int i = 0; i < 3; ++i) {
        auto const expected = start + milliseconds(50 + 30 * i);
        EXPECT_GE(fired[i], expected - milliseconds(1)) << i;
        // The loop itself wakes within a millisecond or two; the margin absorbs the
        // scheduling delays of a machine running the whole suite in parallel.
        EXPECT_LT(fired[i], expected + milliseconds(40)) << i;
    }
}

TEST(RealClockTimers, PostFromAnotherThreadWakesTheLoop)
{
    tw::test::RealClock clock;
    tw::events::Target target(tw::events::Target::Kind::User);
    QuitLoopOnTaggedEvents(target);
    EventRef event = MakeTagged(1, &target);
    auto const start = std::chrono::steady_clock::now();
    std::thread worker([event] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        PostEventToQueue(GetMainEventQueue(), event, kEventPriorityStandard);
        ReleaseEvent(event);
    });
    EXPECT_EQ(RunCurrentEventLoop(kEventDurationForever), eventLoopQuitErr);
    worker.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}


// A waiter as a window system's would be: it counts what the loop asks of it and sleeps on
// its own condition, never the queue's, so only its Wake (or its deadline) ends a sleep.
// A sleep without a deadline gives up after ten seconds and says so.
class CountingWaiter : public tw::events::Waiter {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    CountingWaiter() { GetMainEventQueue()->SetWaiter(this); }
    ~CountingWaiter() override { GetMainEventQueue()->SetWaiter(nullptr); }

    void Pump() override
    {
        ++pumps;
        if (input)
            std::exchange(input, nullptr)();
    }
    void Sleep(std::optional<TimePoint> deadline) override
    {
        sleepDeadlines.push_back(deadline);
        std::unique_lock lock(mutex);
        auto const until = deadline.value_or(std::chrono::steady_clock::now() + std::chrono::seconds(10));
        if (!condition.wait_until(lock, until, [this] { return woken; }) && !deadline)
            gaveUp = true;
        woken = false;
    }
    void Wake() override
    {
        std::lock_guard lock(mutex);
        woken = true;
        condition.notify_all();
    }

    int pumps = 0;
    std::vector<std::optional<TimePoint>> sleepDeadlines;
    bool gaveUp = false;
    std::function<void()> input; // run by the next pump, as input arriving from the window system

private:
    std::mutex mutex;
    std::condition_variable condition;
    bool woken = false;
};

// Idle, the loop sleeps once, in the waiter, to the next timer's time: nothing polls.
TEST(LoopWaiter, TheLoopSleepsInTheWaiterUntilTheNextTimer)
{
    tw::test::RealClock clock;
    CountingWaiter waiter;
    EventTime due = 0;
    EventLoopTimerRef timer = nullptr;
    ASSERT_EQ(InstallEventLoopTimer(
                  GetMainEventLoop(), 0.1, 0,
                  [](EventLoopTimerRef, void*) { QuitEventLoop(GetCurrentEventLoop()); }, nullptr, &timer),
        noErr);
    due = GetCurrentEventTime() + 0.1;
    EXPECT_EQ(RunCurrentEventLoop(30), eventLoopQuitErr);
    RemoveEventLoopTimer(timer);
    ASSERT_FALSE(waiter.sleepDeadlines.empty());
    EXPECT_EQ(waiter.sleepDeadlines.size(), 1u);
    ASSERT_TRUE(waiter.sleepDeadlines[0].has_value());
    // The timer's due time, not a polling interval (nor the run's 30 s).
    auto const gap = *waiter.sleepDeadlines[0] - tw::events::Clock::ToSteady(due);
    EXPECT_LT(std::chrono::abs(gap), std::chrono::milliseconds(50));
    EXPECT_GE(waiter.pumps, 1); // the screen is brought up to date before the sleep
}

// Work posted by another thread ends a sleep that has no deadline; so does the queue's Wake.
TEST(LoopWaiter, APostFromAnotherThreadEndsTheWaitersSleep)
{
    tw::test::RealClock clock;
    CountingWaiter waiter;
    tw::events::Target target(tw::events::Target::Kind::User);
    QuitLoopOnTaggedEvents(target);
    EventRef event = MakeTagged(1, &target);
    std::thread worker([event] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        PostEventToQueue(GetMainEventQueue(), event, kEventPriorityStandard);
        ReleaseEvent(event);
    });
    EXPECT_EQ(RunCurrentEventLoop(kEventDurationForever), eventLoopQuitErr);
    worker.join();
    EXPECT_FALSE(waiter.gaveUp);
    ASSERT_FALSE(waiter.sleepDeadlines.empty());
    EXPECT_FALSE(waiter.sleepDeadlines.back().has_value());
}

// Input the waiter's pump brings is delivered, even by runs that never wait, and on the
// manual clock before the clock moves on to the next timer.
TEST(LoopWaiter, InputFromThePumpIsDeliveredBeforeTimeMovesOn)
{
    ManualClock manual;
    CountingWaiter waiter;
    std::vector<UInt32> seen;
    tw::events::Target target(tw::events::Target::Kind::User);
    EventTypeSpec const spec { 'user', 1 };
    auto record = [](EventHandlerCallRef, EventRef event, void* log) -> OSStatus {
        UInt32 tag = 0;
        GetEventParameter(event, 'tag ', typeUInt32, nullptr, sizeof tag, nullptr, &tag);
        static_cast<std::vector<UInt32>*>(log)->push_back(tag);
        return noErr;
    };
    InstallEventHandler(&target, NewEventHandlerUPP(record), 1, &spec, &seen, nullptr);
    auto input = [&](UInt32 tag) {
        return [&target, tag] {
            EventRef event = MakeTagged(tag, &target);
            PostEventToQueue(GetMainEventQueue(), event, kEventPriorityStandard);
            ReleaseEvent(event);
        };
    };
    waiter.input = input(1);
    EXPECT_EQ(RunCurrentEventLoop(kEventDurationNoWait), eventLoopTimedOutErr);
    EXPECT_EQ(seen, (std::vector<UInt32> { 1 }));

    TimerProbe later = TimerProbe { nullptr, "later", GetCurrentEventTime() };
    Log log;
    later.log = &log;
    later.action = [&] { seen.push_back(99); };
    ASSERT_EQ(later.Install(5, 0), noErr);
    waiter.input = input(2);
    EXPECT_EQ(ManualClock::RunFor(10), eventLoopTimedOutErr);
    EXPECT_EQ(seen, (std::vector<UInt32> { 1, 2, 99 }));
    RemoveEventLoopTimer(later.ref);
}

} // namespace
