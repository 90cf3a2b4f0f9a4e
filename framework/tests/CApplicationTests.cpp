#include "AppTest.h"
#include "foundation/CFileUtilities.h"
#include "foundation/CTextUtilities.h"
#include "framework/CMenuUtilities.h"
#include "tests/support/ScreenProbe.h"
#include "toolbox/MenuCalls.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace tw::test {
namespace {

    // Records the start-up steps and fails the one it is told to.
    class StepApplication : public TestApplication {
    public:
        explicit StepApplication(int failing)
            : mFailing(failing)
        {
        }
        OSStatus InitialiseBegin() override { return Step(0); }
        OSStatus InitialisePreferences() override { return Step(1); }
        OSStatus InitialiseMenuBar() override { return Step(2); }
        OSStatus InitialiseSelf() override { return Step(3); }
        OSStatus InitialiseFinish() override { return Step(4); }
        OSStatus RunEventLoop() override
        {
            mModeInLoop = GetAppMode();
            mSteps.push_back(5);
            return noErr;
        }
        OSStatus Shutdown() override
        {
            mSteps.push_back(6);
            mModeAtShutdown = GetAppMode();
            return CApplication::Shutdown();
        }

        std::vector<int> mSteps;
        UInt32 mModeInLoop = 0;
        UInt32 mModeAtShutdown = 0;

    private:
        OSStatus Step(int step)
        {
            mSteps.push_back(step);
            return step == mFailing ? OSStatus(-4242) : noErr;
        }
        int mFailing;
    };

    class HomeApplication : public TestApplication {
    public:
        CString GetPropertyString(unsigned long id) const override
        {
            return id == 'uhom' ? CString("https://example.org/home") : TestApplication::GetPropertyString(id);
        }
    };

    TEST_F(AppTest, StartupRunsTheStepsInOrderAndStopsAtTheFirstFailure)
    {
        for (int failing = 0; failing <= 5; ++failing) {
            StepApplication app(failing);
            UInt32 runs = app.GetPropertyInteger('rcnt');
            EXPECT_EQ(app.Run(), noErr) << "Shutdown's status is returned";
            std::vector<int> expected;
            for (int step = 0; step <= std::min(failing, 4); ++step)
                expected.push_back(step);
            if (failing == 5) {
                expected.push_back(5); // every step worked: the loop ran
                EXPECT_EQ(app.mModeInLoop, UInt32(CApplication::kModeRunning));
            }
            expected.push_back(6);
            EXPECT_EQ(app.mSteps, expected) << "failing step " << failing;
            EXPECT_EQ(app.mModeAtShutdown, UInt32(CApplication::kModeShutdown));
            EXPECT_EQ(app.GetPropertyInteger('rcnt'), runs + 1) << "every orderly exit counts";
        }
    }

    TEST_F(AppTest, PropertiesAnswerTheTablesAndOnlyTheRunCountIsStored)
    {
        HomeApplication app;
        EXPECT_EQ(app.GetPropertyString('uhlp'), CString("https://example.org/home")) << "help follows the home page";
        EXPECT_TRUE(app.GetPropertyString('zzzz').IsEmpty());
        EXPECT_EQ(app.GetPropertyInteger('zzzz'), 0u);
        EXPECT_EQ(app.GetPropertyString('smin'), CString("More Info…"));
        EXPECT_EQ(app.GetPropertyInteger('ndol'), 1u);
        app.SetPropertyInteger('ndol', 0);
        EXPECT_EQ(app.GetPropertyInteger('ndol'), 1u);
        app.SetPropertyInteger('rcnt', 41);
        EXPECT_EQ(app.GetPropertyInteger('rcnt'), 41u);
        EXPECT_EQ(CApplication::GetPrefInteger("AppRunCount", 0), 41);
    }

