#include "DisplayTest.h"
#include "toolbox/MouseTracking.h"

#include <string>
#include <vector>

// What a tracking loop gets of the keyboard (modifier changes, and Escape, which
// cancels it), and tags a program shows where it wants them.
namespace tw::test {
namespace {

    // Tracks the mouse in the view until the release or a cancel, writing down each result.
    OSStatus TrackAndLog(EventHandlerCallRef, EventRef event, void* userData)
    {
        auto* log = static_cast<std::vector<std::string>*>(userData);
        HIViewRef view = nullptr;
        GetEventParameter(event, kEventParamDirectObject, typeControlRef, nullptr, sizeof view, nullptr, &view);
        MouseTrackingResult result = 0;
        while (result != kMouseTrackingMouseUp && result != kMouseTrackingUserCancelled) {
            HIPoint p {};
            UInt32 modifiers = 0;
            HIViewTrackMouseLocation(view, 0, kEventDurationForever, &p, &modifiers, &result);
            log->push_back(std::to_string(result) + " " + std::to_string(int(p.x)) + "," + std::to_string(int(p.y))
                + ((modifiers & shiftKey) ? " shift" : ""));
        }
        return noErr;
    }

    OSStatus HitEverywhere(EventHandlerCallRef, EventRef event, void*)
    {
        ControlPartCode const part = 129;
        SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
        return noErr;
    }

    OSStatus LogKey(EventHandlerCallRef, EventRef event, void* userData)
    {
        UInt32 code = 0;
        GetEventParameter(event, kEventParamKeyCode, typeUInt32, nullptr, sizeof code, nullptr, &code);
        static_cast<std::vector<std::string>*>(userData)->push_back("key " + std::to_string(code));
        return eventNotHandledErr;
    }

    class MouseTrackingInput : public DisplayTest {
    protected:
        void SetUp() override
        {
            DisplayTest::SetUp();
            mWindow = ShowNibWindow("Test");
            mPane = Find(mWindow, 'pane', 1);
            ASSERT_NE(mPane, nullptr);
            EventTypeSpec const hit { kEventClassControl, kEventControlHitTest };
            EventTypeSpec const track { kEventClassControl, kEventControlTrack };
            InstallEventHandler(GetControlEventTarget(mPane), HitEverywhere, 1, &hit, nullptr, nullptr);
            InstallEventHandler(GetControlEventTarget(mPane), TrackAndLog, 1, &track, &mLog, nullptr);
            EventTypeSpec const key { kEventClassKeyboard, kEventRawKeyDown };
            InstallEventHandler(GetApplicationEventTarget(), LogKey, 1, &key, &mLog, nullptr);
        }
        void TearDown() override
        {
            DisposeWindow(mWindow);
            DisplayTest::TearDown();
        }
        WindowRef mWindow = nullptr;
        HIViewRef mPane = nullptr;
        std::vector<std::string> mLog;
    };

    TEST_F(MouseTrackingInput, ModifierChangesReachTheLoopWhereAndAsTheyHappened)
    {
        InputDriver::MouseDown(Global(mPane, { 5, 5 }));
        InputDriver::MouseMove(Global(mPane, { 20, 10 }));
        InputDriver::Post(InputDriver::Make(display::InputKind::ModifiersChanged, {}, shiftKey));
        InputDriver::MouseMove(Global(mPane, { 30, 12 }), shiftKey);
        InputDriver::MouseUp(Global(mPane, { 30, 12 }));
        InputDriver::Post(InputDriver::Make(display::InputKind::ModifiersChanged, {}, 0)); // after the release
        Run();
        EXPECT_EQ(mLog, (std::vector<std::string> { "5 20,10", "6 20,10 shift", "5 30,12 shift", "2 30,12" }));
    }

    TEST_F(MouseTrackingInput, EscapeCancelsTheTrackingAndOtherKeysGoTheirUsualWay)
    {
        InputDriver::MouseDown(Global(mPane, { 5, 5 }));
        InputDriver::MouseMove(Global(mPane, { 20, 10 }));
        InputDriver::Key(0, 'a');
        InputDriver::Key(53, 27);
        InputDriver::MouseMove(Global(mPane, { 30, 12 })); // no longer tracked
        InputDriver::MouseUp(Global(mPane, { 30, 12 }));
        Run();
        EXPECT_EQ(mLog, (std::vector<std::string> { "5 20,10", "key 0", "7 20,10" }));
    }

    // Moving to a next or previous part finds none; a part asked for by name is kept.
    OSStatus FocusOnlyByPart(EventHandlerCallRef, EventRef event, void*)
    {
        ControlPartCode part = 0;
        GetEventParameter(event, kEventParamControlPart, typeControlPartCode, nullptr, sizeof part, nullptr, &part);
        if (part == kControlFocusNextPart || part == kControlFocusPrevPart) {
            ControlPartCode const none = kControlFocusNoPart;
            SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof none, &none);
        }
        return noErr;
    }

    TEST_F(MouseTrackingInput, AViewFocusedOnClickOnlyInAPartTakesTheFocusInThePartClicked)
    {
        EventTypeSpec const focus { kEventClassControl, kEventControlSetFocusPart };
        InstallEventHandler(GetControlEventTarget(mPane), FocusOnlyByPart, 1, &focus, nullptr, nullptr);
        HIViewChangeFeatures(mPane, kHIViewFeatureGetsFocusOnClick, 0);
        InputDriver::Click(Global(mPane, { 5, 5 }));
        Run();
        ControlRef focused = nullptr;
        GetKeyboardFocus(mWindow, &focused);
        EXPECT_EQ(focused, mPane);
        ControlPartCode part = 0;
        HIViewGetFocusPart(mPane, &part);
        EXPECT_EQ(part, 129);
    }

    TEST_F(MouseTrackingInput, ATagDisplayedByTheProgramShowsBesideItsHotRectangleUntilHidden)
    {
        HMHelpContentRec help {};
        help.version = kMacHelpVersion;
        help.absHotRect = { 300, 400, 301, 401 }; // top, left, bottom, right
        help.tagSide = kHMOutsideTopLeftAligned;
        help.content[kHMMinimumContentIndex].contentType = kHMCFStringContent;
        help.content[kHMMinimumContentIndex].u.tagCFString = CFSTR("12.5 km");
        help.content[kHMMaximumContentIndex].contentType = kHMNoContent;
        ASSERT_EQ(HMDisplayTag(&help), noErr);
        ASSERT_NE(toolbox::HelpTags::ShowingText(), nullptr) << "at once, without a delay";
        CGRect const tag = toolbox::HelpTags::ShowingFrame();
        EXPECT_EQ(tag.origin.x, 400);
        EXPECT_EQ(CGRectGetMaxY(tag), 300) << "above the hot rectangle, left edges aligned";
        PixelProbe const screen = ProbeScreen();
        EXPECT_TRUE(IsColour(screen.At(int(tag.origin.x) + 2, int(tag.origin.y) + 2), 255, 255, 217));
        InputDriver::MouseMove(Global(mPane, { 20, 10 })); // over a view without help: the tag stays
        Run();
        EXPECT_NE(toolbox::HelpTags::ShowingText(), nullptr);
        EXPECT_EQ(HMHideTag(), noErr);
        EXPECT_EQ(toolbox::HelpTags::ShowingText(), nullptr);
        help.content[kHMMinimumContentIndex].contentType = kHMNoContent;
        EXPECT_EQ(HMDisplayTag(&help), paramErr) << "no text to show";
        EXPECT_EQ(HMDisplayTag(nullptr), paramErr);
    }

} // namespace
} // namespace tw::test
