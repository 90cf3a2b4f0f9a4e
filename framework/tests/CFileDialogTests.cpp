#include "framework/CFileDialog.h"
#include "framework/tests/DialogTest.h"
#include "toolbox/dialogs/NavDialog.h"

namespace tw::test {
namespace {

    using toolbox::dialogs::DialogKind;
    using toolbox::dialogs::Responders;

    class FileDialog : public DialogTest {
    protected:
        void SetUp() override
        {
            DialogTest::SetUp();
            Touch(mFolder / "beta.twk");
            Touch(mFolder / "Alpha.twk");
            Touch(mFolder / "notes.txt");
            std::filesystem::create_directory(mFolder / "maps");
            mDialog.AddListener(&mLog);
            mDialog.SetDefaultLocation(CFile(CString(mFolder.Path().c_str())));
        }

        // The result of every 'fdre', copied while it is sent.
        std::vector<FileDialogResult> Results() { return mResults; }

        void RecordResults()
        {
            mLog.onMessage = [this](UInt32 message, void* parameter) {
                if (message == CFileDialog::kMsgFileDialogResult) {
                    auto const* result = static_cast<FileDialogResult const*>(parameter);
                    mResults.push_back(*result);
                    mReplyDuringMessage = result->reply != nullptr;
                }
            };
        }

        TempFolder mFolder;
        CFileDialog mDialog;
        MessageLog mLog;
        std::vector<FileDialogResult> mResults;
        bool mReplyDuringMessage = false;
    };

    TEST_F(FileDialog, AnOpenDialogReturnsTheChosenFilesAndBroadcastsTheResult)
    {
        RecordResults();
        Responders::OpenFiles({ (mFolder / "beta.twk").string(), (mFolder / "Alpha.twk").string() });
        FileDialogResult result;
        UInt32 const action = mDialog.ChooseFile(CString("Open a document"), CString(), nullptr, result);

        EXPECT_EQ(action, kNavUserActionOpen);
        ASSERT_EQ(result.files.size(), 2u);
        EXPECT_EQ(result.file.GetFileName(), CString("Alpha.twk")); // list order, not answer order
        EXPECT_EQ(result.files[1].GetFileName(), CString("beta.twk"));
        EXPECT_EQ(result.reply, nullptr) << "the reply is gone once the dialog ended";
        EXPECT_FALSE(mDialog.IsActive());
        ASSERT_EQ(mResults.size(), 1u);
        EXPECT_TRUE(mReplyDuringMessage);
        EXPECT_EQ(mResults[0].dialog, &mDialog);
        EXPECT_EQ(mResults[0].files.size(), 2u);
        EXPECT_EQ(mLog.Count(CFileDialog::kMsgNavEvent), 2u) << "start and the user action";
    }

    TEST_F(FileDialog, TheFilterHidesRegularFilesOnlyAndNeverFolders)
    {
        std::vector<std::string> asked;
        mLog.onMessage = [&](UInt32 message, void* parameter) {
            if (message != CFileDialog::kMsgNavFilter)
                return;
            auto* filter = static_cast<MsgNavFilter*>(parameter);
            asked.push_back(filter->file.GetFileName().GetStdString());
            filter->accept = filter->file.GetExtension() == CString("twk");
        };
        std::vector<std::string> listed;
        Responders::OpenFiles({ (mFolder / "notes.txt").string() });
        mLog.onMessage = [&, inner = mLog.onMessage](UInt32 message, void* parameter) {
            inner(message, parameter);
            if (message == CFileDialog::kMsgNavEvent
                && static_cast<MsgNavEvent*>(parameter)->selector == kNavCBUserAction) {
                for (auto const& entry : static_cast<MsgNavEvent*>(parameter)->params->context->ListedEntries())
                    listed.push_back(entry.name);
            }
        };
        FileDialogResult result;
        EXPECT_EQ(mDialog.ChooseFile(CString(), CString(), nullptr, result), kNavUserActionCancel)
            << "a hidden file cannot be chosen";
        EXPECT_EQ(listed, (std::vector<std::string> { "Alpha.twk", "beta.twk", "maps" }));
        EXPECT_EQ(std::count(asked.begin(), asked.end(), "maps"), 0) << "folders are not put to the listeners";
    }

