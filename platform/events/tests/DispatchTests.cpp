#include "events/CarbonEvents.h"
#include "events/Target.h"
#include "tests/support/ManualClock.h"
#include "toolbox/HIToolboxTypes.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using tw::events::Target;

// A handler that logs its name, runs an optional action and answers a status.
struct Probe {
    Probe(std::vector<std::string>* log, std::string name, OSStatus result = eventNotHandledErr)
        : log(log)
        , name(std::move(name))
        , result(result)
    {
    }

    std::vector<std::string>* log;
    std::string name;
    OSStatus result = eventNotHandledErr;
    std::function<OSStatus(EventHandlerCallRef, EventRef)> action;
    EventHandlerRef ref = nullptr;

    static OSStatus Proc(EventHandlerCallRef callRef, EventRef event, void* userData)
    {
        auto* probe = static_cast<Probe*>(userData);
        probe->log->push_back(probe->name);
        return probe->action ? probe->action(callRef, event) : probe->result;
    }

    OSStatus InstallOn(EventTargetRef target, EventTypeSpec spec)
    {
        return InstallEventHandler(target, NewEventHandlerUPP(Proc), 1, &spec, this, &ref);
    }
};

// A target whose standard behaviour is logged.
class LoggingTarget : public Target {
public:
    LoggingTarget(Kind kind, void const* owner, Target* parent, std::vector<std::string>* log, std::string name)
        : Target(kind, owner, parent)
        , mLog(log)
        , mName(std::move(name))
    {
    }
    OSStatus StandardHandler(EventHandlerCallRef, EventRef) override
    {
        mLog->push_back(mName + ".standard");
        return eventNotHandledErr;
    }

private:
    std::vector<std::string>* mLog;
    std::string mName;
};

EventRef MakeEvent(EventClass eventClass, EventKind kind)
{
    EventRef event = nullptr;
    CreateEvent(nullptr, eventClass, kind, 0, kEventAttributeNone, &event);
    return event;
}

constexpr EventTypeSpec kControlHit { kEventClassControl, kEventControlHit };
constexpr EventTypeSpec kWindowClose { kEventClassWindow, kEventWindowClose };

class Dispatching : public testing::Test {
protected:
    tw::test::ManualClock mClock;
    std::vector<std::string> mLog;
    int mWindowObject = 0;
    int mControlObject = 0;
    std::unique_ptr<LoggingTarget> mWindow = std::make_unique<LoggingTarget>(
        Target::Kind::Window, &mWindowObject, GetApplicationEventTarget(), &mLog, "window");
    std::unique_ptr<LoggingTarget> mControl
        = std::make_unique<LoggingTarget>(Target::Kind::Control, &mControlObject, mWindow.get(), &mLog, "control");

    OSStatus Send(EventClass eventClass, EventKind kind, EventTargetRef target, OptionBits options = 0)
    {
        EventRef event = MakeEvent(eventClass, kind);
        OSStatus const status = SendEventToEventTargetWithOptions(event, target, options);
        ReleaseEvent(event);
        return status;
    }
};

TEST_F(Dispatching, LatestHandlerFirstThenStandardThenUpTheChain)
{
    Probe first { &mLog, "control.first" }, second { &mLog, "control.second" };
    Probe onWindow { &mLog, "window.handler" }, onApp { &mLog, "app.handler", noErr };
    first.InstallOn(mControl.get(), kControlHit);
    second.InstallOn(mControl.get(), kControlHit);
    onWindow.InstallOn(mWindow.get(), kControlHit);
    onApp.InstallOn(GetApplicationEventTarget(), kControlHit);

    EXPECT_EQ(Send(kEventClassControl, kEventControlHit, mControl.get()), noErr);
    EXPECT_EQ(mLog,
        (std::vector<std::string> { "control.second", "control.first", "control.standard", "window.handler",
            "window.standard", "app.handler" }));
}

// Standard handlers sit below every handler installed on top, the later standard one first.
TEST_F(Dispatching, HandlersOnTopRunBeforeStandardHandlersNewestFirst)
{
    Probe firstStandard { &mLog, "standard.first" }, top { &mLog, "top" }, secondStandard { &mLog, "standard.second" };
    auto const standard = [&](Probe& probe) {
        return mControl->Install(NewEventHandlerUPP(Probe::Proc), 1, &kControlHit, &probe,
            Target::Placement::Standard, nullptr);
    };
    ASSERT_EQ(standard(firstStandard), noErr);
    ASSERT_EQ(top.InstallOn(mControl.get(), kControlHit), noErr);
    ASSERT_EQ(standard(secondStandard), noErr);

    EXPECT_EQ(Send(kEventClassControl, kEventControlHit, mControl.get()), eventNotHandledErr);
    EXPECT_EQ(mLog,
        (std::vector<std::string> { "top", "standard.second", "standard.first", "control.standard",
            "window.standard" }));
}

