#include "AppTest.h"
#include "foundation/Status.h"
#include "framework/CFileErrorText.h"
#include "tests/support/InputDriver.h"
#include "tests/support/ScreenProbe.h"
#include "tests/support/TestSupport.h"

#include <sys/stat.h>

// What the user reads when a file could not be opened, saved or printed.
namespace tw::test {
namespace {

    using E = CFileErrorText;
    using toolbox::dialogs::Responders;

    TEST(CFileErrorText, SaysWhyInWordsFromTheFileAndTheStatus)
    {
        TempFolder folder;
        WriteFile(folder / "plain.txt", "x");
        CFile const missing(CString((folder / "gone.twk").c_str()));
        CFile const directory(CString(folder.Path().c_str()));
        CFile const plain(CString((folder / "plain.txt").c_str()));

        EXPECT_EQ(E::GetHeadline(E::kOpen, "gone.twk"), CString("\u201Cgone.twk\u201D could not be opened."));
        EXPECT_EQ(E::GetReason(E::kOpen, missing, fnfErr), CString("There is no such file."));
        // Reading a folder fails as if there were no file: the folder itself says what it is.
        EXPECT_EQ(E::GetReason(E::kOpen, directory, fnfErr), CString("It is a folder."));
        EXPECT_EQ(E::GetReason(E::kOpen, plain, kNothingParseableErr), CString("It is not a Tarnwick document."));
        EXPECT_EQ(E::GetReason(E::kOpen, plain, memFullErr), CString("The file is too large."));
        EXPECT_EQ(E::GetReason(E::kSave, plain, dskFulErr), CString("The disk is full."));
        EXPECT_EQ(E::GetReason(E::kSave, plain, permErr), CString("You do not have permission to write there."));
        EXPECT_EQ(E::GetReason(E::kSave, missing, fnfErr), CString("The folder it goes in no longer exists."));
        EXPECT_EQ(E::GetReason(E::kPrint, CFile(), kPMNoDefaultPrinter), CString("No printer is set up."));
        // A folder where the file goes, a pipe where a file was, a document cut short.
        EXPECT_EQ(
            E::GetReason(E::kSave, directory, ioErr), CString("A folder of that name is where the file should go."));
        ASSERT_EQ(mkfifo((folder / "pipe.twk").c_str(), 0600), 0);
        EXPECT_EQ(E::GetReason(E::kOpen, CFile(CString((folder / "pipe.twk").c_str())), kNotAFileErr),
            CString("It is not an ordinary file: only files can be opened."));
        WriteFile(folder / "cut.twk",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n<key>Obj");
        EXPECT_EQ(E::GetReason(E::kOpen, CFile(CString((folder / "cut.twk").c_str())), kNothingParseableErr),
            CString("It is damaged or cut short: it could not be read to its end."));

        // A status without words of its own still gets a sentence; the number is only its tail.
        CString const unknown = E::GetReason(E::kSave, plain, -5000);
        EXPECT_TRUE(unknown.Contains("unexpected error"));
        EXPECT_TRUE(unknown.Contains("-5000"));
    }

    // A name longer than a folder takes (256 bytes) is said to be too long, on a save and on an
    // open, never as an unexpected error with a number; the document stays where it was.
    TEST_F(AppTest, ANameTooLongIsSaidToBeTooLong)
    {
        StartApp();
        std::string const tooLong = PathFor((std::string(252, 'n') + ".txt").c_str());
        std::string const sentence
            = "The name is too long: a file name can have at most 255 bytes (fewer letters when they are not plain ASCII).";
        CDocument* document = NewDocument();
        ASSERT_NE(document, nullptr);
        Responders::SaveAs(tooLong);
        Responders::PressAlertButton(1);
        EXPECT_EQ(document->CommandSaveAs(), noErr);
        ManualClock::RunFor(1);
        ASSERT_EQ(Responders::History().size(), 2u) << "the save sheet and one alert";
        EXPECT_NE(Responders::History()[1].text.find("could not be saved"), std::string::npos);
        EXPECT_EQ(Responders::History()[1].detail, sentence);
        EXPECT_TRUE(CDocument::IsDocument(document));
        EXPECT_FALSE(document->GetFile().IsSpecified()) << "still untitled";
        // Opening such a name, as a command line or a typed path may ask.
        CFile const file(CString(tooLong.c_str()));
        CDocument* opened = nullptr;
        OSStatus const status = mApp->CommandCreate(&file, &opened);
        EXPECT_NE(status, noErr);
        EXPECT_EQ(opened, nullptr);
        EXPECT_EQ(E::GetReason(E::kOpen, file, status), CString(sentence.c_str()));
        // One byte less is a name like any other.
        std::string const longest = PathFor((std::string(251, 'n') + ".txt").c_str());
        Responders::SaveAs(longest);
        EXPECT_EQ(document->CommandSaveAs(), noErr);
        ManualClock::RunFor(1);
        EXPECT_EQ(document->GetFile().GetPath(), longest);
        EXPECT_EQ(Responders::History().size(), 3u) << "no alert";
    }

    // A failed open is a caution, not a note: the alert's badge is amber.
    TEST_F(AppTest, AFailedOpenShowsACautionAlertNamingTheFile)
    {
        StartApp();
        static int sAmber = 0;
        sAmber = 0;
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 0.01, 0,
            [](EventLoopTimerRef t, void*) {
                RemoveEventLoopTimer(t);
                sAmber = ProbeScreen().Count(
                    ProbeScreen().Whole(), [](Pixel p) { return IsColour(p, 242, 173, 26, 255, 3); });
                InputDriver::Key(36, '\r');
            },
            nullptr, &timer);
        mApp->ShowOpenError(CFile(CString(PathFor("Lake District.twk").c_str())), fnfErr);
        EXPECT_GT(sAmber, 200) << "the caution badge";
        ASSERT_FALSE(toolbox::dialogs::Responders::History().empty());
        EXPECT_EQ(
            toolbox::dialogs::Responders::History().back().text, "\u201CLake District.twk\u201D could not be opened.");
    }

} // namespace
} // namespace tw::test
