#include "DisplayTest.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/Theme.h"
#include "toolbox/Window.h"

#include <cstdio>

namespace tw::test {
namespace {

    struct Log {
        std::vector<std::string> entries;
        std::vector<HIPoint> points;
        std::vector<UInt32> clickCounts;
    };

    // Logs what reaches a view, in view coordinates, and lets the standard behaviour run.
    OSStatus LogViewEvent(EventHandlerCallRef, EventRef event, void* userData)
    {
        auto* log = static_cast<Log*>(userData);
        EventKind const kind = GetEventKind(event);
        log->entries.push_back("view " + std::to_string(kind));
        HIPoint p {};
        if (GetEventParameter(event, kEventParamMouseLocation, typeHIPoint, nullptr, sizeof p, nullptr, &p) == noErr)
            log->points.push_back(p);
        if (kind == kEventControlClick) {
            UInt32 count = 0;
            GetEventParameter(event, kEventParamClickCount, typeUInt32, nullptr, sizeof count, nullptr, &count);
            log->clickCounts.push_back(count);
        }
        if (kind == kEventControlHitTest) {
            ControlPartCode const part = CGRectContainsPoint(CGRectMake(0, 0, 80, 40), p) ? 129 : 0;
            SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
            return noErr;
        }
        return eventNotHandledErr;
    }

    OSStatus LogWindowEvent(EventHandlerCallRef, EventRef event, void* userData)
    {
        static_cast<Log*>(userData)->entries.push_back("window " + std::to_string(GetEventKind(event)));
        return eventNotHandledErr;
    }

    EventTypeSpec const kViewEvents[] = {
        { kEventClassControl, kEventControlHitTest },
        { kEventClassControl, kEventControlClick },
        { kEventClassControl, kEventControlTrack },
        { kEventClassControl, kEventControlHit },
    };

    class InputFunnelTest : public DisplayTest {
    protected:
        void SetUp() override
        {
            DisplayTest::SetUp();
            mWindow = ShowNibWindow("Test");
            mPane = Find(mWindow, 'pane', 1);
            ASSERT_NE(mPane, nullptr);
            InstallEventHandler(GetControlEventTarget(mPane), LogViewEvent, 4, kViewEvents, &mLog, nullptr);
        }
        void TearDown() override
        {
            DisposeWindow(mWindow);
            DisplayTest::TearDown();
        }
        WindowRef mWindow = nullptr;
        HIViewRef mPane = nullptr;
        Log mLog;
    };

    TEST_F(InputFunnelTest, ClickReachesTheHitViewAsHitTestClickTrackAndHitInViewCoordinates)
    {
        EventTypeSpec const down { kEventClassMouse, kEventMouseDown };
        InstallEventHandler(GetWindowEventTarget(mWindow), LogWindowEvent, 1, &down, &mLog, nullptr);
        InputDriver::Click(Global(mPane, { 5, 7 }));
        Run();
        EXPECT_EQ(mLog.entries,
            (std::vector<std::string> { "window 1", "view 3", "view 13", "view 51", "view 3", "view 1" }));
        ASSERT_GE(mLog.points.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_DOUBLE_EQ(mLog.points[i].x, 5);
            EXPECT_DOUBLE_EQ(mLog.points[i].y, 7);
        }
    }

    TEST_F(InputFunnelTest, TwoClicksTwoPixelsApartInTimeCountTwoAndFourPixelsApartCountOne)
    {
        InputDriver::Click(Global(mPane, { 10, 10 }));
        Run(0.1);
        InputDriver::Click(Global(mPane, { 12, 12 }));
        Run(0.1);
        InputDriver::Click(Global(mPane, { 16, 12 })); // 4 px from the last one
        Run(1.0);
        InputDriver::Click(Global(mPane, { 16, 12 })); // same place, after the double-click time
        Run(0.1);
        EXPECT_EQ(mLog.clickCounts, (std::vector<UInt32> { 1, 2, 1, 1 }));
    }

