#include "AppTest.h"
#include "display/SessionEnd.h"

#include <algorithm>

namespace tw::test {
namespace {

    using toolbox::dialogs::DialogKind;
    using toolbox::dialogs::Responders;

    class QuitTest : public AppTest {
    protected:
        CDocument* ModifiedDocument(char const* name = nullptr)
        {
            CDocument* document = NewDocument();
            if (document && name)
                document->SetFile(CFile(CString(PathFor(name).c_str())));
            if (document)
                document->SetModified(true);
            return document;
        }
        UInt32 Shown(DialogKind kind) const
        {
            UInt32 count = 0;
            for (auto const& shown : Responders::History())
                count += shown.kind == kind;
            return count;
        }
    };

    TEST_F(QuitTest, WithNothingModifiedQuitClosesEverythingAndEndsTheLoop)
    {
        StartApp();
        NewDocument();
        NewDocument();
        CApplication::Quit();
        EXPECT_TRUE(mApp->RunUntilQuit());
        EXPECT_TRUE(CDocument::GetDocuments(false).empty());
        EXPECT_TRUE(Responders::History().empty());
    }

    TEST_F(QuitTest, OneUntitledDocumentIsSavedThroughItsSheetsThenTheQuitGoesOn)
    {
        StartApp();
        ModifiedDocument();
        NewDocument(); // unmodified: closed without a word
        Responders::Press(DialogKind::SaveChanges, kNavUserActionSaveChanges);
        Responders::SaveAs(PathFor("kept.txt"));
        CApplication::Quit();
        EXPECT_TRUE(mApp->RunUntilQuit());
        EXPECT_TRUE(CDocument::GetDocuments(false).empty());
        EXPECT_EQ(Shown(DialogKind::ReviewDocuments), 0u);
        EXPECT_EQ(Shown(DialogKind::SaveChanges), 1u);
        EXPECT_TRUE(CFile(CString(PathFor("kept.txt").c_str())).FileExists());
    }

    TEST_F(QuitTest, ReviewAsksAboutEachModifiedDocument)
    {
        StartApp();
        ModifiedDocument("one.txt");
        ModifiedDocument("two.txt");
        Responders::Press(DialogKind::ReviewDocuments, kNavUserActionReviewDocuments);
        Responders::Press(DialogKind::SaveChanges, kNavUserActionDontSaveChanges);
        Responders::Press(DialogKind::SaveChanges, kNavUserActionSaveChanges);
        CApplication::Quit();
        EXPECT_TRUE(mApp->RunUntilQuit());
        EXPECT_TRUE(CDocument::GetDocuments(false).empty());
        EXPECT_EQ(Shown(DialogKind::SaveChanges), 2u);
        EXPECT_NE(CFile(CString(PathFor("one.txt").c_str())).FileExists(),
            CFile(CString(PathFor("two.txt").c_str())).FileExists())
            << "one saved, one not";
    }

    TEST_F(QuitTest, CancelInTheReviewKeepsEveryDocumentAndTheLoopRunning)
    {
        StartApp();
        ModifiedDocument();
        ModifiedDocument();
        Responders::Cancel(DialogKind::ReviewDocuments);
        CApplication::Quit();
        EXPECT_FALSE(mApp->RunUntilQuit());
        EXPECT_EQ(CDocument::GetDocuments(true).size(), 2u);
        EXPECT_EQ(CApplication::GetAppMode(), UInt32(CApplication::kModeRunning));
    }

    TEST_F(QuitTest, DiscardClosesEveryDocumentWithoutAsking)
    {
        StartApp();
        ModifiedDocument();
        ModifiedDocument();
        Responders::Press(DialogKind::ReviewDocuments, kNavUserActionDiscardDocuments);
        CApplication::Quit();
        EXPECT_TRUE(mApp->RunUntilQuit());
        EXPECT_TRUE(CDocument::GetDocuments(false).empty());
        EXPECT_EQ(Shown(DialogKind::SaveChanges), 0u);
    }

