// The map view with its workers: closed while tiles render, scrolled while they
// arrive, and idle once everything is in.
#include "docwindow/tests/MapViewTest.h"
#include "render/CGeometryCache.h"

#include <cstdlib>

namespace tw::test {
namespace {

    class MapLifecycle : public MapViewTest {
    protected:
        // The map's pixels, row by row, as the window holds them now.
        std::vector<Pixel> MapPixels()
        {
            PixelProbe const probe = ProbeMap();
            CGPoint const topLeft = ViewInWindow(CGPointZero);
            CGSize const size = mView->GetVisibleContent().size;
            std::vector<Pixel> pixels;
            for (int y = 0; y < int(size.height); ++y)
                for (int x = 0; x < int(size.width); ++x)
                    pixels.push_back(probe.At(int(topLeft.x) + x, int(topLeft.y) + y));
            return pixels;
        }
    };

    TEST_F(MapLifecycle, ClosingTheWindowWhileTilesRenderEndsTheWorkersCleanly)
    {
        // Closed at once, while the first tiles are drawn, and while names are handed over.
        for (int wait : { 0, 5, 30, 80 }) {
            Show(kGoteborg, 14);
            mWindow->Update();
            ASSERT_TRUE(mView->GetRenderer()->IsRendering()) << "the visible tiles were asked for";
            std::this_thread::sleep_for(std::chrono::milliseconds(wait));
            ManualClock::RunFor(0.03);
            DisposeWindow(mWindow);
            mWindow = nullptr;
            mView = nullptr;
            ManualClock::RunFor(0.5);
            EXPECT_EQ(CHIObject::GetRegistrySize(), 0u) << "the view went with its window";
            // The next window for the next round.
            Rect const content { 60, 40, 60 + 415, 40 + 655 };
            ASSERT_EQ(
                CreateNewWindow(kDocumentWindowClass, kWindowStandardDocumentAttributes, &content, &mWindow), noErr);
            GetRootControl(mWindow, &mContent);
            mView = MakeView(CGRectMake(0, 0, 655, 415));
            ShowWindow(mWindow);
        }
    }

    TEST_F(MapLifecycle, ScrollingWhileTilesArriveLeavesTheSamePictureAsDrawingFromStill)
    {
        Show(kEurope, 7);
        mWindow->Update();
        for (int step = 0; step < 24; ++step) {
            CGPoint const origin = mView->GetImageOrigin();
            mView->SetImageOrigin(CGPointMake(origin.x + 37, origin.y + (step % 2 ? -23 : 29)), true);
            ManualClock::RunFor(0.03);
            mWindow->Update();
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
        ASSERT_TRUE(Settle());
        std::vector<Pixel> const scrolled = MapPixels();

        // The same place drawn again from nothing, without moving.
        CGPoint const origin = mView->GetImageOrigin();
        mView->DestroyTiles();
        mView->SetImageOrigin(origin, true);
        mView->SetNeedsDisplay(true, nullptr);
        ASSERT_TRUE(Settle());
        std::vector<Pixel> const still = MapPixels();
        ASSERT_EQ(scrolled.size(), still.size());
        std::size_t differ = 0;
        for (std::size_t i = 0; i < still.size(); ++i)
            differ += std::abs(still[i].r - scrolled[i].r) > 8 || std::abs(still[i].g - scrolled[i].g) > 8
                || std::abs(still[i].b - scrolled[i].b) > 8;
        EXPECT_EQ(differ, 0u) << "pixels left from before a scroll or from an unfinished tile";
    }

    TEST_F(MapLifecycle, AnIdleMapRunsNoTimerAndDrawsNothing)
    {
        Show(kOttawa, 12);
        ASSERT_TRUE(Settle());
        // The workers drain the runs still queued for them on their own time, not the loop's.
        auto const deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        do {
            ManualClock::RunFor(0.1);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        } while (CThreadTask::IsHandOffTimerRunning() && std::chrono::steady_clock::now() < deadline);
        EXPECT_FALSE(mView->GetRenderer()->IsInstalled()) << "the collection timer removed itself";
        EXPECT_FALSE(mView->IsInstalled()) << "no device, no marker timer";
        EXPECT_FALSE(CThreadTask::IsHandOffTimerRunning());
        EXPECT_EQ(CViewInvalidator::GetLiveCount(), 0u);
        // The shared shape cache may wait to forget shapes no view uses any more; nothing else may.
        std::size_t const purge = CGeometryCache::GetShared().IsPurgeScheduled() ? 1 : 0;
        EXPECT_LE(tw::events::CountScheduledTimersForTesting(), purge);
        ManualClock::RunFor(60);
        EXPECT_FALSE(mWindow->NeedsUpdate()) << "nothing to redraw after a minute of nothing";
        EXPECT_FALSE(mView->GetRenderer()->IsRendering());
    }

} // namespace
} // namespace tw::test
