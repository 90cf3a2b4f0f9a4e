#include "bindings/Source/Bindings/CBControlBinding.h"
#include "bindings/Source/Bindings/CBPreferenceBinding.h"
#include "bindings/tests/ObjectBindingTest.h"
#include "foundation/CPreferences.h"
#include "tests/support/InputDriver.h"
#include "toolbox/View.h"
#include "toolbox/controls/ControlDefinitions.h"

#include <algorithm>

namespace tw::test {
namespace {

    class CountedControlBinding : public CBControlBinding {
    public:
        CountedControlBinding(ControlRef control, int& alive)
            : CBControlBinding(control)
            , mAlive(alive)
        {
            mAlive++;
        }
        ~CountedControlBinding() override { mAlive--; }

    private:
        int& mAlive;
    };

    class ControlBinding : public ObjectBindingTest {
    protected:
        void SetUp() override
        {
            ObjectBindingTest::SetUp();
            display::WindowServer::ResetForTesting();
            CBPreferenceBinding::InstallPreferencesSupport();
            mWindow = MakeWindow({ 100, 100, 300, 400 });
            ShowWindow(mWindow);
        }
        void TearDown() override
        {
            DisposeWindow(mWindow);
            display::WindowServer::ResetForTesting();
            ObjectBindingTest::TearDown();
        }

        // The global location of the control's centre.
        CGPoint CentreOf(ControlRef control)
        {
            Rect bounds {}, content {};
            GetControlBounds(control, &bounds);
            GetWindowBounds(mWindow, kWindowContentRgn, &content);
            return { content.left + (bounds.left + bounds.right) / 2.0,
                content.top + (bounds.top + bounds.bottom) / 2.0 };
        }

        static OSStatus SendKey(ControlRef control, UInt32 keyCode)
        {
            EventRef event = nullptr;
            CreateEvent(nullptr, kEventClassKeyboard, kEventRawKeyDown, 0, 0, &event);
            SetEventParameter(event, kEventParamKeyCode, typeUInt32, sizeof keyCode, &keyCode);
            OSStatus const status = SendEventToEventTarget(event, GetControlEventTarget(control));
            ReleaseEvent(event);
            return status;
        }

        static void Type(char const* text)
        {
            display::InputEvent input;
            input.kind = display::InputKind::Text;
            input.text = text;
            InputDriver::Post(input);
            ManualClock::RunFor(0.1);
        }

        WindowRef mWindow = nullptr;
        CPreferences mPreferences { CString("org.tarnwick.controlbindings") };
    };

    TEST_F(ControlBinding, ACheckBoxBoundToABooleanPreferenceStoresAtOnce)
    {
        ControlRef box = nullptr;
        Rect const bounds { 20, 20, 40, 200 };
        ASSERT_EQ(CreateCheckBoxControl(mWindow, &bounds, CFSTR("Show grid"), 0, true, &box), noErr);
        mPreferences.SetBoolean("ShowGrid", true);
        auto* binding = new CBControlBinding(box);
        binding->Bind("value", mPreferences.GetBinding(), "ShowGrid", nullptr, nullptr);
        EXPECT_EQ(GetControl32BitValue(box), 1) << "the control takes the stored preference";

        InputDriver::Click(CentreOf(box));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(GetControl32BitValue(box), 0);
        EXPECT_FALSE(mPreferences.GetBoolean("ShowGrid", true)) << "stored at the click";

        mPreferences.SetBoolean("ShowGrid", true); // changed elsewhere
        EXPECT_EQ(GetControl32BitValue(box), 1);
    }

