#pragma once

// The fixture of the window server tests: the manual clock, a fresh headless
// screen, the bundle's nib, and no toolbox object left behind.

#include "tests/support/InputDriver.h"
#include "tests/support/ManualClock.h"
#include "tests/support/ScreenProbe.h"
#include "toolbox/HIObject.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/HelpTags.h"
#include "toolbox/MenuBar.h"
#include "toolbox/NibCalls.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/WindowList.h"
#include "toolbox/controls/ControlDefinitions.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tw::test {

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        display::WindowServer::ResetForTesting();
        toolbox::MenuBar::Reset();
        mLiveAtStart = toolbox::HIObject::LiveCount();
        ASSERT_EQ(CreateNibReference(CFSTR("Tarnwick"), &mNib), noErr);
    }

    void TearDown() override
    {
        DisposeNibReference(mNib);
        toolbox::MenuBar::Reset();
        display::WindowServer::ResetForTesting();
        EXPECT_TRUE(toolbox::WindowList::FrontToBack().empty()) << "a window was left behind";
        EXPECT_EQ(toolbox::HIObject::LiveCount(), mLiveAtStart) << "toolbox objects leaked";
    }

    WindowRef ShowNibWindow(char const* name)
    {
        WindowRef window = nullptr;
        CFStringRef text = cf::CreateString(name);
        EXPECT_EQ(CreateWindowFromNib(mNib, text, &window), noErr);
        CFRelease(text);
        if (window)
            ShowWindow(window);
        return window;
    }

    static HIViewRef Find(WindowRef window, OSType signature, SInt32 id = 0)
    {
        HIViewRef view = nullptr;
        HIViewID const viewID { signature, id };
        HIViewFindByID(HIViewGetRoot(window), viewID, &view);
        return view;
    }

    // The global location of a point in a view's coordinates.
    static CGPoint Global(HIViewRef view, CGPoint p)
    {
        HIViewConvertPoint(&p, view, nullptr);
        Rect structure {};
        GetWindowBounds(HIViewGetWindow(view), kWindowStructureRgn, &structure);
        return { p.x + structure.left, p.y + structure.top };
    }

    static void Run(EventTime seconds = 0.1) { ManualClock::RunFor(seconds); }

    ManualClock mClock;
    IBNibRef mNib = nullptr;
    std::size_t mLiveAtStart = 0;
};

// The text of an edit field, as UTF-8.
inline std::string FieldText(HIViewRef field)
{
    CFStringRef text = nullptr;
    GetControlData(field, 0, kControlEditTextCFStringTag, sizeof text, &text, nullptr);
    std::string const utf8 = text ? cf::ToUTF8(text) : std::string();
    if (text)
        CFRelease(text);
    return utf8;
}

inline std::string Code(UInt32 code)
{
    std::string text(4, ' ');
    for (int i = 0; i < 4; ++i)
        text[i] = static_cast<char>((code >> (24 - 8 * i)) & 0xFF);
    return text;
}

} // namespace tw::test
