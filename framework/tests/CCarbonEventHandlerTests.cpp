#include "events/Target.h"
#include "framework/CCarbonEventHandler.h"
#include "tests/support/ManualClock.h"
#include "toolbox/MenuCalls.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

using tw::events::Target;
using Log = std::vector<std::string>;

// Logs every operation it overrides; each answers mResult unless an action is set.
class CRecorder : public CCarbonEventHandler {
public:
    CRecorder(Log* log, std::string name)
        : mLog(log)
        , mName(std::move(name))
    {
    }

    OSStatus Note(char const* operation)
    {
        mLog->push_back(mName + "." + operation);
        if (auto action = mActions.find(operation); action != mActions.end())
            return action->second();
        return mResult;
    }

    OSStatus DoEvent(CCarbonEvent&) override { return Note("DoEvent"); }
    OSStatus DoEventMouseDown(CCarbonEvent&) override { return Note("MouseDown"); }
    OSStatus DoEventWindowClose(CCarbonEvent&) override { return Note("WindowClose"); }
    OSStatus DoEventControlHit(CCarbonEvent&) override { return Note("ControlHit"); }
    OSStatus DoEventControlTrackingAreaEntered(CCarbonEvent&) override { return Note("TrackingAreaEntered"); }
    OSStatus DoEventTextDidChange(CCarbonEvent&) override { return Note("TextDidChange"); }
    OSStatus DoEventHIObjectConstruct(CCarbonEvent&) override { return Note("HIObjectConstruct"); }
    OSStatus DoEventCommandProcess(CCarbonEvent&) override { return Note("CommandProcess"); }
    OSStatus DoEventCommandUpdateStatus(CCarbonEvent&) override { return Note("CommandUpdateStatus"); }
    SInt32 GetMenuStatus(HICommandExtended const& command) override
    {
        mLog->push_back(mName + ".GetMenuStatus");
        return command.commandID == 'enab' ? kMenuStatusEnable : command.commandID == 'disa' ? kMenuStatusDisable : 0;
    }

    Log* mLog;
    std::string mName;
    OSStatus mResult = eventNotHandledErr;
    std::map<std::string, std::function<OSStatus()>> mActions;
};

class CCarbonEventHandlerTest : public testing::Test {
protected:
    OSStatus Send(UInt32 eventClass, UInt32 kind, EventTargetRef target)
    {
        CCarbonEvent event(eventClass, kind);
        return event.SendToTarget(target);
    }

    OSStatus SendCommand(UInt32 kind, UInt32 commandID, UInt32 attributes, EventTargetRef target)
    {
        CCarbonEvent event(kEventClassCommand, kind);
        HICommandExtended command {};
        command.attributes = attributes;
        command.commandID = commandID;
        command.source.menu.menuRef = mMenu;
        command.source.menu.menuItemIndex = 3;
        event.SetParameter(kEventParamDirectObject, typeHICommand, sizeof command, &command);
        return event.SendToTarget(target);
    }

    tw::test::ManualClock mClock;
    Log mLog;
    int mWindowObject = 0, mControlObject = 0, mViewObject = 0, mMenuObject = 0;
    WindowRef mWindowRef = reinterpret_cast<WindowRef>(&mWindowObject);
    ControlRef mControlRef = reinterpret_cast<ControlRef>(&mControlObject);
    HIObjectRef mObjectRef = reinterpret_cast<HIObjectRef>(&mViewObject);
    MenuRef mMenu = reinterpret_cast<MenuRef>(&mMenuObject);
    Target mWindow { Target::Kind::Window, &mWindowObject, GetApplicationEventTarget() };
    Target mControl { Target::Kind::Control, &mControlObject, &mWindow };
    Target mObject { Target::Kind::HIObject, &mViewObject };
};

EventTypeSpec const kMouseDown[] = { { kEventClassMouse, kEventMouseDown }, { 0, 0 } };
EventTypeSpec const kWindowEvents[] = { { kEventClassWindow, kEventWindowClose },
    { kEventClassWindow, kEventWindowZoomed }, { kEventClassControl, kEventControlHit }, { 0, 0 } };
