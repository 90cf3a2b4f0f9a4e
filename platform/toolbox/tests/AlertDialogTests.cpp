#include "corefoundation/CFString.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/dialogs/AlertDialog.h"
#include "toolbox/dialogs/DialogKit.h"
#include "toolbox/dialogs/Responders.h"
#include "toolbox/dialogs/StandardAlert.h"
#include "toolbox/tests/ToolboxTest.h"

#include <algorithm>
#include <array>

namespace tw::test {
namespace {

    using toolbox::dialogs::DialogKind;
    using toolbox::dialogs::Responders;

    class Alerts : public ToolboxTest {
    protected:
        void SetUp() override
        {
            ToolboxTest::SetUp();
            Responders::Reset();
        }
    };

    TEST_F(Alerts, DefaultParametersGiveOneOkButtonAndBadArgumentsAreRefused)
    {
        AlertStdCFStringAlertParamRec param;
        EXPECT_EQ(GetStandardAlertDefaultParams(&param, 2), paramErr);
        ASSERT_EQ(GetStandardAlertDefaultParams(&param, kStdCFStringAlertVersionOne), noErr);
        EXPECT_EQ(param.defaultText, kAlertDefaultOKText);
        EXPECT_EQ(param.cancelText, nullptr);
        EXPECT_EQ(param.defaultButton, kAlertStdAlertOKButton);

        DialogRef alert = nullptr;
        EXPECT_EQ(CreateStandardAlert(9, CFSTR("x"), nullptr, &param, &alert), paramErr);
        EXPECT_EQ(CreateStandardAlert(kAlertNoteAlert, nullptr, nullptr, &param, &alert), paramErr);
        EXPECT_EQ(RunStandardAlert(nullptr, nullptr, nullptr), paramErr);
    }

    TEST_F(Alerts, ADefaultButtonSetToCancelTakesReturn)
    {
        AlertStdCFStringAlertParamRec param;
        GetStandardAlertDefaultParams(&param, kStdCFStringAlertVersionOne);
        param.cancelText = kAlertDefaultCancelText;
        param.defaultButton = kAlertStdAlertCancelButton;
        DialogRef alert = nullptr;
        ASSERT_EQ(
            CreateStandardAlert(kAlertCautionAlert, CFSTR("Erase the track log?"), nullptr, &param, &alert), noErr);
        WindowRef const window = GetDialogWindow(alert);
        ControlRef button = nullptr;
        ASSERT_EQ(GetWindowDefaultButton(window, &button), noErr);
        UInt32 command = 0;
        GetControlCommandID(button, &command);
        EXPECT_EQ(command, UInt32(kHICommandCancel));
        Responders::PressAlertButton(kAlertStdAlertOKButton);
        DialogItemIndex hit = 0;
        EXPECT_EQ(RunStandardAlert(alert, nullptr, &hit), noErr);
        EXPECT_EQ(hit, kAlertStdAlertOKButton);
    }

    TEST_F(Alerts, AStandardSheetDisposesItselfAfterReportingItsButton)
    {
        WindowRef parent = MakeWindow();
        static std::vector<UInt32> sCommands;
        sCommands.clear();
        EventTypeSpec const spec { kEventClassCommand, kEventCommandProcess };
        InstallEventHandler(
            GetWindowEventTarget(parent),
            [](EventHandlerCallRef, EventRef event, void*) -> OSStatus {
                HICommand command {};
                GetEventParameter(
                    event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command);
                sCommands.push_back(command.commandID);
                return noErr;
            },
            1, &spec, nullptr, nullptr);
        AlertStdCFStringAlertParamRec param;
        GetStandardAlertDefaultParams(&param, kStdCFStringAlertVersionOne);
        param.otherText = CFSTR("Later");
        DialogRef sheet = nullptr;
        ASSERT_EQ(CreateStandardSheet(kAlertNoteAlert, CFSTR("A newer version is available."), nullptr, &param,
                      GetWindowEventTarget(parent), &sheet),
            noErr);
        ASSERT_EQ(ShowSheetWindow(GetDialogWindow(sheet), parent), noErr);
        toolbox::dialogs::SendCommand(GetWindowEventTarget(GetDialogWindow(sheet)), 'othr');
        ManualClock::RunFor(0.1);
        EXPECT_EQ(sCommands, (std::vector<UInt32> { 'othr' }));
        EXPECT_FALSE(HIWindowIsDocumentModalTarget(parent, nullptr));
        DisposeWindow(parent);
    }

