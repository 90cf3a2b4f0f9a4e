#include "widgets/CCanvasObject.h"

#include "render/CCoreGraphicsUtilities.h"
#include "render/CGraphicsUtilities.h"
#include "widgets/CCanvasView.h"

namespace {

constexpr double kGrowBoxPixels = 4; // [px] at any zoom

CGRect Normalised(CGRect rect)
{
    CGraphicsUtilities::NormaliseRect(rect, true);
    return rect;
}

} // namespace

CCanvasObject::~CCanvasObject() { SetNeedsDisplay(true); }

void CCanvasObject::SetCanvas(CCanvasView* canvas)
{
    CCanvasView* const old = mCanvas;
    mCanvas = canvas;
    if (canvas && canvas != old)
        SetNeedsDisplay(true);
}

bool CCanvasObject::IsVisible() const { return mVisible; }

// Every grow box lies within a box's side of the bounds, so a point further out is
// turned away at once: a search over many objects mostly ends here.
ObjectHit CCanvasObject::IsHitBy(CGPoint const& point)
{
    double const side = GetGrowBoxBounds(kObjectHitTopLeft).size.width;
    if (!CGraphicsUtilities::IsInside(point, CGRectInset(CGRectStandardize(mBounds), -side, -side), false))
        return kObjectHitNone;
    if (mAttributes & kAttributeResizable) {
        for (UInt32 box = kObjectHitTopLeft; box <= kObjectHitBottomRight; ++box)
            if (CGraphicsUtilities::IsInside(point, GetGrowBoxBounds(ObjectHit(box)), false))
                return ObjectHit(box);
    }
    return CGraphicsUtilities::IsInside(point, CGRectStandardize(mBounds), false) ? kObjectHitBody : kObjectHitNone;
}

void CCanvasObject::Draw(CGContextRef) { }

void CCanvasObject::DrawGrowHandles(CGContextRef context)
{
    CGContextSaveGState(context);
    CGContextSetShouldAntialias(context, false);
    CGContextSetLineWidth(context, mCanvas ? mCanvas->GetHairlineWidth(context) : 1);
    CGContextSetLineDash(context, 0, nullptr, 0);
    CCoreGraphicsUtilities::SetStrokeColour(context, kGrowBoxBorder);
    CGContextStrokeRect(context, mBounds);
    CGContextBeginPath(context);
    for (UInt32 box = kObjectHitTopLeft; box <= kObjectHitBottomRight; ++box)
        CGContextAddRect(context, GetGrowBoxBounds(ObjectHit(box)));
    CCoreGraphicsUtilities::SetFillColour(context, kGrowBoxFill);
    CCoreGraphicsUtilities::SetStrokeColour(context, kGrowBoxFrame);
    CGContextDrawPath(context, kCGPathFillStroke);
    CGContextRestoreGState(context);
}

void CCanvasObject::ObjectSelected() { }
void CCanvasObject::ObjectDeselected() { }
void CCanvasObject::ObjectOpened() { }
void CCanvasObject::ObjectDragBegin() { }
void CCanvasObject::ObjectDragging() { }
void CCanvasObject::ObjectDragged(bool) { }
void CCanvasObject::ObjectResizeBegin() { }
void CCanvasObject::ObjectResizing() { }
void CCanvasObject::ObjectResized(bool) { }
void CCanvasObject::CanvasZoomed() { }

// The corner boxes are centred on the corners; the middle boxes start at the edge's
// midpoint and run one box along the edge, centred across it.
CGRect CCanvasObject::GetGrowBoxBounds(ObjectHit hit) const
{
    double const zoom = mCanvas && mCanvas->GetImageZoom() > 0 ? mCanvas->GetImageZoom() : 1.0;
    double const s = kGrowBoxPixels / zoom;
    double const h = s / 2;
    double const x = mBounds.origin.x, y = mBounds.origin.y;
    double const w = mBounds.size.width, height = mBounds.size.height;
    double const right = x + w, bottom = y + height;
    CGPoint origin {};
    switch (hit) {
    case kObjectHitTopLeft:
        origin = { x - h, y - h };
        break;
    case kObjectHitTopMiddle:
        origin = { x + w / 2, y - h };
        break;
    case kObjectHitTopRight:
        origin = { right - h, y - h };
        break;
    case kObjectHitRightMiddle:
        origin = { right - h, y + height / 2 };
        break;
    case kObjectHitLeftMiddle:
        origin = { x - h, y + height / 2 };
        break;
    case kObjectHitBottomLeft:
        origin = { x - h, bottom - h };
        break;
    case kObjectHitBottomMiddle:
        origin = { x + w / 2, bottom - h };
        break;
    case kObjectHitBottomRight:
        origin = { right - h, bottom - h };
        break;
    case kObjectHitInvalidate: {
        CGRect const area = Normalised(mBounds);
        return Normalised(CGRectInset(area, -s, -s));
    }
    default:
        break;
    }
    return { origin, { s, s } };
}

void CCanvasObject::SetAttributes(UInt32 set, UInt32 clear)
{
    mAttributes = (mAttributes | set) & ~clear;
    SetNeedsDisplay(true);
}

void CCanvasObject::SetSelected(bool selected)
{
    if (selected == mSelected)
        return;
    mSelected = selected;
    if (selected)
        ObjectSelected();
    else
        ObjectDeselected();
    SetNeedsDisplay(true);
}

void CCanvasObject::SetVisible(bool visible)
{
    if (visible == mVisible)
        return;
    mVisible = visible;
    SetNeedsDisplay(true);
}

void CCanvasObject::SetBounds(CGRect const& bounds)
{
    // Compared field by field: a rectangle turned inside out during a resize is a change.
    if (bounds.origin.x == mBounds.origin.x && bounds.origin.y == mBounds.origin.y
        && bounds.size.width == mBounds.size.width && bounds.size.height == mBounds.size.height)
        return;
    SetNeedsDisplay(true);
    mBounds = bounds;
    SetNeedsDisplay(true);
}

// A canvas that has gone is left alone: previews may outlive the canvas they drew on.
void CCanvasObject::SetNeedsDisplay(bool needsDisplay)
{
    if (mCanvas && CCanvasView::IsLive(mCanvas)) {
        CGRect const area = GetGrowBoxBounds(kObjectHitInvalidate);
        mCanvas->SetNeedsDisplay(needsDisplay, &area);
    }
}
