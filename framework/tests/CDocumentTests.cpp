#include "AppTest.h"
#include "foundation/CFileUtilities.h"
#include "framework/ConstructController.h"
#include "tests/support/InputDriver.h"
#include "tests/support/TestSupport.h"
#include "toolbox/Window.h"
#include "toolbox/WindowCalls.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace tw::test {
namespace {

    using toolbox::dialogs::DialogKind;
    using toolbox::dialogs::Responders;

    HICommandExtended Command(UInt32 id)
    {
        HICommandExtended command {};
        command.commandID = id;
        return command;
    }

    Rect ContentOf(CDocument* document)
    {
        Rect content {};
        GetWindowBounds(document->GetWindow()->GetWindowRef(), kWindowContentRgn, &content);
        return content;
    }

    TEST_F(AppTest, UntitledDocumentsAreNumberedAfterTheFirstAndShowNoExtension)
    {
        StartApp();
        CDocument* first = NewDocument();
        CDocument* second = NewDocument();
        ASSERT_TRUE(first && second);
        EXPECT_EQ(first->GetWindow()->GetTitle(), CString("untitled"));
        EXPECT_EQ(second->GetWindow()->GetTitle(), CString("untitled 2"));
        EXPECT_EQ(second->GetDisplayName(), CString("untitled 2"));
        EXPECT_TRUE(IsWindowVisible(second->GetWindow()->GetWindowRef()));
        // Asking again keeps the number; a document the last number went to gives it back
        // when a file names it.
        EXPECT_EQ(second->GetWindowTitle(), CString("untitled 2"));
        second->SetFile(CFile(CString((mFolder / "named.txt").c_str())));
        CDocument* third = NewDocument();
        ASSERT_NE(third, nullptr);
        EXPECT_EQ(third->GetWindow()->GetTitle(), CString("untitled 2"));
    }

    // Save As proposes the title with the document's extension; the saved file's name becomes the title.
    TEST_F(AppTest, SaveAsProposesTheTitleWithTheExtensionAndTheFileNamesTheWindow)
    {
        ScopedEnvironment home("HOME", mFolder.c_str()); // where the save sheet starts
        StartApp();
        NewDocument();
        CDocument* second = NewDocument();
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(second->CommandSaveAs(), noErr);
        ManualClock::RunFor(0.1);
        InputDriver::Key(36, '\r'); // Save, as proposed
        ManualClock::RunFor(0.5);
        EXPECT_TRUE(std::filesystem::is_regular_file(mFolder / "untitled 2.txt"));
        EXPECT_EQ(second->GetWindow()->GetTitle(), CString("untitled 2"));

        // Typing replaces the name, not its extension.
        EXPECT_EQ(second->CommandSaveAs(), noErr);
        ManualClock::RunFor(0.1);
        InputDriver::Type("Coast walk");
        InputDriver::Key(36, '\r');
        ManualClock::RunFor(0.5);
        EXPECT_EQ(second->GetWindow()->GetTitle(), CString("Coast walk"));
    }

    // A document's title takes one form whether or not its file keeps the hidden-extension flag;
    // a file of another kind keeps its extension.
    TEST_F(AppTest, EveryDocumentIsTitledInOneForm)
    {
        StartApp();
        CFile shown(CString((mFolder / "Places.txt").c_str()));
        CFile hidden(CString((mFolder / "Hidden.txt").c_str()));
        CFile other(CString((mFolder / "Track.gpx").c_str()));
        for (CFile* file : { &shown, &hidden, &other })
            ASSERT_EQ(CFileUtilities::WriteText(*file, "x", kCFStringEncodingUTF8), noErr);
        hidden.SetExtensionVisible(false);
        CDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        document->SetFile(shown);
        EXPECT_EQ(document->GetWindowTitle(), CString("Places"));
        document->SetFile(hidden);
        EXPECT_EQ(document->GetWindowTitle(), CString("Hidden"));
        document->SetFile(other);
        EXPECT_EQ(document->GetWindowTitle(), CString("Track.gpx"));
    }

