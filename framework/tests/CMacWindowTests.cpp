#include "bindings/Source/Bindings/CBPreferenceBinding.h"
#include "bindings/Source/Bindings/CBWindowBinding.h"
#include "foundation/CPreferences.h"
#include "framework/CMacWindow.h"
#include "framework/tests/WindowTest.h"
#include "tests/support/TestSupport.h"
#include "toolbox/MenuCalls.h"

#include <unistd.h>

// What the widgets library would make for a window: here it only records.
class CRootControl {
public:
    explicit CRootControl(WindowRef window)
        : mWindow(window)
    {
    }
    WindowRef mWindow;
    std::vector<Rect> mResizes;
};

namespace tw::test {
namespace {

    int sRootControls = 0;

    CMacWindow::WidgetSupport const kRecordingSupport {
        [](WindowRef window) {
            sRootControls++;
            return new CRootControl(window);
        },
        [](CRootControl* root) {
            sRootControls--;
            delete root;
        },
        [](CRootControl* root, Rect const& delta) { root->mResizes.push_back(delta); },
        [](CRootControl*, HIViewID const&) -> CHIView* { return nullptr; },
        [](CHIView*) -> CControl* { return nullptr; },
        nullptr,
    };

    class MacWindow : public WindowTest {
    protected:
        void SetUp() override
        {
            WindowTest::SetUp();
            CMacWindow::SetWidgetSupport(&kRecordingSupport);
            CBPreferenceBinding::InstallPreferencesSupport();
        }
        void TearDown() override
        {
            CMacWindow::SetWidgetSupport(nullptr);
            EXPECT_EQ(sRootControls, 0);
            WindowTest::TearDown();
        }

        static CMacWindow* MakeDocument(Rect const& content = { 100, 100, 400, 500 })
        {
            return new CMacWindow(kDocumentWindowClass,
                kWindowStandardDocumentAttributes | kWindowStandardHandlerAttribute, CRect(content), 0);
        }
    };

    struct ShownCount {
        int shown = 0;
        static OSStatus Count(EventHandlerCallRef, EventRef, void* data)
        {
            static_cast<ShownCount*>(data)->shown++;
            return eventNotHandledErr;
        }
    };

    TEST(CRectArithmetic, AddsAndSubtractsEdgeByEdge)
    {
        CRect const a(10, 20, 110, 220), b(-22, -1, 1, 1);
        EXPECT_EQ(a + b, CRect(-12, 19, 111, 221));
        EXPECT_EQ(a - b, CRect(32, 21, 109, 219));
        EXPECT_EQ(CRect(32000, 0, 32000, 0) + CRect(1000, 0, -1000, 0), CRect(32767, 0, 31000, 0)) << "no wrap";
    }

    TEST_F(MacWindow, ShowingAVisibleWindowSendsNothingAndToggleBringsItForward)
    {
        CMacWindow* window = MakeDocument();
        CMacWindow* other = MakeDocument();
        ShownCount count;
        EventTypeSpec const shown { kEventClassWindow, kEventWindowShown };
        InstallEventHandler(window->GetEventTarget(), ShownCount::Count, 1, &shown, &count, nullptr);
        window->SetVisible(true);
        window->SetVisible(true);
        EXPECT_EQ(count.shown, 1);
        other->SetVisible(true);
        window->SetVisible(false);
        window->ToggleVisibility(true);
        EXPECT_TRUE(window->IsVisible());
        EXPECT_EQ(FrontWindow(), window->GetWindowRef());
        window->ToggleVisibility(true);
        EXPECT_FALSE(window->IsVisible());
        delete other;
        delete window;
    }

    TEST_F(MacWindow, AResizeReachesTheRootControlAsTheChangeOfSize)
    {
        CMacWindow* window = MakeDocument({ 100, 100, 400, 500 }); // 400 x 300
        ASSERT_NE(window->GetRootControl(), nullptr);
        auto const& resizes = window->GetRootControl()->mResizes;
        window->SetWindowBounds(CRect(100, 100, 380, 550), kWindowContentRgn, 0); // 450 x 280
        ASSERT_EQ(resizes.size(), 1u);
        EXPECT_EQ(CRect(resizes[0]), CRect(0, 0, -20, 50));
        MoveWindow(window->GetWindowRef(), 200, 200, false);
        EXPECT_EQ(resizes.size(), 1u) << "a pure move";
        delete window;
    }

    TEST_F(MacWindow, ATransitionEndsWithExactlyTheContentAskedFor)
    {
        CMacWindow* window = MakeDocument();
        window->SetVisible(true);
        CRect const target(150, 120, 450, 700);
        EXPECT_EQ(window->SetWindowBounds(target, kWindowContentRgn, 1), noErr);
        ManualClock::RunFor(1);
        EXPECT_EQ(window->GetWindowBounds(kWindowContentRgn), target);
        CGRect const bounds = window->GetBounds(kWindowContentRgn);
        EXPECT_EQ(bounds.size.width, 580);
        delete window;
    }