    TEST_F(AppTest, LaunchPreferencesAreWrittenOnlyWhenAbsent)
    {
        TestApplication& app = *(mApp = std::make_unique<TestApplication>());
        ASSERT_EQ(app.InitialisePreferences(), noErr);
        CPreferences& prefs = app.GetPreferences();
        EXPECT_DOUBLE_EQ(prefs.GetDate("SoftwareUpdatePeriod", CDateTime()).GetTimeInSeconds(), 86400.0);
        CDateTime first = prefs.GetDate("AppFirstLaunchDate", CDateTime());
        EXPECT_TRUE(first.IsValid());
        EXPECT_EQ(prefs.GetInteger("AppRunCount", -1), 0);

        prefs.SetDate("AppFirstLaunchDate", CDateTime(1000.0));
        prefs.SetInteger("AppRunCount", 7);
        prefs.SetDate("SoftwareUpdatePeriod", CDateTime(604800.0));
        ASSERT_EQ(app.InitialisePreferences(), noErr);
        EXPECT_DOUBLE_EQ(prefs.GetDate("AppFirstLaunchDate", CDateTime()).GetTimeInSeconds(), 1000.0);
        EXPECT_EQ(prefs.GetInteger("AppRunCount", -1), 7);
        EXPECT_DOUBLE_EQ(prefs.GetDate("SoftwareUpdatePeriod", CDateTime()).GetTimeInSeconds(), 604800.0);
    }

    TEST_F(AppTest, MenuBarComesFromTheNibWithTheRecentItemsMenu)
    {
        TestApplication& app = StartApp();
        MenuRef root = AcquireRootMenu();
        ASSERT_NE(root, nullptr);
        MenuRef menu = nullptr;
        MenuItemIndex index = 0;
        EXPECT_TRUE(CMenuUtilities::FindMenuItemForCommand(root, 'save', &menu, &index));
        ReleaseMenu(root);
        ASSERT_NE(app.GetRecentItems().GetMenu(), nullptr);
        EXPECT_EQ(CountMenuItems(app.GetRecentItems().GetMenu()), 3) << "<None>, the separator and Clear";

        class MissingNib : public TestApplication {
            CString GetPropertyString(unsigned long id) const override
            {
                return id == 'anib' ? CString("NoSuchNib") : TestApplication::GetPropertyString(id);
            }
        };
        mApp.reset();
        MissingNib missing;
        EXPECT_NE(missing.InitialiseMenuBar(), noErr) << "a missing nib stops the start-up";
    }

    TEST_F(AppTest, OpenDocumentsEventOpensEachFileOnceAndReportsFailures)
    {
        StartApp();
        CDocument* first = NewDocument();
        ASSERT_NE(first, nullptr);
        CFile saved(CString(PathFor("saved.txt").c_str()));
        first->SetFile(saved);
        ASSERT_EQ(first->SaveDocument(), noErr);
        CFile broken(CString(PathFor("broken.txt").c_str()));
        CFileUtilities::WriteText(broken, "not a property list", kCFStringEncodingUTF8);
        CFile missing(CString(PathFor("missing.txt").c_str()));
        std::filesystem::create_directories(PathFor("folder.txt"));
        CFile folder(CString(PathFor("folder.txt").c_str()));

        for (int i = 0; i < 3; ++i)
            toolbox::dialogs::Responders::PressAlertButton(1);
        AEDescList list {};
        AECreateList(nullptr, 0, false, &list);
        for (CFile const& file : { saved, broken, missing, folder }) {
            AEDesc desc {};
            CFileUtilities::GetAEDescFromFile(file, &desc);
            AEPutDesc(&list, 0, &desc);
            AEDisposeDesc(&desc);
        }
        AppleEvent event {};
        AECreateAppleEvent('aevt', 'odoc', nullptr, kAutoGenerateReturnID, kAnyTransactionID, &event);
        AEPutParamDesc(&event, keyDirectObject, &list);
        EXPECT_EQ(mApp->DoAppleEventOpenDocs(event), noErr);
        AEDisposeDesc(&event);
        AEDisposeDesc(&list);

        EXPECT_EQ(CDocument::GetDocuments(false).size(), 1u)
            << "the open file is brought forward, the broken one refused";
        // Each failure has its alert, which names the file.
        ASSERT_EQ(AlertsShown(), 3u);
        auto const& shown = toolbox::dialogs::Responders::History();
        EXPECT_EQ(shown[shown.size() - 3].text, "\u201Cbroken.txt\u201D could not be opened.");
        EXPECT_EQ(shown[shown.size() - 2].text, "\u201Cmissing.txt\u201D could not be opened.");
        EXPECT_EQ(shown[shown.size() - 1].text, "\u201Cfolder.txt\u201D could not be opened.");
        EXPECT_FALSE(mApp->GetRecentItems().GetFiles().Contains(broken)) << "only a file that loaded is listed";
    }

