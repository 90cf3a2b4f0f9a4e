#include "CanvasTest.h"

// The selection tool driven through the input funnel: clicks, modifier clicks,
// moves, resizes from every grow box, double clicks and cancelled tracks.
namespace tw::test {
namespace {

    using ArrowTool = CanvasTest;

    TEST_F(ArrowTool, TopmostObjectWinsAClickAndComesToTheTop)
    {
        RectObject* lower = Add(CGRectMake(40, 40, 100, 80));
        RectObject* upper = Add(CGRectMake(100, 60, 100, 80));
        Click({ 120, 80 }); // where both are
        EXPECT_TRUE(upper->IsSelected());
        EXPECT_FALSE(lower->IsSelected());
        Click({ 50, 50 }); // only the lower one
        EXPECT_TRUE(lower->IsSelected());
        EXPECT_FALSE(upper->IsSelected()) << "a plain click selects one object alone";
        EXPECT_EQ(Order(), (std::vector<CCanvasObject*> { upper, lower })) << "the clicked object comes to the top";
        Click({ 120, 80 });
        EXPECT_TRUE(lower->IsSelected()) << "now on top, it wins the shared area";
        Click({ 250, 180 }); // empty canvas
        EXPECT_FALSE(lower->IsSelected());
        EXPECT_FALSE(upper->IsSelected());
    }

    TEST_F(ArrowTool, ShiftAndCommandClicksExtendAndToggle)
    {
        RectObject* a = Add(CGRectMake(20, 20, 40, 40));
        RectObject* b = Add(CGRectMake(100, 20, 40, 40));
        RectObject* c = Add(CGRectMake(180, 20, 40, 40));
        Click({ 30, 30 });
        Click({ 110, 30 }, shiftKey);
        Click({ 190, 30 }, cmdKey);
        EXPECT_TRUE(a->IsSelected() && b->IsSelected() && c->IsSelected());
        Click({ 30, 30 }, shiftKey); // toggles off, and still comes to the top
        EXPECT_FALSE(a->IsSelected());
        EXPECT_EQ(Order().back(), a);
        Click({ 110, 30 }, rightShiftKey);
        EXPECT_FALSE(b->IsSelected());
        Click({ 250, 150 }, shiftKey); // empty canvas with Shift changes nothing
        EXPECT_TRUE(c->IsSelected());
        b->SetAttributes(0, CCanvasObject::kAttributeSelectable);
        Click({ 110, 30 }, cmdKey);
        EXPECT_FALSE(b->IsSelected()) << "an object that cannot be selected is passed over";
        EXPECT_TRUE(c->IsSelected());
    }

    TEST_F(ArrowTool, DragMovesEverySelectedMovableObjectKeepingTheirOffsets)
    {
        RectObject* a = Add(CGRectMake(20, 20, 40, 40));
        RectObject* b = Add(CGRectMake(100, 50, 30, 20));
        RectObject* fixed = Add(CGRectMake(200, 20, 40, 40));
        RectObject* other = Add(CGRectMake(20, 150, 40, 40));
        fixed->SetAttributes(0, CCanvasObject::kAttributeMovable);
        Click({ 30, 30 });
        Click({ 110, 60 }, shiftKey);
        Click({ 210, 30 }, shiftKey);
        Drag({ 30, 30 }, { 60, 50 });
        EXPECT_TRUE(SameRect(a->GetBounds(), CGRectMake(50, 40, 40, 40))) << Describe(a->GetBounds());
        EXPECT_TRUE(SameRect(b->GetBounds(), CGRectMake(130, 70, 30, 20))) << Describe(b->GetBounds());
        EXPECT_TRUE(SameRect(fixed->GetBounds(), CGRectMake(200, 20, 40, 40))) << "not movable";
        EXPECT_TRUE(SameRect(other->GetBounds(), CGRectMake(20, 150, 40, 40))) << "not selected";
        EXPECT_EQ(a->notes.back(), "dragged");
        EXPECT_EQ(a->Count("drag begin"), 1);
        EXPECT_EQ(a->dragSteps.size(), 4u);

        // A press on an unselected object selects it alone and drags only it.
        Drag({ 30, 160 }, { 40, 170 });
        EXPECT_TRUE(SameRect(other->GetBounds(), CGRectMake(30, 160, 40, 40)));
        EXPECT_TRUE(SameRect(a->GetBounds(), CGRectMake(50, 40, 40, 40)));
        EXPECT_FALSE(a->IsSelected());

        // Dragging the selected but fixed object moves nothing, even with movable ones selected.
        Click({ 60, 50 });
        Click({ 210, 30 }, shiftKey);
        Drag({ 210, 30 }, { 250, 90 });
        EXPECT_TRUE(SameRect(a->GetBounds(), CGRectMake(50, 40, 40, 40)));
        EXPECT_TRUE(SameRect(fixed->GetBounds(), CGRectMake(200, 20, 40, 40)));
    }