    TEST_F(ControlBinding, APopupBoundToAnIntegerPreferenceStoresAtOnce)
    {
        MenuRef menu = nullptr;
        CreateNewMenu(200, 0, &menu);
        for (CFStringRef item : { CFSTR("Metres"), CFSTR("Feet"), CFSTR("Yards") })
            AppendMenuItemTextWithCFString(menu, item, 0, 0, nullptr);
        ControlRef popup = nullptr;
        Rect const bounds { 50, 20, 70, 200 };
        ASSERT_EQ(CreatePopupButtonControl(mWindow, &bounds, CFSTR("Units"), 200, false, 60, 0, 0, &popup), noErr);
        SetControlPopupMenuHandle(popup, menu);
        SetControl32BitMaximum(popup, 3);
        ReleaseMenu(menu);
        mPreferences.SetInteger("MapUnits", 2);
        auto* binding = new CBControlBinding(popup);
        binding->Bind("value", mPreferences.GetBinding(), "MapUnits", nullptr, nullptr);
        EXPECT_EQ(GetControl32BitValue(popup), 2);

        SetControl32BitValue(popup, 3); // as choosing an item does
        EXPECT_EQ(mPreferences.GetInteger("MapUnits", 0), 3);
        mPreferences.SetInteger("MapUnits", 1);
        EXPECT_EQ(GetControl32BitValue(popup), 1);
    }

    TEST_F(ControlBinding, AnEditTextCommitsOnReturnEnterAndTabOnly)
    {
        ControlRef edit = nullptr;
        Rect const bounds { 20, 20, 42, 200 };
        ASSERT_EQ(CreateEditUnicodeTextControl(mWindow, &bounds, CFSTR(""), false, nullptr, &edit), noErr);
        // The kind the nib gives the program's edit texts.
        edit->Values().kindSignature = 'appl';
        edit->Values().kind = 'eutx';
        auto* binding = new CBControlBinding(edit);
        RecordingObserver observer;
        binding->ObserveKeyPathValue("value", &observer);
        SetKeyboardFocus(mWindow, edit, kControlEditTextPart);

        Type("Ada");
        EXPECT_TRUE(observer.mEvents.empty()) << "typing alone changes nothing";
        EXPECT_EQ(SendKey(edit, 49), eventNotHandledErr); // Space
        EXPECT_TRUE(observer.mEvents.empty());

        InputDriver::Key(36, '\r'); // Return, through the user focus
        ManualClock::RunFor(0.1);
        EXPECT_EQ(binding->GetKeyPathValue("value"), MakeText(CFSTR("Ada")));
        EXPECT_EQ(observer.mEvents.size(), 2u);

        Type("m");
        EXPECT_EQ(SendKey(edit, 52), noErr) << "Enter is consumed when the focus is given back";
        EXPECT_EQ(binding->GetKeyPathValue("value"), MakeText(CFSTR("Adam")));
        Type("s");
        EXPECT_EQ(SendKey(edit, 48), eventNotHandledErr) << "Tab goes on to move the focus";
        EXPECT_EQ(binding->GetKeyPathValue("value"), MakeText(CFSTR("Adams")));
        EXPECT_EQ(observer.mEvents.size(), 6u);
        binding->RemoveObservers();
    }

    TEST_F(ControlBinding, AValueChangeThatMovesTheMinimumSyncsOnlyTheValue)
    {
        ControlRef slider = nullptr;
        Rect const bounds { 20, 20, 40, 200 };
        ASSERT_EQ(CreateSliderControl(mWindow, &bounds, 10, 0, 100, 0, 0, true, nullptr, &slider), noErr);
        auto* binding = new CBControlBinding(slider);
        RecordingObserver observer;
        for (char const* key : { "value", "minimum", "maximum" })
            binding->ObserveKeyPathValue(key, &observer);
        SetControl32BitValue(slider, 10); // the same value: nobody hears anything
        SetControl32BitValue(slider, 30);
        EXPECT_EQ(observer.mEvents, (Texts { "changing value", "changed value" }));
        observer.mEvents.clear();
        SetControl32BitMinimum(slider, 50); // clamps the value up: one change of both
        EXPECT_EQ(observer.mEvents, (Texts { "changing value", "changed value" }));
        EXPECT_EQ(binding->GetKeyPathValue("value").GetUInt32(), 50u);
        binding->RemoveObservers();
    }

