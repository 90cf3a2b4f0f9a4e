#include "ControlTest.h"
#include "DisplayTest.h"

#include <vector>

namespace tw::test {
namespace {

    using KeyboardReach = ControlTest;

    Rect ReachBox(SInt16 left, SInt16 top, SInt16 width, SInt16 height)
    {
        return { top, left, static_cast<SInt16>(top + height), static_cast<SInt16>(left + width) };
    }

    struct CommandLog {
        std::vector<UInt32> commands;
    };

    OSStatus Record(EventHandlerCallRef, EventRef event, void* data)
    {
        HICommandExtended command {};
        GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command);
        static_cast<CommandLog*>(data)->commands.push_back(command.commandID);
        return noErr;
    }

    ControlRef Focused(WindowRef window)
    {
        ControlRef focus = nullptr;
        GetKeyboardFocus(window, &focus);
        return focus;
    }

    TEST_F(KeyboardReach, AControlThatIsDisabledPassesTheFocusOnOrLetsItGo)
    {
        ControlRef first = nullptr, second = nullptr;
        Rect r = ReachBox(20, 20, 200, 22);
        CreateEditUnicodeTextControl(mWindow, &r, CFSTR(""), false, nullptr, &first);
        r = ReachBox(20, 60, 200, 22);
        CreateEditUnicodeTextControl(mWindow, &r, CFSTR(""), false, nullptr, &second);
        InputDriver::Click(Centre(first));
        Run();
        ASSERT_EQ(Focused(mWindow), first);
        DisableControl(first);
        EXPECT_EQ(Focused(mWindow), second);
        InputDriver::Type("k");
        Run();
        EXPECT_EQ(FieldText(second), "k") << "typing goes to the field that took the focus";
        EXPECT_EQ(FieldText(first), "");
        DisableControl(second); // nothing left to take it
        EXPECT_EQ(Focused(mWindow), nullptr);
        InputDriver::Type("x");
        Run();
        EXPECT_EQ(FieldText(second), "k") << "a disabled field took typing";
    }

    TEST_F(KeyboardReach, TabReachesASliderWhoseArrowKeysStepItAndSendItsCommand)
    {
        ControlRef field = nullptr, slider = nullptr;
        Rect r = ReachBox(20, 20, 200, 22);
        CreateEditUnicodeTextControl(mWindow, &r, CFSTR(""), false, nullptr, &field);
        r = ReachBox(20, 60, 200, 24);
        CreateSliderControl(mWindow, &r, 5, 0, 17, 0, 0, true, nullptr, &slider);
        SetControlCommandID(slider, 'zoom');
        CommandLog log;
        EventTypeSpec const spec { kEventClassCommand, kEventCommandProcess };
        EventHandlerRef handler = nullptr;
        InstallEventHandler(GetWindowEventTarget(mWindow), Record, 1, &spec, &log, &handler);

        InputDriver::Click(Centre(field));
        InputDriver::Key(display::kVK_Tab, display::kTabCharCode);
        Run();
        ASSERT_EQ(Focused(mWindow), slider);
        std::vector<SInt32> values;
        for (UInt32 key : { display::kVK_RightArrow, display::kVK_UpArrow, display::kVK_LeftArrow, display::kVK_End,
                 display::kVK_RightArrow, display::kVK_Home, display::kVK_DownArrow }) {
            InputDriver::Key(key, 0);
            Run();
            values.push_back(GetControl32BitValue(slider));
        }
        EXPECT_EQ(values, (std::vector<SInt32> { 6, 7, 6, 17, 17, 0, 0 }));
        // A key that moves nothing at an end sends nothing.
        EXPECT_EQ(log.commands, (std::vector<UInt32>(5, UInt32('zoom'))));
        RemoveEventHandler(handler);
    }