    TEST_F(AppTest, FileCommandsAreEnabledByTheDocumentsState)
    {
        StartApp();
        CDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(document->GetMenuStatus(Command('save')), CCarbonEventHandler::kMenuStatusEnable) << "untitled";
        document->SetModified(true);
        EXPECT_EQ(document->GetMenuStatus(Command('rvrt')), CCarbonEventHandler::kMenuStatusDisable)
            << "nothing to revert to";
        document->SetFile(CFile(CString(PathFor("state.txt").c_str())));
        ASSERT_EQ(document->SaveDocument(), noErr);
        EXPECT_FALSE(document->IsModified());
        EXPECT_EQ(document->GetMenuStatus(Command('save')), CCarbonEventHandler::kMenuStatusDisable);
        EXPECT_EQ(document->GetMenuStatus(Command('rvrt')), CCarbonEventHandler::kMenuStatusDisable);
        document->SetModified(true);
        EXPECT_EQ(document->GetMenuStatus(Command('save')), CCarbonEventHandler::kMenuStatusEnable);
        EXPECT_EQ(document->GetMenuStatus(Command('rvrt')), CCarbonEventHandler::kMenuStatusEnable);
        EXPECT_EQ(document->GetMenuStatus(Command('clos')), CCarbonEventHandler::kMenuStatusEnable);
    }

