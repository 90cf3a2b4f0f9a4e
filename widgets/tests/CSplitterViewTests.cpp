#include "WidgetTest.h"
#include "display/CursorState.h"
#include "framework/CMacWindow.h"
#include "tests/support/InputDriver.h"
#include "tests/support/ScreenProbe.h"
#include "widgets/ControlClasses.h"
#include "widgets/CSplitterView.h"

#include <cmath>
#include <limits>

// The splitter through the input funnel: its frames, drags held within the bounds,
// the double-click toggle, its cursor and its drawing.
namespace tw::test {
namespace {

    class Splitter : public WidgetTest {
    protected:
        void SetUp() override
        {
            WidgetTest::SetUp();
            display::WindowServer::ResetForTesting();
            display::CursorState::Reset();
            InstallControlWindowSupport();
            mMacWindow = new CMacWindow(mWindow);
            mSplitter = new CSplitterView(mMacWindow, CGRectMake(0, 0, 410, 100));
            mA = Pane();
            mB = Pane();
            mSplitter->SetViewA(mA);
            mSplitter->SetViewB(mB);
            ShowWindow(mWindow);
            ManualClock::RunFor(0.1);
        }
        void TearDown() override
        {
            delete mMacWindow;
            CMacWindow::SetWidgetSupport(nullptr);
            WidgetTest::TearDown();
            display::WindowServer::ResetForTesting();
        }
        // A pane that takes clicks, as the views a splitter holds do.
        static CHIView* Pane()
        {
            CGRect const frame = CGRectMake(0, 0, 10, 10);
            auto* pane = new CHIView(CString("com.apple.HIUserPane"), &frame);
            pane->AddEvent(kEventClassControl, kEventControlHitTest);
            return pane;
        }
        // Global points: the window's content is at (100, 100), the splitter at its top-left.
        static CGPoint At(double x, double y) { return { 100 + x, 100 + y }; }
        static void DoubleClick(CGPoint p)
        {
            InputDriver::Click(p);
            ManualClock::RunFor(0.1);
            InputDriver::Click(p);
            ManualClock::RunFor(0.6);
        }
        double WidthOfA() const { return mA->GetFrame().size.width; }
        // A pixel of the splitter in the window's backing store.
        Pixel At(PixelProbe const& probe, double x, double y) const
        {
            CGPoint p { x, y };
            HIViewConvertPoint(&p, mSplitter->GetHIViewRef(), nullptr);
            return probe.At(int(p.x), int(p.y));
        }

        CMacWindow* mMacWindow = nullptr;
        CSplitterView* mSplitter = nullptr;
        CHIView* mA = nullptr;
        CHIView* mB = nullptr;
    };

    bool Is(CGRect r, double x, double y, double w, double h)
    {
        return r.origin.x == x && r.origin.y == y && r.size.width == w && r.size.height == h;
    }

    TEST_F(Splitter, FramesShareTheLengthLeftAfterTheDivider)
    {
        EXPECT_EQ(mSplitter->GetSuperView(), mContent) << "made in the window's content view";
        CGRect a {}, b {}, divider {};
        mSplitter->GetRects(&a, &b, &divider);
        EXPECT_TRUE(Is(a, 0, 0, 200, 100));
        EXPECT_TRUE(Is(divider, 200, 0, 10, 100));
        EXPECT_TRUE(Is(b, 210, 0, 200, 100));
        EXPECT_TRUE(Is(mA->GetFrame(), 0, 0, 200, 100));
        EXPECT_TRUE(Is(mB->GetFrame(), 210, 0, 200, 100));
        mSplitter->SetRatio(0.333f); // 400 * 0.333 = 133.2: cut to whole points
        EXPECT_TRUE(Is(mA->GetFrame(), 0, 0, 133, 100));
        EXPECT_TRUE(Is(mB->GetFrame(), 143, 0, 267, 100));
        mSplitter->SetFrame(CGRectMake(0, 0, 610, 100)); // the splitter follows its own bounds
        EXPECT_TRUE(Is(mA->GetFrame(), 0, 0, 199, 100));
        mSplitter->SetSideBySide(false);
        mSplitter->SetRatio(0.5f);
        EXPECT_TRUE(Is(mA->GetFrame(), 0, 0, 610, 45));
        EXPECT_TRUE(Is(mB->GetFrame(), 0, 55, 610, 45));
        mSplitter->SetFrame(CGRectMake(0, 0, 610, 6)); // thinner than the divider: nothing negative
        EXPECT_TRUE(Is(mA->GetFrame(), 0, 0, 610, 0));
        EXPECT_TRUE(Is(mB->GetFrame(), 0, 10, 610, 0));
    }