    TEST_F(FileDialog, TheTypeListFiltersByExtensionAndByFileTypeWithoutOne)
    {
        Touch(mFolder / "plain");
        ASSERT_EQ(CFile(CString((mFolder / "plain").c_str())).SetFileCreatorAndType('ttxt', 'TEXT'), noErr);
        CStringList types;
        types.Append(CString("public.plain-text"));
        Responders::OpenFiles(
            { (mFolder / "plain").string(), (mFolder / "notes.txt").string(), (mFolder / "beta.twk").string() });
        FileDialogResult result;
        EXPECT_EQ(mDialog.ChooseFile(CString(), CString(), &types, result), kNavUserActionOpen);
        ASSERT_EQ(result.files.size(), 2u) << "the document does not conform to plain text";
        EXPECT_EQ(result.files[0].GetFileName(), CString("notes.txt"));
        EXPECT_EQ(result.files[1].GetFileName(), CString("plain"));
    }

    TEST_F(FileDialog, ASaveDialogAddsTheExtensionAndAsksBeforeReplacing)
    {
        Responders::SaveAs((mFolder / "trip").string());
        FileDialogResult result;
        EXPECT_EQ(mDialog.ChooseSave(
                      CString("Save"), CString(), nullptr, CString("untitled.twk"), 'TWck', 'Twck', false, &result),
            kNavUserActionSaveAs);
        EXPECT_EQ(result.file.GetFullPath(), CString((mFolder / "trip.twk").c_str()));
        EXPECT_TRUE(Responders::History().size() == 1) << "nothing to replace: no question";

        // An existing file: the replace question comes first; refusing keeps the dialog, which is then cancelled.
        Responders::SaveAs((mFolder / "beta").string());
        Responders::PressAlertButton(kAlertStdAlertOKButton); // "Cancel" is the default button
        EXPECT_EQ(mDialog.ChooseSave(CString(), CString(), nullptr, CString("untitled.twk"), 0, 0, false, &result),
            kNavUserActionCancel);
        ASSERT_EQ(Responders::History().size(), 3u);
        EXPECT_EQ(Responders::History()[2].kind, DialogKind::Alert);
        EXPECT_NE(Responders::History()[2].text.find("beta.twk"), std::string::npos);

        Responders::SaveAs((mFolder / "beta").string());
        Responders::PressAlertButton(kAlertStdAlertOtherButton); // "Replace"
        bool replacing = false;
        mLog.onMessage = [&](UInt32 message, void* parameter) {
            if (message == CFileDialog::kMsgFileDialogResult)
                replacing = static_cast<FileDialogResult*>(parameter)->reply->replacing;
        };
        EXPECT_EQ(mDialog.ChooseSave(CString(), CString(), nullptr, CString("untitled.twk"), 0, 0, false, &result),
            kNavUserActionSaveAs);
        EXPECT_TRUE(replacing);
        EXPECT_EQ(result.file.GetFileName(), CString("beta.twk"));
    }

    TEST_F(FileDialog, CancellingASheetDeliversActionOneWithNoFileAndNoReply)
    {
        RecordResults();
        WindowRef parent = MakeWindow({ 100, 100, 500, 700 });
        mDialog.SetParent(parent);
        Responders::Cancel(DialogKind::Save);
        FileDialogResult result;
        EXPECT_EQ(mDialog.ChooseSave(CString(), CString(), nullptr, CString("a.twk"), 0, 0, false, &result),
            kNavUserActionNone)
            << "a sheet answers later";
        EXPECT_TRUE(mDialog.IsActive());
        ManualClock::RunFor(0.1);
        ASSERT_EQ(mResults.size(), 1u);
        EXPECT_EQ(mResults[0].action, kNavUserActionCancel);
        EXPECT_FALSE(mResults[0].file.IsSpecified());
        EXPECT_TRUE(mResults[0].files.empty());
        EXPECT_FALSE(mReplyDuringMessage);
        EXPECT_FALSE(mDialog.IsActive());
        DisposeWindow(parent);
    }