    // Saved through the save sheet, closed and opened again: the same window bounds, in a
    // file that Python's plistlib reads.
    TEST_F(AppTest, SavedClosedAndReopenedDocumentKeepsItsBounds)
    {
        StartApp();
        CDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        document->GetWindow()->SetWindowBounds(CRect(140, 210, 440, 730), kWindowContentRgn, 0);
        Rect saved = ContentOf(document);
        std::string path = PathFor("round trip.txt");
        Responders::SaveAs(path);
        EXPECT_EQ(document->CommandSaveAs(), noErr);
        ManualClock::RunFor(1);
        ASSERT_TRUE(CDocument::IsDocument(document));
        EXPECT_EQ(document->GetFile().GetPath(), path);
        EXPECT_EQ(document->GetWindow()->GetTitle(), CString("round trip"));
        EXPECT_TRUE(mApp->GetRecentItems().GetFiles().Contains(document->GetFile()));

        std::string check = "python3 -c \"import plistlib,sys; d=plistlib.load(open(sys.argv[1],'rb')); "
                            "print(d['WindowBounds'])\" '"
            + path + "' > '" + PathFor("bounds.out") + "'";
        ASSERT_EQ(std::system(check.c_str()), 0) << "plistlib reads the document";
        std::ifstream bounds(PathFor("bounds.out"));
        std::string line;
        std::getline(bounds, line);
        double x = 0, y = 0, width = 0, height = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "%lf %lf %lf %lf", &x, &y, &width, &height), 4) << line;
        EXPECT_EQ(x, 210); // origin (left, top) and size of the content
        EXPECT_EQ(y, 140);
        EXPECT_EQ(width, 520);
        EXPECT_EQ(height, 300);

        CFile file = document->GetFile();
        CCarbonEvent close = CCarbonEvent::CreateWithHICommandID('clos');
        document->DispatchEvent(close, nullptr);
        EXPECT_TRUE(CDocument::GetDocuments(false).empty());

        CDocument* reopened = NewDocument(&file);
        ASSERT_NE(reopened, nullptr);
        Rect restored = ContentOf(reopened);
        EXPECT_EQ(restored.top, saved.top);
        EXPECT_EQ(restored.left, saved.left);
        EXPECT_EQ(restored.bottom, saved.bottom);
        EXPECT_EQ(restored.right, saved.right);
        EXPECT_FALSE(reopened->IsModified());
    }

    // A file renamed in a file manager while the program is in the background is followed when
    // the program's window gets the focus back: the title names it and Save writes into it.
    TEST_F(AppTest, ARenamedFileIsFollowedWhenTheProgramIsActivatedAndSavedUnderItsNewName)
    {
        StartApp();
        CFile const file(CString(PathFor("before.txt").c_str()));
        CDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        Responders::SaveAs(file.GetPath());
        EXPECT_EQ(document->CommandSaveAs(), noErr);
        ManualClock::RunFor(0.5);
        ASSERT_TRUE(std::filesystem::is_regular_file(file.GetPath()));

        InputDriver::Post(InputDriver::Make(display::InputKind::Deactivated));
        std::filesystem::rename(PathFor("before.txt"), PathFor("after.txt"));
        InputDriver::Post(InputDriver::Make(display::InputKind::Activated));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(document->GetWindow()->GetTitle(), CString("after"));
        document->SetModified(true);
        EXPECT_EQ(document->CommandSave(), noErr);
        EXPECT_FALSE(std::filesystem::exists(PathFor("before.txt"))) << "no second file under the old name";
        EXPECT_TRUE(std::filesystem::is_regular_file(PathFor("after.txt")));
        EXPECT_EQ(document->GetFile().GetPath(), PathFor("after.txt"));
    }

    // A file moved into another folder is followed there, activated or not; one deleted (or moved
    // off its file system) is not written again at its old place: Save asks where.
    TEST_F(AppTest, AFileMovedIntoAnotherFolderIsFollowedAndALostOneIsSavedWhereTheUserSays)
    {
        StartApp();
        std::filesystem::create_directories(PathFor("elsewhere"));
        CDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        Responders::SaveAs(PathFor("walk.txt"));
        EXPECT_EQ(document->CommandSaveAs(), noErr);
        ManualClock::RunFor(0.5);
        ASSERT_TRUE(std::filesystem::is_regular_file(PathFor("walk.txt")));

        InputDriver::Post(InputDriver::Make(display::InputKind::Deactivated));
        std::filesystem::rename(PathFor("walk.txt"), PathFor("elsewhere/walk.txt"));
        InputDriver::Post(InputDriver::Make(display::InputKind::Activated));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(document->GetFile().GetPath(), PathFor("elsewhere/walk.txt"));
        std::string const before = ReadFile(PathFor("elsewhere/walk.txt"));
        document->GetWindow()->SetWindowBounds(CRect(123, 157, 423, 677), kWindowContentRgn, 0);
        document->SetModified(true);
        EXPECT_EQ(document->CommandSave(), noErr);
        EXPECT_FALSE(std::filesystem::exists(PathFor("walk.txt"))) << "no new file at the old place";
        EXPECT_NE(ReadFile(PathFor("elsewhere/walk.txt")), before) << "the changes are in the moved file";
        EXPECT_FALSE(document->IsModified());

        // Moved again and saved with no activation between.
        std::filesystem::rename(PathFor("elsewhere/walk.txt"), PathFor("walk 2.txt"));
        document->SetModified(true);
        EXPECT_EQ(document->CommandSave(), noErr);
        EXPECT_FALSE(std::filesystem::exists(PathFor("elsewhere/walk.txt")));
        EXPECT_EQ(document->GetWindow()->GetTitle(), CString("walk 2"));

        // Deleted: the save sheet asks, and nothing is written at the old place meanwhile.
        std::filesystem::remove(PathFor("walk 2.txt"));
        document->SetModified(true);
        Responders::Reset();
        Responders::SaveAs(PathFor("found.txt"));
        EXPECT_EQ(document->CommandSave(), noErr);
        ManualClock::RunFor(0.5);
        ASSERT_FALSE(Responders::History().empty());
        EXPECT_EQ(Responders::History().front().kind, DialogKind::Save);
        EXPECT_FALSE(std::filesystem::exists(PathFor("walk 2.txt")));
        EXPECT_TRUE(std::filesystem::is_regular_file(PathFor("found.txt")));
        EXPECT_EQ(document->GetWindow()->GetTitle(), CString("found"));
        EXPECT_FALSE(document->IsModified());

        // Cancelled, it stays modified and writes nothing.
        std::filesystem::remove(PathFor("found.txt"));
        document->SetModified(true);
        Responders::Cancel(DialogKind::Save);
        document->CommandSave();
        ManualClock::RunFor(0.5);
        EXPECT_FALSE(std::filesystem::exists(PathFor("found.txt")));
        EXPECT_TRUE(document->IsModified());
    }

    // Two windows on one file would overwrite each other: the second Save As is refused, saying why.
    TEST_F(AppTest, SaveAsOntoAFileOpenInAnotherWindowIsRefusedAndNamesThatWindow)
    {
        StartApp();
        CDocument* first = NewDocument();
        CDocument* second = NewDocument();
        ASSERT_TRUE(first && second);
        Responders::SaveAs(PathFor("shared.txt"));
        EXPECT_EQ(first->CommandSaveAs(), noErr);
        ManualClock::RunFor(0.5);
        std::string const saved = ReadFile(PathFor("shared.txt"));
        ASSERT_FALSE(saved.empty());

        second->GetWindow()->SetWindowBounds(CRect(300, 300, 500, 700), kWindowContentRgn, 0);
        second->SetModified(true);
        Responders::SaveAs(PathFor("shared.txt"));
        Responders::PressAlertButton(3); // Replace, when the save sheet asks
        Responders::PressAlertButton(1);
        EXPECT_EQ(second->CommandSaveAs(), noErr);
        ManualClock::RunFor(0.5);
        ASSERT_EQ(AlertsShown(), 2u) << "the sheet's question, then why it cannot be done";
        EXPECT_TRUE(second->IsUntitled());
        EXPECT_TRUE(second->IsModified());
        EXPECT_EQ(ReadFile(PathFor("shared.txt")), saved);
    }

    // A document saved as "walk.gpx" would be taken for a GPX file: it gets its own extension.
    TEST_F(AppTest, SaveAsUnderAnotherKindsExtensionAddsTheDocumentsOwn)
    {
        StartApp();
        CDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        Responders::SaveAs(PathFor("walk.gpx"));
        EXPECT_EQ(document->CommandSaveAs(), noErr);
        ManualClock::RunFor(0.5);
        EXPECT_FALSE(std::filesystem::exists(PathFor("walk.gpx")));
        EXPECT_TRUE(std::filesystem::is_regular_file(PathFor("walk.gpx.txt")));
        EXPECT_EQ(document->GetWindow()->GetTitle(), CString("walk.gpx"));

        // The sheet asked about the name typed: a file with the longer name is replaced only when
        // the user says so.
        WriteFile(PathFor("other.gpx.txt"), "theirs");
        Responders::SaveAs(PathFor("other.gpx"));
        Responders::PressAlertButton(2);
        EXPECT_EQ(document->CommandSaveAs(), noErr);
        ManualClock::RunFor(0.5);
        EXPECT_EQ(AlertsShown(), 1u);
        EXPECT_EQ(ReadFile(PathFor("other.gpx.txt")), "theirs");
        EXPECT_EQ(document->GetFile().GetPath(), PathFor("walk.gpx.txt"));
    }

    TEST_F(AppTest, AFileThatIsNoPropertyListLeavesNoDocument)
    {
        StartApp();
        CFile broken(CString(PathFor("broken.txt").c_str()));
        CFileUtilities::WriteText(broken, "<plist><dict><key>a</key>", kCFStringEncodingUTF8);
        CDocument* document = nullptr;
        EXPECT_EQ(mApp->CommandCreate(&broken, &document), -206);
        EXPECT_EQ(document, nullptr);
        EXPECT_TRUE(CDocument::GetDocuments(false).empty());
        EXPECT_FALSE(mApp->GetRecentItems().GetFiles().Contains(broken));
    }

    TEST_F(AppTest, ADocumentThatSavesOnCloseIsNeverAskedAbout)
    {
        StartApp();
        CDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        document->SetFile(CFile(CString(PathFor("silent.txt").c_str())));
        document->SetSaveMode(CDocument::kSaveModeAlways);
        document->SetModified(true);
        EXPECT_TRUE(CDocument::GetDocuments(true).empty());
        document->Close();
        EXPECT_TRUE(CDocument::GetDocuments(false).empty());
        EXPECT_TRUE(Responders::History().empty()) << "no dialog";
        EXPECT_TRUE(CFile(CString(PathFor("silent.txt").c_str())).FileExists());
    }

    // The window marks unsaved changes until a save puts them on disk.
    TEST_F(AppTest, TheWindowShowsUnsavedChangesUntilTheyAreSaved)
    {
        StartApp();
        CDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        WindowRef window = document->GetWindow()->GetWindowRef();
        EXPECT_FALSE(IsWindowModified(window)) << "a new document has nothing to save";
        document->SetModified(true);
        EXPECT_TRUE(IsWindowModified(window));
        document->SetFile(CFile(CString(PathFor("marked.txt").c_str())));
        ASSERT_EQ(document->CommandSave(), noErr);
        EXPECT_FALSE(IsWindowModified(window)) << "saved";
    }

    TEST_F(AppTest, AFailedSaveIsReportedAndTheDocumentStaysModified)
    {
        StartApp();
        CDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        std::filesystem::create_directories(PathFor("a folder"));
        document->SetFile(CFile(CString(PathFor("a folder").c_str()))); // a folder cannot be written as a file
        document->SetModified(true);
        Responders::PressAlertButton(1);
        EXPECT_NE(document->CommandSave(), noErr);
        EXPECT_EQ(AlertsShown(), 1u);
        EXPECT_TRUE(document->IsModified());
        EXPECT_TRUE(IsWindowModified(document->GetWindow()->GetWindowRef())) << "still marked";
    }

    TEST_F(AppTest, ClosingAModifiedDocumentAsksAndDontSaveCloses)
    {
        StartApp();
        CDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        document->SetModified(true);
        Responders::Press(DialogKind::SaveChanges, kNavUserActionDontSaveChanges);
        document->Close();
        EXPECT_TRUE(CDocument::IsDocument(document)) << "the sheet decides";
        EXPECT_EQ(document->GetMenuStatus(Command('save')), CCarbonEventHandler::kMenuStatusDisable)
            << "file commands wait while the sheet is open";
        EXPECT_EQ(document->GetMenuStatus(Command('clos')), CCarbonEventHandler::kMenuStatusDisable);
        ManualClock::RunFor(1);
        EXPECT_TRUE(CDocument::GetDocuments(false).empty());
    }

    // A PDF that cannot be written (nothing can be made in /proc) is reported, not lost in silence.
    TEST_F(AppTest, APrintThatFailsSaysSo)
    {
        StartApp();
        CDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        Responders::PrintToPDF("/proc/tarnwick-cannot-be-here.pdf");
        Responders::PressAlertButton(1);
        EXPECT_EQ(document->CommandPrint(), noErr);
        ManualClock::RunFor(2);
        ASSERT_EQ(AlertsShown(), 1u);
        EXPECT_EQ(Responders::History().back().text, "\u201Cuntitled\u201D could not be printed.");
    }

} // namespace
} // namespace tw::test

