#pragma once

// What the fixtures of the application's window and sheet tests share: the program's
// application object without its splash screen, and helpers that clean the preference
// domain and the screen and that find, press and photograph controls as a user does,
// through the input funnel.

#include "app/CTWApplication.h"
#include "display/WindowServer.h"
#include "foundation/CPreferences.h"
#include "tests/support/InputDriver.h"
#include "tests/support/ManualClock.h"
#include "tests/support/TestSupport.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuBar.h"
#include "toolbox/Theme.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/WindowList.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <vector>

namespace tw::test {

class QuietApplication : public CTWApplication {
public:
    // No receivers are looked for: the tests' own units stand in for them.
    QuietApplication()
        : CTWApplication(CDeviceManager::Setup {})
    {
    }
    CString GetPropertyString(unsigned long id) const override
    {
        return id == 'spla' ? CString() : CTWApplication::GetPropertyString(id);
    }
};

class AppWindowTest : public ::testing::Test {
protected:
    static void RemovePreferences(std::initializer_list<char const*> keys)
    {
        CPreferences prefs;
        for (char const* key : keys)
            prefs.RemovePref(key);
        prefs.Flush();
    }
    static void DisposeAllWindows()
    {
        for (WindowRef window : std::vector<WindowRef>(toolbox::WindowList::FrontToBack()))
            DisposeWindow(window);
    }

    static ControlRef Find(WindowRef window, OSType id)
    {
        ControlID const controlID { id, 0 };
        ControlRef control = nullptr;
        GetControlByID(window, &controlID, &control);
        return control;
    }
    static CGPoint Global(ControlRef control, CGPoint local)
    {
        CGPoint const inWindow = control->ToWindow(local);
        CGRect const structure = control->GetWindow()->GetStructure();
        return { structure.origin.x + inWindow.x, structure.origin.y + inWindow.y };
    }
    // Where the middle of the control is on the screen.
    static CGPoint Centre(ControlRef control)
    {
        CGRect const bounds = control->GetBounds();
        return Global(control, { CGRectGetMidX(bounds), CGRectGetMidY(bounds) });
    }

    // Opens the popup at the point with a press, and lets go over the item once its menu shows.
    static void ChooseAt(CGPoint popup, MenuItemIndex item)
    {
        static MenuItemIndex sItem = 0;
        sItem = item;
        InputDriver::MouseDown(popup);
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 0.05, 0,
            [](EventLoopTimerRef t, void*) {
                RemoveEventLoopTimer(t);
                std::vector<toolbox::OpenMenu> const& open = toolbox::MenuBar::Open();
                ASSERT_FALSE(open.empty()) << "the popup's menu did not open";
                toolbox::OpenMenu const& menu = open.back();
                CGFloat y = menu.frame.origin.y + 4 - menu.scroll;
                for (MenuItemIndex i = 1; i < sItem; ++i)
                    y += menu.menu->Item(i)->IsSeparator() ? toolbox::Theme::kMenuSeparatorHeight
                                                           : toolbox::Theme::kMenuItemHeight;
                CGPoint const at { CGRectGetMidX(menu.frame), y + toolbox::Theme::kMenuItemHeight / 2 };
                InputDriver::MouseMove(at);
                InputDriver::MouseUp(at);
            },
            nullptr, &timer);
        ManualClock::RunFor(0.5);
    }

    // The screen as a PNG, in $TW_SCREENSHOT_DIR when set, else the test home.
    static std::string Shot(char const* name)
    {
        char const* dir = std::getenv("TW_SCREENSHOT_DIR");
        std::filesystem::path const folder = dir ? std::filesystem::path(dir) : TestHome();
        std::string const path = (folder / name).string();
        EXPECT_EQ(display::WindowServer::Get().WritePNG(path), noErr);
        return path;
    }
};

} // namespace tw::test