EventTypeSpec const kControlEvents[]
    = { { kEventClassControl, kEventControlHit }, { 'Pctl', 'Pctm' }, { 'Pctl', 'Ptfm' }, { 0, 0 } };
EventTypeSpec const kCommandEvents[]
    = { { kEventClassCommand, kEventCommandProcess }, { kEventClassCommand, kEventCommandUpdateStatus }, { 0, 0 } };

TEST_F(CCarbonEventHandlerTest, NamedOperationsRunOnEveryKindOfTarget)
{
    CRecorder app(&mLog, "app"), window(&mLog, "window"), control(&mLog, "control"), object(&mLog, "object");
    ASSERT_EQ(app.InstallHandler(kMouseDown), noErr);
    ASSERT_EQ(window.InstallHandler(mWindowRef, kWindowEvents), noErr);
    ASSERT_EQ(control.InstallHandler(mControlRef, kControlEvents), noErr);
    EventTypeSpec const construct[] = { { kEventClassHIObject, kEventHIObjectConstruct }, { 0, 0 } };
    ASSERT_EQ(object.InstallHandler(mObjectRef, construct), noErr);
    EXPECT_EQ(app.GetHandlerType(), CCarbonEventHandler::kHandlerApplication);
    EXPECT_EQ(window.GetHandlerType(), CCarbonEventHandler::kHandlerWindow);
    EXPECT_EQ(control.GetHandlerType(), CCarbonEventHandler::kHandlerControl);
    EXPECT_EQ(object.GetHandlerType(), CCarbonEventHandler::kHandlerHIObject);

    Send(kEventClassMouse, kEventMouseDown, GetApplicationEventTarget());
    Send(kEventClassWindow, kEventWindowClose, &mWindow);
    Send(kEventClassWindow, kEventWindowZoomed, &mWindow); // not overridden: reaches DoEvent
    Send('Pctl', 'Pctm', &mControl);
    Send('Pctl', 'Ptfm', &mControl);
    Send(kEventClassHIObject, kEventHIObjectConstruct, &mObject);
    EXPECT_EQ(mLog,
        (Log { "app.MouseDown", "app.DoEvent", "window.WindowClose", "window.DoEvent", "window.DoEvent",
            "control.TrackingAreaEntered", "control.DoEvent", "control.TextDidChange", "control.DoEvent",
            "object.HIObjectConstruct", "object.DoEvent" }));
}

TEST_F(CCarbonEventHandlerTest, UnhandledControlEventsGoUpToTheWindowAndNextHandlers)
{
    CRecorder window(&mLog, "window"), lower(&mLog, "lower"), upper(&mLog, "upper");
    window.mResult = noErr;
    window.InstallHandler(mWindowRef, kWindowEvents);
    lower.InstallHandler(mControlRef, kControlEvents);
    upper.InstallHandler(mControlRef, kControlEvents);
    OSStatus next = 1;
    upper.mActions["ControlHit"] = [&] {
        CCarbonEvent again(kEventClassControl, kEventControlHit);
        next = upper.CallNextHandler(again);
        return next;
    };
    EXPECT_EQ(Send(kEventClassControl, kEventControlHit, &mControl), noErr);
    EXPECT_EQ(next, noErr);
    EXPECT_EQ(mLog, (Log { "upper.ControlHit", "lower.ControlHit", "lower.DoEvent", "window.ControlHit" }));
    // Outside a dispatch there is nothing to pass on to.
    CCarbonEvent event(kEventClassControl, kEventControlHit);
    EXPECT_EQ(upper.CallNextHandler(event), paramErr);
}

TEST_F(CCarbonEventHandlerTest, TargetHandlerSeesEventsFirstAndCanTakeThem)
{
    CRecorder owner(&mLog, "owner"), delegate(&mLog, "delegate");
    owner.InstallHandler(kMouseDown);
    owner.SetTargetEventHandler(&delegate);
    delegate.mResult = noErr;
    EXPECT_EQ(Send(kEventClassMouse, kEventMouseDown, GetApplicationEventTarget()), noErr);
    EXPECT_EQ(mLog, (Log { "delegate.MouseDown" }));
    mLog.clear();
    delegate.mResult = eventNotHandledErr;
    Send(kEventClassMouse, kEventMouseDown, GetApplicationEventTarget());
    EXPECT_EQ(mLog, (Log { "delegate.MouseDown", "delegate.DoEvent", "owner.MouseDown", "owner.DoEvent" }));
}