    // The window a sheet hangs from may go while the sheet waits (a document closed on quit):
    // the sheet goes with it, telling no one (the fixture counts what is left).
    TEST_F(Alerts, AStandardSheetGoesWithItsParentWithoutAnAnswer)
    {
        WindowRef parent = MakeWindow();
        static int sCommands = 0;
        sCommands = 0;
        EventTypeSpec const spec { kEventClassCommand, kEventCommandProcess };
        InstallEventHandler(
            GetWindowEventTarget(parent),
            [](EventHandlerCallRef, EventRef, void*) -> OSStatus {
                ++sCommands;
                return noErr;
            },
            1, &spec, nullptr, nullptr);
        AlertStdCFStringAlertParamRec param;
        GetStandardAlertDefaultParams(&param, kStdCFStringAlertVersionOne);
        DialogRef sheet = nullptr;
        ASSERT_EQ(CreateStandardSheet(kAlertNoteAlert, CFSTR("Not everything could be read."), nullptr, &param,
                      GetWindowEventTarget(parent), &sheet),
            noErr);
        ASSERT_EQ(ShowSheetWindow(GetDialogWindow(sheet), parent), noErr);
        DisposeWindow(parent);
        ManualClock::RunFor(0.1);
        EXPECT_EQ(sCommands, 0);
    }

    // The buttons of an alert, left to right, as frames in the window.
    std::vector<HIRect> ButtonFrames(WindowRef window)
    {
        ControlRef root = nullptr;
        GetRootControl(window, &root);
        std::vector<HIRect> frames;
        UInt16 count = 0;
        CountSubControls(root, &count);
        for (UInt16 i = 1; i <= count; ++i) {
            ControlRef control = nullptr;
            GetIndexedSubControl(root, i, &control);
            UInt32 command = 0;
            if (GetControlCommandID(control, &command) == noErr && command != 0) {
                HIRect frame {};
                HIViewGetFrame(control, &frame);
                frames.push_back(frame);
            }
        }
        std::sort(frames.begin(), frames.end(), [](HIRect a, HIRect b) { return a.origin.x < b.origin.x; });
        return frames;
    }

    // Every alert of three buttons the program asks, and one with longer titles still: the
    // window widens for its buttons, which stand apart, each as wide as its title needs.
    TEST_F(Alerts, ThreeButtonsNeverOverlapAndTheAlertWidensForThem)
    {
        using toolbox::dialogs::AlertDialog;
        using toolbox::dialogs::CopyText;
        struct Case {
            CFStringRef main;
            std::array<CFStringRef, 3> buttons;
        };
        Case const cases[] = {
            { CopyText("NavReviewMain", ""),
                { CopyText("NavReview", "Review Changes\u2026"), CopyText("NavCancel", "Cancel"),
                    CopyText("NavDiscardDocuments", "Discard Changes") } },
            { CopyText("NavSaveChangesMain", ""),
                { CopyText("NavSave", "Save"), CopyText("NavCancel", "Cancel"),
                    CopyText("NavDontSave", "Don\u2019t Save") } },
            { cf::CreateString("Replace every waypoint?"),
                { cf::CreateString("Replace All Waypoints and Routes"), cf::CreateString("Keep the Ones Already There"),
                    cf::CreateString("Show Me the Differences First") } },
        };
        for (Case const& c : cases) {
            AlertDialog::Spec spec;
            spec.main = c.main;
            spec.buttons = c.buttons;
            AlertDialog alert(spec, false);
            ASSERT_NE(alert.GetWindow(), nullptr);
            Rect content {};
            GetWindowBounds(alert.GetWindow(), kWindowContentRgn, &content);
            std::vector<HIRect> const frames = ButtonFrames(alert.GetWindow());
            ASSERT_EQ(frames.size(), 3u) << toolbox::dialogs::ToString(c.buttons[0]);
            for (std::size_t i = 0; i < 3; ++i) {
                EXPECT_GE(frames[i].origin.x, toolbox::dialogs::kMargin);
                EXPECT_LE(CGRectGetMaxX(frames[i]), content.right - content.left - toolbox::dialogs::kMargin);
                if (i > 0) {
                    EXPECT_GE(frames[i].origin.x - CGRectGetMaxX(frames[i - 1]), 12)
                        << toolbox::dialogs::ToString(c.buttons[0]) << ": buttons " << i - 1 << " and " << i;
                }
            }
            // Each title has its room: no button is narrower than its title asks.
            std::vector<SInt16> needed;
            for (CFStringRef title : c.buttons)
                needed.push_back(toolbox::dialogs::ButtonWidth(title));
            std::sort(needed.begin(), needed.end());
            std::vector<SInt16> given;
            for (HIRect const& frame : frames)
                given.push_back(SInt16(frame.size.width));
            std::sort(given.begin(), given.end());
            EXPECT_EQ(given, needed);
        }
        for (Case const& c : cases) {
            CFRelease(c.main);
            for (CFStringRef title : c.buttons)
                CFRelease(title);
        }
    }

} // namespace
} // namespace tw::test
