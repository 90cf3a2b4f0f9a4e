#include "tests/support/TestSupport.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/dialogs/DialogKit.h"
#include "toolbox/dialogs/NavDialog.h"
#include "toolbox/dialogs/NavFiles.h"
#include "toolbox/tests/ToolboxTest.h"

#include <map>

namespace tw::test {
namespace {

    using toolbox::dialogs::DialogKind;
    using toolbox::dialogs::Responders;

    // What the event callback saw: selectors and user actions, and the reply at the user action.
    struct CallbackLog {
        std::vector<NavEventCallbackMessage> selectors;
        NavUserAction action = kNavUserActionNone;
        std::vector<std::string> files;
        std::string saveName;
        bool disposeInside = false;
        std::function<void(NavDialogRef)> atUserAction;

        static void Proc(NavEventCallbackMessage selector, NavCBRecPtr params, void* data)
        {
            auto* log = static_cast<CallbackLog*>(data);
            log->selectors.push_back(selector);
            if (selector != kNavCBUserAction)
                return;
            log->action = params->userAction;
            NavReplyRecord reply;
            if (NavDialogGetReply(params->context, &reply) == noErr) {
                long count = 0;
                AECountItems(&reply.selection, &count);
                for (long i = 1; i <= count; ++i) {
                    AEDesc item {};
                    AEKeyword keyword = 0;
                    AEGetNthDesc(&reply.selection, i, typeWildCard, &keyword, &item);
                    log->files.push_back(toolbox::dialogs::PathFromDesc(&item));
                    AEDisposeDesc(&item);
                }
                log->saveName = tw::cf::ToUTF8(reply.saveFileName);
                NavDisposeReply(&reply);
            }
            if (log->atUserAction)
                log->atUserAction(params->context);
            if (log->disposeInside)
                NavDialogDispose(params->context);
        }
    };

    class NavDialogs : public ToolboxTest {
    protected:
        void SetUp() override
        {
            ToolboxTest::SetUp();
            Responders::Reset();
            WriteFile(mFolder / "b.gpx", "x");
            WriteFile(mFolder / "A.gpx", "x");
            WriteFile(mFolder / ".hidden", "x");
            std::filesystem::create_directory(mFolder / "sub");
            WriteFile(mFolder / "sub" / "inner.gpx", "x");
            mLog.disposeInside = true;
        }
        void TearDown() override
        {
            EXPECT_EQ(Responders::Pending(), 0u);
            ToolboxTest::TearDown();
        }

        NavDialogRef MakeOpen(WindowRef parent = nullptr)
        {
            NavDialogCreationOptions options;
            NavGetDefaultDialogCreationOptions(&options);
            if (parent) {
                options.modality = kWindowModalityWindowModal;
                options.parentWindow = parent;
            }
            NavDialogRef dialog = nullptr;
            EXPECT_EQ(
                NavCreateGetFileDialog(&options, nullptr, &CallbackLog::Proc, nullptr, nullptr, &mLog, &dialog), noErr);
            SetLocation(dialog, mFolder.Path().string());
            return dialog;
        }

        static void SetLocation(NavDialogRef dialog, std::string const& path)
        {
            AEDesc location {};
            ASSERT_EQ(toolbox::dialogs::MakeFileDesc(path, &location), noErr);
            EXPECT_EQ(NavCustomControl(dialog, kNavCtlSetLocation, &location), noErr);
            AEDisposeDesc(&location);
        }

        static std::vector<std::string> Names(NavDialogRef dialog)
        {
            std::vector<std::string> names;
            for (auto const& entry : dialog->ListedEntries())
                names.push_back(entry.name);
            return names;
        }

        TempFolder mFolder;
        CallbackLog mLog;
    };

    TEST_F(NavDialogs, AnOpenDialogListsTheFolderSortedAndRepliesWithTheChosenFiles)
    {
        NavDialogRef dialog = MakeOpen();
        mLog.atUserAction = [&](NavDialogRef d) {
            EXPECT_EQ(Names(d), (std::vector<std::string> { "A.gpx", "b.gpx", "sub" })) << "hidden files stay hidden";
            EXPECT_FALSE(IsWindowVisible(NavDialogGetWindow(d))) << "the window is away before the callback";
        };
        Responders::OpenFiles({ (mFolder / "b.gpx").string(), (mFolder / "A.gpx").string() });
        EXPECT_EQ(NavDialogRun(dialog), noErr);
        EXPECT_EQ(mLog.selectors, (std::vector<NavEventCallbackMessage> { kNavCBStart, kNavCBUserAction }))
            << "disposed inside the user action: no terminate to a client that may be gone";
        EXPECT_EQ(mLog.action, kNavUserActionOpen);
        EXPECT_EQ(
            mLog.files, (std::vector<std::string> { (mFolder / "A.gpx").string(), (mFolder / "b.gpx").string() }));
    }