TEST_F(CCarbonEventHandlerTest, MenuStatusComesFromGetMenuStatusUnlessTheEventIsHandled)
{
    CRecorder app(&mLog, "app");
    app.InstallHandler(kCommandEvents);
    // A real menu holding both commands, each in the state it must leave.
    MenuRef menu = nullptr;
    CreateNewMenu(0, 0, &menu);
    AppendMenuItemTextWithCFString(menu, CFSTR("Enable"), kMenuItemAttrDisabled, 'enab', nullptr);
    AppendMenuItemTextWithCFString(menu, CFSTR("Disable"), 0, 'disa', nullptr);
    mMenu = menu;

    EXPECT_EQ(SendCommand(kEventCommandUpdateStatus, 'enab', kHICommandFromMenu, GetApplicationEventTarget()), noErr);
    EXPECT_EQ(SendCommand(kEventCommandUpdateStatus, 'disa', kHICommandFromMenu, GetApplicationEventTarget()), noErr);
    EXPECT_TRUE(IsMenuCommandEnabled(menu, 'enab'));
    EXPECT_FALSE(IsMenuCommandEnabled(menu, 'disa'));
    DisableMenuCommand(menu, 'enab'); // only the status pass below could enable it again
    EXPECT_EQ(
        mLog, (Log { "app.CommandUpdateStatus", "app.GetMenuStatus", "app.CommandUpdateStatus", "app.GetMenuStatus" }));

    // No opinion, or not from a menu: DoEvent.
    mLog.clear();
    SendCommand(kEventCommandUpdateStatus, 'none', kHICommandFromMenu, GetApplicationEventTarget());
    SendCommand(kEventCommandUpdateStatus, 'enab', 0, GetApplicationEventTarget());
    EXPECT_EQ(mLog,
        (Log {
            "app.CommandUpdateStatus", "app.GetMenuStatus", "app.DoEvent", "app.CommandUpdateStatus", "app.DoEvent" }));
    // A handled update-status event never asks GetMenuStatus.
    mLog.clear();
    app.mActions["CommandUpdateStatus"] = [] { return noErr; };
    SendCommand(kEventCommandUpdateStatus, 'enab', kHICommandFromMenu, GetApplicationEventTarget());
    EXPECT_EQ(mLog, (Log { "app.CommandUpdateStatus" }));
    // An unhandled process-command event goes to DoEvent, not to the menu status.
    mLog.clear();
    SendCommand(kEventCommandProcess, 'enab', kHICommandFromMenu, GetApplicationEventTarget());
    EXPECT_EQ(mLog, (Log { "app.CommandProcess", "app.DoEvent" }));
    EXPECT_FALSE(IsMenuCommandEnabled(menu, 'enab'));
    ReleaseMenu(menu);
}

TEST_F(CCarbonEventHandlerTest, AnOperationMayDeleteItsOwnObject)
{
    auto* doomed = new CRecorder(&mLog, "doomed");
    doomed->InstallHandler(mWindowRef, kWindowEvents);
    doomed->mActions["WindowClose"] = [doomed] {
        delete doomed;
        return OSStatus(7);
    };
    EXPECT_EQ(Send(kEventClassWindow, kEventWindowClose, &mWindow), 7);
    // The handler went with its object.
    mLog.clear();
    EXPECT_EQ(Send(kEventClassWindow, kEventWindowClose, &mWindow), eventNotHandledErr);
    EXPECT_TRUE(mLog.empty());
}