namespace tw::test {
namespace {

    TEST_F(AppTest, ConstructControllerMakesTheWindowOrNothing)
    {
        StartApp();
        CWindowController* made = ConstructController<CWindowController>("Tarnwick", "Test", true);
        ASSERT_NE(made, nullptr);
        EXPECT_TRUE(made->GetHideOnClose());
        made->Close();
        EXPECT_FALSE(IsWindowVisible(made->GetWindow()->GetWindowRef())) << "hidden, not destroyed";
        delete made;
        EXPECT_EQ(ConstructController<CWindowController>("Tarnwick", "No Such Window", true), nullptr);
    }

} // namespace
} // namespace tw::test

namespace tw::test {
namespace {

    using toolbox::dialogs::DialogKind;
    using toolbox::dialogs::Responders;

    TEST_F(AppTest, RevertAsksThenReloadsTheSavedState)
    {
        StartApp();
        CDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        document->GetWindow()->SetWindowBounds(CRect(100, 100, 300, 400), kWindowContentRgn, 0);
        document->SetFile(CFile(CString(PathFor("revert.txt").c_str())));
        ASSERT_EQ(document->SaveDocument(), noErr);
        document->GetWindow()->SetWindowBounds(CRect(150, 160, 350, 460), kWindowContentRgn, 0);
        document->SetModified(true);

        Responders::Press(DialogKind::DiscardChanges, kNavUserActionDiscardChanges);
        EXPECT_EQ(document->CommandRevert(), noErr);
        ManualClock::RunFor(1);
        Rect content {};
        GetWindowBounds(document->GetWindow()->GetWindowRef(), kWindowContentRgn, &content);
        EXPECT_EQ(content.top, 100);
        EXPECT_EQ(content.left, 100);
        EXPECT_FALSE(document->IsModified());
    }

