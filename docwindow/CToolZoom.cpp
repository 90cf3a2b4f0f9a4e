#include "docwindow/CToolZoom.h"

#include "docwindow/CViewMap.h"
#include "framework/CCursor.h"
#include "render/CCoreGraphicsUtilities.h"

#include <cmath>

namespace {

constexpr ColourRGBA kColourZoomFill { 0, 0, 0, 0.1f };
constexpr ColourRGBA kColourZoomFrame { 0, 0, 0, 0.8f };
constexpr EventMouseButton kSecondaryButton = 2;

} // namespace

CToolZoom::CToolZoom()
    : CTool(kToolZoom, true)
    , mCursor(CCursor::kCursorZoomIn)
{
    SetCanvasCursors(mCursor, mCursor);
    SetObjectCursors(mCursor, mCursor);
}

bool CToolZoom::IsZoomOut(CCarbonEvent const& event)
{
    if (!event.IsValid())
        return false;
    return IsOptionHeld(event) || event.GetMouseButton() == kSecondaryButton;
}

void CToolZoom::DoMouseUp(CCarbonEvent const& event)
{
    CGRect drag = GetDragBounds();
    if (CViewMap* view = GetMapView()) {
        bool const out = IsZoomOut(event);
        if (!out && std::abs(drag.size.width) > kZoomRectMinimum && std::abs(drag.size.height) > kZoomRectMinimum) {
            view->SetMapZoom(CHIView::kZoomRect, &drag, 0);
        } else {
            CCoordinate const centre = view->Unproject(
                CGPointMake(drag.origin.x + drag.size.width / 2, drag.origin.y + drag.size.height / 2));
            view->SetMapZoom(out ? CHIView::kZoomOut : CHIView::kZoomIn, nullptr, 0);
            view->SetMapCentre(centre);
        }
    }
    CTool::DoMouseUp(event);
}

void CToolZoom::DoKeyModifiers(CCarbonEvent const& event) { UpdateCursors(event); }

void CToolZoom::Draw(CGContextRef context)
{
    if (!IsDragging())
        return;
    CGContextSetShouldAntialias(context, false);
    CGContextSetLineWidth(context, 1);
    CCoreGraphicsUtilities::SetFillColour(context, kColourZoomFill);
    CCoreGraphicsUtilities::SetStrokeColour(context, kColourZoomFrame);
    CGContextBeginPath(context);
    CGContextAddRect(context, CGRectStandardize(GetDragBounds()));
    CGContextDrawPath(context, kCGPathFillStroke);
}

// Right after a level change the cursor is chosen as if Option were not held.
void CToolZoom::DoMessage(UInt32 message, void*)
{
    if (message == CViewMap::kMsgZoomChanged)
        UpdateCursors(CCarbonEvent());
}

void CToolZoom::UpdateCursors(CCarbonEvent const& event)
{
    CViewMap* view = GetMapView();
    unsigned long const zoom = view ? view->GetMapZoom() : CViewMap::kZoomMinimum;
    bool const out = IsZoomOut(event);
    UInt32 cursor = out ? CCursor::kCursorZoomOut : CCursor::kCursorZoomIn;
    if ((zoom == CViewMap::kZoomMinimum && out) || (zoom == CViewMap::kZoomMaximum && !out))
        cursor = CCursor::kCursorZoomLimit;
    mCursor = cursor;
    SetCanvasCursors(cursor, cursor);
    SetObjectCursors(cursor, cursor);
}
