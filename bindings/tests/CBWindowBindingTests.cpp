#include "bindings/Source/Bindings/CBMenuBinding.h"
#include "bindings/Source/Bindings/CBWindowBinding.h"
#include "bindings/tests/ObjectBindingTest.h"

namespace tw::test {
namespace {

    // Tells when the binding deletes itself.
    class CountedWindowBinding : public CBWindowBinding {
    public:
        CountedWindowBinding(WindowRef window, int& alive)
            : CBWindowBinding(window)
            , mAlive(alive)
        {
            mAlive++;
        }
        ~CountedWindowBinding() override { mAlive--; }

    private:
        int& mAlive;
    };

    using WindowBinding = ObjectBindingTest;

    TEST_F(WindowBinding, AttachingReadsEveryKeyFromTheWindow)
    {
        WindowRef window = MakeWindow({ 40, 30, 240, 330 });
        SetWindowTitleWithCFString(window, CFSTR("Navigator"));
        auto* binding = new CBWindowBinding(window);
        EXPECT_EQ(binding->GetKeyPathValue("visible"), MakeBoolean(false));
        EXPECT_EQ(binding->GetKeyPathValue("collapsed"), MakeBoolean(false));
        EXPECT_EQ(binding->GetKeyPathValue("bounds"), MakeRect(30, 40, 300, 200));
        EXPECT_EQ(binding->GetKeyPathValue("title"), MakeText(CFSTR("Navigator")));
        EXPECT_STREQ(binding->GetDebugInfo().GetUTF8(), "[Window \"Navigator\"]");
        DisposeWindow(window);
    }

    TEST_F(WindowBinding, WritingKeysChangesTheWindowWithBoundsTruncated)
    {
        WindowRef window = MakeWindow();
        auto* binding = new CBWindowBinding(window);
        binding->SetKeyPathValue("bounds", MakeRect(10.7, 20.2, 100.9, 50.5), false);
        Rect content {};
        GetWindowBounds(window, kWindowContentRgn, &content);
        EXPECT_EQ(content.top, 20);
        EXPECT_EQ(content.left, 10);
        EXPECT_EQ(content.bottom, 70);
        EXPECT_EQ(content.right, 110);
        binding->SetKeyPathValue("visible", MakeBoolean(true), false);
        EXPECT_TRUE(IsWindowVisible(window));
        binding->SetKeyPathValue("collapsed", MakeBoolean(true), false);
        EXPECT_TRUE(IsWindowCollapsed(window));
        binding->SetKeyPathValue("title", MakeText(CFSTR("Track Log")), false);
        CFStringRef title = nullptr;
        CopyWindowTitleAsCFString(window, &title);
        EXPECT_EQ(tw::cf::ToUTF8(title), "Track Log");
        CFRelease(title);
        DisposeWindow(window);
    }

    TEST_F(WindowBinding, AValueThatIsNoRectangleLeavesTheBoundsAlone)
    {
        WindowRef window = MakeWindow({ 100, 100, 300, 400 });
        auto* binding = new CBWindowBinding(window);
        testing::internal::CaptureStderr();
        binding->SetKeyPathValue("bounds", MakeText(CFSTR("{{0, 0}, {0, 0}}")), false);
        binding->SetKeyPathValue("bounds", MakeRect(5, 5, 0, 100), false);
        binding->SetKeyPathValue("bounds", MakeRect(5, 5, 0.5, 100), false);
        binding->SetKeyPathValue("bounds", MakeRect(5, 5, 300, INFINITY), false);
        Texts const reports = ReportedConditions(testing::internal::GetCapturedStderr());
        EXPECT_EQ(reports, (Texts { "Error -50", "Error -50", "Error -50", "Error -50" }));
        Rect content {};
        GetWindowBounds(window, kWindowContentRgn, &content);
        EXPECT_EQ(content.top, 100);
        EXPECT_EQ(content.right, 400);
        DisposeWindow(window);
    }

    TEST_F(WindowBinding, ChangesOfTheWindowReachTheKeyOnceAndOnlyWhenDifferent)
    {
        WindowRef window = MakeWindow();
        auto* binding = new CBWindowBinding(window);
        RecordingObserver observer;
        for (char const* key : { "visible", "collapsed", "bounds", "title" })
            binding->ObserveKeyPathValue(key, &observer);
        ShowWindow(window);
        ShowWindow(window); // no change, no event
        MoveWindow(window, 50, 60, false);
        SetWindowTitleWithCFString(window, CFSTR("Renamed"));
        CollapseWindow(window, true);
        EXPECT_EQ(observer.mEvents,
            (Texts { "changing visible", "changed visible", "changing bounds", "changed bounds", "changing title",
                "changed title", "changing collapsed", "changed collapsed" }));
        CGRect const bounds = binding->GetKeyPathValue("bounds").GetRect();
        EXPECT_EQ(bounds.origin.x, 50);
        EXPECT_EQ(bounds.origin.y, 60);
        // A write made through the binding is heard once, not again as the window's echo.
        observer.mEvents.clear();
        binding->SetKeyPathValue("visible", MakeBoolean(false), false);
        EXPECT_EQ(observer.mEvents, (Texts { "changing visible", "changed visible" }));
        binding->RemoveObservers();
        DisposeWindow(window);
    }

    TEST_F(WindowBinding, ClosingTheWindowDeletesTheBindingAndPartnersForgetIt)
    {
        int alive = 0;
        WindowRef window = MakeWindow();
        auto* binding = new CountedWindowBinding(window, alive);
        CBKeyValueBinding partner;
        partner.Bind("shown", binding, "visible", nullptr, nullptr);
        ASSERT_EQ(alive, 1);
        DisposeWindow(window);
        EXPECT_EQ(alive, 0);
        // The partner holds no entry for the gone binding: writing its key reaches nothing
        // (a sanitizer build would catch a write into the deleted binding).
        partner.SetKeyPathValue("shown", MakeBoolean(true), false);
        EXPECT_EQ(partner.GetKeyPathValue("shown"), MakeBoolean(true));
    }

    TEST_F(WindowBinding, AMenuItemIsCheckedWhileTheWindowIsVisible)
    {
        MenuRef windowMenu = MakeMenuBar('tpal');
        WindowRef window = MakeWindow();
        auto* windowBinding = new CBWindowBinding(window);
        auto* menuBinding = new CBMenuBinding('tpal');
        ASSERT_EQ(menuBinding->GetMenu(), windowMenu);
        ASSERT_EQ(menuBinding->GetItem(), 2);
        EXPECT_EQ(menuBinding->BindTo("mark", windowBinding, "visible", nullptr), noErr);
        CharParameter mark = 99;
        GetItemMark(windowMenu, 2, &mark);
        EXPECT_EQ(mark, noMark);
        ShowWindow(window);
        GetItemMark(windowMenu, 2, &mark);
        EXPECT_EQ(mark, checkMark);
        HideWindow(window);
        GetItemMark(windowMenu, 2, &mark);
        EXPECT_EQ(mark, noMark);
        DisposeWindow(window); // the menu binding outlives the window binding, and stops following it
        ShowWindow(MakeWindow());
        GetItemMark(windowMenu, 2, &mark);
        EXPECT_EQ(mark, noMark);
        for (WindowRef w : std::vector<WindowRef>(toolbox::WindowList::FrontToBack()))
            DisposeWindow(w);
    }

} // namespace
} // namespace tw::test
