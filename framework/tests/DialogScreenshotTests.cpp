#include "foundation/CFileUtilities.h"
#include "foundation/StCFRef.h"
#include "framework/CFileDialog.h"
#include "framework/CMacWindow.h"
#include "framework/CPrintDialog.h"
#include "framework/CSplashScreen.h"
#include "framework/CStandardAlert.h"
#include "framework/tests/DialogTest.h"
#include "tests/support/ScreenProbe.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/dialogs/AlertDialog.h"

#include <cstdlib>

// Each dialog as the user sees it, written as a PNG (into $TW_SCREENSHOT_DIR when
// set, else the test home) and probed: a light dialog face with dark text on it.
namespace tw::test {
namespace {

    using toolbox::dialogs::DialogKind;
    using toolbox::dialogs::Responders;

    class DialogLooks : public DialogTest {
    protected:
        static std::string Shot(char const* name)
        {
            char const* dir = std::getenv("TW_SCREENSHOT_DIR");
            std::filesystem::path const folder = dir ? std::filesystem::path(dir) : TestHome();
            std::string const path = (folder / name).string();
            EXPECT_EQ(display::WindowServer::Get().WritePNG(path), noErr);
            return path;
        }

        // The window's content on screen: mostly the light dialog face, with some dark text.
        static void ExpectDialogFace(WindowRef window)
        {
            Rect content {};
            GetWindowBounds(window, kWindowContentRgn, &content);
            PixelProbe const screen = ProbeScreen();
            PixelBox const box { content.left + 2, content.top + 2, content.right - 2, content.bottom - 2 };
            int const total = (box.right - box.left) * (box.bottom - box.top);
            int const light = screen.Count(box, [](Pixel p) { return p.r > 215 && p.g > 215 && p.b > 215; });
            int const dark = screen.Count(box, [](Pixel p) { return p.r < 80 && p.g < 80 && p.b < 80; });
            EXPECT_GT(light, total / 2);
            EXPECT_GT(dark, total / 200) << "no text drawn";
        }

        // Runs the loop briefly from inside the dialog's own run, for modal dialogs.
        static void WhileRunning(std::function<void()> look)
        {
            static std::function<void()> sLook;
            sLook = std::move(look);
            EventLoopTimerRef timer = nullptr;
            InstallEventLoopTimer(
                GetMainEventLoop(), 0.01, 0,
                [](EventLoopTimerRef t, void*) {
                    RemoveEventLoopTimer(t);
                    sLook();
                },
                nullptr, &timer);
        }

        TempFolder mFolder;
    };

    // The list has the keyboard (its ring drawn), a scroll bar for the many files, and an icon per row.
    TEST_F(DialogLooks, OpenDialog)
    {
        Touch(mFolder / "Coast walk.gpx");
        std::filesystem::create_directory(mFolder / "Exports");
        Touch(mFolder / "Lake District.twk");
        for (int i = 1; i <= 30; ++i)
            Touch(mFolder / ("Walk " + std::to_string(i) + ".gpx"));
        CFileDialog dialog;
        dialog.SetDefaultLocation(CFile(CString(mFolder.Path().c_str())));
        WhileRunning([] {
            WindowRef const window = FrontWindow();
            ExpectDialogFace(window);
            ControlRef list = nullptr;
            ASSERT_EQ(GetKeyboardFocus(window, &list), noErr);
            ASSERT_NE(list, nullptr) << "the list has the keyboard";
            HIRect frame {};
            HIViewGetFrame(list, &frame);
            Rect content {};
            GetWindowBounds(window, kWindowContentRgn, &content);
            int const left = content.left + int(frame.origin.x), top = content.top + int(frame.origin.y) + 1;
            auto const icon = [&](int row) {
                return PixelBox { left + 6, top + 20 * row + 2, left + 22, top + 20 * row + 18 };
            };
            PixelProbe const screen = ProbeScreen();
            EXPECT_GT(screen.Count(icon(1), [](Pixel p) { return IsColour(p, 115, 179, 245, 255, 3); }), 40)
                << "the folder of Exports";
            EXPECT_GT(screen.Count(icon(2), [](Pixel p) { return IsColour(p, 28, 59, 84, 255, 3); }), 10)
                << "the badge of our document";
            EXPECT_EQ(screen.Count(icon(0), [](Pixel p) { return IsColour(p, 28, 59, 84, 255, 3); }), 0)
                << "no badge on another file";
            // The thumb: darker than the track, in the bar at the list's right edge.
            int const bar = left + int(frame.size.width) - 9;
            EXPECT_TRUE(screen.Any({ bar, top, bar + 2, top + 30 }, [](Pixel p) { return p.r < 200; }));
            Shot("open-dialog.png");
        });
        FileDialogResult result;
        EXPECT_EQ(dialog.ChooseFile(CString("Choose the documents to open."), CString(), nullptr, result),
            kNavUserActionCancel)
            << "the minute's fallback cancels";
    }