    TEST_F(QuitTest, CancellingOneSheetDuringTheReviewEndsTheQuit)
    {
        StartApp();
        ModifiedDocument();
        ModifiedDocument();
        Responders::Press(DialogKind::ReviewDocuments, kNavUserActionReviewDocuments);
        Responders::Cancel(DialogKind::SaveChanges);
        CApplication::Quit();
        EXPECT_FALSE(mApp->RunUntilQuit());
        EXPECT_EQ(CDocument::GetDocuments(true).size(), 2u);
        EXPECT_EQ(CApplication::GetAppMode(), UInt32(CApplication::kModeRunning));
    }

    // A save that fails while quitting is reported and ends the quit; the document stays.
    TEST_F(QuitTest, AFailedSaveAlertsAndCancelsTheQuit)
    {
        StartApp();
        std::filesystem::create_directories(PathFor("folder"));
        CDocument* document = ModifiedDocument("folder");
        Responders::Press(DialogKind::SaveChanges, kNavUserActionSaveChanges);
        Responders::PressAlertButton(1);
        CApplication::Quit();
        EXPECT_FALSE(mApp->RunUntilQuit());
        EXPECT_EQ(Shown(DialogKind::Alert), 1u);
        EXPECT_TRUE(CDocument::IsDocument(document));
        EXPECT_TRUE(document->IsModified());
        EXPECT_EQ(CApplication::GetAppMode(), UInt32(CApplication::kModeRunning));
    }

    // A document that saves itself and cannot (its file is a folder here) keeps the program
    // running, whether it is alone or its neighbours were discarded in the review.
    TEST_F(QuitTest, AFailedSaveOfASelfSavingDocumentCancelsTheQuitInEveryMode)
    {
        StartApp();
        std::filesystem::create_directories(PathFor("folder"));
        CDocument* global = ModifiedDocument("folder");
        global->SetSaveMode(CDocument::kSaveModeAlways);
        Responders::PressAlertButton(1);
        CApplication::Quit();
        EXPECT_FALSE(mApp->RunUntilQuit()) << "alone";
        EXPECT_TRUE(CDocument::IsDocument(global));
        EXPECT_TRUE(global->IsModified());
        EXPECT_EQ(CApplication::GetAppMode(), UInt32(CApplication::kModeRunning));

        ModifiedDocument();
        ModifiedDocument();
        Responders::Press(DialogKind::ReviewDocuments, kNavUserActionDiscardDocuments);
        Responders::PressAlertButton(1);
        CApplication::Quit();
        EXPECT_FALSE(mApp->RunUntilQuit()) << "after a discard";
        EXPECT_EQ(CDocument::GetDocuments(false), std::vector<CDocument*> { global });
        EXPECT_EQ(CApplication::GetAppMode(), UInt32(CApplication::kModeRunning));

        ModifiedDocument("one.txt");
        Responders::Press(DialogKind::SaveChanges, kNavUserActionSaveChanges);
        Responders::PressAlertButton(1);
        CApplication::Quit();
        EXPECT_FALSE(mApp->RunUntilQuit()) << "after the one asked about was saved";
        EXPECT_EQ(CDocument::GetDocuments(false), std::vector<CDocument*> { global });
        EXPECT_EQ(Shown(DialogKind::Alert), 3u);
    }

