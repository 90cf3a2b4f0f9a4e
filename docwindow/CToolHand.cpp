#include "docwindow/CToolHand.h"

#include "docwindow/CViewMap.h"

#include <cmath>

CToolHand::CToolHand()
    : CTool(kToolHand, false)
{
    SetCanvasCursors(kThemeOpenHandCursor, kThemeClosedHandCursor);
    SetObjectCursors(kThemeArrowCursor, kThemeArrowCursor);
    SetDragInvalidate(false);
    SetInteracts(true);
}

void CToolHand::AdjustLayer(CCarbonEvent const& event)
{
    CCanvasView* canvas = GetCanvas();
    if (!canvas || !CanInteract() || event.GetMouseClickCount() != 1)
        return;
    CGPoint const mouse = event.GetMouseLocation();
    UInt32 const wanted = CCanvasObject::kAttributeMovable | CCanvasObject::kAttributeSelectable;
    for (CCanvasObject* object : canvas->GetObjects(nullptr, wanted))
        if (object->IsVisible() && object->IsHitBy(mouse) != kObjectHitNone) {
            canvas->SetObjectZOrder(CCanvasView::kZOrderAbove, object, nullptr);
            return;
        }
}

// The canvas does not scroll by itself while the hand pans.
void CToolHand::DoMouseDown(CCarbonEvent const& event)
{
    AdjustLayer(event);
    CTool::DoMouseDown(event);
    mPanning = GetHitObject() == nullptr;
    CCanvasView* canvas = GetCanvas();
    if (mPanning && canvas) {
        mLastPoint = {};
        mScrollDragSize = canvas->GetScrollDragSize();
        canvas->SetScrollDragSize(CGSizeZero);
    }
}

// The grabbed map point stays under the pointer; the first step only takes hold.
void CToolHand::DoMouseDragged(CCarbonEvent const& event)
{
    CTool::DoMouseDragged(event);
    CViewMap* view = GetMapView();
    if (!mPanning || !view)
        return;
    CGPoint const p = event.GetMouseLocation();
    CGPoint step {};
    CGPoint const last { std::trunc(mLastPoint.x), std::trunc(mLastPoint.y) };
    if (last.x != 0 || last.y != 0)
        step = { p.x - mLastPoint.x, p.y - mLastPoint.y };
    CGPoint const origin = view->GetImageOrigin();
    view->SetImageOrigin({ origin.x - step.x, origin.y - step.y }, true);
    mLastPoint = { p.x - step.x, p.y - step.y };
}

// A double click re-centres only where it hit no object (a grow box included): there it opens.
void CToolHand::DoMouseUp(CCarbonEvent const& event)
{
    bool const panned = mPanning;
    EndPan();
    CTool::DoMouseUp(event);
    CViewMap* view = GetMapView();
    if (panned && view && event.GetMouseClickCount() == 2)
        view->SetMapCentre(view->Unproject(event.GetMouseLocation()));
}

void CToolHand::DoCancelTrack(CCarbonEvent const& event)
{
    EndPan();
    CTool::DoCancelTrack(event);
}

void CToolHand::EndPan()
{
    if (mPanning)
        if (CCanvasView* canvas = GetCanvas())
            canvas->SetScrollDragSize(mScrollDragSize);
    mPanning = false;
}
