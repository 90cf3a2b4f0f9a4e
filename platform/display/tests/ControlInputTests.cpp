#include "ControlTest.h"
#include "services/Scrap.h"
#include "toolbox/MenuCalls.h"

#include <string>
#include <vector>

namespace tw::test {

namespace {

    using StandardControlInput = ControlTest;

    Rect Box(SInt16 left, SInt16 top, SInt16 width, SInt16 height)
    {
        return { top, left, static_cast<SInt16>(top + height), static_cast<SInt16>(left + width) };
    }

    std::string TextOf(ControlRef field)
    {
        CFStringRef text = nullptr;
        GetControlData(field, 0, kControlEditTextCFStringTag, sizeof text, &text, nullptr);
        std::string const utf8 = cf::ToUTF8(text);
        if (text)
            CFRelease(text);
        return utf8;
    }

    std::vector<std::string> gTrace;

    void TraceAction(ControlRef, ControlPartCode) { gTrace.push_back("change"); }

    // Stands where a program's handler stands: first on the slider's track event.
    OSStatus TraceTrack(EventHandlerCallRef callRef, EventRef event, void*)
    {
        gTrace.push_back("start");
        OSStatus const status = CallNextEventHandler(callRef, event);
        gTrace.push_back("complete");
        return status;
    }

    TEST_F(StandardControlInput, CheckBoxClickTogglesAndReportsTheChangeOnce)
    {
        ControlRef box = nullptr;
        Rect const r = Box(20, 20, 120, 20);
        ASSERT_EQ(CreateCheckBoxControl(mWindow, &r, CFSTR("Grid"), 0, true, &box), noErr);
        EventCounter changed(GetControlEventTarget(box), kEventClassControl, kEventControlValueFieldChanged);
        EventCounter hits(GetControlEventTarget(box), kEventClassControl, kEventControlHit);
        InputDriver::Click(Centre(box));
        Run();
        EXPECT_EQ(GetControl32BitValue(box), 1);
        EXPECT_EQ(changed.count, 1);
        EXPECT_EQ(hits.count, 1);
        InputDriver::Click(Centre(box));
        Run();
        EXPECT_EQ(GetControl32BitValue(box), 0);
        EXPECT_EQ(changed.count, 2);
    }

    TEST_F(StandardControlInput, MixedCheckBoxTurnsOnAndReleaseOutsideChangesNothing)
    {
        ControlRef box = nullptr;
        Rect const r = Box(20, 20, 120, 20);
        CreateCheckBoxControl(mWindow, &r, CFSTR("Mixed"), 2, true, &box);
        CGPoint const inside = Centre(box);
        InputDriver::MouseDown(inside);
        InputDriver::MouseMove({ inside.x, inside.y + 60 });
        InputDriver::MouseUp({ inside.x, inside.y + 60 });
        Run();
        EXPECT_EQ(GetControl32BitValue(box), 2);
        InputDriver::Click(inside);
        Run();
        EXPECT_EQ(GetControl32BitValue(box), 1);
    }

    TEST_F(StandardControlInput, DisabledControlIgnoresClicks)
    {
        ControlRef box = nullptr, button = nullptr;
        Rect r = Box(20, 20, 120, 20);
        CreateCheckBoxControl(mWindow, &r, CFSTR("Off"), 0, true, &box);
        r = Box(20, 60, 120, 28);
        CreatePushButtonControl(mWindow, &r, CFSTR("Go"), &button);
        SetControlCommandID(button, 'go  ');
        DisableControl(box);
        DisableControl(button);
        EventCounter commands(GetWindowEventTarget(mWindow), kEventClassCommand, kEventCommandProcess);
        InputDriver::Click(Centre(box));
        InputDriver::Click(Centre(button));
        Run();
        EXPECT_EQ(GetControl32BitValue(box), 0);
        EXPECT_EQ(commands.count, 0);
        EnableControl(button);
        InputDriver::Click(Centre(button));
        Run();
        EXPECT_EQ(commands.count, 1);
    }

