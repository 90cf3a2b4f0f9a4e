#include "docwindow/CCanvasCircle.h"

#include "model/CMapShape.h"
#include "render/CCoreGraphicsUtilities.h"
#include "render/CGraphicsUtilities.h"

CCanvasCircle::CCanvasCircle()
    : CCanvasMapObject(kBoundsNotifyBounds, 0)
{
}

// The ellipse grows by the line width on every side, and so does the area that gates it.
ObjectHit CCanvasCircle::IsHitBy(CGPoint const& point)
{
    CGFloat const width = GetObjectStyle().lineWidth;
    ObjectHit const hit = IsHitWithMargin(point, width);
    if (hit != kObjectHitBody)
        return hit;
    CGRect const ellipse = CGRectInset(CGRectStandardize(GetBounds()), -width, -width);
    return CGraphicsUtilities::IsInside(point, ellipse, true) ? kObjectHitBody : kObjectHitNone;
}

void CCanvasCircle::Draw(CGContextRef context)
{
    ApplyObjectStyle(context);
    CGContextBeginPath(context);
    CCoreGraphicsUtilities::AddEllipse(context, CGRectStandardize(GetBounds()));
    CGContextDrawPath(context, kCGPathFillStroke);
}

void CCanvasCircle::BoundsModified(CCoordinateRect const& bounds)
{
    if (auto* shape = static_cast<CMapShape*>(GetObject()))
        shape->SetBounds(bounds);
}

void CCanvasCircle::ObjectModified()
{
    if (auto const* shape = static_cast<CMapShape const*>(GetObject()))
        SetBounds(Project(shape->GetBounds()));
}
