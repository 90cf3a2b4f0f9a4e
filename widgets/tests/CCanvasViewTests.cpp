#include "CanvasTest.h"
#include "display/CursorState.h"
#include "tests/support/ScreenProbe.h"
#include "toolbox/HelpTags.h"
#include "toolbox/controls/ControlDefinitions.h"
#include "widgets/CHIScrollView.h"

// The canvas: its object list, its passes and culling, the tool events it hands out,
// the keys it takes, and the cursor and help tag that follow the pointer.
namespace tw::test {
namespace {

    // A tool that writes down every call with the image point and the event's key and clicks.
    class RecordingTool : public CCanvasTool {
    public:
        void ToolSelected() override { log.push_back("selected"); }
        void ToolDeselected() override { log.push_back("deselected"); }
        void DoMouseDown(CCarbonEvent const& e) override { Note("down", e); }
        void DoMouseUp(CCarbonEvent const& e) override { Note("up", e); }
        void DoMouseEntered(CCarbonEvent const& e) override { Note("entered", e); }
        void DoMouseExited(CCarbonEvent const& e) override { Note("exited", e); }
        void DoMouseDragged(CCarbonEvent const& e) override { Note("dragged", e); }
        void DoMouseMoved(CCarbonEvent const& e) override { Note("moved", e); }
        void DoCancelTrack(CCarbonEvent const& e) override { Note("cancelled", e); }
        void DoKeyModifiers(CCarbonEvent const& e) override { Note("modifiers", e); }
        OSStatus DoKeyDown(CCarbonEvent const& e) override
        {
            char character = 0;
            e.GetParameter(kEventParamKeyMacCharCodes, typeChar, sizeof character, &character);
            log.push_back("key " + std::to_string(e.GetKeyCode()) + " " + std::string(1, character));
            return eventNotHandledErr;
        }
        void Note(char const* what, CCarbonEvent const& e)
        {
            EXPECT_EQ(e.GetClass(), CCanvasView::kEventClassCanvas);
            EXPECT_EQ(e.GetKind(), CCanvasView::kEventCanvasTool);
            HIPoint const p = e.GetMouseLocation();
            std::string line = std::string(what) + " " + std::to_string(int(std::lround(p.x))) + ","
                + std::to_string(int(std::lround(p.y)));
            if (e.GetKeyModifiers() & shiftKey)
                line += " shift";
            if (e.GetMouseClickCount() > 0)
                line += " x" + std::to_string(e.GetMouseClickCount());
            log.push_back(line);
        }
        std::vector<std::string> log;
    };

    // Global points: the window's content is at (100, 100) and the canvas at (20, 20) in it.
    constexpr CGPoint At(double x, double y) { return { 120 + x, 120 + y }; }

    void Modifiers(UInt32 modifiers)
    {
        InputDriver::Post(InputDriver::Make(display::InputKind::ModifiersChanged, {}, modifiers));
    }

    using CanvasView = CanvasTest;

    TEST_F(CanvasView, ListsKeepTheirOrderAndNeverHoldAnObjectTwice)
    {
        RectObject* a = Add(CGRectMake(10, 10, 20, 20));
        RectObject* b = Add(CGRectMake(40, 10, 20, 20));
        auto* c = new RectObject(CGRectMake(70, 10, 20, 20));
        mCanvas->AddObject(c, a);
        EXPECT_EQ(Order(), (std::vector<CCanvasObject*> { c, a, b }));
        EXPECT_EQ(c->GetCanvas(), mCanvas);
        mCanvas->AddObject(c, nullptr); // already listed: moves to the top, listed once
        EXPECT_EQ(Order(), (std::vector<CCanvasObject*> { a, b, c }));
        RectObject stranger(CGRectMake(0, 0, 1, 1));
        mCanvas->SetObjectZOrder(CCanvasView::kZOrderBelow, a, &stranger); // an unlisted reference: on top
        EXPECT_EQ(Order(), (std::vector<CCanvasObject*> { b, c, a }));
        mCanvas->SetObjectZOrder(CCanvasView::kZOrderBelow, a, nullptr);
        EXPECT_EQ(Order(), (std::vector<CCanvasObject*> { a, b, c }));
        mCanvas->SetObjectZOrder(CCanvasView::kZOrderAbove, a, b);
        EXPECT_EQ(Order(), (std::vector<CCanvasObject*> { b, a, c }));
        mCanvas->SetObjectZOrder(CCanvasView::kZOrderBelow, c, b);
        EXPECT_EQ(Order(), (std::vector<CCanvasObject*> { c, b, a }));

        EXPECT_TRUE(mCanvas->GetObjects(nullptr, 0).empty());
        b->SetAttributes(0, CCanvasObject::kAttributeMovable);
        mCanvas->SelectObjects(CCanvasObject::kAttributeMovable);
        EXPECT_TRUE(a->IsSelected() && c->IsSelected());
        EXPECT_FALSE(b->IsSelected());
        a->SetVisible(false);
        EXPECT_EQ(mCanvas->GetObjects(CCanvasView::FilterIsVisibleAndSelected, CCanvasView::kMaskAll).size(), 1u);
        mCanvas->SelectObjects(0);
        EXPECT_FALSE(a->IsSelected() || c->IsSelected());
        mCanvas->RemoveObject(b);
        EXPECT_FALSE(mCanvas->Contains(b));
        EXPECT_EQ(b->GetCanvas(), mCanvas) << "unlisted, not detached";
        delete b;
    }

