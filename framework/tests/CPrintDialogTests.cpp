#include "framework/CPrintDialog.h"
#include "framework/tests/DialogTest.h"
#include "tests/support/InputDriver.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/controls/ControlDefinitions.h"

#include <regex>

namespace tw::test {
namespace {

    using toolbox::dialogs::DialogKind;
    using toolbox::dialogs::Responders;

    class PrintDialog : public DialogTest {
    protected:
        void SetUp() override
        {
            DialogTest::SetUp();
            mDialog.AddListener(&mLog);
            mLog.onMessage = [this](UInt32 message, void* parameter) {
                if (message == CPrintDialog::kMsgPrintDialogResult)
                    mResults.push_back(*static_cast<PrintDialogResult*>(parameter));
                if (mOnResult)
                    mOnResult();
            };
        }

        // Prints the pages of the job as the document does: each through the print draw event.
        void PrintPages(int pages)
        {
            PMPrintSession const session = mDialog.GetPrintSession();
            ASSERT_EQ(PMSessionBeginCGDocument(session, mDialog.GetPrintSettings(), mDialog.GetPageFormat()), noErr);
            for (int page = 0; page < pages; ++page) {
                ASSERT_EQ(PMSessionBeginPage(session, mDialog.GetPageFormat(), nullptr), noErr);
                CCarbonEvent draw = mDialog.GetPrintDrawEvent();
                ASSERT_TRUE(draw.IsValid());
                EXPECT_TRUE(draw.GetParameterBool(CPrintDialog::kEventParamPrinting));
                CGContextRef const c = draw.GetCGContext();
                CGContextSetRGBFillColor(c, 0, 0, 0, 1);
                CGContextFillRect(c, { { 0, 0 }, { 100, 50 } }); // the page's top-left corner
                ASSERT_EQ(PMSessionEndPage(session), noErr);
            }
            ASSERT_EQ(PMSessionEndDocument(session), noErr);
        }

        static std::string PdfInfo(std::filesystem::path const& pdf)
        {
            std::string output;
            EXPECT_EQ(RunCommand("pdfinfo '" + pdf.string() + "'", &output), 0);
            return output;
        }

        TempFolder mFolder;
        CPrintDialog mDialog;
        MessageLog mLog;
        std::vector<PrintDialogResult> mResults;
        std::function<void()> mOnResult;
    };

    TEST_F(PrintDialog, APrintedTwoPageJobIsAPdfOfTwoPagesOfThePaperSize)
    {
        std::filesystem::path const pdf = mFolder / "job.pdf";
        mDialog.SetJobName(CString("Trip"));
        mDialog.SetPageRange(1, 2);
        Responders::PrintToPDF(pdf.string());
        EXPECT_EQ(mDialog.DoPrint(), noErr) << "modal: accepted";
        EXPECT_FALSE(mDialog.IsActive());
        UInt32 first = 0, last = 0;
        EXPECT_EQ(mDialog.GetPageRange(first, last, true), noErr);
        EXPECT_EQ(first, 1u);
        EXPECT_EQ(last, 2u) << "all pages, limited to the document's";
        PrintPages(2);

        std::string const info = PdfInfo(pdf);
        EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
        CGSize const paper = mDialog.GetPrintPaperRect().size;
        std::smatch size;
        ASSERT_TRUE(std::regex_search(info, size, std::regex("Page size: +([0-9.]+) x ([0-9.]+) pts")));
        EXPECT_NEAR(std::stod(size[1]), paper.width, 0.5);
        EXPECT_NEAR(std::stod(size[2]), paper.height, 0.5);
    }

    TEST_F(PrintDialog, PageSetupChangesThePaperRectanglesAndACancelledPrintIsUserCancelled)
    {
        mDialog.CreateSession();
        ASSERT_EQ(PMSetOrientation(mDialog.GetPageFormat(), kPMLandscape, false), noErr);
        ASSERT_EQ(PMSetPaperName(mDialog.GetPageFormat(), CFSTR("iso-a4")), noErr);
        CGRect const paper = mDialog.GetPrintPaperRect();
        CGRect const page = mDialog.GetPrintPageRect();
        EXPECT_EQ(paper.size.width, 842);
        EXPECT_EQ(paper.size.height, 595);
        EXPECT_LT(paper.origin.x, 0) << "the paper reaches past the printable area";
        EXPECT_EQ(page.origin.x, 0);
        EXPECT_EQ(page.size.width, paper.size.width + 2 * paper.origin.x);

        Responders::AcceptPageSetup();
        EXPECT_EQ(mDialog.DoPageSetup(), noErr);
        EXPECT_EQ(mDialog.GetPrintPaperRect().size.width, 842) << "accepted as shown: A4 across";
        Responders::Cancel(DialogKind::Print);
        EXPECT_EQ(mDialog.DoPrint(), userCanceledErr);
        EXPECT_EQ(PMSetPaperName(mDialog.GetPageFormat(), CFSTR("tabloid")), paramErr);
    }

