#include "framework/CWindowUtilities.h"
#include "framework/tests/WindowTest.h"

#include <algorithm>

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

    TEST_F(WindowUtilities, AFadeRunsTheLoopThroughTwentyAlphasOverItsTime)
    {
        WindowRef window = MakeWindow({ 100, 100, 300, 400 });
        EventTime const start = GetCurrentEventTime();
        // Timers fire during the fade: one samples the alpha part way through.
        struct Sample {
            WindowRef window;
            CGFloat alpha = -1;
            int fired = 0;
        } sample { window };
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 0.26, 0,
            [](EventLoopTimerRef, void* data) {
                auto* s = static_cast<Sample*>(data);
                ++s->fired;
                GetWindowAlpha(s->window, &s->alpha);
            },
            &sample, &timer);
        CWindowUtilities::FadeWindow(window, 0.5, 0, 1);
        RemoveEventLoopTimer(timer);
        EventTime const elapsed = GetCurrentEventTime() - start;
        EXPECT_NEAR(elapsed, 0.5, 1e-6) << "the manual clock moved on by the fade's time";
        EXPECT_EQ(sample.fired, 1);
        EXPECT_FLOAT_EQ(sample.alpha, 0.5) << "ten of twenty steps at 0.26 s";
        CGFloat alpha = -1;
        GetWindowAlpha(window, &alpha);
        EXPECT_FLOAT_EQ(alpha, 1);
        // No time at all: the final alpha at once, without running the loop.
        CWindowUtilities::FadeWindow(window, 0, 1, 0.25f);
        GetWindowAlpha(window, &alpha);
        EXPECT_FLOAT_EQ(alpha, 0.25);
        EXPECT_EQ(GetCurrentEventTime(), start + elapsed);
    }

    TEST_F(WindowUtilities, AWindowClosedDuringItsFadeEndsTheFade)
    {
        WindowRef window = MakeWindow({ 100, 100, 300, 400 });
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 0.1, 0, [](EventLoopTimerRef, void* data) { DisposeWindow(WindowRef(data)); }, window,
            &timer);
        EventTime const start = GetCurrentEventTime();
        CWindowUtilities::FadeWindow(window, 1, 1, 0);
        RemoveEventLoopTimer(timer);
        EXPECT_LT(GetCurrentEventTime() - start, 0.2);
    }

} // namespace
} // namespace tw::test