    TEST_F(CanvasView, FindsTheTopmostVisibleObjectAndGrowBoxesOnlyWhenAsked)
    {
        RectObject* lower = Add(CGRectMake(100, 100, 80, 60));
        RectObject* upper = Add(CGRectMake(150, 120, 80, 60));
        EXPECT_EQ(mCanvas->FindObject({ 160, 130 }, CCanvasView::kMaskAll, false), upper);
        upper->SetVisible(false);
        EXPECT_EQ(mCanvas->FindObject({ 160, 130 }, CCanvasView::kMaskAll, false), lower);
        upper->SetVisible(true);
        EXPECT_EQ(mCanvas->FindObject({ 160, 130 }, CCanvasObject::kAttributeObjectCursor, false), upper);
        upper->SetAttributes(0, CCanvasObject::kAttributeObjectCursor);
        EXPECT_EQ(mCanvas->FindObject({ 160, 130 }, CCanvasObject::kAttributeObjectCursor, false), lower);
        // Just outside the corner: only the grow box is there.
        EXPECT_EQ(lower->IsHitBy({ 99, 99 }), kObjectHitTopLeft);
        EXPECT_EQ(mCanvas->FindObject({ 99, 99 }, CCanvasView::kMaskAll, false), nullptr);
        EXPECT_EQ(mCanvas->FindObject({ 99, 99 }, CCanvasView::kMaskAll, true), lower);
        // In the redraw margin but in no box and not in the body: nothing.
        EXPECT_EQ(lower->IsHitBy({ 97, 130 }), kObjectHitNone);
        lower->SetAttributes(0, CCanvasObject::kAttributeResizable);
        EXPECT_EQ(lower->IsHitBy({ 99, 99 }), kObjectHitNone) << "no grow boxes without the attribute";

        // Four view pixels at every zoom.
        mCanvas->GetZoomLevels() = { 1.0f, 2.0f };
        mCanvas->SetImageZoom(CHIView::kZoomFactor, nullptr, 2.0f);
        CGRect const box = upper->GetGrowBoxBounds(kObjectHitBottomRight);
        EXPECT_TRUE(SameRect(box, CGRectMake(229, 179, 2, 2))) << Describe(box);
        EXPECT_EQ(upper->Count("zoomed"), 1);
        CGRect const area = upper->GetGrowBoxBounds(kObjectHitInvalidate);
        EXPECT_TRUE(SameRect(area, CGRectMake(148, 118, 84, 64))) << Describe(area);
    }

