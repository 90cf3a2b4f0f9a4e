#include "framework/CStandardAlert.h"
#include "framework/tests/DialogTest.h"
#include "tests/support/InputDriver.h"
#include "toolbox/HIViewCalls.h"

namespace tw::test {
namespace {

    using toolbox::dialogs::Responders;

    class StandardAlert : public DialogTest {
    protected:
        // Records the commands a window receives.
        static OSStatus RecordCommand(EventHandlerCallRef, EventRef event, void* data)
        {
            HICommand command {};
            GetEventParameter(
                event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command);
            static_cast<std::vector<UInt32>*>(data)->push_back(command.commandID);
            return noErr;
        }

        WindowRef MakeParent()
        {
            WindowRef parent = MakeWindow({ 100, 100, 500, 700 });
            EventTypeSpec const command { kEventClassCommand, kEventCommandProcess };
            InstallEventHandler(GetWindowEventTarget(parent), &RecordCommand, 1, &command, &mCommands, nullptr);
            return parent;
        }

        // The titles of the push buttons of the sheet now on the parent, left to right.
        static std::vector<std::string> ButtonTitles(WindowRef sheet)
        {
            std::vector<std::pair<SInt16, std::string>> found;
            HIViewRef content = nullptr;
            HIViewFindByID(HIViewGetRoot(sheet), kHIViewWindowContentID, &content);
            for (HIViewRef view = HIViewGetFirstSubview(content); view; view = HIViewGetNextView(view)) {
                UInt32 command = 0;
                GetControlCommandID(view, &command);
                if (command != kHICommandOK && command != kHICommandCancel && command != 'othr')
                    continue;
                CFStringRef title = nullptr;
                CopyControlTitleAsCFString(view, &title);
                Rect bounds {};
                GetControlBounds(view, &bounds);
                found.emplace_back(bounds.left, tw::cf::ToUTF8(title));
                CFRelease(title);
            }
            std::sort(found.begin(), found.end());
            std::vector<std::string> titles;
            for (auto const& [left, title] : found)
                titles.push_back(title);
            return titles;
        }

        std::vector<UInt32> mCommands;
    };

    TEST_F(StandardAlert, ButtonTextsFollowTheRule)
    {
        EXPECT_EQ(CStandardAlert::GetButtonText(CString()), nullptr);
        EXPECT_EQ(CStandardAlert::GetButtonText(CString("\u2022default\u2022")), kAlertDefaultOKText);
        CString const save("Save");
        EXPECT_EQ(CStandardAlert::GetButtonText(save), save.GetCFString());
    }

    TEST_F(StandardAlert, ASheetReturnsTwoAtOnceAndItsButtonReachesTheParentLater)
    {
        WindowRef parent = MakeParent();
        CStandardAlert alert;
        alert.SetParent(parent);
        alert.SetTextMajor(CString("Delete the route?"));
        alert.SetTextDefault(CString("Delete"));
        alert.SetTextCancel(CString("\u2022default\u2022"));
        Responders::PressAlertButton(kAlertStdAlertOKButton);
        EXPECT_EQ(alert.DoDialog(), kAlertStdAlertCancelButton);
        WindowRef sheet = nullptr;
        ASSERT_TRUE(HIWindowIsDocumentModalTarget(parent, &sheet));
        EXPECT_EQ(ButtonTitles(sheet), (std::vector<std::string> { "Cancel", "Delete" }));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(mCommands, (std::vector<UInt32> { kHICommandOK }));
        EXPECT_FALSE(HIWindowIsDocumentModalTarget(parent, nullptr)) << "the sheet closed and went";
        DisposeWindow(parent);
    }