    // Once the display is gone (or the session hung up) nobody can be asked: the self-saving
    // document is saved, the other modified ones are kept and come back at the next start.
    TEST_F(QuitTest, AtTheSessionsEndTheGlobalDocumentIsSavedAndTheOthersComeBackAtTheNextStart)
    {
        StartApp();
        std::error_code error;
        std::filesystem::remove_all(mApp->GetRecoveryFolder(false).GetPath(), error);
        CDocument* global = ModifiedDocument("global.txt");
        global->SetSaveMode(CDocument::kSaveModeAlways);
        CDocument* named = ModifiedDocument("named.txt");
        named->GetWindow()->SetWindowBounds(CRect(200, 210, 400, 610), kWindowContentRgn, 0);
        named->SetModified(true);
        ModifiedDocument();
        display::ResetSessionEndForTesting();
        display::EndSession();
        EXPECT_TRUE(CFile(CString(PathFor("global.txt").c_str())).FileExists());
        EXPECT_FALSE(CFile(CString(PathFor("named.txt").c_str())).Exists()) << "written only where the user says";
        EXPECT_TRUE(Responders::History().empty());
        for (CDocument* document : CDocument::GetDocuments(false))
            delete document;
        mApp.reset();

        StartApp();
        Responders::PressAlertButton(1);
        EXPECT_EQ(mApp->OfferRecoveredDocuments(), 2u);
        EXPECT_EQ(Shown(DialogKind::Alert), 1u);
        std::vector<CDocument*> const back = CDocument::GetDocuments(true);
        ASSERT_EQ(back.size(), 2u);
        auto const toNamed = std::ranges::find_if(
            back, [this](CDocument* d) { return d->GetFile().GetPath() == PathFor("named.txt"); });
        ASSERT_NE(toNamed, back.end()) << "the document comes back to its file";
        Rect content {};
        GetWindowBounds((*toNamed)->GetWindow()->GetWindowRef(), kWindowContentRgn, &content);
        EXPECT_EQ(content.left, 210) << "with what it held";
        EXPECT_EQ(std::ranges::count_if(back, [](CDocument* d) { return d->IsUntitled(); }), 1);
        EXPECT_EQ(mApp->OfferRecoveredDocuments(), 0u) << "offered once";
        display::ResetSessionEndForTesting();
    }

    // The copies of a session that ended stay until the user decides: a second end of the session
    // (or a crash) before that loses nothing and duplicates nothing; a save or a discard removes them.
    TEST_F(QuitTest, RecoveredCopiesStayUntilTheirDocumentIsSavedOrDiscarded)
    {
        StartApp();
        std::error_code error;
        std::filesystem::remove_all(mApp->GetRecoveryFolder(false).GetPath(), error);
        ModifiedDocument("named.txt");
        ModifiedDocument();
        display::ResetSessionEndForTesting();
        display::EndSession();
        for (CDocument* document : CDocument::GetDocuments(false))
            delete document;
        mApp.reset();
        std::string const folder = StartApp().GetRecoveryFolder(false).GetPath();
        auto const kept = [&folder] {
            std::size_t count = 0;
            std::error_code error;
            for (auto const& entry : std::filesystem::directory_iterator(folder, error))
                count += entry.path().extension() == ".txt";
            return count;
        };
        ASSERT_EQ(kept(), 2u);

        Responders::PressAlertButton(1);
        ASSERT_EQ(mApp->OfferRecoveredDocuments(), 2u);
        EXPECT_EQ(kept(), 2u) << "reopened, not yet safe";
        EXPECT_EQ(mApp->OfferRecoveredDocuments(), 0u) << "not offered twice while open";
        display::ResetSessionEndForTesting();
        display::EndSession(); // the session ends again before anything was saved
        EXPECT_EQ(kept(), 2u) << "each written over its own copy";
        display::ResetSessionEndForTesting();
        for (CDocument* document : CDocument::GetDocuments(false))
            document->SetModified(true);

        std::vector<CDocument*> const back = CDocument::GetDocuments(true);
        ASSERT_EQ(back.size(), 2u);
        CDocument* named = back[0]->IsUntitled() ? back[1] : back[0];
        CDocument* untitled = back[0]->IsUntitled() ? back[0] : back[1];
        ASSERT_EQ(named->GetFile().GetPath(), PathFor("named.txt"));
        EXPECT_EQ(named->SaveDocument(), noErr);
        EXPECT_EQ(kept(), 1u) << "saved: its copy goes";
        Responders::Press(DialogKind::SaveChanges, kNavUserActionDontSaveChanges);
        CCarbonEvent close = CCarbonEvent::CreateWithHICommandID('clos');
        untitled->DispatchEvent(close, nullptr);
        ManualClock::RunFor(0.1);
        EXPECT_FALSE(CDocument::IsDocument(untitled));
        EXPECT_EQ(kept(), 0u) << "discarded: its copy goes";
        EXPECT_TRUE(std::filesystem::is_empty(folder)) << "with the notes of their files";
    }