    TEST_F(InputFunnelTest, ReleasingOutsideTheViewHitsNothing)
    {
        CGPoint const start = Global(mPane, { 5, 5 });
        InputDriver::MouseDown(start);
        InputDriver::MouseMove({ start.x + 200, start.y });
        InputDriver::MouseUp({ start.x + 200, start.y });
        Run();
        EXPECT_EQ(std::count(mLog.entries.begin(), mLog.entries.end(), "view 1"), 0);
        EXPECT_EQ(std::count(mLog.entries.begin(), mLog.entries.end(), "view 51"), 1);
    }

    // The zoom box grows a window to the content size its handlers call ideal, within the
    // screen, and a second click puts it back; a window without an ideal size fills the screen.
    TEST_F(InputFunnelTest, TheZoomBoxAsksForTheIdealSize)
    {
        auto ideal = [](EventHandlerCallRef, EventRef event, void*) -> OSStatus {
            Point const size { 300, 500 }; // height, width
            SetEventParameter(event, 'mDim', typeQDPoint, sizeof size, &size);
            return noErr;
        };
        EventTypeSpec const spec { kEventClassWindow, kEventWindowGetIdealSize };
        EventHandlerRef handler = nullptr;
        InstallEventHandler(GetWindowEventTarget(mWindow), ideal, 1, &spec, nullptr, &handler);
        Rect const before = [&] {
            Rect r {};
            GetWindowBounds(mWindow, kWindowContentRgn, &r);
            return r;
        }();
        Rect structure {};
        GetWindowBounds(mWindow, kWindowStructureRgn, &structure);
        CGRect const box = mWindow->GetPartRect(kWindowZoomBoxRgn);
        ASSERT_GT(box.size.width, 0);
        CGPoint const zoom { structure.left + CGRectGetMidX(box), structure.top + CGRectGetMidY(box) };
        InputDriver::Click(zoom);
        Run();
        Rect content {};
        GetWindowBounds(mWindow, kWindowContentRgn, &content);
        EXPECT_EQ(content.right - content.left, 500);
        EXPECT_EQ(content.bottom - content.top, 300);
        InputDriver::Click(zoom);
        Run();
        GetWindowBounds(mWindow, kWindowContentRgn, &content);
        EXPECT_EQ(content.right - content.left, before.right - before.left) << "back to where it was";

        RemoveEventHandler(handler);
        InputDriver::Click(zoom);
        Run();
        GetWindowBounds(mWindow, kWindowContentRgn, &content);
        EXPECT_GT(content.right - content.left, 1000) << "no ideal size: the whole screen";
    }

    // Menus: records the status requests and the commands that reach the application.
    struct Commands {
        std::vector<std::string> seen;
        MenuCommand disable = 0;
    };

    OSStatus CommandHandler(EventHandlerCallRef, EventRef event, void* userData)
    {
        auto* commands = static_cast<Commands*>(userData);
        HICommandExtended command {};
        GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command);
        if (GetEventKind(event) == kEventCommandUpdateStatus) {
            commands->seen.push_back("status " + Code(command.commandID));
            if (command.commandID == commands->disable)
                DisableMenuItem(command.source.menu.menuRef, command.source.menu.menuItemIndex);
            else
                EnableMenuItem(command.source.menu.menuRef, command.source.menu.menuItemIndex);
            return noErr;
        }
        commands->seen.push_back("process " + Code(command.commandID));
        return noErr;
    }

    class MenuInput : public DisplayTest {
    protected:
        void SetUp() override
        {
            DisplayTest::SetUp();
            ASSERT_EQ(SetMenuBarFromNib(mNib, CFSTR("MenuBar")), noErr);
            EventTypeSpec const specs[]
                = { { kEventClassCommand, kEventCommandProcess }, { kEventClassCommand, kEventCommandUpdateStatus } };
            InstallEventHandler(GetApplicationEventTarget(), CommandHandler, 2, specs, &mCommands, nullptr);
        }
        Commands mCommands;
    };

    bool Saw(Commands const& c, std::string const& entry)
    {
        return std::find(c.seen.begin(), c.seen.end(), entry) != c.seen.end();
    }

