#include "toolbox/dialogs/DialogKit.h"
#include "toolbox/dialogs/Responders.h"
#include "toolbox/dialogs/StandardAlert.h"
#include "toolbox/tests/ToolboxTest.h"

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

} // namespace
} // namespace tw::test