    TEST_F(PrintDialog, APrintAskedForDuringThePageSetupResultRunsHalfASecondLater)
    {
        WindowRef parent = MakeWindow({ 100, 100, 500, 700 });
        mDialog.SetParent(parent);
        Responders::AcceptPageSetup();
        Responders::Cancel(DialogKind::Print);
        bool asked = false;
        mOnResult = [&] {
            if (asked)
                return;
            asked = true;
            EXPECT_EQ(mDialog.DoPrint(), noErr);
        };
        EXPECT_EQ(mDialog.DoPageSetup(), noErr);
        EXPECT_TRUE(mDialog.IsActive());
        ManualClock::RunFor(0.1);
        ASSERT_EQ(mResults.size(), 1u);
        EXPECT_EQ(mResults[0].kind, kPrintDialogPageSetup);
        EXPECT_TRUE(mResults[0].accepted);
        EXPECT_EQ(Responders::History().size(), 1u) << "the print waits";
        ManualClock::RunFor(0.35);
        EXPECT_EQ(Responders::History().size(), 1u);
        ManualClock::RunFor(0.1);
        ASSERT_EQ(Responders::History().size(), 2u);
        EXPECT_EQ(Responders::History()[1].kind, DialogKind::Print);
        ManualClock::RunFor(0.1);
        ASSERT_EQ(mResults.size(), 2u);
        EXPECT_EQ(mResults[1].kind, kPrintDialogPrint);
        EXPECT_FALSE(mResults[1].accepted);
        EXPECT_FALSE(mDialog.IsActive());
        DisposeWindow(parent);
    }

    TEST_F(PrintDialog, DestroyingTheDialogWhileItsSheetRunsEndsTheSheetWithoutAResult)
    {
        WindowRef parent = MakeWindow({ 100, 100, 500, 700 });
        auto* dialog = new CPrintDialog;
        dialog->AddListener(&mLog);
        dialog->SetParent(parent);
        Responders::PrintToPDF((mFolder / "never.pdf").string());
        EXPECT_EQ(dialog->DoPrint(), noErr);
        delete dialog;
        ManualClock::RunFor(1);
        EXPECT_TRUE(mResults.empty());
        EXPECT_FALSE(HIWindowIsDocumentModalTarget(parent, nullptr));
        ByteCount size = 0;
        EXPECT_NE(GetWindowPropertySize(parent, 'Twck', CPrintDialog::kPropertyPrintDialog, &size), noErr);
        DisposeWindow(parent);
    }

    TEST_F(PrintDialog, AListenerMayDestroyTheDialogWhileTheResultIsSent)
    {
        WindowRef parent = MakeWindow({ 100, 100, 500, 700 });
        auto* dialog = new CPrintDialog;
        MessageLog log;
        log.onMessage = [&](UInt32 message, void*) {
            if (message == CPrintDialog::kMsgPrintDialogResult)
                delete dialog;
        };
        dialog->AddListener(&log);
        dialog->SetParent(parent);
        Responders::AcceptPageSetup();
        EXPECT_EQ(dialog->DoPageSetup(), noErr);
        ManualClock::RunFor(0.1);
        EXPECT_EQ(log.Count(CPrintDialog::kMsgPrintDialogResult), 1u);
        EXPECT_FALSE(HIWindowIsDocumentModalTarget(parent, nullptr));
        DisposeWindow(parent);
    }

    // What has the focus in a window: a control's title, or a field's text.
    std::string FocusName(WindowRef window)
    {
        ControlRef focus = nullptr;
        GetKeyboardFocus(window, &focus);
        if (!focus)
            return "none";
        CFStringRef text = nullptr;
        if (GetControlData(focus, kControlEditTextPart, kControlEditTextCFStringTag, sizeof text, &text, nullptr)
                == noErr
            && text) {
            std::string const name = "[" + cf::ToUTF8(text) + "]";
            CFRelease(text);
            return name;
        }
        CFStringRef title = nullptr;
        CopyControlTitleAsCFString(focus, &title);
        std::string const name = title ? cf::ToUTF8(title) : "?";
        if (title)
            CFRelease(title);
        return name;
    }