    // A written range that clamps the value changes the value too, and its partners hear it.
    TEST_F(ControlBinding, AMaximumWrittenBelowTheValueClampsTheBoundValue)
    {
        ControlRef slider = nullptr;
        Rect const bounds { 20, 20, 40, 200 };
        ASSERT_EQ(CreateSliderControl(mWindow, &bounds, 80, 0, 100, 0, 0, true, nullptr, &slider), noErr);
        mPreferences.SetInteger("Clamped", 80);
        auto* binding = new CBControlBinding(slider);
        binding->Bind("value", mPreferences.GetBinding(), "Clamped", nullptr, nullptr);
        RecordingObserver observer;
        for (char const* key : { "value", "minimum", "maximum" })
            binding->ObserveKeyPathValue(key, &observer);

        binding->SetKeyPathValue("maximum", MakeUInt32(50), false);
        EXPECT_EQ(GetControl32BitMaximum(slider), 50);
        EXPECT_EQ(GetControl32BitValue(slider), 50);
        EXPECT_EQ(binding->GetKeyPathValue("value").GetUInt32(), 50u);
        EXPECT_EQ(binding->GetKeyPathValue("maximum").GetUInt32(), 50u);
        EXPECT_EQ(mPreferences.GetInteger("Clamped", 0), 50) << "the partner was told";
        EXPECT_EQ(std::count(observer.mEvents.begin(), observer.mEvents.end(), "changed value"), 1);
        EXPECT_EQ(std::count(observer.mEvents.begin(), observer.mEvents.end(), "changed maximum"), 1)
            << "the written key is not echoed";

        observer.mEvents.clear();
        binding->SetKeyPathValue("maximum", MakeUInt32(90), false); // above the value: only the range
        EXPECT_EQ(observer.mEvents, (Texts { "changing maximum", "changed maximum" }));
        EXPECT_EQ(mPreferences.GetInteger("Clamped", 0), 50);
        binding->RemoveObservers();
    }

    TEST_F(ControlBinding, ADisposedControlDeletesItsBindingAndItsPartnersStopHearingIt)
    {
        int alive = 0;
        ControlRef box = nullptr;
        Rect const bounds { 20, 20, 40, 200 };
        ASSERT_EQ(CreateCheckBoxControl(mWindow, &bounds, CFSTR("Show grid"), 0, true, &box), noErr);
        auto* binding = new CountedControlBinding(box, alive);
        binding->Bind("value", mPreferences.GetBinding(), "Disposed", nullptr, nullptr);
        SetControl32BitValue(box, 1);
        EXPECT_EQ(mPreferences.GetInteger("Disposed", 0), 1);
        DisposeControl(box);
        EXPECT_EQ(alive, 0);
        mPreferences.SetBoolean("Disposed", false); // reaches no binding any more
        EXPECT_FALSE(mPreferences.GetBoolean("Disposed", true));
    }

    TEST_F(ControlBinding, FindsItsControlByIdAndMirrorsEveryKey)
    {
        ControlRef button = nullptr;
        Rect const bounds { 20, 20, 40, 120 };
        ASSERT_EQ(CreatePushButtonControl(mWindow, &bounds, CFSTR("Go"), &button), noErr);
        ControlID const id { 'gobt', 0 };
        SetControlID(button, &id);
        CBControlBinding binding(mWindow, 'gobt');
        ASSERT_EQ(binding.GetControl(), button);
        EXPECT_EQ(binding.GetKeyPathValue("title"), MakeText(CFSTR("Go")));
        binding.SetKeyPathValue("enabled", MakeBoolean(false), false);
        EXPECT_FALSE(IsControlEnabled(button));
        binding.SetKeyPathValue("visible", MakeBoolean(false), false);
        EXPECT_FALSE(IsControlVisible(button));
        binding.SetKeyPathValue("title", MakeText(CFSTR("Stop")), false);
        CFStringRef title = nullptr;
        CopyControlTitleAsCFString(button, &title);
        EXPECT_EQ(tw::cf::ToUTF8(title), "Stop");
        CFRelease(title);
        EnableControl(button);
        EXPECT_EQ(binding.GetKeyPathValue("enabled"), MakeBoolean(true));

        testing::internal::CaptureStderr();
        CBControlBinding missing(mWindow, 'none');
        EXPECT_EQ(missing.GetControl(), nullptr);
        EXPECT_EQ(ReportedConditions(testing::internal::GetCapturedStderr()).size(), 1u);
    }

} // namespace
} // namespace tw::test
