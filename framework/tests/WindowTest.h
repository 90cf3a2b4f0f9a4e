#pragma once

// Fixture of the window and utility tests: the manual clock, a fresh headless
// screen (1280 x 800 with its menu bar), no menu bar menus and no window left.

#include "display/WindowServer.h"
#include "tests/support/ManualClock.h"
#include "toolbox/MenuBar.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/WindowList.h"

#include <gtest/gtest.h>

namespace tw::test {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        display::WindowServer::ResetForTesting();
        toolbox::MenuBar::Reset();
    }
    void TearDown() override
    {
        for (WindowRef window : std::vector<WindowRef>(toolbox::WindowList::FrontToBack()))
            DisposeWindow(window);
        toolbox::MenuBar::Reset();
        display::WindowServer::ResetForTesting();
    }

    // A window the test owns (one reference), with its content at the rectangle.
    static WindowRef MakeWindow(Rect content, WindowClass windowClass = kDocumentWindowClass, bool visible = true)
    {
        WindowRef window = nullptr;
        EXPECT_EQ(CreateNewWindow(windowClass, kWindowStandardHandlerAttribute, &content, &window), noErr);
        if (window && visible)
            ShowWindow(window);
        return window;
    }

    static Rect ContentOf(WindowRef window)
    {
        Rect content {};
        GetWindowBounds(window, kWindowContentRgn, &content);
        return content;
    }

    ManualClock mClock;
};

} // namespace tw::test
