#include "ToolboxTest.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/View.h"
#include "toolbox/controls/ControlDefinitions.h"

#include <string>

namespace tw::test {

namespace {

    class StandardControls : public ToolboxTest {
    protected:
        void SetUp() override
        {
            ToolboxTest::SetUp();
            mWindow = MakeWindow();
        }
        void TearDown() override
        {
            DisposeWindow(mWindow);
            ToolboxTest::TearDown();
        }

        static std::string Title(ControlRef control)
        {
            CFStringRef title = nullptr;
            CopyControlTitleAsCFString(control, &title);
            std::string const text = cf::ToUTF8(title);
            CFRelease(title);
            return text;
        }

        static std::string Text(ControlRef control)
        {
            CFStringRef text = nullptr;
            if (GetControlData(control, 0, kControlEditTextCFStringTag, sizeof text, &text, nullptr) != noErr)
                return "<none>";
            std::string const utf8 = cf::ToUTF8(text);
            CFRelease(text);
            return utf8;
        }

        WindowRef mWindow = nullptr;
        Rect mBox { 10, 10, 32, 200 };
    };

    TEST_F(StandardControls, ValueMinimumMaximumAndTitleRoundTrip)
    {
        ControlRef slider = nullptr, check = nullptr, button = nullptr;
        ASSERT_EQ(CreateSliderControl(mWindow, &mBox, 5, -10, 10, 0, 0, true, nullptr, &slider), noErr);
        EXPECT_EQ(GetControl32BitMinimum(slider), -10);
        EXPECT_EQ(GetControl32BitMaximum(slider), 10);
        EXPECT_EQ(GetControl32BitValue(slider), 5);
        SetControl32BitValue(slider, 99); // clamps to the maximum
        EXPECT_EQ(GetControl32BitValue(slider), 10);
        SetControl32BitMaximum(slider, 4);
        EXPECT_EQ(GetControl32BitValue(slider), 4);

        ASSERT_EQ(CreateCheckBoxControl(mWindow, &mBox, CFSTR("Grid"), 2, true, &check), noErr);
        EXPECT_EQ(GetControl32BitValue(check), 2);
        ASSERT_EQ(CreatePushButtonControl(mWindow, &mBox, CFSTR("Ünïcode ✓"), &button), noErr);
        EXPECT_EQ(Title(button), "Ünïcode ✓");
        SetControlTitleWithCFString(button, CFSTR("Save"));
        EXPECT_EQ(Title(button), "Save");
    }

    TEST_F(StandardControls, EditTextKeepsUnicodeTextAndSelection)
    {
        ControlRef field = nullptr;
        ASSERT_EQ(CreateEditUnicodeTextControl(mWindow, &mBox, CFSTR("Zürich 😀"), false, nullptr, &field), noErr);
        EXPECT_EQ(Text(field), "Zürich 😀");
        ControlEditTextSelectionRec selection { 1, 3 };
        ASSERT_EQ(SetControlData(field, 0, kControlEditTextSelectionTag, sizeof selection, &selection), noErr);
        ControlEditTextSelectionRec read {};
        ASSERT_EQ(GetControlData(field, 0, kControlEditTextSelectionTag, sizeof read, &read, nullptr), noErr);
        EXPECT_EQ(read.selStart, 1);
        EXPECT_EQ(read.selEnd, 3);
        // The UTF-8 bytes of the text, and a short buffer refused.
        Size size = 0;
        ASSERT_EQ(GetControlDataSize(field, 0, kControlEditTextTextTag, &size), noErr);
        EXPECT_EQ(size, static_cast<Size>(std::string("Zürich 😀").size()));
        char small[2];
        EXPECT_NE(GetControlData(field, 0, kControlEditTextTextTag, sizeof small, small, nullptr), noErr);
        // A wrongly sized record is refused and changes nothing.
        SInt16 wrong = 0;
        EXPECT_NE(SetControlData(field, 0, kControlEditTextSelectionTag, sizeof wrong, &wrong), noErr);
        GetControlData(field, 0, kControlEditTextSelectionTag, sizeof read, &read, nullptr);
        EXPECT_EQ(read.selEnd, 3);
    }

    TEST_F(StandardControls, StaticTextAnswersStringAndBytes)
    {
        ControlRef label = nullptr;
        ASSERT_EQ(CreateStaticTextControl(mWindow, &mBox, CFSTR("Île"), nullptr, &label), noErr);
        CFStringRef text = CFSTR("Ελλάδα");
        ASSERT_EQ(SetControlData(label, 0, kControlStaticTextCFStringTag, sizeof text, &text), noErr);
        char bytes[32] {};
        Size size = 0;
        ASSERT_EQ(GetControlData(label, 0, kControlStaticTextTextTag, sizeof bytes, bytes, &size), noErr);
        EXPECT_EQ(std::string(bytes, static_cast<std::size_t>(size)), "Ελλάδα");
    }

    TEST_F(StandardControls, PopupMaximumFollowsItsMenu)
    {
        MenuRef menu = nullptr;
        ASSERT_EQ(CreateNewMenu(0, 0, &menu), noErr);
        AppendMenuItemTextWithCFString(menu, CFSTR("One"), 0, 0, nullptr);
        AppendMenuItemTextWithCFString(menu, CFSTR("Two"), 0, 0, nullptr);
        ControlRef popup = nullptr;
        ASSERT_EQ(CreatePopupButtonControl(mWindow, &mBox, nullptr, 0, false, 0, 0, 0, &popup), noErr);
        EXPECT_EQ(GetControl32BitMaximum(popup), 0);
        ASSERT_EQ(SetControlPopupMenuHandle(popup, menu), noErr);
        EXPECT_EQ(GetControlPopupMenuHandle(popup), menu);
        EXPECT_EQ(GetControl32BitMaximum(popup), 2);
        // The popup holds its own reference: the menu outlives the caller's release.
        ReleaseMenu(menu);
        SetControl32BitValue(popup, 2);
        EXPECT_EQ(GetControl32BitValue(popup), 2);
        EXPECT_EQ(CountMenuItems(GetControlPopupMenuHandle(popup)), 2);
    }

