#pragma once

// The fixture of the widget tests: the manual clock, the widget classes
// registered, a document window to put views in, and nothing left behind.

#include "tests/support/ManualClock.h"
#include "toolbox/HIObject.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/WindowList.h"
#include "widgets/CHIView.h"
#include "widgets/CHIViewUtilities.h"
#include "widgets/CViewInvalidator.h"
#include "widgets/WidgetClasses.h"

#include <gtest/gtest.h>

namespace tw::test {

class WidgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(RegisterWidgetClasses(), noErr);
        mLiveAtStart = toolbox::HIObject::LiveCount();
        Rect const content { 100, 100, 400, 500 }; // 400 x 300
        ASSERT_EQ(CreateNewWindow(kDocumentWindowClass, kWindowStandardDocumentAttributes, &content, &mWindow), noErr);
        GetRootControl(mWindow, &mContent);
    }
    void TearDown() override
    {
        DisposeWindow(mWindow);
        ManualClock::RunFor(1); // pending redraws fire and go
        EXPECT_EQ(CViewInvalidator::GetLiveCount(), 0u);
        EXPECT_EQ(toolbox::HIObject::LiveCount(), mLiveAtStart) << "toolbox objects leaked";
        EXPECT_EQ(CHIObject::GetRegistrySize(), 0u) << "wrappers outlived their views";
    }

    // A view of the class in the content view, its wrapper made by the program.
    CHIView* AddView(char const* classID, CGRect frame)
    {
        auto* view = new CHIView(CString(classID), &frame);
        CHIViewUtilities::GetCHIView(mContent, true)->AddSubHIView(view);
        return view;
    }

    ManualClock mClock;
    WindowRef mWindow = nullptr;
    ControlRef mContent = nullptr;
    std::size_t mLiveAtStart = 0;
};

} // namespace tw::test