    TEST_F(CanvasView, ToolSeesEveryPhaseInImageCoordinatesAtZoomOneAndTwo)
    {
        RecordingTool tool;
        mCanvas->SetTool(&tool);
        mCanvas->GetZoomLevels() = { 1.0f, 2.0f };
        struct Setting {
            float zoom;
            CGPoint origin;
        };
        for (Setting const s : { Setting { 1, { 100, 50 } }, Setting { 2, { 100, 50 } } }) {
            SCOPED_TRACE("zoom " + std::to_string(s.zoom));
            mCanvas->SetImageZoom(CHIView::kZoomFactor, nullptr, s.zoom);
            mCanvas->SetImageOrigin(s.origin, true);
            tool.log.clear();
            InputDriver::MouseMove(At(400, 100)); // outside the canvas
            InputDriver::MouseMove(At(30, 40));
            InputDriver::MouseMove(At(50, 40));
            InputDriver::MouseDown(At(50, 40));
            InputDriver::MouseMove(At(70, 60));
            Modifiers(shiftKey); // taken by the tracking loop
            InputDriver::MouseUp(At(70, 60), shiftKey);
            ManualClock::RunFor(0.6);
            Modifiers(0); // now on the application target
            InputDriver::Key(0, 'a');
            ManualClock::RunFor(0.1);
            InputDriver::MouseMove(At(400, 100));
            ManualClock::RunFor(0.1);
            // image = view / zoom + origin
            auto const image = [&](double x, double y) {
                return std::to_string(int(x / s.zoom + s.origin.x)) + "," + std::to_string(int(y / s.zoom + s.origin.y));
            };
            std::vector<std::string> const expected {
                "entered " + image(30, 40),
                "moved " + image(50, 40),
                "down " + image(50, 40) + " x1",
                "dragged " + image(70, 60) + " x1",
                "modifiers " + image(70, 60) + " shift x1",
                "up " + image(70, 60) + " shift x1",
                "modifiers " + image(70, 60),
                "key 0 a",
                "exited " + image(400, 100),
            };
            EXPECT_EQ(tool.log, expected);
        }
        mCanvas->SetTool(mCanvas->GetArrowTool());
        EXPECT_EQ(tool.log.back(), "deselected");
    }

    TEST_F(CanvasView, ASmallImageIsCentredForDrawingAndClicksAlike)
    {
        mCanvas->SetImageSize({ 200, 100 }); // in a 300 x 200 view: 50 pixels each side
        RectObject* a = Add(CGRectMake(5, 5, 10, 10));
        PixelProbe const window = ProbeWindow(mWindow);
        EXPECT_TRUE(IsColour(ViewPixel(window, 60, 60), 51, 102, 204)) << "drawn at the centred place";
        EXPECT_FALSE(IsColour(ViewPixel(window, 10, 10), 51, 102, 204)) << "not at the top-left";
        Click({ 10, 10 });
        EXPECT_TRUE(a->IsSelected()) << "and clicked there";
        EXPECT_TRUE(SameRect(mCanvas->GetVisibleContent(), CGRectMake(0, 0, 200, 100)));
    }

    TEST_F(CanvasView, DrawsBottomToTopWithGrowHandlesOnSelectedResizableObjectsOnly)
    {
        auto* lower = new RectObject(CGRectMake(20, 20, 60, 60), { 1, 0, 0, 1 });
        auto* upper = new RectObject(CGRectMake(50, 50, 60, 60), { 0, 1, 0, 1 });
        mCanvas->AddObject(lower, nullptr);
        mCanvas->AddObject(upper, nullptr);
        auto const pixel = [&](double x, double y) { return ViewPixel(ProbeWindow(mWindow), x, y); };
        EXPECT_TRUE(IsColour(pixel(60, 60), 0, 255, 0)) << "the later object on top";
        EXPECT_TRUE(IsColour(pixel(30, 30), 255, 0, 0));
        Pixel const plainCorner = pixel(110, 110);
        upper->SetSelected(true);
        Pixel const handle = pixel(110, 110);
        EXPECT_FALSE(IsColour(handle, plainCorner.r, plainCorner.g, plainCorner.b)) << "a grow box at the corner";
        upper->SetAttributes(0, CCanvasObject::kAttributeResizable);
        EXPECT_TRUE(IsColour(pixel(110, 110), plainCorner.r, plainCorner.g, plainCorner.b)) << "none when fixed size";
    }

