#include "docwindow/CCanvasRectangle.h"

#include "model/CMapShape.h"

CCanvasRectangle::CCanvasRectangle()
    : CCanvasMapObject(kBoundsNotifyBounds, 0)
{
}

void CCanvasRectangle::Draw(CGContextRef context)
{
    ApplyObjectStyle(context);
    CGContextSetShouldAntialias(context, false);
    CGContextBeginPath(context);
    CGContextAddRect(context, CGRectStandardize(GetBounds()));
    CGContextDrawPath(context, kCGPathFillStroke);
}

void CCanvasRectangle::BoundsModified(CCoordinateRect const& bounds)
{
    if (auto* shape = static_cast<CMapShape*>(GetObject()))
        shape->SetBounds(bounds);
}

void CCanvasRectangle::ObjectModified()
{
    if (auto const* shape = static_cast<CMapShape const*>(GetObject()))
        SetBounds(Project(shape->GetBounds()));
}