    TEST_F(AppTest, OpenAndReopenApplicationMakeAnUntitledDocumentWhenThereIsNone)
    {
        StartApp();
        AppleEvent event {};
        EXPECT_EQ(mApp->DoAppleEventOpenApp(event), noErr);
        EXPECT_EQ(CDocument::GetDocuments(false).size(), 1u);
        EXPECT_EQ(mApp->DoAppleEventReopenApp(event), eventNotHandledErr) << "a document is open";
        EXPECT_EQ(CDocument::GetDocuments(false).size(), 1u);
        delete CDocument::GetDocuments(false).front();
        EXPECT_EQ(mApp->DoAppleEventReopenApp(event), noErr);
        EXPECT_EQ(CDocument::GetDocuments(false).size(), 1u);

        HICommandExtended close {};
        close.commandID = 'clos';
        EXPECT_EQ(mApp->GetMenuStatus(close), CCarbonEventHandler::kMenuStatusEnable);
        delete CDocument::GetDocuments(false).front();
        EXPECT_EQ(mApp->GetMenuStatus(close), CCarbonEventHandler::kMenuStatusDisable) << "no window to close";
    }

    class SplashTest : public ::testing::Test {
    protected:
        void SetUp() override { display::WindowServer::ResetForTesting(); }
        void TearDown() override
        {
            for (WindowRef window : std::vector<WindowRef>(toolbox::WindowList::FrontToBack()))
                DisposeWindow(window);
            display::WindowServer::ResetForTesting();
        }
        ManualClock mClock;
    };

    TEST_F(SplashTest, SplashShowsDuringStartUpAndGoesWhenItEnds)
    {
        TestApplication app;
        app.StartSplashScreen(CFileUtilities::GetBundleResource("SplashBackground.png", CString(), CString()));
        ASSERT_NE(app.GetSplashScreen(), nullptr);
        ManualClock::RunFor(0.3); // the fade in
        PixelProbe screen = ProbeScreen();
        if (char const* folder = std::getenv("TW_SCREENSHOT_DIR"))
            display::WindowServer::Get().WritePNG(std::string(folder) + "/splash-headless.png");
        // The picture covers the middle of the screen, where the desktop showed before.
        Pixel desktop = screen.At(20, 780);
        Pixel middle = screen.At(640, 330);
        EXPECT_TRUE(middle.r != desktop.r || middle.g != desktop.g || middle.b != desktop.b);

        EXPECT_EQ(app.InitialiseFinish(), noErr);
        EXPECT_EQ(app.GetSplashScreen(), nullptr);
        // Start-up goes on at once; the picture stays until it has been read, then goes.
        ManualClock::RunFor(1.0);
        EXPECT_EQ(toolbox::WindowList::FrontToBack().size(), 1u) << "the splash went before it could be read";
        ManualClock::RunFor(1.0);
        EXPECT_TRUE(toolbox::WindowList::FrontToBack().empty()) << "the splash window is gone";

        app.StartSplashScreen(CFile(CString("/no/such/picture.png")));
        EXPECT_EQ(app.GetSplashScreen(), nullptr) << "a missing picture shows nothing";
    }

} // namespace
} // namespace tw::test
