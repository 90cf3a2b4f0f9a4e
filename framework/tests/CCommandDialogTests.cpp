#include "framework/CCommandDialog.h"
#include "framework/CMacWindow.h"
#include "framework/tests/DialogTest.h"
#include "toolbox/HIViewCalls.h"

namespace tw::test {
namespace {

    constexpr char kNib[] = R"(<nib version="1">
  <window name="Pick" class="movablemodal" attributes="standard-handler compositing" bounds="200 200 300 120" title="Pick">
    <view class="com.apple.HIPushButton" frame="200 80 80 24" title="OK" command="ok  " default="true"/>
    <view class="com.apple.HITextField" frame="20 20 200 22" id="Pick:2"/>
  </window>
</nib>)";

    class CommandDialog : public DialogTest {
    protected:
        void SetUp() override
        {
            DialogTest::SetUp();
            ASSERT_EQ(toolbox::CreateNibFromText(kNib, &mNib), noErr);
        }
        void TearDown() override
        {
            DisposeNibReference(mNib);
            DialogTest::TearDown();
        }

        // Sends these commands to the window, one per loop turn, from inside the dialog's run.
        static void SendSoon(WindowRef window, std::vector<UInt32> commands)
        {
            static std::vector<UInt32> sCommands;
            static WindowRef sWindow;
            sCommands = std::move(commands);
            sWindow = window;
            EventLoopTimerRef timer = nullptr;
            InstallEventLoopTimer(
                GetMainEventLoop(), 0.01, 0.01,
                [](EventLoopTimerRef t, void*) {
                    if (sCommands.empty()) {
                        RemoveEventLoopTimer(t);
                        return;
                    }
                    UInt32 const command = sCommands.front();
                    sCommands.erase(sCommands.begin());
                    CCarbonEvent::CreateWithHICommandID(command).SendToWindow(sWindow);
                },
                nullptr, &timer);
        }

        IBNibRef mNib = nullptr;
    };

    TEST_F(CommandDialog, EndsOnAnyCommandButWindowSelection)
    {
        ControlID focus { 'Pick', 2 };
        CCommandDialog dialog(CString("NoSuchNib"), CString("Pick"), nullptr);
        ASSERT_NE(dialog.GetCreationStatus(), noErr) << "no nib of that name";
        EXPECT_EQ(dialog.GetWindow(), nullptr);
        EXPECT_EQ(dialog.DoDialog(true), 0u);

        ASSERT_EQ(dialog.CreateWindow(mNib, CString("Pick"), &focus), noErr);
        WindowRef const window = dialog.GetWindow()->GetWindowRef();
        ControlRef field = nullptr;
        GetControlByID(window, &focus, &field);
        ControlRef focused = nullptr;
        GetKeyboardFocus(window, &focused);
        EXPECT_EQ(focused, field);

        SendSoon(window, { CCommandDialog::kCommandSelectWindow, 'not!' });
        EXPECT_EQ(dialog.DoDialog(false), UInt32('not!'));
        EXPECT_TRUE(dialog.GetWindow()->IsVisible()) << "left visible when asked";

        SendSoon(window, { 'ok  ' });
        EXPECT_EQ(dialog.DoDialog(true), UInt32('ok  '));
        EXPECT_FALSE(dialog.GetWindow()->IsVisible());
        EXPECT_EQ(dialog.GetWindow()->GetWindowRef(), window) << "the same window, not reloaded";

        SendSoon(window, { 'rtwp' });
        EXPECT_EQ(dialog.DoDialog(true), UInt32('rtwp'));
    }

    TEST_F(CommandDialog, AMissingWindowKeepsNoWindow)
    {
        CCommandDialog dialog(CString("NoSuchNib"), CString("Pick"), nullptr);
        EXPECT_NE(dialog.GetCreationStatus(), noErr);
        EXPECT_NE(dialog.CreateWindow(mNib, CString("Absent"), nullptr), noErr);
        EXPECT_EQ(dialog.GetWindow(), nullptr);
    }

} // namespace
} // namespace tw::test