    // A file that can no longer be read is reported; the document keeps what it shows.
    TEST_F(AppTest, RevertToAFileThatCannotBeReadSaysSoAndKeepsTheChanges)
    {
        StartApp();
        CDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        document->SetFile(CFile(CString(PathFor("revert.txt").c_str())));
        ASSERT_EQ(document->SaveDocument(), noErr);
        std::string const whole = ReadFile(PathFor("revert.txt"));
        WriteFile(PathFor("revert.txt"), whole.substr(0, whole.size() / 2));
        document->SetModified(true);

        Responders::Press(DialogKind::DiscardChanges, kNavUserActionDiscardChanges);
        Responders::PressAlertButton(1);
        EXPECT_EQ(document->CommandRevert(), noErr);
        ManualClock::RunFor(1);
        EXPECT_EQ(AlertsShown(), 1u);
        EXPECT_TRUE(document->IsModified());
    }

    TEST_F(AppTest, PrintWritesOnePagePerChosenPage)
    {
        StartApp();
        CDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        std::string pdf = PathFor("printed.pdf");
        Responders::PrintToPDF(pdf);
        EXPECT_EQ(document->CommandPrint(), noErr);
        ManualClock::RunFor(2);
        std::ifstream file(pdf, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        EXPECT_EQ(bytes.rfind("%PDF", 0), 0u) << "a PDF was written";
        EXPECT_NE(bytes.find("/Count 1"), std::string::npos) << "one page";
    }

    // Gives the tests the document's print dialog, as a subclass that prints would have it.
    class PrintingDocument : public TestDocument {
    public:
        using CDocument::GetPrintDialog;
    };

    std::string PageSizeOf(std::string const& pdf)
    {
        std::string info;
        EXPECT_EQ(RunCommand("pdfinfo '" + pdf + "'", &info), 0) << pdf;
        std::size_t const at = info.find("Page size:");
        return at == std::string::npos ? std::string() : info.substr(at, info.find('\n', at) - at);
    }

    // The page format belongs to the document: a print neither ends printing nor forgets the paper.
    TEST_F(AppTest, ADocumentPrintsTwiceOnThePaperItsPageSetupChose)
    {
        StartApp();
        auto* document = new PrintingDocument;
        ASSERT_EQ(document->Initialise(nullptr), noErr);
        CPrintDialog& dialog = document->GetPrintDialog();
        ASSERT_EQ(dialog.CreateSession(), noErr);
        ASSERT_EQ(PMSetPaperName(dialog.GetPageFormat(), CFSTR("iso-a4")), noErr);
        ASSERT_EQ(PMSetOrientation(dialog.GetPageFormat(), kPMLandscape, false), noErr);
        Responders::AcceptPageSetup();
        EXPECT_EQ(document->CommandPageSetup(), noErr);
        ManualClock::RunFor(1);

        for (char const* name : { "first.pdf", "second.pdf" }) {
            std::string const pdf = PathFor(name);
            Responders::PrintToPDF(pdf);
            EXPECT_EQ(document->CommandPrint(), noErr) << name;
            ManualClock::RunFor(2);
            ASSERT_TRUE(std::filesystem::exists(pdf)) << name << " was not printed";
            EXPECT_NE(PageSizeOf(pdf).find("842 x 595"), std::string::npos) << name << ": " << PageSizeOf(pdf);
            EXPECT_FALSE(dialog.IsActive());
        }
        EXPECT_EQ(Responders::Pending(), 0u);
        PMOrientation orientation = 0;
        ASSERT_NE(dialog.GetPageFormat(), nullptr);
        EXPECT_EQ(PMGetOrientation(dialog.GetPageFormat(), &orientation), noErr);
        EXPECT_EQ(orientation, kPMLandscape);
    }

} // namespace
} // namespace tw::test

namespace tw::test {
namespace {