    // A page range printed from the keyboard alone: Tab reaches every control of the sheet,
    // Space unchecks All and presses Print.
    TEST_F(PrintDialog, TabReachesEveryControlOfThePrintSheetAndARangePrintsFromTheKeyboard)
    {
        std::filesystem::path const pdf = mFolder / "range.pdf";
        WindowRef parent = MakeWindow({ 80, 60, 560, 700 });
        mDialog.SetParent(parent);
        mDialog.SetJobName(CString("Lake District"));
        mDialog.SetPageRange(1, 4);
        ASSERT_EQ(mDialog.DoPrint(), noErr);
        ManualClock::RunFor(0.1);
        WindowRef sheet = nullptr;
        ASSERT_TRUE(HIWindowIsDocumentModalTarget(parent, &sheet));
        auto const key = [](UInt32 code, UInt32 character, UInt32 modifiers = 0) {
            InputDriver::Key(code, character, modifiers);
            ManualClock::RunFor(0.1);
        };
        // Round the sheet: the printer, the PDF file, the copies, All (the range's fields are off
        // while it is on), Cancel and Print.
        auto const name = [&] {
            std::string const focus = FocusName(sheet);
            return focus.find(".pdf]") != std::string::npos ? std::string("[file]") : focus;
        };
        std::vector<std::string> seen { name() };
        for (int i = 0; i < 7; ++i) {
            key(display::kVK_Tab, display::kTabCharCode);
            seen.push_back(name());
        }
        EXPECT_EQ(seen, (std::vector<std::string> { "none", "", "[file]", "[1]", "All", "Cancel", "Print", "" }));
        key(display::kVK_Tab, display::kTabCharCode, shiftKey);
        EXPECT_EQ(name(), "Print") << "Shift+Tab goes back";

        // Pages 2 to 3 into a file, from the keyboard alone: a field reached by Tab has its
        // text selected, so typing replaces it.
        key(display::kVK_Tab, display::kTabCharCode); // the printer
        key(display::kVK_Tab, display::kTabCharCode); // the PDF file
        InputDriver::TypeKeys(pdf.string());
        key(display::kVK_Tab, display::kTabCharCode); // the copies
        key(display::kVK_Tab, display::kTabCharCode); // All
        ASSERT_EQ(name(), "All");
        key(display::kVK_Space, ' ');
        key(display::kVK_Tab, display::kTabCharCode); // From
        InputDriver::TypeKeys("2");
        key(display::kVK_Tab, display::kTabCharCode); // to
        InputDriver::TypeKeys("3");
        key(display::kVK_Tab, display::kTabCharCode); // Cancel
        key(display::kVK_Tab, display::kTabCharCode); // Print
        ASSERT_EQ(name(), "Print");
        key(display::kVK_Space, ' ');
        ManualClock::RunFor(0.5);
        ASSERT_EQ(mResults.size(), 1u) << "Space on Print printed nothing";
        EXPECT_EQ(mResults[0].kind, kPrintDialogPrint);
        EXPECT_TRUE(mResults[0].accepted);
        UInt32 first = 0, last = 0;
        EXPECT_EQ(mDialog.GetPageRange(first, last, true), noErr);
        EXPECT_EQ(first, 2u);
        EXPECT_EQ(last, 3u);
        PrintPages(2);
        std::string const info = PdfInfo(pdf);
        EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
        DisposeWindow(parent);
    }

    TEST_F(PrintDialog, TheDrawEventFlipsAndPlacesThePrintableArea)
    {
        std::filesystem::path const pdf = mFolder / "geometry.pdf";
        mDialog.CreateSession();
        CFURLRef url = CFURLCreateFromFileSystemRepresentation(
            nullptr, reinterpret_cast<UInt8 const*>(pdf.c_str()), CFIndex(pdf.string().size()), false);
        ASSERT_EQ(PMSessionSetDestination(
                      mDialog.GetPrintSession(), mDialog.GetPrintSettings(), kPMDestinationFile, nullptr, url),
            noErr);
        CFRelease(url);
        PrintPages(1);
        // Rendered back at 72 dpi: the black box sits at the printable area's top-left corner.
        std::string const png = (mFolder / "page").string();
        ASSERT_EQ(RunCommand("pdftoppm -r 72 -png -singlefile '" + pdf.string() + "' '" + png + "'"), 0);
        std::string ppm;
        ASSERT_EQ(RunCommand("convert '" + png + ".png' -crop 1x1+28+28 txt:- ", &ppm), 0);
        EXPECT_NE(ppm.find("#000000"), std::string::npos) << ppm;
        ASSERT_EQ(RunCommand("convert '" + png + ".png' -crop 1x1+10+10 txt:- ", &ppm), 0);
        EXPECT_NE(ppm.find("#FFFFFF"), std::string::npos) << "the margin stays blank: " << ppm;
        ASSERT_EQ(RunCommand("convert '" + png + ".png' -crop 1x1+28+80 txt:- ", &ppm), 0);
        EXPECT_NE(ppm.find("#FFFFFF"), std::string::npos) << "the box is 50 points high, from the top: " << ppm;
    }

} // namespace
} // namespace tw::test
