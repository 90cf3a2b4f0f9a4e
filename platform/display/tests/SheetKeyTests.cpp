#include "ControlTest.h"
#include "tests/support/TestSupport.h"
#include "toolbox/dialogs/NavFiles.h"
#include "toolbox/dialogs/Navigation.h"

namespace tw::test {
namespace {

    struct SaveLog {
        NavUserAction action = kNavUserActionNone;
        std::string name;

        static void Proc(NavEventCallbackMessage selector, NavCBRecPtr params, void* data)
        {
            if (selector != kNavCBUserAction)
                return;
            auto* log = static_cast<SaveLog*>(data);
            log->action = params->userAction;
            NavReplyRecord reply;
            if (NavDialogGetReply(params->context, &reply) == noErr) {
                log->name = cf::ToUTF8(reply.saveFileName);
                NavDisposeReply(&reply);
            }
            NavDialogDispose(params->context);
        }
    };

    using SheetKeys = ControlTest;

    TEST_F(SheetKeys, ReturnInTheSaveSheetsNameFieldPressesSave)
    {
        TempFolder folder;
        NavDialogCreationOptions options;
        NavGetDefaultDialogCreationOptions(&options);
        options.modality = kWindowModalityWindowModal;
        options.parentWindow = mWindow;
        options.saveFileName = CFSTR("walk.gpx");
        SaveLog log;
        NavDialogRef dialog = nullptr;
        ASSERT_EQ(NavCreatePutFileDialog(&options, 0, 0, &SaveLog::Proc, &log, &dialog), noErr);
        AEDesc location {};
        ASSERT_EQ(toolbox::dialogs::MakeFileDesc(folder.Path().string(), &location), noErr);
        NavCustomControl(dialog, kNavCtlSetLocation, &location);
        AEDisposeDesc(&location);
        ASSERT_EQ(NavDialogRun(dialog), noErr);
        Run();
        InputDriver::Key(display::kVK_Return, display::kReturnCharCode);
        Run();
        EXPECT_EQ(log.action, kNavUserActionSaveAs);
        EXPECT_EQ(log.name, "walk.gpx");
        if (log.action == kNavUserActionNone)
            NavDialogDispose(dialog);
    }

} // namespace
} // namespace tw::test