    TEST_F(MacWindow, TitlePropertiesAndSheets)
    {
        CMacWindow* window = MakeDocument();
        window->SetVisible(true);
        window->SetTitle(CString("Untitled 1"));
        EXPECT_STREQ(window->GetTitle().GetUTF8(), "Untitled 1");
        EXPECT_EQ(window->GetPropertyInteger('docm'), 0u);
        EXPECT_EQ(window->SetPropertyInteger('docm', 7), noErr);
        EXPECT_EQ(window->GetPropertyInteger('docm'), 7u);

        auto* sheet = new CMacWindow(kSheetWindowClass, 0, CRect(0, 0, 100, 200), 0);
        EXPECT_FALSE(window->HasSheet());
        EXPECT_EQ(window->BeginSheet(sheet), noErr);
        EXPECT_TRUE(window->HasSheet());
        EXPECT_TRUE(sheet->IsVisible());
        EXPECT_EQ(window->EndSheet(), noErr);
        EXPECT_FALSE(window->HasSheet());
        EXPECT_EQ(window->EndSheet(), noErr) << "nothing to end";
        delete sheet;
        delete window;
    }

    TEST_F(MacWindow, AWindowFromTheNibAndOneThatCouldNotBeMade)
    {
        CMacWindow nib(CString("Tarnwick"), CString("Test"));
        ASSERT_NE(nib.GetWindowRef(), nullptr);
        EXPECT_STREQ(nib.GetTitle().GetUTF8(), "Test Window");
        EXPECT_STREQ(nib.GetControlTitle('chek').GetUTF8(), "Show grid");
        nib.SetControlTitle('chek', CString("Show scale"));
        EXPECT_STREQ(nib.GetControlTitle('chek').GetUTF8(), "Show scale");
        EXPECT_STREQ(nib.GetControlTitle('none').GetUTF8(), "");
        CMacWindow missing(CString("Tarnwick"), CString("No Such Window"));
        EXPECT_EQ(missing.GetWindowRef(), nullptr);
        EXPECT_EQ(missing.GetRootControl(), nullptr);
        EXPECT_FALSE(missing.IsVisible());
    }

    TEST_F(MacWindow, UnstoredBoundsKeepTheNibBoundsUntilTheFirstChange)
    {
        CPreferences prefs(CString("org.tarnwick.macwindow"));
        CMacWindow window(CString("Tarnwick"), CString("Test"));
        CRect const nibBounds = window.GetWindowBounds(kWindowContentRgn);
        window.BindBoundsToPrefs(prefs.GetBinding(), CString("TestBounds"));
        EXPECT_EQ(window.GetWindowBounds(kWindowContentRgn), nibBounds);
        EXPECT_FALSE(prefs.PrefExists("TestBounds"));
        MoveWindow(window.GetWindowRef(), 200, 100, false);
        CBValue const stored = prefs.GetBinding()->GetKeyPathValue("TestBounds");
        ASSERT_TRUE(stored.IsRect());
        EXPECT_EQ(stored.GetRect().origin.x, 200);
        EXPECT_EQ(stored.GetRect().size.width, nibBounds.GetWidth());
    }

    TEST_F(MacWindow, StoredBoundsNeverPutTheWindowOffTheScreen)
    {
        CPreferences prefs(CString("org.tarnwick.macwindow"));
        CBValue offScreen;
        offScreen.SetRect(CGRectMake(1500, -300, 300, 200)); // right of and above a 1280 x 800 screen
        prefs.GetBinding()->SetKeyPathValue("Palette", offScreen, false);
        CMacWindow* window = MakeDocument();
        window->BindBoundsToPrefs(prefs.GetBinding(), CString("Palette"));
        CRect const structure = window->GetWindowBounds(kWindowStructureRgn);
        EXPECT_GE(structure.top, 22) << "below the menu bar";
        EXPECT_LE(structure.right, 1280);
        EXPECT_EQ(window->GetWindowBounds(kWindowContentRgn).GetWidth(), 300);
        // The corrected place is what is stored now.
        EXPECT_EQ(prefs.GetBinding()->GetKeyPathValue("Palette").GetRect().origin.x,
            window->GetWindowBounds(kWindowContentRgn).left);
        // Larger than the screen: it shrinks to fit.
        offScreen.SetRect(CGRectMake(0, 0, 3000, 2000));
        prefs.GetBinding()->SetKeyPathValue("Huge", offScreen, false);
        window->BindBoundsToPrefs(prefs.GetBinding(), CString("Huge"));
        EXPECT_LE(window->GetWindowBounds(kWindowStructureRgn).GetWidth(), 1280);
        EXPECT_LE(window->GetWindowBounds(kWindowStructureRgn).bottom, 800);
        delete window;
    }