    TEST_F(Splitter, RatiosOutOfRangeAreClampedAndNonNumbersReadAsTheDefault)
    {
        mSplitter->SetRatio(1.7f);
        EXPECT_EQ(mSplitter->GetRatio(), 1.0f);
        EXPECT_TRUE(Is(mB->GetFrame(), 410, 0, 0, 100));
        mSplitter->SetRatio(-0.2f);
        EXPECT_EQ(mSplitter->GetRatio(), 0.0f);
        mSplitter->SetRatio(std::numeric_limits<float>::quiet_NaN());
        EXPECT_EQ(mSplitter->GetRatio(), 0.3f);
        mSplitter->SetRatio(-std::numeric_limits<float>::infinity());
        EXPECT_EQ(mSplitter->GetRatio(), 0.3f);
        EXPECT_TRUE(Is(mA->GetFrame(), 0, 0, 120, 100));
    }

    TEST_F(Splitter, DraggingTheDividerStaysWithinTheBounds)
    {
        // Grabbed 5 points into the divider: the mouse is held between 5 and 405.
        InputDriver::MouseDown(At(205, 50));
        InputDriver::MouseMove(At(-80, 50));
        InputDriver::MouseMove(At(2, 50)); // still beyond the limit: nothing moves
        InputDriver::MouseMove(At(55, 60)); // back inside: 50 points from the limit
        InputDriver::MouseUp(At(55, 60));
        ManualClock::RunFor(0.6);
        EXPECT_EQ(WidthOfA(), 50);
        EXPECT_NEAR(mSplitter->GetRatio(), 0.125, 1e-6);

        InputDriver::MouseDown(At(55, 50));
        InputDriver::MouseMove(At(700, 50));
        InputDriver::MouseUp(At(700, 50));
        ManualClock::RunFor(0.6);
        EXPECT_EQ(WidthOfA(), 400);
        EXPECT_EQ(mB->GetFrame().size.width, 0);
        EXPECT_EQ(mSplitter->GetRatio(), 1.0f);
    }

    TEST_F(Splitter, DoubleClickOnTheDividerTogglesThePrimaryViewAndBack)
    {
        DoubleClick(At(205, 50));
        EXPECT_EQ(mSplitter->GetRatio(), 0.5f) << "no primary view: nothing";
        mSplitter->SetPrimaryView(mB);
        DoubleClick(At(100, 50)); // on A, outside the divider
        EXPECT_EQ(mSplitter->GetRatio(), 0.5f);
        DoubleClick(At(205, 50));
        EXPECT_EQ(mSplitter->GetRatio(), 0.0f) << "B alone";
        EXPECT_EQ(mB->GetFrame().size.width, 400);
        DoubleClick(At(5, 50)); // the divider is now at the left edge
        EXPECT_EQ(mSplitter->GetRatio(), 0.5f) << "the split comes back";
        EXPECT_EQ(WidthOfA(), 200);
    }

    TEST_F(Splitter, ToggleWithoutAnEarlierSplitRestoresTheKeptRatioZero)
    {
        mSplitter->SetPrimaryView(mA);
        mSplitter->SetRatio(1.0f);
        mSplitter->TogglePrimary();
        EXPECT_EQ(mSplitter->GetRatio(), 0.0f) << "never split before: the kept ratio is 0";
        mSplitter->SetRatio(0.25f);
        mSplitter->TogglePrimary();
        EXPECT_EQ(mSplitter->GetRatio(), 1.0f) << "A alone";
        mSplitter->TogglePrimary();
        EXPECT_EQ(mSplitter->GetRatio(), 0.25f);
    }

    TEST_F(Splitter, CursorShowsTheDirectionOverTheDividerAndTheArrowAfter)
    {
        InputDriver::MouseMove(At(100, 50));
        InputDriver::MouseMove(At(204, 50));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(display::CursorState::Current().theme, kThemeResizeLeftRightCursor);
        InputDriver::MouseMove(At(300, 50));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(display::CursorState::Current().theme, kThemeArrowCursor);
        mSplitter->SetSideBySide(false);
        InputDriver::MouseMove(At(300, 48));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(display::CursorState::Current().theme, kThemeResizeUpDownCursor);
    }

    TEST_F(Splitter, DrawsAGradientThatFollowsTheDividerWithItsFrameAndDot)
    {
        PixelProbe probe = ProbeWindow(mWindow);
        EXPECT_GT(At(probe, 201, 30).r, At(probe, 208, 30).r) << "white to grey from left to right";
        EXPECT_TRUE(IsColour(At(probe, 200, 30), 84, 84, 84, 255, 3)) << "the frame, grey 0.33";
        EXPECT_LT(At(probe, 205, 48).r, At(probe, 205, 30).r) << "the dot at the centre";
        mSplitter->SetRatio(0.25f); // the divider moves to 100..110
        probe = ProbeWindow(mWindow);
        EXPECT_GT(At(probe, 101, 30).r, At(probe, 108, 30).r) << "the gradient went with it";
        EXPECT_TRUE(IsColour(At(probe, 100, 30), 84, 84, 84, 255, 3));
    }

} // namespace
} // namespace tw::test
