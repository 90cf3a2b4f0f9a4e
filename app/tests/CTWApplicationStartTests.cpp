#include "app/CTWApplication.h"
#include "bindings/Source/Bindings/CBControlBinding.h"
#include "bindings/Source/Bindings/CBPreferenceBinding.h"
#include "corefoundation/CoreFoundation.h"
#include "display/WindowServer.h"
#include "foundation/CPreferences.h"
#include "framework/CDocument.h"
#include "framework/CMacWindow.h"
#include "framework/BugReporter.h"
#include "framework/CSplashScreen.h"
#include "tests/support/ManualClock.h"
#include "tests/support/ScreenProbe.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/MenuBar.h"
#include "toolbox/WindowList.h"
#include "widgets/CControl.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tw::test {
namespace {

    class ApplicationStart : public ::testing::Test {
    protected:
        void SetUp() override
        {
            display::WindowServer::ResetForTesting();
            toolbox::MenuBar::Reset();
        }
        void TearDown() override
        {
            toolbox::MenuBar::Reset();
            display::WindowServer::ResetForTesting();
        }
        ManualClock mClock;
    };

    TEST_F(ApplicationStart, AfterTheFirstStartUpStepANibControlFollowsThePreferenceItIsBoundTo)
    {
        CTWApplication app { CDeviceManager::Setup {} }; // no receivers looked for
        ASSERT_EQ(app.InitialiseBegin(), noErr);
        CPreferences& prefs = app.GetPreferences();
        prefs.SetBoolean("ShowGrid", false);
        {
            CMacWindow window(CString("Tarnwick"), CString("Test"));
            CControl* check = window.FindControl('chek', 0);
            ASSERT_NE(check, nullptr) << "the window has no widget wrappers";
            ASSERT_NE(prefs.GetBinding(), nullptr) << "the preferences cannot be bound";
            check->GetBinding()->Bind("value", prefs.GetBinding(), "ShowGrid", nullptr, nullptr);
            ManualClock::RunFor(0.1);
            EXPECT_EQ(check->GetCurrentValue(), 0);
            prefs.SetBoolean("ShowGrid", true);
            ManualClock::RunFor(0.1);
            EXPECT_EQ(check->GetCurrentValue(), 1);
        }
    }

    TEST_F(ApplicationStart, TheVersionIsTheBundles)
    {
        CTWApplication app { CDeviceManager::Setup {} }; // no receivers looked for
        auto const bundle = static_cast<CFStringRef>(
            CFBundleGetValueForInfoDictionaryKey(CFBundleGetMainBundle(), CFSTR("CFBundleShortVersionString")));
        ASSERT_NE(bundle, nullptr);
        EXPECT_EQ(cf::ToUTF8(app.GetPropertyString('aver').GetCFString()), cf::ToUTF8(bundle));
        EXPECT_EQ(cf::ToUTF8(bundle), "1.1.1");
    }

    // Records the first frame the desktop would show, and whether the splash was on a later one.
    class RecordingPresenter : public display::Presenter {
    public:
        void Present(cairo_surface_t* screen, std::vector<CGRect> const&) override
        {
            PixelProbe const probe = ProbeSurface(screen);
            auto const dark = [](Pixel p) { return p.r < 80 && p.g < 80 && p.b < 80; };
            if (frames++ == 0)
                firstHadTitles = probe.Count({ 0, 0, 400, 22 }, dark) > 50;
            // The splash picture covers the middle of the screen.
            Pixel const middle = probe.At(640, 400);
            splashSeen = splashSeen || (middle.r != desktop.r || middle.g != desktop.g || middle.b != desktop.b);
        }
        int frames = 0;
        bool firstHadTitles = false;
        bool splashSeen = false;
        Pixel desktop {};
    };

