#pragma once

// The fixture of the standard control tests that need input and the screen:
// the manual clock, a fresh headless screen, one document window shown, and no
// toolbox object left behind.

#include "tests/support/InputDriver.h"
#include "tests/support/ManualClock.h"
#include "tests/support/ScreenProbe.h"
#include "toolbox/HIObject.h"
#include "toolbox/MenuBar.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/WindowList.h"
#include "toolbox/controls/ControlDefinitions.h"

#include <gtest/gtest.h>

namespace tw::test {

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        display::WindowServer::ResetForTesting();
        toolbox::MenuBar::Reset();
        mLiveAtStart = toolbox::HIObject::LiveCount();
        Rect const content { 100, 100, 420, 560 };
        ASSERT_EQ(CreateNewWindow(kDocumentWindowClass,
                      kWindowStandardDocumentAttributes | kWindowStandardHandlerAttribute | kWindowCompositingAttribute,
                      &content, &mWindow),
            noErr);
        ShowWindow(mWindow);
    }

    void TearDown() override
    {
        if (mWindow)
            DisposeWindow(mWindow);
        toolbox::MenuBar::Reset();
        display::WindowServer::ResetForTesting();
        EXPECT_TRUE(toolbox::WindowList::FrontToBack().empty()) << "a window was left behind";
        EXPECT_EQ(toolbox::HIObject::LiveCount(), mLiveAtStart) << "toolbox objects leaked";
    }

    // The global location of a point in a view's coordinates.
    static CGPoint Global(HIViewRef view, CGPoint p)
    {
        HIViewConvertPoint(&p, view, nullptr);
        Rect structure {};
        GetWindowBounds(HIViewGetWindow(view), kWindowStructureRgn, &structure);
        return { p.x + structure.left, p.y + structure.top };
    }
    static CGPoint Centre(HIViewRef view)
    {
        HIRect b {};
        HIViewGetBounds(view, &b);
        return Global(view, { CGRectGetMidX(b), CGRectGetMidY(b) });
    }
    static void Run(EventTime seconds = 0.1) { ManualClock::RunFor(seconds); }
    static void Type(std::string const& text) { InputDriver::Post({ .kind = display::InputKind::Text, .text = text }); }

    ManualClock mClock;
    WindowRef mWindow = nullptr;
    std::size_t mLiveAtStart = 0;
};

// Counts the events of one class and kind that reach a target.
class EventCounter {
public:
    EventCounter(EventTargetRef target, EventClass eventClass, EventKind kind, OSStatus answer = eventNotHandledErr)
        : mAnswer(answer)
    {
        EventTypeSpec const spec { eventClass, kind };
        InstallEventHandler(target, Count, 1, &spec, this, &mHandler);
    }
    ~EventCounter() { RemoveEventHandler(mHandler); }
    int count = 0;

private:
    static OSStatus Count(EventHandlerCallRef, EventRef, void* data)
    {
        auto* self = static_cast<EventCounter*>(data);
        ++self->count;
        return self->mAnswer;
    }
    OSStatus mAnswer;
    EventHandlerRef mHandler = nullptr;
};

} // namespace tw::test
