// The hand, zoom and ruler tools, driven through the input funnel.

#include "MapToolTest.h"
#include "docwindow/CToolZoom.h"
#include "foundation/CPreferences.h"
#include "framework/CCursor.h"
#include "toolbox/HelpTags.h"

namespace tw::test {
namespace {

    class ViewTools : public MapToolTest {
    protected:
        CToolZoom* Zoom() { return static_cast<CToolZoom*>(mTools.FindTool(kToolZoom)); }

        // The window's pixels of the map on a grid (view points, every step pixels from left).
        std::vector<Pixel> SampleMap(int left, int step)
        {
            CGSize const size = mView->GetMapViewSize();
            CGPoint const topLeft = ViewInWindow({ 0, 0 });
            PixelProbe const probe = ProbeMap();
            std::vector<Pixel> pixels;
            for (int x = left; x < int(size.width); x += step)
                for (int y = 1; y < int(size.height); y += step)
                    pixels.push_back(probe.At(int(topLeft.x) + x, int(topLeft.y) + y));
            return pixels;
        }
        // Tiles and names of the way to there are drawn, and the view is back where it was.
        bool DrawnThereAndBack(CGPoint there)
        {
            CGPoint const origin = mView->GetImageOrigin();
            mView->SetImageOrigin(there, true);
            if (!Settle())
                return false;
            mView->SetImageOrigin(origin, true);
            bool const settled = Settle();
            ManualClock::RunFor(1); // no redraw is due any more
            return settled;
        }
        // How many sampled pixels of the window as it stands a whole redraw changes.
        int DifferFromAWholeRedraw(int left, int step)
        {
            std::vector<Pixel> const before = SampleMap(left, step);
            mView->SetNeedsDisplay(true, nullptr);
            mWindow->Update();
            return CountDiffering(before, SampleMap(left, step));
        }
        static int CountDiffering(std::vector<Pixel> const& a, std::vector<Pixel> const& b)
        {
            int differ = 0;
            for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
                if (std::abs(int(a[i].r) - b[i].r) > 8 || std::abs(int(a[i].g) - b[i].g) > 8
                    || std::abs(int(a[i].b) - b[i].b) > 8)
                    ++differ;
            return differ + int(std::max(a.size(), b.size()) - std::min(a.size(), b.size()));
        }
    };

    TEST_F(ViewTools, TheHandPansByTheDragAfterItsFirstStep)
    {
        CGPoint const origin = mView->GetImageOrigin();
        InputDriver::MouseDown(Screen(At(200, 200)));
        InputDriver::MouseMove(Screen(At(201, 200))); // takes hold, moves nothing
        ReleaseLater(At(231, 200), [&] {});
        // The release's own point was never a drag step: only the hold and the press count.
        CGPoint const after = mView->GetImageOrigin();
        EXPECT_EQ(after.x, origin.x) << "the first step moves nothing";
        InputDriver::MouseDown(Screen(At(200, 200)));
        InputDriver::MouseMove(Screen(At(201, 200)));
        InputDriver::MouseMove(Screen(At(231, 200)));
        ReleaseLater(At(231, 200), [&] {});
        EXPECT_EQ(mView->GetImageOrigin().x, origin.x - 30) << "30 pixels right moves the map 30 left";
        EXPECT_EQ(mView->GetImageOrigin().y, origin.y);
        EXPECT_EQ(mView->GetScrollDragSize().width, 24) << "the canvas's own scrolling is back";
        EXPECT_TRUE(mDocument.mObjects.empty());
    }