TEST_F(CCarbonEventHandlerTest, DeletionInANestedDispatchIsSeenByTheOuterOne)
{
    auto* doomed = new CRecorder(&mLog, "doomed");
    doomed->InstallHandler(mControlRef, kControlEvents);
    int depth = 0;
    doomed->mActions["ControlHit"] = [&, doomed] {
        if (++depth == 1) {
            // Sends to its own target: the inner dispatch deletes the object.
            CCarbonEvent inner(kEventClassControl, kEventControlHit);
            EXPECT_EQ(inner.SendToControl(mControlRef), noErr);
            return eventNotHandledErr; // the outer dispatch must not go on to DoEvent
        }
        delete doomed;
        return noErr;
    };
    EXPECT_EQ(Send(kEventClassControl, kEventControlHit, &mControl), eventNotHandledErr);
    EXPECT_EQ(mLog, (Log { "doomed.ControlHit", "doomed.ControlHit" }));
}

TEST_F(CCarbonEventHandlerTest, NestedDispatchRestoresTheCallReference)
{
    CRecorder lower(&mLog, "lower"), upper(&mLog, "upper");
    lower.mResult = 42;
    lower.InstallHandler(mControlRef, kControlEvents);
    upper.InstallHandler(mControlRef, kControlEvents);
    OSStatus afterNested = 0;
    upper.mActions["ControlHit"] = [&] {
        CCarbonEvent self(kEventClassMouse, kEventMouseDown);
        upper.DispatchEvent(self, nullptr); // the application feeding its own event
        afterNested = upper.CallNextHandler(self);
        return afterNested;
    };
    EXPECT_EQ(Send(kEventClassControl, kEventControlHit, &mControl), 42);
    EXPECT_EQ(afterNested, 42);
}

TEST_F(CCarbonEventHandlerTest, InstallationUsesEarlierPairsAndIsRefusedTwice)
{
    CRecorder handler(&mLog, "handler");
    EXPECT_EQ(handler.AddEvent(kEventClassWindow, kEventWindowClose), noErr);
    EXPECT_EQ(handler.AddEvent(kEventClassWindow, kEventWindowClose), noErr);
    ASSERT_EQ(handler.InstallHandler(mWindowRef), noErr);
    EXPECT_EQ(handler.InstallHandler(mWindowRef), eventHandlerAlreadyInstalledErr);
    EXPECT_EQ(handler.InstallHandler(kMouseDown), eventHandlerAlreadyInstalledErr);
    EXPECT_EQ(handler.GetHandlerType(), CCarbonEventHandler::kHandlerWindow);
    Send(kEventClassWindow, kEventWindowClose, &mWindow);
    EXPECT_EQ(mLog.size(), 2u);

    // One removal leaves the duplicate registered.
    EventTypeSpec const close[] = { { kEventClassWindow, kEventWindowClose }, { 0, 0 } };
    EXPECT_EQ(handler.RemoveEvents(close), noErr);
    mLog.clear();
    Send(kEventClassWindow, kEventWindowClose, &mWindow);
    EXPECT_EQ(mLog.size(), 2u);
    EXPECT_EQ(handler.RemoveEvents(close), noErr);
    mLog.clear();
    Send(kEventClassWindow, kEventWindowClose, &mWindow);
    EXPECT_TRUE(mLog.empty());

    handler.RemoveHandler();
    EXPECT_EQ(handler.AddEvent(kEventClassMouse, kEventMouseDown), noErr);
    ASSERT_EQ(handler.InstallHandler(), noErr);
    Send(kEventClassMouse, kEventMouseDown, GetApplicationEventTarget());
    EXPECT_EQ(mLog, (Log { "handler.MouseDown", "handler.DoEvent" }));
}

TEST_F(CCarbonEventHandlerTest, InstallingOnAnUnknownObjectFailsAndStaysUninstalled)
{
    CRecorder handler(&mLog, "handler");
    int stranger = 0;
    EXPECT_NE(handler.InstallHandler(reinterpret_cast<WindowRef>(&stranger), kWindowEvents), noErr);
    EXPECT_EQ(handler.GetHandlerType(), CCarbonEventHandler::kHandlerNone);
    // The pairs were not recorded either: the array is only added after a successful installation.
    ASSERT_EQ(handler.InstallHandler(mWindowRef), noErr);
    Send(kEventClassWindow, kEventWindowClose, &mWindow);
    EXPECT_TRUE(mLog.empty());
}

} // namespace