    // With no folder of the program's own to write into, the changes go into the home folder and
    // standard error says where; with nowhere at all, it says what was lost and the end fails.
    TEST_F(QuitTest, WhereNothingCanBeKeptForTheNextStartTheEndSaysWhereItWentOrWhatWasLost)
    {
        StartApp();
        std::string const recovered = mApp->GetRecoveryFolder(true).GetPath();
        std::error_code error;
        std::filesystem::remove_all(recovered, error);
        WriteFile(recovered, "not a folder");
        std::string const home = std::getenv("HOME") ? std::getenv("HOME") : "";
        std::string const temporary = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
        std::filesystem::create_directories(PathFor("home"));
        setenv("HOME", PathFor("home").c_str(), 1);
        CDocument* document = ModifiedDocument();
        std::string const name = document->GetDisplayName().GetUTF8();
        ::testing::internal::CaptureStderr();
        display::ResetSessionEndForTesting();
        display::EndSession();
        std::string said = ::testing::internal::GetCapturedStderr();
        std::filesystem::path const written = PathFor("home") + "/" + name + " (unsaved changes).txt";
        EXPECT_TRUE(std::filesystem::is_regular_file(written)) << said;
        EXPECT_NE(said.find(written.string()), std::string::npos) << said;
        EXPECT_FALSE(document->IsModified());
        EXPECT_FALSE(CApplication::LostWorkAtSessionEnd());

        setenv("HOME", PathFor("no such home").c_str(), 1);
        setenv("TMPDIR", PathFor("no such temporary").c_str(), 1);
        document->SetModified(true);
        ::testing::internal::CaptureStderr();
        display::ResetSessionEndForTesting();
        display::EndSession();
        said = ::testing::internal::GetCapturedStderr();
        setenv("HOME", home.c_str(), 1);
        setenv("TMPDIR", temporary.c_str(), 1);
        display::ResetSessionEndForTesting();
        EXPECT_NE(said.find("\"" + name + "\" were lost"), std::string::npos) << said;
        EXPECT_TRUE(CApplication::LostWorkAtSessionEnd());
        EXPECT_TRUE(document->IsModified());
        std::filesystem::remove(recovered, error);
    }

    // A document that saves itself on close (as the global document does) closes when it is
    // brought forward during the review; nothing of it may be touched or kept afterwards.
    TEST_F(QuitTest, ASelfSavingDocumentActivatedDuringTheReviewSavesAndIsForgotten)
    {
        StartApp();
        CDocument* one = ModifiedDocument("one.txt");
        ModifiedDocument("two.txt");
        CDocument* global = ModifiedDocument("global.txt");
        global->SetSaveMode(CDocument::kSaveModeAlways);
        Responders::Press(DialogKind::ReviewDocuments, kNavUserActionReviewDocuments);
        EXPECT_EQ(mApp->CloseDocuments(), noErr);
        ASSERT_EQ(CApplication::GetAppMode(), UInt32(CApplication::kModeQuitReview));
        SelectWindow(one->GetWindow()->GetWindowRef());
        ManualClock::RunFor(0.1);

        SelectWindow(global->GetWindow()->GetWindowRef());
        ManualClock::RunFor(0.1);
        EXPECT_FALSE(CDocument::IsDocument(global)) << "saved and closed";
        EXPECT_TRUE(CFile(CString(PathFor("global.txt").c_str())).FileExists());
        EXPECT_EQ(mApp->mDeadDocumentsMadeCurrent, 0) << "the closed document was made current";
        EXPECT_EQ(CDocument::GetDocuments(true).size(), 2u);
    }

} // namespace
} // namespace tw::test