    struct GrowCase {
        CGPoint handle; // where the press is, on the grow box of an object at (100, 100, 80, 60)
        CGPoint to; // the release, past the opposite corner or edge
        CGRect during; // the bounds at the release point, before the release normalises them
        CGRect after;
    };

    TEST_F(ArrowTool, ResizingFromEachGrowBoxPastTheOppositeSideEndsNormalised)
    {
        // The middle boxes start at the edge's midpoint and run 4 pixels along the edge.
        GrowCase const cases[] = {
            { { 100, 100 }, { 200, 190 }, { { 200, 190 }, { -20, -30 } }, { { 180, 160 }, { 20, 30 } } },
            { { 141, 100 }, { 141, 190 }, { { 100, 190 }, { 80, -30 } }, { { 100, 160 }, { 80, 30 } } },
            { { 180, 100 }, { 70, 190 }, { { 100, 190 }, { -30, -30 } }, { { 70, 160 }, { 30, 30 } } },
            { { 180, 131 }, { 70, 131 }, { { 100, 100 }, { -30, 60 } }, { { 70, 100 }, { 30, 60 } } },
            { { 100, 131 }, { 200, 131 }, { { 200, 100 }, { -20, 60 } }, { { 180, 100 }, { 20, 60 } } },
            { { 100, 160 }, { 200, 70 }, { { 200, 100 }, { -20, -30 } }, { { 180, 70 }, { 20, 30 } } },
            { { 141, 160 }, { 141, 70 }, { { 100, 100 }, { 80, -30 } }, { { 100, 70 }, { 80, 30 } } },
            { { 180, 160 }, { 70, 70 }, { { 100, 100 }, { -30, -30 } }, { { 70, 70 }, { 30, 30 } } },
        };
        int box = 2;
        for (GrowCase const& c : cases) {
            SCOPED_TRACE("grow box " + std::to_string(box++));
            RectObject* object = Add(CGRectMake(100, 100, 80, 60));
            Drag(c.handle, c.to);
            ASSERT_FALSE(object->resizeSteps.empty());
            EXPECT_TRUE(SameRect(object->resizeSteps.back(), c.during)) << Describe(object->resizeSteps.back());
            EXPECT_TRUE(SameRect(object->GetBounds(), c.after)) << Describe(object->GetBounds());
            EXPECT_EQ(object->notes.front(), "resize begin");
            EXPECT_EQ(object->notes.back(), "resized");
            mCanvas->RemoveObjects(true);
        }
    }