    TEST_F(StandardControlInput, RadioGroupHoldsOneButtonOn)
    {
        ControlRef group = nullptr;
        Rect const r = Box(20, 20, 300, 24);
        CreateRadioGroupControl(mWindow, &r, &group);
        std::vector<ControlRef> buttons;
        for (SInt16 i = 0; i < 3; ++i) {
            Rect const rr = Box(static_cast<SInt16>(i * 100), 0, 90, 24);
            ControlRef radio = nullptr;
            CreateRadioButtonControl(nullptr, &rr, CFSTR("Choice"), 0, true, &radio);
            HIViewAddSubview(group, radio);
            CFRelease(radio);
            buttons.push_back(radio);
        }
        InputDriver::Click(Centre(buttons[2]));
        Run();
        EXPECT_EQ(GetControl32BitValue(group), 3);
        InputDriver::Click(Centre(buttons[0]));
        Run();
        EXPECT_EQ(GetControl32BitValue(group), 1);
        EXPECT_EQ(GetControl32BitValue(buttons[0]), 1);
        EXPECT_EQ(GetControl32BitValue(buttons[2]), 0);
        SetControl32BitValue(group, 2);
        EXPECT_EQ(GetControl32BitValue(buttons[1]), 1);
        EXPECT_EQ(GetControl32BitValue(buttons[0]), 0);
    }

    // The commands that reach the window, with where they came from.
    OSStatus HearCommand(EventHandlerCallRef, EventRef event, void* data)
    {
        HICommandExtended command {};
        GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command);
        static_cast<std::vector<HICommandExtended>*>(data)->push_back(command);
        return eventNotHandledErr;
    }

    TEST_F(StandardControlInput, PopupMenuSelectionSetsTheValueAndSendsTheItemsCommand)
    {
        MenuRef menu = nullptr;
        CreateNewMenu(0, 0, &menu);
        for (CFStringRef text : { CFSTR("Metres"), CFSTR("Feet"), CFSTR("Yards") })
            AppendMenuItemTextWithCFString(menu, text, 0, 0, nullptr);
        SetMenuItemCommandID(menu, 3, 'yard');
        ControlRef popup = nullptr;
        Rect const r = Box(20, 20, 160, 26);
        CreatePopupButtonControl(mWindow, &r, nullptr, 0, false, 0, 0, 0, &popup);
        SetControlPopupMenuHandle(popup, menu);
        ReleaseMenu(menu);
        SetControl32BitValue(popup, 1);
        EventCounter hits(GetControlEventTarget(popup), kEventClassControl, kEventControlHit);
        std::vector<HICommandExtended> heard;
        EventTypeSpec const process { kEventClassCommand, kEventCommandProcess };
        EventHandlerRef handler = nullptr;
        InstallEventHandler(GetWindowEventTarget(mWindow), HearCommand, 1, &process, &heard, &handler);
        // Press on the popup, drag some items down, release there.
        auto choose = [&](CGFloat down) {
            CGPoint const at = Centre(popup);
            InputDriver::MouseDown(at);
            InputDriver::MouseMove({ at.x + 10, at.y + 20 });
            InputDriver::MouseMove({ at.x + 10, at.y + down });
            InputDriver::MouseUp({ at.x + 10, at.y + down });
            Run(0.5);
        };
        choose(41);
        EXPECT_EQ(GetControl32BitValue(popup), 3);
        EXPECT_EQ(hits.count, 1);
        ASSERT_EQ(heard.size(), 1u) << "the item's command went up to the window";
        EXPECT_EQ(heard[0].commandID, UInt32('yard'));
        EXPECT_TRUE(heard[0].attributes & kHICommandFromMenu);
        EXPECT_EQ(heard[0].source.menu.menuRef, GetControlPopupMenuHandle(popup));
        EXPECT_EQ(heard[0].source.menu.menuItemIndex, 3);
        // An item without a command sends none.
        choose(-20);
        EXPECT_EQ(GetControl32BitValue(popup), 2);
        EXPECT_EQ(hits.count, 2);
        EXPECT_EQ(heard.size(), 1u);
        RemoveEventHandler(handler);
    }

