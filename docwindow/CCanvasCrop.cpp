#include "docwindow/CCanvasCrop.h"

#include "model/CMapShape.h"
#include "render/CCoreGraphicsUtilities.h"

namespace {

constexpr ColourRGBA kColourCropFrame { 0, 0, 0, 0.8f };
constexpr ColourRGBA kColourCropFill { 1, 1, 1, 0.1f };

} // namespace

CCanvasCrop::CCanvasCrop()
    : CCanvasMapObject(kBoundsNotifyBounds, 0)
{
}

void CCanvasCrop::Draw(CGContextRef context)
{
    CGContextSetShouldAntialias(context, false);
    CGContextSetLineWidth(context, 1);
    CCoreGraphicsUtilities::SetStrokeColour(context, kColourCropFrame);
    CCoreGraphicsUtilities::SetFillColour(context, kColourCropFill);
    CGContextBeginPath(context);
    CGContextAddRect(context, CGRectStandardize(GetBounds()));
    CGContextDrawPath(context, kCGPathFillStroke);
}

void CCanvasCrop::BoundsModified(CCoordinateRect const& bounds)
{
    if (auto* shape = static_cast<CMapShape*>(GetObject()))
        shape->SetBounds(bounds);
}

void CCanvasCrop::ObjectModified()
{
    if (auto const* shape = static_cast<CMapShape const*>(GetObject()))
        SetBounds(Project(shape->GetBounds()));
}
