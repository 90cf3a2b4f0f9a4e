#include "docwindow/CCanvasLine.h"

#include "model/CMapLine.h"

#include <algorithm>

CCanvasLine::CCanvasLine()
    : CCanvasMapObject(kBoundsNotifyBounds, 0)
{
}

float CCanvasLine::GetHitTolerance() const { return std::min(GetObjectStyle().lineWidth, kLineHitMinimum); }

// The bounds grown by the tolerance gate the body test: a flat line is hit along its length.
ObjectHit CCanvasLine::IsHitBy(CGPoint const& point)
{
    float const tolerance = GetHitTolerance();
    ObjectHit const hit = IsHitWithMargin(point, tolerance);
    if (hit != kObjectHitBody)
        return hit;
    return IsLineHitBy({ mStart, mEnd }, tolerance, point) ? kObjectHitBody : kObjectHitNone;
}

void CCanvasLine::Draw(CGContextRef context)
{
    ApplyObjectStyle(context);
    CGContextBeginPath(context);
    CGContextMoveToPoint(context, mStart.x, mStart.y);
    CGContextAddLineToPoint(context, mEnd.x, mEnd.y);
    CGContextStrokePath(context);
}

void CCanvasLine::BoundsModified(CCoordinateRect const& bounds)
{
    auto* line = static_cast<CMapLine*>(GetObject());
    if (!line)
        return;
    double const west = bounds.GetTopLeft().GetLongitude(), east = bounds.GetBottomRight().GetLongitude();
    double const north = bounds.GetTopLeft().GetLatitude(), south = bounds.GetBottomRight().GetLatitude();
    bool const startLeft = mStart.x <= mEnd.x;
    bool const startTop = mStart.y <= mEnd.y;
    line->SetStart(CCoordinate(startTop ? north : south, startLeft ? west : east));
    line->SetEnd(CCoordinate(startTop ? south : north, startLeft ? east : west));
}

void CCanvasLine::ObjectModified()
{
    auto const* line = static_cast<CMapLine const*>(GetObject());
    if (!line)
        return;
    mStart = Project(line->GetStart());
    mEnd = Project(line->GetEnd());
    SetBounds(CGRectStandardize(CGRectMake(mStart.x, mStart.y, mEnd.x - mStart.x, mEnd.y - mStart.y)));
}