    TEST_F(KeyboardReach, TabReachesOnlyTheButtonsMarkedForItInAWindowWithFields)
    {
        ControlRef field = nullptr, plain = nullptr, marked = nullptr;
        Rect r = ReachBox(20, 20, 200, 22);
        CreateEditUnicodeTextControl(mWindow, &r, CFSTR(""), false, nullptr, &field);
        r = ReachBox(20, 60, 90, 24);
        CreatePushButtonControl(mWindow, &r, CFSTR("Plain"), &plain);
        SetControlCommandID(plain, 'plan');
        r = ReachBox(120, 60, 90, 24);
        CreatePushButtonControl(mWindow, &r, CFSTR("Marked"), &marked);
        SetControlCommandID(marked, 'mark');
        Boolean const on = true;
        ASSERT_EQ(SetControlProperty(marked, 'twbh', 'tfoc', sizeof on, &on), noErr);
        CommandLog log;
        EventTypeSpec const spec { kEventClassCommand, kEventCommandProcess };
        EventHandlerRef handler = nullptr;
        InstallEventHandler(GetWindowEventTarget(mWindow), Record, 1, &spec, &log, &handler);

        InputDriver::Click(Centre(field));
        InputDriver::Key(display::kVK_Tab, display::kTabCharCode);
        Run();
        EXPECT_EQ(Focused(mWindow), marked);
        InputDriver::Key(display::kVK_Space, ' ');
        Run();
        EXPECT_EQ(log.commands, (std::vector<UInt32> { 'mark' }));
        InputDriver::Key(display::kVK_Tab, display::kTabCharCode);
        Run();
        EXPECT_EQ(Focused(mWindow), field); // round again, past the plain button
        // Ctrl+Tab that nothing takes is no Tab: the focus stays.
        InputDriver::Key(display::kVK_Tab, display::kTabCharCode);
        Run();
        ASSERT_EQ(Focused(mWindow), marked);
        for (UInt32 modifiers : { UInt32(cmdKey), UInt32(cmdKey | shiftKey) }) {
            InputDriver::Key(display::kVK_Tab, display::kTabCharCode, modifiers);
            Run();
            EXPECT_EQ(Focused(mWindow), marked) << "modifiers " << modifiers;
        }
        RemoveEventHandler(handler);
    }

    // Greys the button it hears from, as a Move Up at the top of a list does.
    OSStatus DisableTheSender(EventHandlerCallRef, EventRef event, void* data)
    {
        HICommandExtended command {};
        GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command);
        static_cast<CommandLog*>(data)->commands.push_back(command.commandID);
        if (command.attributes & kHICommandFromControl)
            DisableControl(command.source.control);
        return noErr;
    }

    // A key and its text as the keyboard sends them; repeats while held.
    void PressAndType(UInt32 code, char character, int repeats = 0)
    {
        InputDriver::PressAndType(code, character, repeats);
        ManualClock::RunFor(0.1);
    }

    TEST_F(KeyboardReach, AKeyThatPressesAButtonIsNotTypedIntoTheFieldTheFocusPassesTo)
    {
        ControlRef field = nullptr, button = nullptr;
        Rect r = ReachBox(20, 20, 200, 22);
        CreateEditUnicodeTextControl(mWindow, &r, CFSTR("Route"), false, nullptr, &field);
        r = ReachBox(20, 60, 90, 24);
        CreatePushButtonControl(mWindow, &r, CFSTR("Up"), &button);
        SetControlCommandID(button, 'up  ');
        Boolean const on = true;
        ASSERT_EQ(SetControlProperty(button, 'twbh', 'tfoc', sizeof on, &on), noErr);
        CommandLog log;
        EventTypeSpec const spec { kEventClassCommand, kEventCommandProcess };
        EventHandlerRef handler = nullptr;
        InstallEventHandler(GetWindowEventTarget(mWindow), DisableTheSender, 1, &spec, &log, &handler);

        for (int repeats : { 0, 5 }) {
            SCOPED_TRACE(repeats);
            log.commands.clear();
            EnableControl(button);
            SetKeyboardFocus(mWindow, button, kControlFocusNextPart);
            ASSERT_EQ(Focused(mWindow), button);
            PressAndType(display::kVK_Space, ' ', repeats);
            EXPECT_EQ(log.commands, (std::vector<UInt32> { 'up  ' }));
            EXPECT_EQ(Focused(mWindow), field);
            EXPECT_EQ(FieldText(field), "Route") << "the Space that pressed the button was typed";
        }
        // Keys the field has from the start type as before, held ones too.
        InputDriver::Key(display::kVK_End, 0);
        PressAndType(display::kVK_Space, ' ', 2);
        PressAndType(0x07, 'x');
        EXPECT_EQ(FieldText(field), "Route   x");
        RemoveEventHandler(handler);
    }

} // namespace
} // namespace tw::test
