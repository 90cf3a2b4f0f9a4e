#include "docwindow/CCanvasRoute.h"

#include "docwindow/CViewMap.h"
#include "model/CMapRoute.h"
#include "model/CMapWaypoint.h"
#include "render/CCoreGraphicsUtilities.h"

namespace {

constexpr ColourRGBA kColourRoute { 0.1f, 0.1f, 0.8f, 0.6f };
constexpr ColourRGBA kColourRouteBorder { 1, 1, 1, 0.8f };

} // namespace

CCanvasRoute::CCanvasRoute()
    : CCanvasMapObject(kBoundsNotifyNone, kAttributeResizable | kAttributeMovable)
{
}

ObjectHit CCanvasRoute::IsHitBy(CGPoint const& point)
{
    ObjectHit const hit = CCanvasMapObject::IsHitBy(point);
    if (hit != kObjectHitBody)
        return hit;
    UpdatePoints();
    if (GetPoints().size() < 2)
        return kObjectHitNone;
    return IsLineHitBy(GetPoints(), kRouteWidth, point) ? kObjectHitBody : kObjectHitNone;
}

void CCanvasRoute::Draw(CGContextRef context)
{
    UpdatePoints();
    if (GetPoints().size() < 2)
        return;
    CGRect const area = GetDrawArea(context, kRouteSelectionWidth);
    CGContextSetLineJoin(context, kCGLineJoinRound);
    CGContextSetLineCap(context, kCGLineCapRound);
    if (IsSelected()) {
        CGContextSetLineWidth(context, kRouteSelectionWidth);
        CCoreGraphicsUtilities::SetStrokeColour(context, kColourRouteBorder);
        CGContextBeginPath(context);
        if (mPoints.AddToPath(context, area))
            CGContextStrokePath(context);
    }
    CGContextSetLineWidth(context, kRouteWidth);
    CGContextSetLineDash(context, 0, kRouteDash, 2);
    CCoreGraphicsUtilities::SetStrokeColour(context, kColourRoute);
    CGContextBeginPath(context);
    if (mPoints.AddToPath(context, area))
        CGContextStrokePath(context);
}

// Listens to the view as well, so that a level change alone drops the points.
void CCanvasRoute::ObjectModified()
{
    mRoute = static_cast<CMapRoute*>(GetObject());
    if (mRoute && !mRoute->GetBounds().IsEmpty())
        SetBounds(CGRectInset(Project(mRoute->GetBounds()), -kRouteBoundsFudge, -kRouteBoundsFudge));
    ResetPoints();
    if (CViewMap* view = GetMapView(); view && !IsListeningTo(view))
        view->AddListener(this);
}

void CCanvasRoute::DoMessage(UInt32 message, void*)
{
    if (message == CViewMap::kMsgZoomChanged)
        ResetPoints();
}

void CCanvasRoute::ResetPoints()
{
    mPoints.Clear();
    mPointsValid = false;
    SetNeedsDisplay(true);
}

// The legs are read under the route's lock (routing workers write them); the projection
// runs after it is released.
void CCanvasRoute::UpdatePoints()
{
    if (mPointsValid || !mRoute)
        return;
    std::vector<CCoordinate> coordinates;
    {
        std::vector<RouteSegment>& legs = mRoute->LockSegments();
        for (std::size_t i = 0; i < legs.size(); ++i) {
            if (legs[i].path.empty()) {
                if (legs[i].waypoint)
                    coordinates.push_back(legs[i].waypoint->GetPosition());
                if (i + 1 < legs.size() && legs[i + 1].waypoint)
                    coordinates.push_back(legs[i + 1].waypoint->GetPosition());
            } else {
                coordinates.insert(coordinates.end(), legs[i].path.begin(), legs[i].path.end());
            }
        }
        mRoute->UnlockSegments();
    }
    ProjectReduce(coordinates, mPoints.EditPoints());
    mPoints.Measure();
    mPointsValid = true;
}
