#include "docwindow/CCanvasTrack.h"

#include "docwindow/CViewMap.h"
#include "model/CMapTrack.h"
#include "render/CCoreGraphicsUtilities.h"

namespace {

constexpr ColourRGBA kColourTrack { 0.9f, 0, 0.9f, 0.8f };

} // namespace

CCanvasTrack::CCanvasTrack()
    : CCanvasMapObject(kBoundsNotifyNone, kAttributeResizable | kAttributeMovable)
{
}

ObjectHit CCanvasTrack::IsHitBy(CGPoint const& point)
{
    ObjectHit const hit = CCanvasMapObject::IsHitBy(point);
    if (hit != kObjectHitBody)
        return hit;
    UpdatePoints();
    return IsLineHitBy(GetPoints(), kTrackWidth, point) ? kObjectHitBody : kObjectHitNone;
}

void CCanvasTrack::Draw(CGContextRef context)
{
    UpdatePoints();
    if (GetPoints().empty())
        return;
    CGRect const area = GetDrawArea(context, kTrackSelectionWidth);
    CGContextSetLineJoin(context, kCGLineJoinRound);
    if (IsSelected()) {
        CGContextSetLineWidth(context, kTrackSelectionWidth);
        CCoreGraphicsUtilities::SetStrokeColour(context, kColourSelectionFrame);
        CGContextBeginPath(context);
        if (mPoints.AddToPath(context, area))
            CGContextStrokePath(context);
    }
    CGContextSetLineWidth(context, kTrackWidth);
    CGContextSetLineDash(context, 0, kTrackDash, 2);
    CCoreGraphicsUtilities::SetStrokeColour(context, IsSelected() ? kColourSelectionFill : kColourTrack);
    CGContextBeginPath(context);
    if (mPoints.AddToPath(context, area))
        CGContextStrokePath(context);
}

void CCanvasTrack::ObjectModified()
{
    auto const* track = static_cast<CMapTrack const*>(GetObject());
    if (track && !track->GetBounds().IsEmpty())
        SetBounds(CGRectInset(Project(track->GetBounds()), -kTrackBoundsFudge, -kTrackBoundsFudge));
    ResetPoints();
    mSamples = track ? &track->GetSamples() : nullptr;
    if (CViewMap* view = GetMapView(); view && !IsListeningTo(view))
        view->AddListener(this);
}

void CCanvasTrack::DoMessage(UInt32 message, void*)
{
    if (message == CViewMap::kMsgZoomChanged)
        ResetPoints();
}

void CCanvasTrack::ResetPoints()
{
    mPoints.Clear();
    mPointsValid = false;
    SetNeedsDisplay(true);
}

void CCanvasTrack::UpdatePoints()
{
    if (mPointsValid || !mSamples)
        return;
    ProjectReduceAll(*mSamples, mPoints.EditPoints());
    mPoints.Measure();
    mPointsValid = true;
}
