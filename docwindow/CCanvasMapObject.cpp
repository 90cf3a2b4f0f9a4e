#include "docwindow/CCanvasMapObject.h"

#include "docwindow/CViewMap.h"
#include "model/CMapObject.h"
#include "render/CCoreGraphicsUtilities.h"
#include "render/CGraphicsUtilities.h"

#include <cmath>

namespace {

constexpr float kSelectionRadius = 4; // [px]

double SegmentDistanceSquared(CGPoint const& p, CGPoint const& a, CGPoint const& b)
{
    double const dx = b.x - a.x, dy = b.y - a.y;
    double const length = dx * dx + dy * dy;
    double t = length > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length : 0;
    t = std::clamp(t, 0.0, 1.0);
    double const x = a.x + t * dx - p.x, y = a.y + t * dy - p.y;
    return x * x + y * y;
}

} // namespace

CCanvasMapObject::CCanvasMapObject(BoundsNotify notify, UInt32 clearAttributes)
    : mBoundsNotify(notify)
{
    SetAttributes(0, clearAttributes);
}

void CCanvasMapObject::SetCanvas(CCanvasView* canvas)
{
    CCanvasObject::SetCanvas(canvas);
    mMapView = dynamic_cast<CViewMap*>(canvas);
}

// Absolute sizes: an object resized past its opposite corner stays on screen.
bool CCanvasMapObject::IsVisible() const
{
    if (!CCanvasObject::IsVisible())
        return false;
    CGRect const bounds = GetBounds();
    return std::abs(bounds.size.width) >= kMinimumVisible || std::abs(bounds.size.height) >= kMinimumVisible;
}

void CCanvasMapObject::ObjectSelected()
{
    if (IMapDocument* document = mMapView ? mMapView->GetDocument<IMapDocument>() : nullptr)
        document->SelectObject(mObject, true);
}

void CCanvasMapObject::ObjectDeselected()
{
    if (IMapDocument* document = mMapView ? mMapView->GetDocument<IMapDocument>() : nullptr)
        document->SelectObject(mObject, false);
}

void CCanvasMapObject::ObjectOpened()
{
    if (IMapDocument* document = mMapView ? mMapView->GetDocument<IMapDocument>() : nullptr)
        document->EditObject(mObject);
}

void CCanvasMapObject::ObjectDragging() { MovePosition(); }
void CCanvasMapObject::ObjectDragged(bool) { MovePosition(); }
void CCanvasMapObject::ObjectResizing() { UpdatePosition(); }
void CCanvasMapObject::ObjectResized(bool) { UpdatePosition(); }

void CCanvasMapObject::ReserveFootprint() { }
void CCanvasMapObject::BoundsModified(CCoordinateRect const&) { }
void CCanvasMapObject::CentreModified(CCoordinate const&) { }

MapObjectStyle CCanvasMapObject::GetObjectStyle() const { return mObject ? mObject->GetStyle() : MapObjectStyle(); }

void CCanvasMapObject::ApplyObjectStyle(CGContextRef context) const
{
    MapObjectStyle const style = GetObjectStyle();
    CGContextSetLineWidth(context, style.lineWidth);
    CCoreGraphicsUtilities::SetFillColour(context, style.fill);
    CCoreGraphicsUtilities::SetStrokeColour(context, style.frame);
    switch (style.lineStyle) {
    case kMapLineSolid:
        CGContextSetLineDash(context, 0, nullptr, 0);
        break;
    case kMapLineDotted:
        CGContextSetLineDash(context, 0, kStyleDot, 2);
        break;
    case kMapLineDashed:
        CGContextSetLineDash(context, 0, kStyleDash, 2);
        break;
    default:
        break;
    }
}

void CCanvasMapObject::DrawSelection(CGContextRef context, CGRect const& rect)
{
    CGContextBeginPath(context);
    CCoreGraphicsUtilities::AddRoundRect(context, rect, kSelectionRadius);
    CCoreGraphicsUtilities::SetFillColour(context, kColourSelectionFrame);
    CGContextFillPath(context);
}

CGPoint CCanvasMapObject::GetCentre() const
{
    CGRect const bounds = GetBounds();
    return { bounds.origin.x + bounds.size.width / 2, bounds.origin.y + bounds.size.height / 2 };
}

CGPoint CCanvasMapObject::Project(CCoordinate const& coordinate) const
{
    return mMapView ? mMapView->Project(coordinate) : CGPoint {};
}

CGRect CCanvasMapObject::Project(CCoordinateRect const& rect) const
{
    return mMapView ? mMapView->Project(rect) : CGRect {};
}

CCoordinate CCanvasMapObject::Unproject(CGPoint const& point) const
{
    return mMapView ? mMapView->Unproject(point) : CCoordinate();
}

bool CCanvasMapObject::AddFootprint(CGRect const& rect) const { return mMapView && mMapView->AddFootprint(rect, true); }

// Two ends in the same whole pixel make no segment; pixels are compared at full width, since
// deep levels put image coordinates far beyond 16 bits.
bool CCanvasMapObject::IsLineHitBy(std::vector<CGPoint> const& points, float tolerance, CGPoint const& p)
{
    double const limit = double(tolerance) * tolerance;
    for (CGPoint const& q : points) {
        double const dx = p.x - q.x, dy = p.y - q.y;
        if (dx * dx + dy * dy <= limit)
            return true;
    }
    for (std::size_t i = 1; i < points.size(); ++i) {
        CGPoint const& a = points[i - 1];
        CGPoint const& b = points[i];
        if (std::trunc(a.x) == std::trunc(b.x) && std::trunc(a.y) == std::trunc(b.y))
            continue;
        if (SegmentDistanceSquared(p, a, b) <= limit)
            return true;
    }
    return false;
}

CGPoint CCanvasMapObject::ProjectFast(CCoordinate const& coordinate) const { return mMapView->Project(coordinate); }

CGRect CCanvasMapObject::GetDrawArea(CGContextRef context, CGFloat margin)
{
    return CGRectInset(CGContextGetClipBoundingBox(context), -margin, -margin);
}

void CCanvasMapObject::UpdatePosition()
{
    switch (mBoundsNotify) {
    case kBoundsNotifyBounds: {
        CGRect bounds = GetBounds();
        CGraphicsUtilities::NormaliseRect(bounds, false);
        if (mMapView)
            BoundsModified(mMapView->Unproject(bounds));
        break;
    }
    case kBoundsNotifyCentre:
        CentreModified(Unproject(GetCentre()));
        break;
    default:
        break;
    }
}

// A shape moved against the world's edge stops there whole: its corners, each held at the edge
// on its own, would bring its sides together.
void CCanvasMapObject::MovePosition()
{
    if (mBoundsNotify == kBoundsNotifyBounds && mMapView) {
        CGRect const bounds = GetBounds();
        CGRect const kept = mMapView->GetGeometry().KeepInWorld(bounds, UInt32(mMapView->GetMapZoom()));
        if (!CGRectEqualToRect(kept, CGRectStandardize(bounds)))
            SetBounds(kept);
    }
    UpdatePosition();
}

ObjectHit CCanvasMapObject::IsHitWithMargin(CGPoint const& point, CGFloat margin)
{
    ObjectHit const hit = CCanvasObject::IsHitBy(point);
    if (IsGrowBoxHit(hit))
        return hit;
    CGRect const area = CGRectInset(CGRectStandardize(GetBounds()), -margin, -margin);
    return CGraphicsUtilities::IsInside(point, area, false) ? kObjectHitBody : kObjectHitNone;
}
