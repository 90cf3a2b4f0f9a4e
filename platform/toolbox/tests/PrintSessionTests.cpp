#include "tests/support/TestSupport.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/dialogs/DialogKit.h"
#include "toolbox/dialogs/PrintObjects.h"
#include "toolbox/dialogs/Printing.h"
#include "toolbox/dialogs/Responders.h"
#include "toolbox/dialogs/StandardAlert.h"
#include "toolbox/tests/ToolboxTest.h"

namespace tw::test {
namespace {

    using toolbox::dialogs::DialogKind;
    using toolbox::dialogs::Responders;

    class PrintSessions : public ToolboxTest {
    protected:
        void SetUp() override
        {
            ToolboxTest::SetUp();
            Responders::Reset();
            ASSERT_EQ(PMCreateSession(&mSession), noErr);
            ASSERT_EQ(PMCreatePageFormat(&mFormat), noErr);
            ASSERT_EQ(PMCreatePrintSettings(&mSettings), noErr);
            PMSessionDefaultPageFormat(mSession, mFormat);
            PMSessionDefaultPrintSettings(mSession, mSettings);
        }
        void TearDown() override
        {
            PMRelease(mSession);
            PMRelease(mFormat);
            PMRelease(mSettings);
            ToolboxTest::TearDown();
        }

        PMPrintSession mSession = nullptr;
        PMPageFormat mFormat = nullptr;
        PMPrintSettings mSettings = nullptr;
        TempFolder mFolder;
    };

    TEST_F(PrintSessions, PagesOutsideADocumentAndBadValuesAreRefused)
    {
        CGContextRef context = nullptr;
        EXPECT_EQ(PMSessionBeginPage(mSession, mFormat, nullptr), kPMOutOfScope);
        EXPECT_EQ(PMSessionEndPage(mSession), kPMOutOfScope);
        EXPECT_EQ(PMSessionEndDocument(mSession), kPMOutOfScope);
        EXPECT_EQ(PMSessionGetCGGraphicsContext(mSession, &context), kPMOutOfScope);
        EXPECT_EQ(PMSetPageRange(mSettings, 3, 2), paramErr);
        EXPECT_EQ(PMSetPageRange(mSettings, 0, 2), paramErr);
        EXPECT_EQ(PMSetCopies(mSettings, 0, false), paramErr);
        EXPECT_EQ(PMSetOrientation(mFormat, 7, false), paramErr);
        EXPECT_EQ(PMRelease(static_cast<PMObject>(nullptr)), paramErr);
        EXPECT_EQ(
            PMSessionSetDocumentFormatGeneration(mSession, CFSTR("text/plain"), nullptr, nullptr), kPMInvalidParameter);
    }

    TEST_F(PrintSessions, TheModalPrintDialogStoresItsFieldsOnlyWhenAccepted)
    {
        PMSetPageRange(mSettings, 1, 9);
        Boolean accepted = true;
        Responders::Cancel(DialogKind::Print);
        EXPECT_EQ(PMSessionPrintDialog(mSession, mSettings, mFormat, &accepted), noErr);
        EXPECT_FALSE(accepted);
        PMDestinationType type = 0;
        std::string const pdf = (mFolder / "out.pdf").string();
        Responders::PrintToPDF(pdf);
        EXPECT_EQ(PMSessionPrintDialog(mSession, mSettings, mFormat, &accepted), noErr);
        EXPECT_TRUE(accepted);
        PMSessionGetDestinationType(mSession, mSettings, &type);
        EXPECT_EQ(type, kPMDestinationFile);
        CFURLRef location = nullptr;
        PMSessionCopyDestinationLocation(mSession, mSettings, &location);
        ASSERT_NE(location, nullptr);
        char path[1024] = {};
        CFURLGetFileSystemRepresentation(location, true, reinterpret_cast<UInt8*>(path), sizeof path);
        CFRelease(location);
        EXPECT_EQ(std::string(path), pdf);

        // A file in a folder that does not exist is refused with an alert; the print is then not accepted.
        Responders::PrintToPDF((mFolder / "gone" / "out.pdf").string());
        Responders::PressAlertButton(kAlertStdAlertOKButton);
        EXPECT_EQ(PMSessionPrintDialog(mSession, mSettings, mFormat, &accepted), noErr);
        EXPECT_FALSE(accepted);
        EXPECT_EQ(Responders::History().back().kind, DialogKind::Alert);
    }

    std::string sProposed; // the PDF file the print dialog proposed

    void ReadProposedPdfAndCancel(EventLoopTimerRef timer, void*)
    {
        RemoveEventLoopTimer(timer);
        ControlRef root = nullptr;
        GetRootControl(FrontWindow(), &root);
        for (HIViewRef view = HIViewGetFirstSubview(root); view; view = HIViewGetNextView(view)) {
            std::string const text = toolbox::dialogs::GetFieldText(view);
            if (text.size() > 4 && text.substr(text.size() - 4) == ".pdf")
                sProposed = text;
        }
        toolbox::dialogs::SendCommand(GetWindowEventTarget(FrontWindow()), kHICommandCancel);
    }

    // The print dialog proposes the job's name without its extension, as a PDF file at home.
    TEST_F(PrintSessions, PrintToPdfProposesTheNameWithoutItsExtension)
    {
        ScopedEnvironment home("HOME", mFolder.Path().c_str());
        PMSetJobNameCFString(mSettings, CFSTR("Lake District.twk"));
        sProposed.clear();
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 0.01, 0,
            &ReadProposedPdfAndCancel,
            nullptr, &timer);
        Boolean accepted = true;
        EXPECT_EQ(PMSessionPrintDialog(mSession, mSettings, mFormat, &accepted), noErr);
        EXPECT_FALSE(accepted);
        EXPECT_EQ(sProposed, (mFolder / "Lake District.pdf").string());