    TEST_F(NavDialogs, TheListMovesUpAndIntoFolders)
    {
        NavDialogRef dialog = MakeOpen();
        mLog.disposeInside = false;
        SetLocation(dialog, (mFolder / "sub" / "inner.gpx").string());
        Responders::OpenFiles({ (mFolder / "sub" / "inner.gpx").string() });
        mLog.atUserAction = [&](NavDialogRef d) {
            EXPECT_EQ(d->Folder(), (mFolder / "sub").string());
            toolbox::dialogs::SendCommand(GetWindowEventTarget(NavDialogGetWindow(d)), 'navU');
            EXPECT_EQ(d->Folder(), mFolder.Path().string()) << "up to the enclosing folder";
        };
        NavDialogRun(dialog);
        EXPECT_EQ(mLog.selectors.back(), kNavCBTerminate);
        NavReplyRecord reply;
        EXPECT_EQ(NavDialogGetReply(dialog, &reply), noErr);
        NavDisposeReply(&reply);
        NavDialogDispose(dialog);
        EXPECT_EQ(NavDialogGetUserAction(dialog), kNavUserActionNone) << "a disposed dialog is not used";
    }

    TEST_F(NavDialogs, ASheetAnswersLaterAndMayBeDisposedWithoutCallingBack)
    {
        WindowRef parent = MakeWindow();
        NavDialogRef dialog = MakeOpen(parent);
        Responders::Cancel(DialogKind::Open);
        EXPECT_EQ(NavDialogRun(dialog), noErr);
        EXPECT_EQ(mLog.action, kNavUserActionNone);
        EXPECT_TRUE(HIWindowIsDocumentModalTarget(parent, nullptr));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(mLog.action, kNavUserActionCancel);
        EXPECT_TRUE(mLog.files.empty());
        EXPECT_FALSE(HIWindowIsDocumentModalTarget(parent, nullptr));

        mLog = CallbackLog {};
        dialog = MakeOpen(parent);
        Responders::OpenFiles({ (mFolder / "A.gpx").string() });
        NavDialogRun(dialog);
        NavDialogDispose(dialog);
        ManualClock::RunFor(1);
        EXPECT_EQ(mLog.selectors, (std::vector<NavEventCallbackMessage> { kNavCBStart }));
        EXPECT_FALSE(HIWindowIsDocumentModalTarget(parent, nullptr));
        DisposeWindow(parent);
    }

    TEST_F(NavDialogs, AnUnansweredModalDialogIsCancelledAfterAMinuteOnTheManualClock)
    {
        NavDialogRef dialog = MakeOpen();
        EventTime const start = ManualClock::Now();
        NavDialogRun(dialog);
        EXPECT_EQ(mLog.action, kNavUserActionCancel);
        EXPECT_GE(ManualClock::Now() - start, Responders::kUnansweredTimeout);
    }

    TEST_F(NavDialogs, ChooseFolderAndTheFilterSeeEveryItem)
    {
        NavDialogCreationOptions options;
        NavGetDefaultDialogCreationOptions(&options);
        static std::vector<std::string> sFiltered;
        sFiltered.clear();
        auto filter = [](AEDesc* item, void*, void*, NavFilterModes) -> Boolean {
            sFiltered.push_back(toolbox::dialogs::NameOf(toolbox::dialogs::PathFromDesc(item)));
            return true;
        };
        NavDialogRef dialog = nullptr;
        ASSERT_EQ(NavCreateChooseFolderDialog(&options, &CallbackLog::Proc, filter, &mLog, &dialog), noErr);
        SetLocation(dialog, mFolder.Path().string());
        Responders::ChooseFolder((mFolder / "sub").string());
        NavDialogRun(dialog);
        EXPECT_EQ(mLog.action, kNavUserActionChoose);
        EXPECT_EQ(mLog.files, (std::vector<std::string> { (mFolder / "sub").string() }));
        ASSERT_FALSE(sFiltered.empty());
        EXPECT_EQ(std::count(sFiltered.begin(), sFiltered.end(), "sub"), long(sFiltered.size()))
            << "a folder chooser lists folders only";
    }

