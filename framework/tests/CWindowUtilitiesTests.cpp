#include "events/Clock.h"
#include "framework/CWindowUtilities.h"
#include "framework/tests/WindowTest.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace tw::test {
namespace {

    using WindowUtilities = WindowTest;

    TEST_F(WindowUtilities, TheGapIsTheFrameAroundTheContent)
    {
        WindowRef window = MakeWindow({ 100, 100, 300, 400 });
        Rect structure {};
        GetWindowBounds(window, kWindowStructureRgn, &structure);
        Rect const gap = CWindowUtilities::GetStructureContentGap(window);
        EXPECT_EQ(gap.top, 100 - structure.top);
        EXPECT_GT(gap.top, 0) << "the title bar";
        EXPECT_EQ(gap.left, 100 - structure.left);
        EXPECT_EQ(gap.bottom, structure.bottom - 300);
        EXPECT_EQ(gap.right, structure.right - 400);
    }

    TEST_F(WindowUtilities, WindowsOfAClassComeFrontToBack)
    {
        WindowRef back = MakeWindow({ 100, 100, 200, 200 });
        WindowRef hidden = MakeWindow({ 100, 100, 200, 200 }, kDocumentWindowClass, false);
        WindowRef front = MakeWindow({ 100, 100, 200, 200 });
        MakeWindow({ 100, 100, 200, 200 }, kFloatingWindowClass);
        EXPECT_EQ(
            CWindowUtilities::GetWindowsOfClass(kDocumentWindowClass, true), (std::vector<WindowRef> { front, back }));
        auto const all = CWindowUtilities::GetWindowsOfClass(kDocumentWindowClass, false);
        EXPECT_EQ(all.size(), 3u);
        EXPECT_NE(std::find(all.begin(), all.end(), hidden), all.end());
    }

    TEST_F(WindowUtilities, AvailableBoundsLeaveOutTheMenuBarAndAnInset)
    {
        WindowRef window = MakeWindow({ 100, 100, 300, 400 });
        Rect const gap = CWindowUtilities::GetStructureContentGap(window);
        CGRect const bounds = CWindowUtilities::GetAvailableWindowBounds(window);
        // The headless screen is 1280 x 800 under a 22-pixel menu bar.
        EXPECT_EQ(bounds.origin.x, 3 + gap.left);
        EXPECT_EQ(bounds.origin.y, 22 + 3 + gap.top);
        EXPECT_EQ(CGRectGetMaxX(bounds), 1280 - 3 - gap.right);
        EXPECT_EQ(CGRectGetMaxY(bounds), 800 - 3 - gap.bottom);
    }

    TEST_F(WindowUtilities, OnlyPalettesHuggingAnEdgeNarrowTheAvailableBounds)
    {
        WindowRef window = MakeWindow({ 100, 300, 300, 600 });
        Rect const gap = CWindowUtilities::GetStructureContentGap(window);
        // 30 pixels from the left edge: further than the reach of 20 from the inset edge.
        WindowRef far = MakeWindow({ 100, 30, 300, 130 }, kFloatingWindowClass);
        EXPECT_EQ(CWindowUtilities::GetAvailableWindowBounds(window).origin.x, 3 + gap.left);
        // 10 pixels from it: the room starts 5 pixels right of the palette.
        MoveWindow(far, 10, 100, false);
        Rect const palette = ContentOf(far);
        EXPECT_EQ(CWindowUtilities::GetAvailableWindowBounds(window).origin.x, palette.right + 5 + gap.left);
        HideWindow(far);
        EXPECT_EQ(CWindowUtilities::GetAvailableWindowBounds(window).origin.x, 3 + gap.left)
            << "hidden palettes count not";
        // On the right the same, from the palette's left edge.
        WindowRef right = MakeWindow({ 100, 1180, 300, 1270 }, kFloatingWindowClass);
        EXPECT_EQ(CGRectGetMaxX(CWindowUtilities::GetAvailableWindowBounds(window)), 1180 - 5 - gap.right);
        // A palette asking for its own room is not pushed aside by itself.
        EXPECT_EQ(CGRectGetMaxX(CWindowUtilities::GetAvailableWindowBounds(right)),
            1280 - 3 - CWindowUtilities::GetStructureContentGap(right).right);
    }

    TEST_F(WindowUtilities, AFadeStepsThroughTwentyAlphasOverItsTime)
    {
        WindowRef window = MakeWindow({ 100, 100, 300, 400 });
        EventTime const start = GetCurrentEventTime();
        // The fade polls the clock; another thread moves it on in 5 ms steps.
        std::atomic<bool> done = false;
        std::thread ticker([&] {
            for (int i = 1; i <= 200 && !done; i++) {
                events::Clock::AdvanceTo(start + i * 0.005);
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        });
        CWindowUtilities::FadeWindow(window, 0.5, 0, 1);
        EventTime const elapsed = GetCurrentEventTime() - start;
        done = true;
        ticker.join();
        // The last step is due at 19/20 of the time; it cannot come sooner.
        EXPECT_GE(elapsed, 0.475 - 1e-9);
        EXPECT_LT(elapsed, 0.6);
        CGFloat alpha = -1;
        GetWindowAlpha(window, &alpha);
        EXPECT_FLOAT_EQ(alpha, 1);
        // No time at all: every step at once, and still the final alpha.
        CWindowUtilities::FadeWindow(window, 0, 1, 0.25f);
        GetWindowAlpha(window, &alpha);
        EXPECT_FLOAT_EQ(alpha, 0.25);
    }

} // namespace
} // namespace tw::test