    TEST_F(FileDialog, ANewSheetMayOpenOnTheSameWindowFromInsideTheResult)
    {
        WindowRef parent = MakeWindow({ 100, 100, 500, 700 });
        mDialog.SetParent(parent);
        std::vector<UInt32> actions;
        mLog.onMessage = [&](UInt32 message, void* parameter) {
            if (message != CFileDialog::kMsgFileDialogResult)
                return;
            actions.push_back(static_cast<FileDialogResult*>(parameter)->action);
            if (actions.size() == 1)
                mDialog.ChooseSave(CString(), CString(), nullptr, CString("a.twk"), 0, 0, false, nullptr);
        };
        Responders::Press(DialogKind::SaveChanges, kNavUserActionSaveChanges);
        Responders::SaveAs((mFolder / "kept").string());
        mDialog.AskSaveChanges(kNavSaveChangesClosingDocument);
        ManualClock::RunFor(0.1);
        EXPECT_EQ(actions, (std::vector<UInt32> { kNavUserActionSaveChanges, kNavUserActionSaveAs }));
        EXPECT_FALSE(mDialog.IsActive());
        DisposeWindow(parent);
    }

    TEST_F(FileDialog, AnOwnerDestroyedWhileItsSheetRunsCallsNobodyBack)
    {
        WindowRef parent = MakeWindow({ 100, 100, 500, 700 });
        auto* dialog = new CFileDialog;
        dialog->AddListener(&mLog);
        dialog->SetParent(parent);
        Responders::Press(DialogKind::DiscardChanges, kNavUserActionDiscardChanges);
        dialog->AskDiscardChanges(CString("Trip"));
        EXPECT_TRUE(dialog->IsActive());
        delete dialog;
        ManualClock::RunFor(1);
        EXPECT_EQ(mLog.Count(CFileDialog::kMsgFileDialogResult), 0u);
        WindowRef sheet = nullptr;
        EXPECT_FALSE(HIWindowIsDocumentModalTarget(parent, &sheet)) << "the sheet went with its owner";
        Responders::Reset(); // the discard answer was never asked for
        DisposeWindow(parent);
    }

    TEST_F(FileDialog, AListenerMayDestroyTheDialogWhileTheResultIsSent)
    {
        for (bool sheet : { false, true }) {
            WindowRef parent = MakeWindow({ 100, 100, 500, 700 });
            auto* dialog = new CFileDialog;
            MessageLog log;
            log.onMessage = [&](UInt32 message, void*) {
                if (message == CFileDialog::kMsgFileDialogResult)
                    delete dialog;
            };
            dialog->AddListener(&log);
            if (sheet)
                dialog->SetParent(parent);
            Responders::OpenFiles({ (mFolder / "notes.txt").string() });
            FileDialogResult result;
            dialog->ChooseFile(CString(), CString(), nullptr, result);
            ManualClock::RunFor(0.1);
            EXPECT_EQ(log.Count(CFileDialog::kMsgFileDialogResult), 1u);
            EXPECT_FALSE(HIWindowIsDocumentModalTarget(parent, nullptr));
            DisposeWindow(parent);
        }
    }

    TEST_F(FileDialog, TheAskDialogsAnswerWithTheirActions)
    {
        Responders::Press(DialogKind::ReviewDocuments, kNavUserActionDiscardDocuments);
        EXPECT_EQ(mDialog.AskReviewDocuments(3), kNavUserActionDiscardDocuments);
        EXPECT_NE(Responders::History().back().text.find("3 documents"), std::string::npos);
        Responders::Press(DialogKind::SaveChanges, kNavUserActionDontSaveChanges);
        EXPECT_EQ(mDialog.AskSaveChanges(kNavSaveChangesQuittingApplication), kNavUserActionDontSaveChanges);
        Responders::Cancel(DialogKind::DiscardChanges);
        EXPECT_EQ(mDialog.AskDiscardChanges(CString("Trip.twk")), kNavUserActionCancel);
        EXPECT_NE(Responders::History().back().text.find("Trip.twk"), std::string::npos);
    }

} // namespace
} // namespace tw::test