TEST_F(Dispatching, OnlyRegisteredKindsAndPropagatingClassesReachHandlers)
{
    Probe hit { &mLog, "control.hit" }, windowClose { &mLog, "app.close" };
    hit.InstallOn(mControl.get(), kControlHit);
    windowClose.InstallOn(GetApplicationEventTarget(), kWindowClose);

    // A control kind the handler did not ask for skips it.
    EXPECT_EQ(Send(kEventClassControl, kEventControlDraw, mControl.get()), eventNotHandledErr);
    EXPECT_EQ(mLog, (std::vector<std::string> { "control.standard", "window.standard" }));
    mLog.clear();
    // Window events stay with their window.
    EXPECT_EQ(Send(kEventClassWindow, kEventWindowClose, mWindow.get()), eventNotHandledErr);
    EXPECT_EQ(mLog, (std::vector<std::string> { "window.standard" }));
    mLog.clear();
    // Unless told not to, control events go up.
    EXPECT_EQ(
        Send(kEventClassControl, kEventControlHit, mControl.get(), kEventTargetDontPropagate), eventNotHandledErr);
    EXPECT_EQ(mLog, (std::vector<std::string> { "control.hit", "control.standard" }));
}

TEST_F(Dispatching, HandledEventStopsAndSendToAllReachesEveryHandler)
{
    Probe a { &mLog, "a", noErr }, b { &mLog, "b", noErr }, c { &mLog, "c" };
    a.InstallOn(mControl.get(), kControlHit);
    b.InstallOn(mControl.get(), kControlHit);
    c.InstallOn(mControl.get(), kControlHit);
    EXPECT_EQ(Send(kEventClassControl, kEventControlHit, mControl.get()), noErr);
    EXPECT_EQ(mLog, (std::vector<std::string> { "c", "b" }));
    mLog.clear();
    EXPECT_EQ(Send(kEventClassControl, kEventControlHit, mControl.get(), kEventTargetSendToAllHandlers), noErr);
    EXPECT_EQ(mLog, (std::vector<std::string> { "c", "b", "a", "control.standard" }));
}

TEST_F(Dispatching, CallNextRunsTheRestOfTheChainOnce)
{
    Probe bottom { &mLog, "bottom" }, onWindow { &mLog, "window", 7 };
    Probe top { &mLog, "top" };
    OSStatus nextStatus = 0;
    top.action = [&](EventHandlerCallRef callRef, EventRef event) {
        nextStatus = CallNextEventHandler(callRef, event);
        mLog.push_back("top.after");
        return eventNotHandledErr;
    };
    bottom.InstallOn(mControl.get(), kControlHit);
    top.InstallOn(mControl.get(), kControlHit);
    onWindow.InstallOn(mWindow.get(), kControlHit);

    EXPECT_EQ(Send(kEventClassControl, kEventControlHit, mControl.get()), eventNotHandledErr);
    EXPECT_EQ(nextStatus, 7);
    EXPECT_EQ(mLog, (std::vector<std::string> { "top", "bottom", "control.standard", "window", "top.after" }));
    EXPECT_EQ(CallNextEventHandler(nullptr, nullptr), paramErr);
}

TEST_F(Dispatching, HandlersChangedDuringDispatchAffectOnlyLaterPasses)
{
    Probe victim { &mLog, "victim" }, remover { &mLog, "remover" }, late { &mLog, "late" };
    victim.InstallOn(mControl.get(), kControlHit);
    remover.action = [&](EventHandlerCallRef, EventRef) {
        EXPECT_EQ(RemoveEventHandler(remover.ref), noErr);
        EXPECT_EQ(RemoveEventHandler(victim.ref), noErr);
        late.InstallOn(mControl.get(), kControlHit);
        return eventNotHandledErr;
    };
    remover.InstallOn(mControl.get(), kControlHit);

    Send(kEventClassControl, kEventControlHit, mControl.get(), kEventTargetDontPropagate);
    EXPECT_EQ(mLog, (std::vector<std::string> { "remover", "control.standard" }));
    mLog.clear();
    Send(kEventClassControl, kEventControlHit, mControl.get(), kEventTargetDontPropagate);
    EXPECT_EQ(mLog, (std::vector<std::string> { "late", "control.standard" }));
    // Refs of removed handlers are refused, not followed.
    EXPECT_EQ(RemoveEventHandler(victim.ref), paramErr);
    EXPECT_EQ(AddEventTypesToHandler(victim.ref, 1, &kControlHit), paramErr);
}

TEST_F(Dispatching, DeletingTheTargetInsideAHandlerEndsTheDispatchSafely)
{
    Probe killer { &mLog, "killer" }, below { &mLog, "below" }, onWindow { &mLog, "window" };
    below.InstallOn(mControl.get(), kControlHit);
    killer.action = [&](EventHandlerCallRef, EventRef) {
        mControl.reset();
        return eventNotHandledErr;
    };
    killer.InstallOn(mControl.get(), kControlHit);
    onWindow.InstallOn(mWindow.get(), kControlHit);

    EXPECT_EQ(Send(kEventClassControl, kEventControlHit, mControl.get()), eventNotHandledErr);
    EXPECT_EQ(mLog, (std::vector<std::string> { "killer" }));
    EXPECT_EQ(GetControlEventTarget(reinterpret_cast<ControlRef>(&mControlObject)), nullptr);
}

