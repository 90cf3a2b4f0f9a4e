#pragma once

// Fixture of the tests of the bindings that mirror windows, menus and controls:
// the manual clock, an empty menu bar and no window left behind.

#include "bindings/tests/TestObservers.h"
#include "tests/support/ManualClock.h"
#include "toolbox/MenuBar.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/WindowList.h"

#include <gtest/gtest.h>

namespace tw::test {

class ObjectBindingTest : public ::testing::Test {
protected:
    void SetUp() override { toolbox::MenuBar::Reset(); }
    void TearDown() override
    {
        toolbox::MenuBar::Reset();
        EXPECT_TRUE(toolbox::WindowList::FrontToBack().empty()) << "a window was left behind";
    }

    static WindowRef MakeWindow(Rect content = { 100, 100, 300, 400 }, WindowClass windowClass = kDocumentWindowClass)
    {
        WindowRef window = nullptr;
        EXPECT_EQ(CreateNewWindow(windowClass, kWindowStandardDocumentAttributes | kWindowStandardHandlerAttribute,
                      &content, &window),
            noErr);
        return window;
    }

    // A menu bar whose second menu holds the command at item 2.
    static MenuRef MakeMenuBar(MenuCommand command)
    {
        MenuRef root = nullptr, file = nullptr, window = nullptr;
        CreateNewMenu(0, 0, &root);
        CreateNewMenu(128, 0, &file);
        CreateNewMenu(129, 0, &window);
        AppendMenuItemTextWithCFString(file, CFSTR("Open"), 0, 'open', nullptr);
        AppendMenuItemTextWithCFString(window, CFSTR("Minimise"), 0, 'mini', nullptr);
        AppendMenuItemTextWithCFString(window, CFSTR("Show Palette"), 0, command, nullptr);
        AppendMenuItemTextWithCFString(root, CFSTR("File"), 0, 0, nullptr);
        AppendMenuItemTextWithCFString(root, CFSTR("Window"), 0, 0, nullptr);
        SetMenuItemHierarchicalMenu(root, 1, file);
        SetMenuItemHierarchicalMenu(root, 2, window);
        SetRootMenu(root);
        ReleaseMenu(file);
        ReleaseMenu(window);
        ReleaseMenu(root);
        return window;
    }

    ManualClock mClock;
};

inline CBValue MakeRect(double x, double y, double w, double h)
{
    CBValue value;
    value.SetRect(CGRectMake(x, y, w, h));
    return value;
}

inline CBValue MakeText(CFStringRef text)
{
    CBValue value;
    value.SetString(text, false);
    return value;
}

} // namespace tw::test