    TEST_F(StandardControlInput, SliderTrackingReportsStartChangesAndCompletion)
    {
        gTrace.clear();
        ControlRef slider = nullptr;
        Rect const r = Box(20, 20, 216, 26);
        CreateSliderControl(mWindow, &r, 0, 0, 100, 0, 0, true, TraceAction, &slider);
        EventTypeSpec const track { kEventClassControl, kEventControlTrack };
        InstallEventHandler(GetControlEventTarget(slider), TraceTrack, 1, &track, nullptr, nullptr);
        CGPoint const thumb = Global(slider, { 8, 13 });
        InputDriver::Drag(thumb, { thumb.x + 300, thumb.y }, 5);
        Run(0.5);
        EXPECT_EQ(GetControl32BitValue(slider), 100);
        ASSERT_GE(gTrace.size(), 4u);
        EXPECT_EQ(gTrace.front(), "start");
        EXPECT_EQ(gTrace.back(), "complete");
        for (std::size_t i = 1; i + 1 < gTrace.size(); ++i)
            EXPECT_EQ(gTrace[i], "change");
        // Back to the middle: the value follows the thumb's centre.
        gTrace.clear();
        InputDriver::Drag({ thumb.x + 200, thumb.y }, { thumb.x + 100, thumb.y }, 2);
        Run(0.5);
        EXPECT_EQ(GetControl32BitValue(slider), 50);
    }

    // Five ticks over 0..100 stand at 0, 25, 50, 75 and 100; the thumb's centre runs over 200 px.
    TEST_F(StandardControlInput, ASliderWithTicksSnapsToTheNearestTick)
    {
        ControlRef slider = nullptr;
        Rect const r = Box(20, 20, 216, 26);
        CreateSliderControl(mWindow, &r, 0, 0, 100, 0, 5, true, nullptr, &slider);
        auto const dragThumbTo = [&](double x) {
            double const thumb = 8 + 2.0 * GetControl32BitValue(slider);
            InputDriver::Drag(Global(slider, { thumb, 13 }), Global(slider, { x, 13 }), 3);
            Run(0.5);
            return GetControl32BitValue(slider);
        };
        // 74 px is 0.37 of the way: below the midpoint 0.375 between the second and third ticks.
        EXPECT_EQ(dragThumbTo(8 + 74), 25);
        EXPECT_EQ(dragThumbTo(8 + 76), 50);
        EXPECT_EQ(dragThumbTo(8 + 176), 100) << "0.88: nearer the last tick";
        EXPECT_EQ(dragThumbTo(8 + 174), 75) << "0.87: nearer the one before";
        EXPECT_EQ(dragThumbTo(8 + 24), 0);
        EXPECT_EQ(dragThumbTo(8 + 26), 25);
    }

    TEST_F(StandardControlInput, TypingEditsTheFocusedFieldAndReturnCommitsIt)
    {
        ControlRef field = nullptr, ok = nullptr;
        Rect r = Box(20, 20, 200, 22);
        CreateEditUnicodeTextControl(mWindow, &r, CFSTR(""), false, nullptr, &field);
        Boolean single = true;
        SetControlData(field, 0, kControlEditTextSingleLineTag, sizeof single, &single);
        r = Box(240, 20, 80, 28);
        CreatePushButtonControl(mWindow, &r, CFSTR("OK"), &ok);
        SetControlCommandID(ok, kHICommandOK);
        SetWindowDefaultButton(mWindow, ok);
        EventCounter accepted(GetControlEventTarget(field), kEventClassTextField, kEventTextAccepted);
        EventCounter commands(GetWindowEventTarget(mWindow), kEventClassCommand, kEventCommandProcess, noErr);
        InputDriver::Click(Centre(field));
        Type("Zürich");
        InputDriver::Key(display::kVK_ANSI_A, 'x'); // a key, then its text, as the presenter sends them
        Type("x");
        InputDriver::Key(display::kVK_Delete, display::kBackspaceCharCode);
        Type(" 東京");
        Run();
        EXPECT_EQ(TextOf(field), "Zürich 東京");
        InputDriver::Key(display::kVK_LeftArrow, 0, shiftKey);
        InputDriver::Key(display::kVK_LeftArrow, 0, shiftKey);
        Type("🙂");
        Run();
        EXPECT_EQ(TextOf(field), "Zürich 🙂");
        InputDriver::Key(display::kVK_Return, display::kReturnCharCode);
        Run();
        EXPECT_EQ(accepted.count, 1);
        EXPECT_EQ(commands.count, 1);
        EXPECT_EQ(TextOf(field), "Zürich 🙂");
    }