        // Once a job went to a PDF file in another folder, the next job, with settings of its own,
        // is proposed there.
        std::filesystem::create_directories(mFolder / "Trips");
        Responders::PrintToPDF((mFolder / "Trips" / "Coast.pdf").string());
        ASSERT_EQ(PMSessionPrintDialog(mSession, mSettings, mFormat, &accepted), noErr);
        ASSERT_TRUE(accepted);
        PMPrintSettings fresh = nullptr;
        ASSERT_EQ(PMCreatePrintSettings(&fresh), noErr);
        PMSessionDefaultPrintSettings(mSession, fresh);
        PMSetJobNameCFString(fresh, CFSTR("Lake District.twk"));
        InstallEventLoopTimer(
            GetMainEventLoop(), 0.01, 0,
            &ReadProposedPdfAndCancel,
            nullptr, &timer);
        EXPECT_EQ(PMSessionPrintDialog(mSession, fresh, mFormat, &accepted), noErr);
        EXPECT_EQ(sProposed, (mFolder / "Trips" / "Lake District.pdf").string());
        PMRelease(fresh);
    }

    TEST_F(PrintSessions, AnExistingPdfIsReplacedOnlyWhenTheUserAgrees)
    {
        std::string const pdf = (mFolder / "Trip.pdf").string();
        WriteFile(pdf, "kept");
        Responders::PrintToPDF(pdf);
        Responders::PressAlertButton(kAlertStdAlertOKButton); // Cancel, the default
        Boolean accepted = true;
        EXPECT_EQ(PMSessionPrintDialog(mSession, mSettings, mFormat, &accepted), noErr);
        EXPECT_FALSE(accepted);
        ASSERT_EQ(Responders::History().back().kind, DialogKind::Alert);
        EXPECT_NE(Responders::History().back().text.find("\u201CTrip.pdf\u201D already exists"), std::string::npos);

        Responders::PrintToPDF(pdf);
        Responders::PressAlertButton(kAlertStdAlertOtherButton); // Replace
        EXPECT_EQ(PMSessionPrintDialog(mSession, mSettings, mFormat, &accepted), noErr);
        EXPECT_TRUE(accepted);
        EXPECT_EQ(ReadFile(pdf), "kept") << "the dialog only chose the file; the job writes it";
    }

    // Without a papersize file the locale decides: most of the world prints on A4.
    TEST_F(PrintSessions, TheDefaultPaperComesFromThePapersizeFileElseTheLocale)
    {
        using toolbox::dialogs::DefaultPaper;
        WriteFile(mFolder / "letter", "# the system's paper\nletter\n");
        WriteFile(mFolder / "a4", "a4\n");
        ScopedEnvironment all("LC_ALL", nullptr);
        ScopedEnvironment lang("LANG", "C.UTF-8");
        {
            ScopedEnvironment paper("LC_PAPER", "de_DE.UTF-8");
            EXPECT_EQ(DefaultPaper((mFolder / "letter").string()), "na-letter") << "the file wins";
            EXPECT_EQ(DefaultPaper((mFolder / "absent").string()), "iso-a4");
        }
        {
            ScopedEnvironment paper("LC_PAPER", "en_US.UTF-8");
            EXPECT_EQ(DefaultPaper((mFolder / "a4").string()), "iso-a4") << "the file wins";
            EXPECT_EQ(DefaultPaper((mFolder / "absent").string()), "na-letter");
        }
        {
            ScopedEnvironment paper("LC_PAPER", "fr_CA.UTF-8@euro");
            EXPECT_EQ(DefaultPaper((mFolder / "absent").string()), "na-letter");
        }
        ScopedEnvironment paper("LC_PAPER", nullptr);
        EXPECT_EQ(DefaultPaper((mFolder / "absent").string()), "iso-a4") << "the C locale's paper";
    }

    TEST_F(PrintSessions, AFileJobWritesOnePdfPagePerPage)
    {
        std::string const pdf = (mFolder / "three.pdf").string();
        CFURLRef url = CFURLCreateFromFileSystemRepresentation(
            nullptr, reinterpret_cast<UInt8 const*>(pdf.data()), CFIndex(pdf.size()), false);
        ASSERT_EQ(PMSessionSetDestination(mSession, mSettings, kPMDestinationFile, nullptr, url), noErr);
        CFRelease(url);
        PMSetOrientation(mFormat, kPMLandscape, false);
        ASSERT_EQ(PMSessionBeginCGDocument(mSession, mSettings, mFormat), noErr);
        EXPECT_EQ(PMSessionBeginCGDocument(mSession, mSettings, mFormat), kPMOutOfScope);
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(PMSessionBeginPage(mSession, mFormat, nullptr), noErr);
            CGContextRef context = nullptr;
            ASSERT_EQ(PMSessionGetCGGraphicsContext(mSession, &context), noErr);
            CGContextFillRect(context, { { 50, 50 }, { 10, 10 } });
            ASSERT_EQ(PMSessionEndPage(mSession), noErr);
        }
        ASSERT_EQ(PMSessionEndDocument(mSession), noErr);
        std::string info;
        ASSERT_EQ(RunCommand("pdfinfo '" + pdf + "'", &info), 0);
        EXPECT_NE(info.find("Pages:           3"), std::string::npos) << info;
        PMRect paper;
        PMGetAdjustedPaperRect(mFormat, &paper);
        std::string const size = std::to_string(int(paper.right - paper.left)) + " x "
            + std::to_string(int(paper.bottom - paper.top)) + " pts";
        EXPECT_NE(info.find(size), std::string::npos) << "landscape paper: " << size << "\n" << info;
    }

} // namespace
} // namespace tw::test