    TEST_F(MacWindow, AMenuItemIsCheckedWhileTheWindowIsVisible)
    {
        MenuRef root = nullptr, menu = nullptr;
        CreateNewMenu(0, 0, &root);
        CreateNewMenu(131, 0, &menu);
        AppendMenuItemTextWithCFString(menu, CFSTR("Show Navigator"), 0, 'tnav', nullptr);
        AppendMenuItemTextWithCFString(root, CFSTR("Window"), 0, 0, nullptr);
        SetMenuItemHierarchicalMenu(root, 1, menu);
        SetRootMenu(root);
        CMacWindow* window = MakeDocument();
        window->BindVisibilityToMenu('tnav');
        window->BindVisibilityToMenu('none'); // no item: nothing is made
        CharParameter mark = 0;
        window->SetVisible(true);
        GetItemMark(menu, 1, &mark);
        EXPECT_EQ(mark, checkMark);
        window->SetVisible(false);
        GetItemMark(menu, 1, &mark);
        EXPECT_EQ(mark, noMark);
        delete window;
        ReleaseMenu(menu);
        ReleaseMenu(root);
    }

    TEST_F(MacWindow, AWindowClosedUnderItsWrapperTakesItsBindingAlong)
    {
        CPreferences prefs(CString("org.tarnwick.macwindow"));
        WindowRef const made = MakeWindow({ 100, 100, 300, 400 });
        auto* window = new CMacWindow(made); // adopts it with a reference of its own
        window->BindVisibilityToPrefs(prefs.GetBinding(), CString("Closed"));
        ASSERT_NE(window->GetBinding(), nullptr);
        DisposeWindow(made); // its maker closes it; the wrapper's reference keeps it allocated
        EXPECT_EQ(window->GetBinding(), nullptr);
        window->BindBoundsToPrefs(prefs.GetBinding(), CString("Closed")); // nothing to bind
        prefs.SetBoolean("Closed", true); // reaches no binding of the closed window
        delete window;
    }

    // Bounds and visibility stored by one run are what the next run's window takes.
    constexpr char const* kChildVariable = "TW_MACWINDOW_CHILD_CONFIG";

    TEST_F(MacWindow, BoundsAndVisibilityFollowThePreferencesAcrossTwoRuns)
    {
        {
            CPreferences prefs;
            CMacWindow* window = MakeDocument({ 100, 100, 400, 500 });
            window->BindBoundsToPrefs(prefs.GetBinding(), CString("NavigatorBounds"));
            window->BindVisibilityToPrefs(prefs.GetBinding(), CString("NavigatorVisible"));
            window->SetWindowBounds(CRect(150, 60, 350, 360), kWindowContentRgn, 0);
            window->SetVisible(true);
            delete window;
            ASSERT_EQ(prefs.Flush(), noErr);
        }
        char exe[4096];
        ssize_t const n = readlink("/proc/self/exe", exe, sizeof exe - 1);
        ASSERT_GT(n, 0);
        exe[n] = 0;
        std::string const command = std::string(kChildVariable) + "='" + std::getenv("XDG_CONFIG_HOME") + "' '" + exe
            + "' --gtest_filter=MacWindow.ChildRunRestoresAndChanges 2>&1";
        std::string output;
        ASSERT_EQ(RunCommand(command, &output), 0) << output;
        ASSERT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;

        cf::ResetPreferencesForTesting(); // read what the child wrote
        CPreferences prefs;
        EXPECT_FALSE(prefs.GetBoolean("NavigatorVisible", true));
        CMacWindow* window = MakeDocument();
        window->BindBoundsToPrefs(prefs.GetBinding(), CString("NavigatorBounds"));
        EXPECT_EQ(window->GetWindowBounds(kWindowContentRgn), CRect(200, 70, 400, 370));
        delete window;
    }

    TEST_F(MacWindow, ChildRunRestoresAndChanges)
    {
        char const* parentConfig = std::getenv(kChildVariable);
        if (!parentConfig)
            GTEST_SKIP() << "runs only as the child of BoundsAndVisibilityFollowThePreferencesAcrossTwoRuns";
        setenv("XDG_CONFIG_HOME", parentConfig, 1);
        cf::ResetPreferencesForTesting();
        CPreferences prefs;
        CMacWindow* window = MakeDocument({ 300, 300, 400, 400 });
        window->BindBoundsToPrefs(prefs.GetBinding(), CString("NavigatorBounds"));
        window->BindVisibilityToPrefs(prefs.GetBinding(), CString("NavigatorVisible"));
        EXPECT_EQ(window->GetWindowBounds(kWindowContentRgn), CRect(150, 60, 350, 360));
        EXPECT_TRUE(window->IsVisible());
        MoveWindow(window->GetWindowRef(), 70, 200, false);
        window->SetVisible(false);
        delete window;
        EXPECT_EQ(prefs.Flush(), noErr);
    }

} // namespace
} // namespace tw::test