    TEST_F(StandardControlInput, ReturnAndEscapeReachDefaultAndCancelButtons)
    {
        ControlRef ok = nullptr, cancel = nullptr;
        Rect r = Box(20, 20, 80, 28);
        CreatePushButtonControl(mWindow, &r, CFSTR("OK"), &ok);
        r = Box(120, 20, 80, 28);
        CreatePushButtonControl(mWindow, &r, CFSTR("Cancel"), &cancel);
        SetControlCommandID(ok, kHICommandOK);
        SetControlCommandID(cancel, kHICommandCancel);
        Boolean on = true;
        SetControlData(ok, kControlButtonPart, kControlPushButtonDefaultTag, sizeof on, &on);
        SetControlData(cancel, kControlButtonPart, kControlPushButtonCancelTag, sizeof on, &on);
        UInt32 last = 0;
        EventTypeSpec const spec { kEventClassCommand, kEventCommandProcess };
        auto const record = [](EventHandlerCallRef, EventRef event, void* data) -> OSStatus {
            HICommandExtended command {};
            GetEventParameter(
                event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command);
            *static_cast<UInt32*>(data) = command.commandID;
            return noErr;
        };
        InstallEventHandler(GetWindowEventTarget(mWindow), record, 1, &spec, &last, nullptr);
        InputDriver::Key(display::kVK_Escape, display::kEscapeCharCode);
        Run();
        EXPECT_EQ(last, UInt32(kHICommandCancel));
        InputDriver::Key(display::kVK_ANSI_KeypadEnter, display::kEnterCharCode);
        Run();
        EXPECT_EQ(last, UInt32(kHICommandOK));
    }

    TEST_F(StandardControlInput, MultiLineFieldTakesReturnAndTabMovesOn)
    {
        ControlRef notes = nullptr, name = nullptr, ok = nullptr;
        Rect r = Box(20, 20, 200, 60);
        CreateEditUnicodeTextControl(mWindow, &r, CFSTR("a"), false, nullptr, &notes);
        r = Box(20, 100, 200, 22);
        CreateEditUnicodeTextControl(mWindow, &r, CFSTR(""), false, nullptr, &name);
        r = Box(240, 20, 80, 28);
        CreatePushButtonControl(mWindow, &r, CFSTR("OK"), &ok);
        SetControlCommandID(ok, 'done');
        SetWindowDefaultButton(mWindow, ok);
        EventCounter commands(GetWindowEventTarget(mWindow), kEventClassCommand, kEventCommandProcess, noErr);
        InputDriver::Click(Global(notes, { 150, 10 }));
        InputDriver::Key(display::kVK_Return, display::kReturnCharCode);
        Type("b");
        InputDriver::Key(display::kVK_Tab, display::kTabCharCode);
        Type("second");
        Run();
        EXPECT_EQ(TextOf(notes), "a\nb");
        EXPECT_EQ(commands.count, 0);
        EXPECT_EQ(TextOf(name), "second");
    }

