#pragma once

// Fixture of the preferences window's tests: the program's application object
// (without its splash screen) with its menu bar, on the manual clock, a clean
// preference domain, and helpers that work the window as a user does, through
// the input funnel: the menu, the toolbar, clicks on controls, the keyboard.

#include "app/tests/AppWindowTest.h"
#include "app/CWindowPreferences.h"
#include "display/WindowServer.h"
#include "framework/CMacWindow.h"
#include "tests/support/InputDriver.h"
#include "tests/support/ManualClock.h"
#include "tests/support/TestSupport.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuBar.h"
#include "toolbox/Theme.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"
#include "toolbox/WindowList.h"
#include "toolbox/toolbar/Toolbar.h"
#include "toolbox/toolbar/ToolbarItem.h"
#include "toolbox/toolbar/ToolbarStrip.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace tw::test {

class PreferencesTest : public AppWindowTest {
protected:
    static constexpr UInt32 kKeyComma = 43, kKeyTab = 48, kKeySpace = 49, kKeyW = 13, kKeyReturn = 36, kKeyDown = 125;

    void SetUp() override
    {
        display::WindowServer::ResetForTesting();
        toolbox::MenuBar::Reset();
        CWindowPreferences::ResetForTesting();
        ClearPreferences();
        mApp = std::make_unique<QuietApplication>();
        ASSERT_EQ(mApp->InitialiseBegin(), noErr);
        ASSERT_EQ(mApp->InitialisePreferences(), noErr);
        ASSERT_EQ(mApp->InitialiseMenuBar(), noErr);
    }
    void TearDown() override
    {
        CWindowPreferences::ResetForTesting();
        mApp.reset();
        DisposeAllWindows();
        toolbox::MenuBar::Reset();
        display::WindowServer::ResetForTesting();
        ClearPreferences();
    }

    static void ClearPreferences()
    {
        RemovePreferences({ "ShowGrid", "MapUnits", "MapCoordinates", "ResizeOnZoom", "GlobalDocument",
                 "SoftwareUpdatePeriod", "SoftwareUpdateLastCheck", "DeviceLog", "DeviceReset", "DeviceResetL001A010",
            "DeviceResetL001A011", "DeviceResetL002A010", "DeviceResetL002A011" });
    }

    CPreferences& Prefs() { return mApp->GetPreferences(); }
    static void Run() { ManualClock::RunFor(0.2); }

    // Command-comma, as the user types it.
    static void OpenByKey()
    {
        InputDriver::Key(kKeyComma, ',', cmdKey);
        Run();
    }
    // The Preferences item of the application menu, chosen with the mouse while Option is held.
    static void OpenByMenuWithOption()
    {
        CGRect const title = toolbox::Theme::MenuBarTitleRects().at(0);
        CGPoint const bar { CGRectGetMidX(title), 11 };
        // About, a separator, then Preferences.
        CGPoint const item { title.origin.x + 30,
            22 + 4 + toolbox::Theme::kMenuItemHeight + toolbox::Theme::kMenuSeparatorHeight + 10 };
        InputDriver::MouseDown(bar, optionKey);
        InputDriver::MouseMove({ bar.x, 40 }, optionKey);
        InputDriver::MouseMove(item, optionKey);
        InputDriver::MouseUp(item, optionKey);
        Run();
        InputDriver::Post(InputDriver::Make(display::InputKind::ModifiersChanged));
        Run();
    }

    static CWindowPreferences* Instance() { return CWindowPreferences::GetInstance(); }
    static WindowRef Window() { return Instance()->GetWindow()->GetWindowRef(); }

    static ControlRef Find(OSType id) { return AppWindowTest::Find(Window(), id); }
    static CGPoint Centre(OSType id)
    {
        ControlRef control = Find(id);
        EXPECT_NE(control, nullptr) << "no control " << std::string(reinterpret_cast<char const*>(&id), 4);
        return control ? AppWindowTest::Centre(control) : CGPoint {};
    }
    static void Click(OSType id)
    {
        InputDriver::Click(Centre(id));
        Run();
    }
    static SInt32 Value(OSType id) { return GetControl32BitValue(Find(id)); }
    static bool Enabled(OSType id) { return IsControlEnabled(Find(id)); }
    static std::string Title(OSType id)
    {
        CFStringRef title = nullptr;
        CopyControlTitleAsCFString(Find(id), &title);
        std::string const text = cf::ToUTF8(title);
        if (title)
            CFRelease(title);
        return text;
    }

    // Opens the popup with a press, and lets go over the item once its menu shows.
    static void Choose(OSType id, MenuItemIndex item) { ChooseAt(Centre(id), item); }

    // The toolbar items' commands, in toolbar order.
    static std::vector<std::string> ToolbarCommands()
    {
        std::vector<std::string> commands;
        for (auto const& slot : Strip()->Layout()) {
            MenuCommand const command = slot.item->GetCommand();
            char text[5] = { char(command >> 24), char(command >> 16), char(command >> 8), char(command), 0 };
            commands.emplace_back(text);
        }
        return commands;
    }
    static void ClickToolbar(MenuCommand command)
    {
        HIToolbarRef ref = nullptr;
        GetWindowToolbar(Window(), &ref);
        toolbox::View* strip = toolbox::toolbar::Toolbar::From(ref)->GetStrip();
        for (auto const& slot : Strip()->Layout()) {
            if (slot.item->GetCommand() != command)
                continue;
            InputDriver::Click(Global(strip, { CGRectGetMidX(slot.frame), CGRectGetMidY(slot.frame) }));
            Run();
            return;
        }
        ADD_FAILURE() << "no toolbar item sends that command";
    }

    ManualClock mClock;
    std::unique_ptr<QuietApplication> mApp;

private:
    static toolbox::toolbar::ToolbarStrip* Strip()
    {
        HIToolbarRef ref = nullptr;
        GetWindowToolbar(Window(), &ref);
        toolbox::toolbar::Toolbar* toolbar = ref ? toolbox::toolbar::Toolbar::From(ref) : nullptr;
        return toolbar ? toolbox::toolbar::ToolbarStrip::Find(toolbar->GetStrip()) : nullptr;
    }
};

} // namespace tw::test