    TEST_F(StandardAlert, AnEmptyDefaultTextShowsNoDefaultButton)
    {
        WindowRef parent = MakeParent();
        CStandardAlert alert;
        alert.SetParent(parent);
        alert.SetTextMajor(CString("Working"));
        alert.SetTextCancel(CString("Stop"));
        Responders::PressAlertButton(kAlertStdAlertCancelButton);
        alert.DoDialog();
        WindowRef sheet = nullptr;
        ASSERT_TRUE(HIWindowIsDocumentModalTarget(parent, &sheet));
        EXPECT_EQ(ButtonTitles(sheet), (std::vector<std::string> { "Stop" }));
        ControlRef button = nullptr;
        EXPECT_TRUE(GetWindowDefaultButton(sheet, &button) != noErr || button == nullptr);
        ManualClock::RunFor(0.1);
        EXPECT_EQ(mCommands, (std::vector<UInt32> { kHICommandCancel }));
        DisposeWindow(parent);
    }

    TEST_F(StandardAlert, TheKeyboardAnswersASheetReturnWithTheDefaultEscapeWithCancel)
    {
        WindowRef parent = MakeParent();
        ShowWindow(parent);
        for (auto const& [key, character, modifiers, expected] :
            { std::tuple<UInt32, UInt32, UInt32, UInt32> { 36, '\r', 0, kHICommandOK },
                { 53, 0x1B, 0, kHICommandCancel }, { 47, '.', cmdKey, kHICommandCancel } }) {
            mCommands.clear();
            CStandardAlert alert;
            alert.SetParent(parent);
            alert.SetTextMajor(CString("Replace the waypoint?"));
            alert.SetTextDefault(CString("Replace"));
            alert.SetTextCancel(CString("Cancel"));
            alert.SetTextOther(CString("Keep Both"));
            alert.DoDialog();
            Responders::Reset(); // answered by the keyboard, not the script
            ManualClock::RunFor(0.05);
            InputDriver::Key(key, character, modifiers);
            ManualClock::RunFor(0.1);
            EXPECT_EQ(mCommands, (std::vector<UInt32> { expected })) << "key " << key;
            EXPECT_FALSE(HIWindowIsDocumentModalTarget(parent, nullptr));
        }
        DisposeWindow(parent);
    }

    TEST_F(StandardAlert, EscapeDismissesASheetWithOnlyAnOKButton)
    {
        WindowRef parent = MakeParent();
        ShowWindow(parent);
        for (auto const& [key, character, modifiers] : { std::tuple<UInt32, UInt32, UInt32> { 53, 0x1B, 0 },
                 { 47, '.', cmdKey } }) {
            mCommands.clear();
            CStandardAlert alert;
            alert.SetParent(parent);
            alert.SetTextMajor(CString("The file could not be read."));
            alert.SetTextDefault(CStandardAlert::kDefaultButtonText);
            alert.DoDialog();
            Responders::Reset();
            ManualClock::RunFor(0.05);
            InputDriver::Key(key, character, modifiers);
            ManualClock::RunFor(0.1);
            EXPECT_EQ(mCommands, (std::vector<UInt32> { kHICommandOK })) << "key " << key;
            EXPECT_FALSE(HIWindowIsDocumentModalTarget(parent, nullptr)) << "key " << key;
        }
        DisposeWindow(parent);
    }

    TEST_F(StandardAlert, AModalAlertReturnsTheButtonPressed)
    {
        CStandardAlert alert;
        alert.SetType(kAlertStopAlert);
        alert.SetTextMajor(CString("The map pack is damaged."));
        alert.SetTextDefault(CString("\u2022default\u2022"));
        alert.SetTextOther(CString("Repair"));
        Responders::PressAlertButton(kAlertStdAlertOtherButton);
        EXPECT_EQ(alert.DoDialog(), kAlertStdAlertOtherButton);
        EXPECT_TRUE(toolbox::WindowList::FrontToBack().empty()) << "the alert is gone after its run";
        CStandardAlert buttonless;
        buttonless.SetTextMajor(CString("Nobody could close this."));
        EXPECT_EQ(buttonless.DoDialog(), kAlertStdAlertCancelButton) << "no button at all: it cannot be made";
        EXPECT_EQ(Responders::History().size(), 1u);
    }

} // namespace
} // namespace tw::test