    // Stored bounds are outside data: unusable ones leave the window where the cascade put it.
    TEST_F(AppTest, DamagedWindowBoundsKeepTheWindowOnScreen)
    {
        StartApp();
        for (char const* bounds :
            { "nan nan 400 300", "10 10 -5 300", "1e30 1e30 1e30 1e30", "what", "10 10 0.5 0.9", "10 10 inf 300",
                "10 10 1 1", "10 10 3 200", "10 10 300 2" }) {
            CFile file(CString(PathFor("damaged.txt").c_str()));
            std::string text = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                                           "<key>WindowBounds</key><string>")
                + bounds + "</string></dict></plist>\n";
            CFileUtilities::WriteText(file, CString(text.c_str()), kCFStringEncodingUTF8);
            CDocument* document = NewDocument(&file);
            ASSERT_NE(document, nullptr) << bounds;
            Rect content = ContentOf(document);
            EXPECT_GT(content.right - content.left, 1) << bounds;
            EXPECT_GT(content.bottom - content.top, 1) << bounds;
            EXPECT_LT(content.right, 32767) << bounds;
            // Never below the size the window's grow box stops at.
            Rect structure {};
            GetWindowBounds(document->GetWindow()->GetWindowRef(), kWindowStructureRgn, &structure);
            EXPECT_GE(structure.right - structure.left, toolbox::Window::kMinimumSize.width) << bounds;
            EXPECT_GE(structure.bottom - structure.top, toolbox::Window::kMinimumSize.height) << bounds;
            delete document;
        }
    }

} // namespace
} // namespace tw::test