    // The strip that comes into view at the leading edge is drawn while the button is still
    // down (well within the delay of the whole redraw that follows a scroll), as it will be
    // once the map is let go. Its tiles were drawn before, as when panning back and forth.
    TEST_F(ViewTools, WhatComesIntoViewIsDrawnWhileTheMapIsDragged)
    {
        CGPoint const origin = mView->GetImageOrigin();
        ASSERT_TRUE(DrawnThereAndBack({ origin.x + 120, origin.y }));
        int const edge = int(mView->GetMapViewSize().width) - 40;
        // 120 pixels left in steps of 10: the map's east comes in at the right.
        std::vector<CGPoint> steps;
        for (int i = 0; i <= 12; ++i)
            steps.push_back(Screen(At(300 - 10 * i, 200)));
        auto strip = [&] { return SampleMap(edge, 3); };
        std::vector<Pixel> during;
        InputDriver::MouseDown(Screen(At(300, 200)));
        for (CGPoint const& step : steps)
            InputDriver::MouseMove(step);
        ReleaseLater(At(180, 200), [&] {
            mWindow->Update();
            during = strip();
        });
        EXPECT_EQ(mView->GetImageOrigin().x, origin.x + 120);
        ASSERT_TRUE(Settle());
        std::vector<Pixel> const after = strip();
        EXPECT_EQ(CountDiffering(during, after), 0) << "of " << after.size() << " pixels at the leading edge";
    }

    // A pan step moves what is drawn and redraws only the strips that come into view; two
    // steps before the window is updated end as a whole redraw would.
    TEST_F(ViewTools, APanStepRedrawsOnlyWhatComesIntoView)
    {
        CGPoint const origin = mView->GetImageOrigin();
        ASSERT_TRUE(DrawnThereAndBack({ origin.x + 24, origin.y + 12 }));
        CGSize const size = mView->GetMapViewSize();
        int const width = int(size.width), height = int(size.height);
        ASSERT_FALSE(mWindow->NeedsUpdate());

        mView->SetImageOrigin({ origin.x + 12, origin.y + 6 }, true);
        double invalid = 0;
        for (CGRect const& rect : mWindow->GetInvalid())
            invalid += rect.size.width * rect.size.height;
        EXPECT_LT(invalid, 0.2 * width * height) << "the whole view is drawn again";

        mView->SetImageOrigin({ origin.x + 24, origin.y + 12 }, true);
        mWindow->Update();
        EXPECT_EQ(DifferFromAWholeRedraw(1, 5), 0);
    }

    // Diagonal steps, each drawn with the redraw it asks for: a name that comes in whole at an
    // edge lies partly in the strips and partly in the moved pixels, so it is drawn again
    // where the strips' clip left gaps, before the delayed redraw of the whole view.
    TEST_F(ViewTools, PanStepsDrawTheNamesThatComeInWhole)
    {
        CGPoint const origin = mView->GetImageOrigin();
        ASSERT_TRUE(DrawnThereAndBack({ origin.x + 132, origin.y + 99 }));
        for (int step = 1; step <= 11; ++step) {
            mView->SetImageOrigin({ origin.x + 12 * step, origin.y + 9 * step }, true);
            mWindow->Update();
            ManualClock::RunFor(0.01);
            mWindow->Update();
        }
        EXPECT_FALSE(mView->GetRenderer()->IsRendering()) << "every tile was there";
        EXPECT_EQ(DifferFromAWholeRedraw(0, 1), 0);
    }

    TEST_F(ViewTools, RepeatedClicksOnAPileSelectEachObjectInTurn)
    {
        for (double const side : { 40.0, 60.0, 80.0 }) {
            auto* rectangle = new CMapRectangle;
            rectangle->SetBounds(mView->Unproject(CGRectMake(At(180, 180).x, At(180, 180).y, side, side)));
            mDocument.AddObject(rectangle);
        }
        Draw();
        std::vector<CMapObject*> picked;
        for (int i = 0; i < 3; ++i) {
            Click(At(200, 200));
            ASSERT_EQ(Selected().size(), 1u);
            picked.push_back(Selected()[0]);
        }
        std::sort(picked.begin(), picked.end());
        EXPECT_EQ(std::unique(picked.begin(), picked.end()), picked.end()) << "each once";
    }