    TEST_F(DialogLooks, SaveSheet)
    {
        Touch(mFolder / "Lake District.twk");
        Touch(mFolder / "Coast walk.gpx");
        std::filesystem::create_directory(mFolder / "Exports");
        WindowRef parent = MakeWindow({ 80, 60, 560, 700 });
        CFileDialog dialog;
        dialog.SetParent(parent);
        dialog.SetDefaultLocation(CFile(CString(mFolder.Path().c_str())));
        dialog.ChooseSave(
            CString("Save the document as:"), CString(), nullptr, CString("untitled.twk"), 0, 0, false, nullptr);
        ManualClock::RunFor(0.1);
        WindowRef sheet = nullptr;
        ASSERT_TRUE(HIWindowIsDocumentModalTarget(parent, &sheet));
        ExpectDialogFace(sheet);
        Shot("save-sheet.png");
        dialog.Cancel();
        DisposeWindow(parent);
    }

    TEST_F(DialogLooks, ReplaceAlert)
    {
        WhileRunning([] {
            ExpectDialogFace(FrontWindow());
            Shot("replace-alert.png");
        });
        EXPECT_FALSE(toolbox::dialogs::ConfirmReplace("Lake District.twk")) << "the minute's fallback cancels";
    }

    TEST_F(DialogLooks, Alert)
    {
        WhileRunning([] {
            ExpectDialogFace(FrontWindow());
            Shot("alert.png");
        });
        CStandardAlert alert;
        alert.SetType(kAlertCautionAlert);
        alert.SetTextMajor(CString("The track could not be imported."));
        alert.SetTextMinor(CString("The file \u201CCoast walk.gpx\u201D holds no track points. Choose another file."));
        alert.SetTextDefault(CString(CStandardAlert::kDefaultButtonText));
        alert.SetTextCancel(CString("Cancel"));
        alert.SetTextOther(CString("Show File"));
        EXPECT_EQ(alert.DoDialog(), kAlertStdAlertCancelButton) << "the minute's fallback cancels";
    }

    TEST_F(DialogLooks, PrintSheet)
    {
        WindowRef parent = MakeWindow({ 80, 60, 560, 700 });
        CPrintDialog dialog;
        dialog.SetParent(parent);
        dialog.SetJobName(CString("Lake District"));
        dialog.SetPageRange(1, 4);
        EXPECT_EQ(dialog.DoPrint(), noErr);
        ManualClock::RunFor(0.1);
        WindowRef sheet = nullptr;
        ASSERT_TRUE(HIWindowIsDocumentModalTarget(parent, &sheet));
        ExpectDialogFace(sheet);
        Shot("print-sheet.png");
        dialog.DestroySession();
        EXPECT_FALSE(HIWindowIsDocumentModalTarget(parent, &sheet));
        DisposeWindow(parent);
    }

    TEST_F(DialogLooks, SplashScreen)
    {
        CFile const file = CFileUtilities::GetBundleResource(CString("SplashBackground.png"), CString(), CString());
        ASSERT_TRUE(file.Exists());
        StCFRef<CFURLRef> url(file.CopyURL());
        CGDataProviderRef provider = CGDataProviderCreateWithURL(url);
        CGImageRef image = CGImageCreateWithPNGDataProvider(provider, nullptr, true, kCGRenderingIntentDefault);
        CGDataProviderRelease(provider);
        ASSERT_NE(image, nullptr);
        auto* splash = new CSplashScreen;
        splash->SetBackground(image);
        CGImageRelease(image);
        splash->SetStatusRect(CGRectMake(0, 250, 480, 50));
        splash->SetStatus(CString("Loading map packs\u2026"));
        splash->Open(0);
        PixelProbe const window = ProbeWindow(splash->GetWindow()->GetWindowRef());
        EXPECT_GT(window.Count({ 160, 255, 320, 295 }, [](Pixel p) { return p.r > 200 && p.g > 200; }), 30);
        Shot("splash.png");
        splash->Close(0);
        CSplashScreen::FinishClosing(); // it stays to be read: gone with the test
    }

} // namespace
} // namespace tw::test
