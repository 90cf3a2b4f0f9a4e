#include "docwindow/CCanvasPolyline.h"

#include "docwindow/CViewMap.h"
#include "render/CCoreGraphicsUtilities.h"

CCanvasPolyline::CCanvasPolyline(LineLook const& look)
    : CCanvasMapObject(kBoundsNotifyNone, kAttributeResizable | kAttributeMovable)
    , mLook(look)
{
}

ObjectHit CCanvasPolyline::IsHitBy(CGPoint const& point)
{
    ObjectHit const hit = CCanvasMapObject::IsHitBy(point);
    if (hit != kObjectHitBody)
        return hit;
    UpdatePoints();
    if (GetPoints().size() < mLook.minimumPoints)
        return kObjectHitNone;
    return IsLineHitBy(GetPoints(), mLook.width, point) ? kObjectHitBody : kObjectHitNone;
}

void CCanvasPolyline::Draw(CGContextRef context)
{
    UpdatePoints();
    if (GetPoints().size() < mLook.minimumPoints)
        return;
    CGRect const area = GetDrawArea(context, mLook.selectionWidth);
    CGContextSetLineJoin(context, kCGLineJoinRound);
    if (mLook.roundCaps)
        CGContextSetLineCap(context, kCGLineCapRound);
    if (IsSelected()) {
        CGContextSetLineWidth(context, mLook.selectionWidth);
        CCoreGraphicsUtilities::SetStrokeColour(context, mLook.selectionBorder);
        CGContextBeginPath(context);
        if (mPoints.AddToPath(context, area))
            CGContextStrokePath(context);
    }
    CGContextSetLineWidth(context, mLook.width);
    CGContextSetLineDash(context, 0, mLook.dash, 2);
    CCoreGraphicsUtilities::SetStrokeColour(context, IsSelected() ? mLook.selectedColour : mLook.colour);
    CGContextBeginPath(context);
    if (mPoints.AddToPath(context, area))
        CGContextStrokePath(context);
}

void CCanvasPolyline::PolylineModified(CCoordinateRect const& bounds)
{
    if (!bounds.IsEmpty())
        SetBounds(CGRectInset(Project(bounds), -mLook.boundsFudge, -mLook.boundsFudge));
    ResetPoints();
    if (CViewMap* view = GetMapView(); view && !IsListeningTo(view))
        view->AddListener(this);
}

void CCanvasPolyline::DoMessage(UInt32 message, void*)
{
    if (message == CViewMap::kMsgZoomChanged)
        ResetPoints();
}

void CCanvasPolyline::ResetPoints()
{
    mPoints.Clear();
    mPointsValid = false;
    SetNeedsDisplay(true);
}

void CCanvasPolyline::UpdatePoints()
{
    if (mPointsValid || !ProjectPoints(mPoints.EditPoints()))
        return;
    mPoints.Measure();
    mPointsValid = true;
}