    TEST_F(StandardControlInput, TabMovesTheFocusOnAndShiftTabBackAroundTheFields)
    {
        ControlRef fields[3] = {};
        for (int i = 0; i < 3; ++i) {
            Rect const r = Box(20, static_cast<SInt16>(20 + 40 * i), 200, 22);
            CreateEditUnicodeTextControl(mWindow, &r, CFSTR(""), false, nullptr, &fields[i]);
        }
        auto const focused = [&] {
            ControlRef focus = nullptr;
            GetKeyboardFocus(mWindow, &focus);
            return focus;
        };
        InputDriver::Click(Centre(fields[1]));
        Run();
        ASSERT_EQ(focused(), fields[1]);
        InputDriver::Key(display::kVK_Tab, display::kTabCharCode);
        Run();
        EXPECT_EQ(focused(), fields[2]);
        InputDriver::Key(display::kVK_Tab, display::kTabCharCode, shiftKey);
        Run();
        EXPECT_EQ(focused(), fields[1]);
        InputDriver::Key(display::kVK_Tab, display::kTabCharCode, shiftKey);
        Run();
        EXPECT_EQ(focused(), fields[0]);
        InputDriver::Key(display::kVK_Tab, display::kTabCharCode, shiftKey);
        Run();
        EXPECT_EQ(focused(), fields[2]) << "backwards from the first goes round to the last";
        Type("z");
        Run();
        EXPECT_EQ(TextOf(fields[2]), "z");
    }

    TEST_F(StandardControlInput, CutCopyAndPasteGoThroughTheScrap)
    {
        services::ResetScrapForTesting();
        ControlRef from = nullptr, to = nullptr;
        Rect r = Box(20, 20, 200, 22);
        CreateEditUnicodeTextControl(mWindow, &r, CFSTR("Łódź"), false, nullptr, &from);
        r = Box(20, 60, 200, 22);
        CreateEditUnicodeTextControl(mWindow, &r, CFSTR("to "), false, nullptr, &to);
        InputDriver::Click(Centre(from));
        InputDriver::Key(display::kVK_ANSI_A, 'a', cmdKey);
        InputDriver::Key(0x07, 'x', cmdKey);
        InputDriver::Click(Global(to, { 190, 11 }));
        InputDriver::Key(0x09, 'v', cmdKey);
        Run();
        EXPECT_EQ(TextOf(from), "");
        EXPECT_EQ(TextOf(to), "to Łódź");
        ScrapRef scrap = nullptr;
        GetCurrentScrap(&scrap);
        char bytes[32] {};
        Size size = sizeof bytes;
        ASSERT_EQ(GetScrapFlavorData(scrap, kScrapFlavorTypeText, &size, bytes), noErr);
        EXPECT_EQ(std::string(bytes, static_cast<std::size_t>(size)), "Łódź");
        services::ResetScrapForTesting();
    }

    int gFilterCalls = 0;

    ControlKeyFilterResult DigitsOnly(ControlRef, SInt16*, SInt16* charCode, UInt32*)
    {
        ++gFilterCalls;
        return *charCode >= '0' && *charCode <= '9' ? kControlKeyFilterPassKey : kControlKeyFilterBlockKey;
    }

    int gValidations = 0;
    void CountValidation(ControlRef) { ++gValidations; }

    TEST_F(StandardControlInput, KeyFilterBlocksKeysAndValidationFollowsEachChange)
    {
        gValidations = 0;
        gFilterCalls = 0;
        ControlRef field = nullptr;
        Rect const r = Box(20, 20, 200, 22);
        CreateEditUnicodeTextControl(mWindow, &r, CFSTR(""), false, nullptr, &field);
        ControlKeyFilterUPP filter = DigitsOnly;
        ControlEditTextValidationUPP validation = CountValidation;
        SetControlData(field, 0, kControlEditTextKeyFilterTag, sizeof filter, &filter);
        SetControlData(field, 0, kControlEditTextValidationProcTag, sizeof validation, &validation);
        InputDriver::Click(Centre(field));
        Type("4a2");
        InputDriver::Key(0x01, 's');
        Type("s");
        InputDriver::Key(0x13, '2');
        Type("2");
        Run();
        EXPECT_EQ(TextOf(field), "422");
        EXPECT_EQ(gValidations, 2);
        EXPECT_EQ(gFilterCalls, 5); // a key and the text it types are filtered once
    }

} // namespace

} // namespace tw::test