    TEST_F(ApplicationStart, TheFirstFrameShowsTheMenuBarTitlesAndTheSplashStaysToBeReadWithoutDelayingStartUp)
    {
        // The desktop's own colour, from an empty screen.
        Pixel const desktop = ProbeScreen().At(640, 400);
        auto presenter = std::make_unique<RecordingPresenter>();
        RecordingPresenter* recorder = presenter.get();
        recorder->desktop = desktop;
        display::WindowServer::Get().SetPresenter(std::move(presenter));
        recorder->frames = 0;
        // Frames come from a timer of the loop, as the desktop window's do.
        EventLoopTimerRef pump = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 0, 1.0 / 120, [](EventLoopTimerRef, void*) { display::WindowServer::Get().Compose(); },
            nullptr, &pump);
        {
            CTWApplication app { CDeviceManager::Setup {} }; // no receivers looked for
            EventTime const start = ManualClock::Now();
            ASSERT_EQ(app.InitialiseBegin(), noErr);
            ASSERT_EQ(app.InitialisePreferences(), noErr);
            ASSERT_EQ(app.InitialiseMenuBar(), noErr);
            ASSERT_EQ(app.InitialiseSelf(), noErr);
            ASSERT_EQ(app.InitialiseFinish(), noErr);
            EXPECT_EQ(ManualClock::Now(), start) << "start-up waited for the splash";
            EXPECT_EQ(recorder->frames, 0) << "a frame was shown before the menu bar was there";
            ManualClock::RunFor(0.5);
            EXPECT_GT(recorder->frames, 0);
            EXPECT_TRUE(recorder->firstHadTitles) << "the first frame's menu bar has no titles";
            EXPECT_TRUE(recorder->splashSeen);
            EXPECT_FALSE(CDocument::GetDocuments(false).empty()) << "the first document waited";
            std::size_t const withSplash = toolbox::WindowList::FrontToBack().size();
            ManualClock::RunFor(CSplashScreen::kReadingTime);
            EXPECT_EQ(toolbox::WindowList::FrontToBack().size(), withSplash - 1) << "the splash stayed";
            for (CDocument* document : CDocument::GetDocuments(false))
                delete document;
        }
        RemoveEventLoopTimer(pump);
    }

    // The crash reporter unpacks itself once the first frames are up, and goes with the application.
    TEST_F(ApplicationStart, TheCrashReporterIsInstalledAfterTheFirstFramesAndRemovedAtTheEnd)
    {
        if (IsBugReporterAvailable() != noErr)
            GTEST_SKIP() << "the reporter is switched off in these preferences";
        std::string folder;
        {
            CTWApplication app { CDeviceManager::Setup {} };
            EXPECT_TRUE(GetBugReporterFolder().IsEmpty()) << "installed on the way to the first frame";
            ManualClock::RunFor(CTWApplication::kBugReporterDelay + 0.1);
            folder = GetBugReporterFolder().GetStdString();
            EXPECT_FALSE(folder.empty());
            EXPECT_TRUE(std::filesystem::is_directory(folder));
        }
        EXPECT_TRUE(GetBugReporterFolder().IsEmpty());
        EXPECT_FALSE(std::filesystem::exists(folder));
        // An application that ends before its reporter was installed leaves nothing behind.
        {
            CTWApplication app { CDeviceManager::Setup {} };
        }
        ManualClock::RunFor(CTWApplication::kBugReporterDelay + 0.1);
        EXPECT_TRUE(GetBugReporterFolder().IsEmpty());
    }

    // The program's window is titled after the front document and named after the program.
    TEST_F(ApplicationStart, TheProgramWindowIsTitledAfterTheFrontDocument)
    {
        display::WindowServer& server = display::WindowServer::Get();
        EXPECT_EQ(server.ProgramTitle(), "Tarnwick");
        CMacWindow first(CString("Tarnwick"), CString("Test Document"));
        first.SetTitle(CString("Lake District.twk"));
        first.SetVisible(true);
        CMacWindow second(CString("Tarnwick"), CString("Test Document"));
        second.SetTitle(CString("Coast.twk"));
        second.SetVisible(true);
        server.Compose();
        EXPECT_EQ(server.GetPresenter()->GetTitle(), "Coast.twk \u2014 Tarnwick");
        first.Select(true);
        server.Compose();
        EXPECT_EQ(server.GetPresenter()->GetTitle(), "Lake District.twk \u2014 Tarnwick");
        first.SetTitle(CString("Renamed.twk"));
        server.Compose();
        EXPECT_EQ(server.GetPresenter()->GetTitle(), "Renamed.twk \u2014 Tarnwick");
        // Unsaved changes are marked as desktops mark them, and the mark goes with them.
        SetWindowModified(first.GetWindowRef(), true);
        server.Compose();
        EXPECT_EQ(server.GetPresenter()->GetTitle(), "*Renamed.twk \u2014 Tarnwick");
        SetWindowModified(first.GetWindowRef(), false);
        server.Compose();
        EXPECT_EQ(server.GetPresenter()->GetTitle(), "Renamed.twk \u2014 Tarnwick");
        // A window kept out of the Window menu (a panel) does not name the program.
        first.SetAttributes(0, kWindowInWindowMenuAttribute);
        EXPECT_EQ(server.ProgramTitle(), "Coast.twk \u2014 Tarnwick");
        first.SetVisible(false);
        second.SetVisible(false);
        EXPECT_EQ(server.ProgramTitle(), "Tarnwick");
    }

} // namespace
} // namespace tw::test
