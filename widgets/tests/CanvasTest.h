#pragma once

// The fixture of the canvas tests: a shown window whose content holds a canvas
// 300 x 200 at (20, 20) on a 1000 x 1000 image, rectangle objects that note what
// happens to them, and the way from image points to the screen for the input funnel.

#include "WidgetTest.h"
#include "framework/CCarbonEvent.h"
#include "render/CCoreGraphicsUtilities.h"
#include "tests/support/Canvas.h"
#include "tests/support/InputDriver.h"
#include "tests/support/PixelProbe.h"
#include "widgets/CCanvasView.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace tw::test {

// A filled rectangle that records its notifications in order.
class RectObject : public CCanvasObject {
public:
    explicit RectObject(CGRect bounds, ColourRGBA colour = { 0.2f, 0.4f, 0.8f, 1 })
        : mColour(colour)
    {
        SetBounds(bounds);
    }
    void Draw(CGContextRef context) override
    {
        ++draws;
        CCoreGraphicsUtilities::SetFillColour(context, mColour);
        CGContextFillRect(context, CGRectStandardize(GetBounds()));
    }
    void ObjectSelected() override { notes.push_back("selected"); }
    void ObjectDeselected() override { notes.push_back("deselected"); }
    void ObjectOpened() override { notes.push_back("opened"); }
    void ObjectDragBegin() override { notes.push_back("drag begin"); }
    void ObjectDragging() override { dragSteps.push_back(GetBounds()); }
    void ObjectDragged(bool cancelled) override { notes.push_back(cancelled ? "drag cancelled" : "dragged"); }
    void ObjectResizeBegin() override { notes.push_back("resize begin"); }
    void ObjectResizing() override { resizeSteps.push_back(GetBounds()); }
    void ObjectResized(bool cancelled) override { notes.push_back(cancelled ? "resize cancelled" : "resized"); }
    void CanvasZoomed() override { notes.push_back("zoomed"); }

    int Count(std::string const& note) const { return int(std::count(notes.begin(), notes.end(), note)); }

    std::vector<std::string> notes;
    std::vector<CGRect> dragSteps;
    std::vector<CGRect> resizeSteps;
    int draws = 0;

private:
    ColourRGBA mColour;
};

inline bool SameRect(CGRect a, CGRect b)
{
    return a.origin.x == b.origin.x && a.origin.y == b.origin.y && a.size.width == b.size.width
        && a.size.height == b.size.height;
}

inline std::string Describe(CGRect r)
{
    return "(" + std::to_string(r.origin.x) + ", " + std::to_string(r.origin.y) + ", " + std::to_string(r.size.width)
        + ", " + std::to_string(r.size.height) + ")";
}

class CanvasTest : public WidgetTest {
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        display::WindowServer::ResetForTesting();
        CGRect const frame = CGRectMake(20, 20, 300, 200);
        CCarbonEvent init(kEventClassHIObject, kEventHIObjectInitialize);
        init.SetParameter(kEventParamInitialBounds, typeHIRect, sizeof frame, &frame);
        HIObjectRef object = nullptr;
        ASSERT_EQ(HIObjectCreate(CFSTR("net.pellmar.CCanvasView"), init.GetEvent(), &object), noErr);
        HIViewAddSubview(mContent, reinterpret_cast<HIViewRef>(object));
        CFRelease(object);
        mCanvas = dynamic_cast<CCanvasView*>(CHIObject::GetHIObject(object));
        ASSERT_NE(mCanvas, nullptr);
        mCanvas->SetBehaviour(0, CHIView::kBehaviourResizeWindow | CHIView::kBehaviourScrollPixels);
        mCanvas->SetImageSize({ 1000, 1000 });
        ShowWindow(mWindow);
        ManualClock::RunFor(0.1);
    }
    void TearDown() override
    {
        WidgetTest::TearDown();
        display::WindowServer::ResetForTesting();
    }

    RectObject* Add(CGRect bounds)
    {
        auto* object = new RectObject(bounds);
        mCanvas->AddObject(object, nullptr);
        return object;
    }

    // Where an image point of the canvas is on the screen.
    CGPoint Screen(CGPoint image) const
    {
        CGRect const content = mCanvas->GetZoomContent();
        CGPoint const origin = mCanvas->GetImageOrigin();
        double const zoom = mCanvas->GetImageZoom();
        CGPoint p { content.origin.x + (image.x - origin.x) * zoom, content.origin.y + (image.y - origin.y) * zoom };
        HIViewConvertPoint(&p, mCanvas->GetHIViewRef(), nullptr);
        Rect structure {};
        GetWindowBounds(mWindow, kWindowStructureRgn, &structure);
        return { p.x + structure.left, p.y + structure.top };
    }
    void Click(CGPoint image, UInt32 modifiers = 0)
    {
        InputDriver::Click(Screen(image), modifiers);
        ManualClock::RunFor(0.6); // past the double-click time
    }
    void Drag(CGPoint from, CGPoint to, UInt32 modifiers = 0)
    {
        InputDriver::MouseDown(Screen(from), modifiers);
        for (int i = 1; i <= 4; ++i)
            InputDriver::MouseMove(
                Screen({ from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4 }), modifiers);
        InputDriver::MouseUp(Screen(to), modifiers);
        ManualClock::RunFor(0.6);
    }
    // A pixel of the canvas, given in view coordinates, from the window's backing store.
    Pixel ViewPixel(PixelProbe const& probe, double x, double y) const
    {
        CGPoint p { x, y };
        HIViewConvertPoint(&p, mCanvas->GetHIViewRef(), nullptr);
        return probe.At(int(p.x), int(p.y));
    }
    // With a press queued: runs the look from a timer while the mouse is still down, then
    // releases at the point (the tracking loop returns only on the release).
    static void ReleaseLater(CGPoint at, std::function<void()> look)
    {
        sLook = std::move(look);
        sRelease = at;
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 0.05, 0,
            [](EventLoopTimerRef t, void*) {
                RemoveEventLoopTimer(t);
                if (sLook)
                    sLook();
                sLook = nullptr;
                InputDriver::MouseUp(sRelease);
            },
            nullptr, &timer);
        ManualClock::RunFor(0.6);
    }
    std::vector<CCanvasObject*> Order() const
    {
        CCanvasView::ObjectList const all = mCanvas->GetObjects(nullptr, CCanvasView::kMaskAll);
        return { all.begin(), all.end() };
    }

    CCanvasView* mCanvas = nullptr;
    static inline std::function<void()> sLook;
    static inline CGPoint sRelease {};
};

} // namespace tw::test