    TEST_F(StandardControls, DefaultAndCancelRolesAreClearedOnlyByTheirHolder)
    {
        ControlRef ok = nullptr, cancel = nullptr;
        CreatePushButtonControl(mWindow, &mBox, CFSTR("OK"), &ok);
        CreatePushButtonControl(mWindow, &mBox, CFSTR("Cancel"), &cancel);
        Boolean on = true, off = false;
        ASSERT_EQ(SetControlData(ok, kControlButtonPart, kControlPushButtonDefaultTag, sizeof on, &on), noErr);
        ASSERT_EQ(SetControlData(cancel, kControlButtonPart, kControlPushButtonCancelTag, sizeof on, &on), noErr);
        ControlRef found = nullptr;
        GetWindowDefaultButton(mWindow, &found);
        EXPECT_EQ(found, ok);
        // Another button giving up a role it never had leaves the window's default alone.
        SetControlData(cancel, kControlButtonPart, kControlPushButtonDefaultTag, sizeof off, &off);
        GetWindowDefaultButton(mWindow, &found);
        EXPECT_EQ(found, ok);
        SetControlData(ok, kControlButtonPart, kControlPushButtonDefaultTag, sizeof off, &off);
        GetWindowDefaultButton(mWindow, &found);
        EXPECT_EQ(found, nullptr);
        GetWindowCancelButton(mWindow, &found);
        EXPECT_EQ(found, cancel);
    }

    TEST_F(StandardControls, IndicatorAndSliderDataRoundTrip)
    {
        ControlRef bar = nullptr, slider = nullptr, arrows = nullptr;
        CreateProgressBarControl(mWindow, &mBox, 0, 0, 10, false, &bar);
        Boolean flag = true;
        ASSERT_EQ(SetControlData(bar, 0, kControlProgressBarIndeterminateTag, sizeof flag, &flag), noErr);
        flag = false;
        GetControlData(bar, 0, kControlProgressBarIndeterminateTag, sizeof flag, &flag, nullptr);
        EXPECT_TRUE(flag);
        CreateSliderControl(mWindow, &mBox, 0, 0, 10, 0, 11, true, nullptr, &slider);
        UInt16 ticks = 0;
        ASSERT_EQ(GetControlData(slider, 0, kControlSliderTickCountTag, sizeof ticks, &ticks, nullptr), noErr);
        EXPECT_EQ(ticks, 11);
        CreateChasingArrowsControl(mWindow, &mBox, &arrows);
        flag = false;
        ASSERT_EQ(SetControlData(arrows, 0, kControlChasingArrowsAnimatingTag, sizeof flag, &flag), noErr);
        flag = true;
        GetControlData(arrows, 0, kControlChasingArrowsAnimatingTag, sizeof flag, &flag, nullptr);
        EXPECT_FALSE(flag);
    }

    TEST_F(StandardControls, SegmentedViewKeepsLabelsCommandsAndBehaviours)
    {
        HIRect const frame = CGRectMake(0, 0, 200, 24);
        HIViewRef view = nullptr;
        ASSERT_EQ(HISegmentedViewCreate(&frame, &view), noErr);
        ASSERT_EQ(HISegmentedViewSetSegmentCount(view, 3), noErr);
        EXPECT_EQ(HISegmentedViewGetSegmentCount(view), 3u);
        EXPECT_EQ(GetControl32BitMaximum(view), 3);
        ASSERT_EQ(HISegmentedViewSetSegmentLabel(view, 2, CFSTR("Liste")), noErr);
        HISegmentedViewSetSegmentCommand(view, 3, 'hfwd');
        HISegmentedViewSetSegmentBehavior(view, 1, kHISegmentBehaviorMomentary);
        CFStringRef label = nullptr;
        ASSERT_EQ(HISegmentedViewCopySegmentLabel(view, 2, &label), noErr);
        EXPECT_EQ(cf::ToUTF8(label), "Liste");
        CFRelease(label);
        EXPECT_EQ(HISegmentedViewGetSegmentCommand(view, 3), UInt32('hfwd'));
        EXPECT_EQ(HISegmentedViewGetSegmentBehavior(view, 1), UInt32(kHISegmentBehaviorMomentary));
        // Segments past the count are refused.
        EXPECT_NE(HISegmentedViewSetSegmentLabel(view, 4, CFSTR("x")), noErr);
        CFRelease(view);
    }

    TEST_F(StandardControls, ControlsOutsideAWindowBelongToTheirCaller)
    {
        ControlRef button = nullptr;
        ASSERT_EQ(CreatePushButtonControl(nullptr, &mBox, CFSTR("Loose"), &button), noErr);
        EXPECT_EQ(HIViewGetWindow(button), nullptr);
        CFRelease(button); // the fixture checks that nothing is left
        ControlRef none = nullptr;
        EXPECT_EQ(CreatePushButtonControl(mWindow, nullptr, CFSTR("x"), &none), paramErr);
        EXPECT_EQ(none, nullptr);
    }

} // namespace

} // namespace tw::test