    TEST_F(ArrowTool, EscapeOrACancelledTrackPutsTheGeometryBack)
    {
        RectObject* a = Add(CGRectMake(20, 20, 40, 40));
        RectObject* b = Add(CGRectMake(100, 20, 40, 40));
        Click({ 30, 30 });
        Click({ 110, 30 }, shiftKey);
        InputDriver::MouseDown(Screen({ 30, 30 }));
        InputDriver::MouseMove(Screen({ 60, 60 }));
        InputDriver::MouseMove(Screen({ 90, 90 }));
        InputDriver::Key(53, 27); // Escape, while the mouse is still down
        InputDriver::MouseUp(Screen({ 90, 90 }));
        ManualClock::RunFor(0.6);
        EXPECT_FALSE(a->dragSteps.empty()) << "the objects did move";
        EXPECT_TRUE(SameRect(a->GetBounds(), CGRectMake(20, 20, 40, 40))) << Describe(a->GetBounds());
        EXPECT_TRUE(SameRect(b->GetBounds(), CGRectMake(100, 20, 40, 40))) << Describe(b->GetBounds());
        EXPECT_EQ(a->notes.back(), "drag cancelled");
        EXPECT_EQ(b->notes.back(), "drag cancelled");

        // A track that something else ends (the loop quit under it) cancels a resize too.
        InputDriver::MouseDown(Screen({ 140, 60 }));
        InputDriver::MouseMove(Screen({ 170, 90 }));
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 0.25, 0, [](EventLoopTimerRef, void*) { QuitEventLoop(GetMainEventLoop()); }, nullptr,
            &timer);
        ManualClock::RunFor(0.6);
        InputDriver::MouseUp(Screen({ 170, 90 }));
        ManualClock::RunFor(0.6);
        EXPECT_FALSE(b->resizeSteps.empty());
        EXPECT_TRUE(SameRect(b->GetBounds(), CGRectMake(100, 20, 40, 40))) << Describe(b->GetBounds());
        EXPECT_EQ(b->notes.back(), "resize cancelled");
    }

    TEST_F(ArrowTool, DoubleClickOpensOnceOnTheSecondRelease)
    {
        RectObject* a = Add(CGRectMake(20, 20, 40, 40));
        InputDriver::Click(Screen({ 30, 30 }));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(a->Count("opened"), 0);
        int openedDuringPress = -1;
        InputDriver::MouseDown(Screen({ 31, 30 }));
        ReleaseLater(Screen({ 31, 30 }), [&] { openedDuringPress = a->Count("opened"); });
        EXPECT_EQ(openedDuringPress, 0) << "not on the press";
        EXPECT_EQ(a->Count("opened"), 1);
        Click({ 30, 30 });
        EXPECT_EQ(a->Count("opened"), 1) << "a later single click opens nothing";
    }

    TEST_F(ArrowTool, WithInteractionOffOnlyTheDragIsKept)
    {
        RectObject* a = Add(CGRectMake(20, 20, 40, 40));
        CCanvasToolArrow* arrow = mCanvas->GetArrowTool();
        arrow->SetInteracts(false);
        bool dragging = false;
        CGRect drag {};
        InputDriver::MouseDown(Screen({ 30, 30 }));
        InputDriver::MouseMove(Screen({ 50, 45 }));
        ReleaseLater(Screen({ 50, 45 }), [&] {
            dragging = arrow->IsDragging();
            drag = arrow->GetDragBounds();
        });
        EXPECT_TRUE(dragging);
        EXPECT_TRUE(SameRect(drag, CGRectMake(30, 30, 20, 15))) << Describe(drag);
        EXPECT_FALSE(arrow->IsDragging()) << "the release ends the drag";
        EXPECT_FALSE(a->IsSelected());
        EXPECT_TRUE(SameRect(a->GetBounds(), CGRectMake(20, 20, 40, 40)));
    }

    // An object the canvas lets go of during a press (here by the Delete key) is not touched again.
    TEST_F(ArrowTool, ObjectsRemovedDuringADragAreLeftAlone)
    {
        RectObject* a = Add(CGRectMake(20, 20, 40, 40));
        Click({ 30, 30 });
        InputDriver::MouseDown(Screen({ 30, 30 }));
        InputDriver::MouseMove(Screen({ 40, 40 }));
        InputDriver::Key(51, 8); // Delete: the selection leaves the list
        InputDriver::MouseMove(Screen({ 60, 60 }));
        InputDriver::MouseUp(Screen({ 60, 60 }));
        ManualClock::RunFor(0.6);
        EXPECT_FALSE(mCanvas->Contains(a));
        EXPECT_TRUE(SameRect(a->GetBounds(), CGRectMake(30, 30, 40, 40))) << "only the step before the removal";
        EXPECT_EQ(a->Count("dragged"), 0);
        delete a;
    }

} // namespace
} // namespace tw::test