    TEST_F(NavDialogs, ASaveDialogRefusesABadNameAndKeepsTheProposedExtension)
    {
        NavDialogCreationOptions options;
        NavGetDefaultDialogCreationOptions(&options);
        options.optionFlags |= kNavPreserveSaveFileExtension;
        options.saveFileName = CFSTR("route.gpx");
        NavDialogRef dialog = nullptr;
        ASSERT_EQ(NavCreatePutFileDialog(&options, 0, 0, &CallbackLog::Proc, &mLog, &dialog), noErr);
        SetLocation(dialog, mFolder.Path().string());
        Responders::SaveAs((mFolder / "..").string());
        Responders::PressAlertButton(kAlertStdAlertOKButton); // the bad-name alert
        NavDialogRun(dialog);
        EXPECT_EQ(mLog.action, kNavUserActionCancel) << "refused, then the minute ran out";
        ASSERT_EQ(Responders::History().size(), 2u);
        EXPECT_EQ(Responders::History()[1].kind, DialogKind::Alert);

        mLog = CallbackLog { .disposeInside = true };
        ASSERT_EQ(NavCreatePutFileDialog(&options, 0, 0, &CallbackLog::Proc, &mLog, &dialog), noErr);
        SetLocation(dialog, mFolder.Path().string());
        Responders::SaveAs((mFolder / "walk").string());
        NavDialogRun(dialog);
        EXPECT_EQ(mLog.action, kNavUserActionSaveAs);
        EXPECT_EQ(mLog.saveName, "walk.gpx");
        EXPECT_EQ(mLog.files, (std::vector<std::string> { (mFolder / "walk.gpx").string() }));
    }

    TEST_F(NavDialogs, FoldersOurDocumentsAndOtherFilesHaveTheirIcons)
    {
        using toolbox::dialogs::FileIcon;
        WriteFile(mFolder / "Coast.TWK", "x"); // the bundle declares "twk"; any case
        NavDialogRef dialog = MakeOpen();
        std::map<std::string, FileIcon> icons;
        mLog.atUserAction = [&](NavDialogRef d) {
            for (auto const& entry : d->ListedEntries())
                icons[entry.name] = entry.icon;
        };
        Responders::Cancel(DialogKind::Open);
        NavDialogRun(dialog);
        EXPECT_EQ(icons["sub"], FileIcon::Folder);
        EXPECT_EQ(icons["Coast.TWK"], FileIcon::Document);
        EXPECT_EQ(icons["A.gpx"], FileIcon::File);
    }

    // "Open" as the message of a window titled "Open" would say it twice.
    TEST_F(NavDialogs, AMessageThatRepeatsTheTitleIsLeftOut)
    {
        std::vector<std::string> texts;
        for (char const* message : { "open", "Choose a track to open." }) {
            NavDialogCreationOptions options;
            NavGetDefaultDialogCreationOptions(&options);
            options.message = tw::cf::CreateString(message);
            NavDialogRef dialog = nullptr;
            ASSERT_EQ(
                NavCreateGetFileDialog(&options, nullptr, &CallbackLog::Proc, nullptr, nullptr, &mLog, &dialog), noErr);
            CFRelease(options.message);
            mLog.atUserAction = [&](NavDialogRef d) {
                ControlRef root = nullptr;
                GetRootControl(NavDialogGetWindow(d), &root);
                for (HIViewRef view = HIViewGetFirstSubview(root); view; view = HIViewGetNextView(view)) {
                    CFStringRef text = nullptr;
                    if (GetControlData(view, 0, kControlStaticTextCFStringTag, sizeof text, &text, nullptr) == noErr
                        && text) {
                        texts.push_back(tw::cf::ToUTF8(text));
                        CFRelease(text);
                    }
                }
            };
            Responders::Cancel(DialogKind::Open);
            NavDialogRun(dialog);
        }
        EXPECT_EQ(std::count(texts.begin(), texts.end(), "open"), 0);
        EXPECT_EQ(std::count(texts.begin(), texts.end(), "Choose a track to open."), 1);
    }

    TEST_F(NavDialogs, TheAskDialogsRunAsSheetsToo)
    {
        WindowRef parent = MakeWindow();
        SetWindowTitleWithCFString(parent, CFSTR("Coast.twk"));
        NavDialogCreationOptions options;
        NavGetDefaultDialogCreationOptions(&options);
        options.modality = kWindowModalityWindowModal;
        options.parentWindow = parent;
        NavDialogRef dialog = nullptr;
        ASSERT_EQ(
            NavCreateAskSaveChangesDialog(&options, kNavSaveChangesClosingDocument, &CallbackLog::Proc, &mLog, &dialog),
            noErr);
        Responders::Press(DialogKind::SaveChanges, kNavUserActionDontSaveChanges);
        NavDialogRun(dialog);
        EXPECT_NE(Responders::History().back().text.find("Coast.twk"), std::string::npos)
            << "the document is named by its window";
        ManualClock::RunFor(0.1);
        EXPECT_EQ(mLog.action, kNavUserActionDontSaveChanges);
        EXPECT_FALSE(HIWindowIsDocumentModalTarget(parent, nullptr));
        EXPECT_EQ(NavCreateAskSaveChangesDialog(&options, 7, &CallbackLog::Proc, &mLog, &dialog), paramErr);
        DisposeWindow(parent);
    }

} // namespace
} // namespace tw::test