    TEST_F(CanvasView, DrawsOnlyObjectsInThePartBeingRedrawn)
    {
        RectObject* inView = Add(CGRectMake(10, 10, 20, 20));
        RectObject* elsewhere = Add(CGRectMake(200, 150, 20, 20));
        RectObject* outside = Add(CGRectMake(800, 800, 20, 20));
        ProbeWindow(mWindow);
        EXPECT_GT(inView->draws, 0);
        EXPECT_GT(elsewhere->draws, 0);
        EXPECT_EQ(outside->draws, 0) << "outside the visible content";
        int const before = elsewhere->draws;
        inView->SetNeedsDisplay(true);
        ProbeWindow(mWindow);
        EXPECT_EQ(elsewhere->draws, before) << "outside the area redrawn";
        mCanvas->SetImageOrigin({ 790, 790 }, false);
        ManualClock::RunFor(0.5);
        ProbeWindow(mWindow);
        EXPECT_GT(outside->draws, 0) << "scrolled into view";
    }

    // Draws once, asking three times on the way for a redraw.
    class NeedyObject : public RectObject {
    public:
        using RectObject::RectObject;
        void Draw(CGContextRef context) override
        {
            RectObject::Draw(context);
            if (draws == 1)
                for (int i = 0; i < 3; ++i)
                    SetNeedsDisplay(true);
        }
    };

    TEST_F(CanvasView, InvalidationsWhileDrawingGiveOneRedrawRightAfter)
    {
        auto* needy = new NeedyObject(CGRectMake(10, 10, 20, 20));
        mCanvas->AddObject(needy, nullptr);
        ProbeWindow(mWindow);
        EXPECT_EQ(needy->draws, 1);
        ProbeWindow(mWindow);
        EXPECT_EQ(needy->draws, 1) << "nothing was invalidated for this pass";
        ManualClock::RunFor(0.002);
        ProbeWindow(mWindow);
        EXPECT_EQ(needy->draws, 2) << "one redraw for the three requests";
        ManualClock::RunFor(0.1);
        ProbeWindow(mWindow);
        EXPECT_EQ(needy->draws, 2) << "and no more";
    }

    TEST_F(CanvasView, DeleteAndReturnReachTheCanvasOnlyWhenNoTextFieldHasTheFocus)
    {
        RecordingTool tool;
        RectObject* a = Add(CGRectMake(10, 10, 20, 20));
        RectObject* b = Add(CGRectMake(40, 10, 20, 20));
        a->SetSelected(true);
        ControlRef field = nullptr;
        Rect const box { 250, 20, 272, 200 };
        ASSERT_EQ(CreateEditUnicodeTextControl(mWindow, &box, CFSTR(""), false, nullptr, &field), noErr);
        SetKeyboardFocus(mWindow, field, kControlFocusNextPart);
        InputDriver::Key(36, 13); // Return
        InputDriver::Key(51, 8); // Delete
        ManualClock::RunFor(0.1);
        EXPECT_EQ(a->Count("opened"), 0);
        EXPECT_TRUE(mCanvas->Contains(a));

        ClearKeyboardFocus(mWindow);
        InputDriver::Key(52, 3); // Enter
        ManualClock::RunFor(0.1);
        EXPECT_EQ(a->Count("opened"), 1);
        InputDriver::Key(117, 127); // forward delete
        ManualClock::RunFor(0.1);
        EXPECT_FALSE(mCanvas->Contains(a)) << "removed from the list";
        EXPECT_TRUE(mCanvas->Contains(b));
        delete a; // not deleted by the canvas

        // Focused by a click, the canvas hears an unhandled key once, not again from the application.
        mCanvas->SetTool(&tool);
        InputDriver::Click(At(250, 150));
        InputDriver::Key(0, 'a');
        ManualClock::RunFor(0.6);
        EXPECT_EQ(std::count(tool.log.begin(), tool.log.end(), "key 0 a"), 1);
        mCanvas->SetTool(nullptr);
        InputDriver::Key(0, 'a');
        ManualClock::RunFor(0.1);
        EXPECT_EQ(std::count(tool.log.begin(), tool.log.end(), "key 0 a"), 1) << "no tool, no key";
    }