    TEST_F(ViewTools, ZoomClicksStepAndCentreAndADragZoomsToItsRectangle)
    {
        Choose(kToolZoom);
        CGPoint const click = At(200, 150);
        CCoordinate const there = mView->Unproject(click);
        Click(click);
        EXPECT_EQ(mView->GetMapZoom(), 13u);
        CGPoint const centre = mView->Project(mView->GetMapCentre());
        EXPECT_NEAR(mView->Project(there).x, centre.x, 1);
        EXPECT_NEAR(mView->Project(there).y, centre.y, 1);
        EXPECT_EQ(mDocument.GetTool(), kToolZoom) << "the zoom tool stays";

        Click(At(200, 150), kOption);
        EXPECT_EQ(mView->GetMapZoom(), 12u);
        Click(At(200, 150), 0, 2);
        EXPECT_EQ(mView->GetMapZoom(), 11u) << "the secondary button zooms out";

        Drag(At(200, 150), At(202, 200)); // too narrow: one step in around its centre
        EXPECT_EQ(mView->GetMapZoom(), 12u);
        Drag(At(100, 100), At(103, 103)); // 3 by 3: to the rectangle, as deep as it goes
        EXPECT_EQ(mView->GetMapZoom(), CViewMap::kZoomMaximum);
    }

    TEST_F(ViewTools, TheZoomCursorFollowsOptionAndTheLimits)
    {
        Choose(kToolZoom);
        CCarbonEvent option(kEventClassMouse, kEventMouseMoved);
        UInt32 const held = kOption;
        option.SetParameter(kEventParamKeyModifiers, typeUInt32, sizeof held, &held);
        Zoom()->UpdateCursors(CCarbonEvent());
        EXPECT_EQ(Zoom()->GetCursor(), CCursor::kCursorZoomIn);
        Zoom()->DoKeyModifiers(option);
        EXPECT_EQ(Zoom()->GetCursor(), CCursor::kCursorZoomOut);
        mView->SetMapZoom(CHIView::kZoomFactor, nullptr, CViewMap::kZoomMaximum);
        EXPECT_EQ(Zoom()->GetCursor(), CCursor::kCursorZoomLimit) << "a new level reads as Option let go";
        Zoom()->DoKeyModifiers(option);
        EXPECT_EQ(Zoom()->GetCursor(), CCursor::kCursorZoomOut);
        mView->SetMapZoom(CHIView::kZoomFactor, nullptr, 0);
        EXPECT_EQ(Zoom()->GetCursor(), CCursor::kCursorZoomIn);
        Zoom()->DoKeyModifiers(option);
        EXPECT_EQ(Zoom()->GetCursor(), CCursor::kCursorZoomLimit);
    }

    TEST_F(ViewTools, TheRulerTellsTheDistanceInTheUsersUnitsAndLeavesNothing)
    {
        Choose(kToolRuler);
        CGPoint const from = At(100, 200), to = At(400, 200);
        double const metres
            = mView->GetMapManager()->GetDistance(mView->Unproject(from), mView->Unproject(to));
        std::string during;
        for (SInt32 const units : { 1, 2 }) {
            CPreferences().SetInteger("MapUnits", units);
            InputDriver::MouseDown(Screen(from));
            InputDriver::MouseMove(Screen({ from.x + 100, from.y }));
            InputDriver::MouseMove(Screen(to));
            ReleaseLater(to, [&] {
                during = toolbox::HelpTags::ShowingText() ? cf::ToUTF8(toolbox::HelpTags::ShowingText()) : "";
            });
            EXPECT_EQ(during,
                mView->GetMapManager()->GetDistanceString(metres, MapUnits(units)).GetStdString());
            EXPECT_EQ(toolbox::HelpTags::ShowingText(), nullptr) << "the tag goes with the release";
        }
        EXPECT_NE(during.find("mi"), std::string::npos) << during;
        CPreferences().RemovePref("MapUnits");
        EXPECT_TRUE(mDocument.mObjects.empty());
        EXPECT_EQ(mView->GetMapZoom(), 12u);
    }

