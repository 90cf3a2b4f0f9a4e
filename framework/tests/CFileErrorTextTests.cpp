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