    TEST_F(CanvasView, CursorFollowsTheToolsPairsAndTheHelpTagFollowsThePointer)
    {
        CCanvasToolArrow* arrow = mCanvas->GetArrowTool();
        arrow->SetCanvasCursors(kThemeCrossCursor, kThemeCrossCursor);
        arrow->SetObjectCursors(kThemePointingHandCursor, kThemeClosedHandCursor);
        Add(CGRectMake(10, 10, 40, 40));
        InputDriver::MouseMove(At(400, 100));
        InputDriver::MouseMove(At(20, 20));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(display::CursorState::Current().theme, kThemePointingHandCursor);
        InputDriver::MouseMove(At(100, 100));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(display::CursorState::Current().theme, kThemeCrossCursor);

        mCanvas->SetToolHelp(CString("Distance 3.2 km"));
        ASSERT_NE(toolbox::HelpTags::ShowingText(), nullptr) << "shown where the pointer rests";
        InputDriver::MouseMove(At(120, 90));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(cf::ToUTF8(toolbox::HelpTags::ShowingText()), "Distance 3.2 km");
        CGRect const tag = toolbox::HelpTags::ShowingFrame();
        EXPECT_EQ(tag.origin.x, At(120, 90).x + 5);
        EXPECT_EQ(CGRectGetMaxY(tag), At(120, 90).y - 5) << "above the pointer, to its right";
        InputDriver::MouseMove(At(400, 100));
        ManualClock::RunFor(0.1);
        EXPECT_EQ(toolbox::HelpTags::ShowingText(), nullptr);
        EXPECT_EQ(display::CursorState::Current().theme, kThemeArrowCursor);
    }

    // Notes whether the canvas said it was printing while the object drew.
    class PrintingObject : public RectObject {
    public:
        using RectObject::RectObject;
        void Draw(CGContextRef context) override
        {
            RectObject::Draw(context);
            printing.push_back(GetCanvas()->IsPrinting());
        }
        std::vector<bool> printing;
    };

    TEST_F(CanvasView, APrintingDrawSaysSoAndADrawWithoutAContextIsRefused)
    {
        auto* object = new PrintingObject(CGRectMake(10, 10, 20, 20));
        mCanvas->AddObject(object, nullptr);
        ProbeWindow(mWindow);
        Canvas page(300, 200, Canvas::Orientation::Flipped);
        CCarbonEvent draw(kEventClassControl, kEventControlDraw);
        draw.SetCGContext(page.Context());
        draw.SetParameterBool(CCanvasView::kEventParamPrinting, true);
        EXPECT_EQ(mCanvas->DoEventControlDraw(draw), noErr);
        EXPECT_EQ(object->printing, (std::vector<bool> { false, true }));
        EXPECT_FALSE(mCanvas->IsPrinting()) << "only during the pass";
        EXPECT_TRUE(IsColour(page.At(15, 15), 51, 102, 204)) << "drawn on the page";
        CCarbonEvent empty(kEventClassControl, kEventControlDraw);
        EXPECT_EQ(mCanvas->DoEventControlDraw(empty), paramErr);
    }

    TEST_F(CanvasView, KeysTheToolLeavesScrollTheEnclosingScrollView)
    {
        ASSERT_EQ(CHIViewUtilities::EmbedInScrollView(mCanvas, 0), noErr);
        ManualClock::RunFor(0.1);
        InputDriver::Click(At(150, 100)); // gives the canvas the focus
        ManualClock::RunFor(0.6);
        ControlRef focus = nullptr;
        GetKeyboardFocus(mWindow, &focus);
        EXPECT_EQ(focus, mCanvas->GetHIViewRef());
        InputDriver::Key(125, 31); // down arrow
        ManualClock::RunFor(0.6);
        EXPECT_EQ(mCanvas->GetImageOrigin().y, mCanvas->GetScrollLineSize().height);
        InputDriver::Key(126, 30); // up arrow
        ManualClock::RunFor(0.6);
        EXPECT_EQ(mCanvas->GetImageOrigin().y, 0);
    }

    TEST_F(CanvasView, AToolThatGoesLeavesTheCanvasWithoutOne)
    {
        auto* tool = new RecordingTool;
        mCanvas->SetTool(tool);
        EXPECT_EQ(tool->log, (std::vector<std::string> { "selected" }));
        delete tool;
        EXPECT_EQ(mCanvas->GetTool(), nullptr);
        InputDriver::Click(At(50, 50));
        ManualClock::RunFor(0.6); // no tool to call
        mCanvas->SetTool(mCanvas->GetArrowTool());
        EXPECT_EQ(mCanvas->GetArrowTool()->GetCanvas(), mCanvas);
    }

} // namespace
} // namespace tw::test