    // Another tool chosen with its key while the ruler drags: the line and the tag go at once,
    // and the rest of the drag (the release) makes nothing with the new tool.
    TEST_F(ViewTools, AToolKeyPressedDuringARulerDragTakesItsLineAway)
    {
        struct ToolKey {
            UInt32 code;
            char character;
            TWTool tool;
        };
        for (ToolKey const key : { ToolKey { 37, 'l', kToolLine }, ToolKey { 4, 'h', kToolHand }, ToolKey { 17, 't', kToolRectangle },
                 ToolKey { 13, 'w', kToolWaypoint }, ToolKey { 6, 'z', kToolZoom } }) {
            SCOPED_TRACE(key.character);
            Choose(kToolRuler);
            ASSERT_TRUE(Settle());
            CGPoint const from = At(100, 200), to = At(400, 260);
            CGPoint const origin = mView->GetImageOrigin();
            InputDriver::MouseDown(Screen(from));
            InputDriver::MouseMove(Screen({ from.x + 100, from.y + 20 }));
            InputDriver::MouseMove(Screen(to));
            int drawnDuring = 0, leftAfterKey = 0;
            ReleaseLater(to, [&] {
                drawnDuring = DifferFromAWholeRedraw(1, 3) == 0 ? 0 : -1; // the line is the tool's own
                mWindow->Update();
                std::vector<Pixel> const withLine = SampleMap(1, 3);
                display::InputEvent press = InputDriver::Make(display::InputKind::KeyDown);
                press.keyCode = key.code;
                press.character = UInt32(key.character);
                InputDriver::Post(press);
                display::InputEvent text = InputDriver::Make(display::InputKind::Text);
                text.text = std::string(1, key.character);
                InputDriver::Post(text);
                press.kind = display::InputKind::KeyUp;
                InputDriver::Post(press);
                ManualClock::RunFor(0.05);
                mWindow->Update();
                leftAfterKey = DifferFromAWholeRedraw(1, 3);
                drawnDuring = CountDiffering(withLine, SampleMap(1, 3));
                InputDriver::MouseMove(Screen({ to.x + 30, to.y + 10 }));
            });
            EXPECT_EQ(mDocument.GetTool(), key.tool);
            EXPECT_GT(drawnDuring, 0) << "the key took the line away";
            EXPECT_EQ(leftAfterKey, 0) << "the ruler's line stayed after the key";
            EXPECT_EQ(DifferFromAWholeRedraw(1, 3), 0) << "something stayed after the release";
            EXPECT_EQ(toolbox::HelpTags::ShowingText(), nullptr);
            EXPECT_TRUE(mDocument.mObjects.empty()) << "the release made an object with the new tool";
            EXPECT_EQ(mView->GetImageOrigin().x, origin.x) << "the release panned with the new tool";
            EXPECT_EQ(mView->GetMapZoom(), 12u) << "the release zoomed with the new tool";
        }
    }

    // Escape in the middle of any tool's drag ends the gesture and leaves no tag behind,
    // neither for the pointer's next moves nor under the next tool.
    TEST_F(ViewTools, EscapeDuringEveryToolsDragLeavesNoTag)
    {
        for (int tool = 0; tool < 10; ++tool) {
            Choose(TWTool(tool));
            CGPoint const from = At(100, 200), to = At(300, 220);
            std::string during;
            InputDriver::MouseDown(Screen(from));
            InputDriver::MouseMove(Screen({ from.x + 100, from.y }));
            InputDriver::MouseMove(Screen(to));
            ReleaseLater(to, [&] {
                during = toolbox::HelpTags::ShowingText() ? cf::ToUTF8(toolbox::HelpTags::ShowingText()) : "";
                InputDriver::Key(53, 0x1B);
                InputDriver::MouseMove(Screen({ to.x + 20, to.y + 10 }));
            });
            if (tool == kToolRuler) {
                EXPECT_FALSE(during.empty()) << "the ruler tells its distance while it drags";
            }
            EXPECT_EQ(toolbox::HelpTags::ShowingText(), nullptr) << "tool " << tool << " left \"" << during << "\"";
            EXPECT_FALSE(Current() && Current()->IsDragging()) << "tool " << tool;
            Choose(kToolHand);
            Move(At(250, 150));
            EXPECT_EQ(toolbox::HelpTags::ShowingText(), nullptr) << "after tool " << tool;
        }
    }

} // namespace
} // namespace tw::test