TEST_F(Dispatching, NestedSendToTheSameTargetSurvivesDeletionInTheInnerOne)
{
    Probe outer { &mLog, "outer" };
    int depth = 0;
    outer.action = [&](EventHandlerCallRef, EventRef) -> OSStatus {
        if (++depth == 1) {
            EXPECT_EQ(Send(kEventClassControl, kEventControlHit, mControl.get()), noErr);
            return 5;
        }
        mControl.reset();
        return noErr;
    };
    outer.InstallOn(mControl.get(), kControlHit);
    EXPECT_EQ(Send(kEventClassControl, kEventControlHit, mControl.get()), 5);
    EXPECT_EQ(mLog, (std::vector<std::string> { "outer", "outer" }));
}

TEST_F(Dispatching, RemovingAfterTheTargetWentTouchesNoOtherHandler)
{
    Probe early { &mLog, "early" }, later { &mLog, "later" };
    early.InstallOn(mControl.get(), kControlHit);
    mControl.reset();
    // Memory the dead handler held must not be handed to the next one while its ref is out.
    later.InstallOn(mWindow.get(), kControlHit);
    EXPECT_NE(later.ref, early.ref);
    EXPECT_EQ(AddEventTypesToHandler(early.ref, 1, &kControlHit), paramErr);
    EXPECT_EQ(RemoveEventHandler(early.ref), noErr);
    EXPECT_EQ(Send(kEventClassControl, kEventControlHit, mWindow.get(), kEventTargetDontPropagate), eventNotHandledErr);
    EXPECT_EQ(mLog, (std::vector<std::string> { "later", "window.standard" }));
}

TEST_F(Dispatching, TypesAddedTwiceNeedTwoRemovals)
{
    Probe probe { &mLog, "probe" };
    ASSERT_EQ(
        InstallEventHandler(mControl.get(), NewEventHandlerUPP(Probe::Proc), 0, nullptr, &probe, &probe.ref), noErr);
    EXPECT_EQ(AddEventTypesToHandler(probe.ref, 1, &kControlHit), noErr);
    EXPECT_EQ(AddEventTypesToHandler(probe.ref, 1, &kControlHit), noErr);
    EXPECT_EQ(RemoveEventTypesFromHandler(probe.ref, 1, &kControlHit), noErr);
    Send(kEventClassControl, kEventControlHit, mControl.get(), kEventTargetDontPropagate);
    EXPECT_EQ(mLog.front(), "probe");
    mLog.clear();
    EXPECT_EQ(RemoveEventTypesFromHandler(probe.ref, 1, &kControlHit), noErr);
    Send(kEventClassControl, kEventControlHit, mControl.get(), kEventTargetDontPropagate);
    EXPECT_EQ(mLog, (std::vector<std::string> { "control.standard" }));
    EXPECT_EQ(RemoveEventTypesFromHandler(probe.ref, 1, &kControlHit), paramErr);
}

TEST_F(Dispatching, TargetsAreFoundByOwnerAndKind)
{
    EXPECT_EQ(GetWindowEventTarget(reinterpret_cast<WindowRef>(&mWindowObject)), mWindow.get());
    EXPECT_EQ(GetControlEventTarget(reinterpret_cast<ControlRef>(&mControlObject)), mControl.get());
    EXPECT_EQ(HIObjectGetEventTarget(reinterpret_cast<HIObjectRef>(&mControlObject)), mControl.get());
    EXPECT_EQ(GetWindowEventTarget(reinterpret_cast<WindowRef>(&mControlObject)), nullptr);
    EXPECT_EQ(GetMenuEventTarget(nullptr), nullptr);
    EXPECT_EQ(GetUserFocusEventTarget(), GetApplicationEventTarget());
}

TEST_F(Dispatching, DeadTargetsAndBadArgumentsAreRefused)
{
    Target* const gone = mControl.get();
    mControl.reset();
    Probe probe { &mLog, "probe" };
    EXPECT_EQ(probe.InstallOn(gone, kControlHit), paramErr);
    EXPECT_EQ(probe.ref, nullptr);
    EXPECT_EQ(Send(kEventClassControl, kEventControlHit, gone), paramErr);
    EXPECT_EQ(InstallEventHandler(mWindow.get(), nullptr, 1, &kControlHit, nullptr, nullptr), paramErr);
    EXPECT_EQ(
        InstallEventHandler(mWindow.get(), NewEventHandlerUPP(Probe::Proc), 1, nullptr, nullptr, nullptr), paramErr);
    EXPECT_EQ(SendEventToEventTarget(nullptr, mWindow.get()), paramErr);
    EXPECT_TRUE(mLog.empty());
}

} // namespace