    TEST_F(MenuInput, KeyEquivalentRunsTheEnabledItemAfterTheStatusPass)
    {
        InputDriver::Key(45, 'n', cmdKey);
        Run();
        auto const status = std::find(mCommands.seen.begin(), mCommands.seen.end(), "status new ");
        auto const process = std::find(mCommands.seen.begin(), mCommands.seen.end(), "process new ");
        ASSERT_NE(status, mCommands.seen.end());
        ASSERT_NE(process, mCommands.seen.end());
        EXPECT_LT(status, process);
    }

    TEST_F(MenuInput, DisabledItemsKeyDoesNothingAndShiftPicksTheShiftedItem)
    {
        mCommands.disable = 'save';
        InputDriver::Key(1, 's', cmdKey);
        Run();
        EXPECT_TRUE(Saw(mCommands, "status save"));
        EXPECT_FALSE(Saw(mCommands, "process save"));
        InputDriver::Key(1, 'S', cmdKey | shiftKey);
        Run();
        EXPECT_TRUE(Saw(mCommands, "process svas"));
        EXPECT_FALSE(Saw(mCommands, "process save"));
    }

    TEST_F(MenuInput, PressingATitleAndReleasingOnAnItemChoosesIt)
    {
        std::vector<CGRect> const titles = toolbox::Theme::MenuBarTitleRects();
        ASSERT_GE(titles.size(), 3u);
        CGPoint const edit { CGRectGetMidX(titles[2]), 11 };
        // Edit: Undo, Redo, separator, Cut, Copy: the fifth row holds Copy.
        CGPoint const copy { edit.x + 20, 22 + 4 + 3 * 20 + 8 + 10 };
        InputDriver::MouseDown(edit);
        InputDriver::MouseMove({ edit.x, 40 });
        InputDriver::MouseMove(copy);
        // The menu tracks in a nested loop: look at the screen from a timer while it waits, then let go.
        struct Probe {
            CGPoint at;
            std::size_t open = 0;
            bool highlighted = false;
        } probe { copy };
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 0.05, 0,
            [](EventLoopTimerRef, void* data) {
                auto* p = static_cast<Probe*>(data);
                p->open = toolbox::MenuBar::Open().size();
                PixelProbe const screen = ProbeScreen();
                p->highlighted
                    = IsColour(screen.At(static_cast<int>(p->at.x), static_cast<int>(p->at.y)), 64, 128, 217, 255, 3);
                InputDriver::MouseUp(p->at);
            },
            &probe, &timer);
        Run();
        EXPECT_EQ(probe.open, 1u) << "the menu is open while the button is down";
        EXPECT_TRUE(probe.highlighted) << "the item under the mouse is highlighted";
        EXPECT_TRUE(Saw(mCommands, "status copy"));
        EXPECT_TRUE(Saw(mCommands, "process copy"));
        EXPECT_TRUE(toolbox::MenuBar::Open().empty());
    }

    TEST_F(MenuInput, ContextualMenuAnswersTheChosenItemAndSkipsDisabledOnes)
    {
        mCommands.disable = 'renm';
        MenuRef menu = nullptr;
        ASSERT_EQ(CreateMenuFromNib(mNib, CFSTR("Test Context"), &menu), noErr);
        InputDriver::MouseUp({ 310, 300 + 4 + 20 + 10 }); // over "Show Info", queued before the menu opens
        UInt32 type = 0;
        MenuID id = 0;
        MenuItemIndex item = 0;
        EXPECT_EQ(ContextualMenuSelect(menu, Point { 300, 300 }, false, 0, nullptr, nullptr, &type, &id, &item), noErr);
        EXPECT_EQ(type, kCMMenuItemSelected);
        EXPECT_EQ(id, 200);
        EXPECT_EQ(item, 2);
        InputDriver::MouseUp({ 310, 300 + 4 + 40 + 10 }); // "Rename" is disabled
        EXPECT_EQ(ContextualMenuSelect(menu, Point { 300, 300 }, false, 0, nullptr, nullptr, &type, &id, &item),
            userCanceledErr);
        EXPECT_EQ(type, kCMNothingSelected);
        ReleaseMenu(menu);
    }

} // namespace
} // namespace tw::test
