#include "docwindow/CToolRuler.h"

#include "docwindow/CViewMap.h"
#include "mapdata/CMapManager.h"
#include "render/CCoreGraphicsUtilities.h"

namespace {

constexpr ColourRGBA kColourRuler { 0, 0, 0, 1 };

} // namespace

CToolRuler::CToolRuler()
    : CTool(kToolRuler, false)
{
    SetCanvasCursors(kThemeArrowCursor, kThemeArrowCursor);
    SetObjectCursors(kThemeArrowCursor, kThemeArrowCursor);
}

void CToolRuler::DoMouseDragged(CCarbonEvent const& event)
{
    CViewMap* view = GetMapView();
    if (view) {
        CCoordinate const start = view->Unproject(GetDragBounds().origin);
        CCoordinate const end = view->Unproject(event.GetMouseLocation());
        CMapManager const* maps = view->GetMapManager();
        double const metres = maps->GetDistance(start, end);
        view->SetToolHelp(maps->GetDistanceString(metres, kMapUnitsUser));
    }
    CTool::DoMouseDragged(event);
}

void CToolRuler::DoMouseUp(CCarbonEvent const& event)
{
    if (CCanvasView* canvas = GetCanvas())
        canvas->SetToolHelp(CString());
    CTool::DoMouseUp(event);
}

void CToolRuler::Draw(CGContextRef context)
{
    if (!IsDragging())
        return;
    CGRect const drag = GetDragBounds();
    CGPoint const start = drag.origin;
    CGPoint const end = GetDragEnd(drag);
    CCoreGraphicsUtilities::SetStrokeColour(context, kColourRuler);
    CGContextSetLineWidth(context, 1);
    CGContextBeginPath(context);
    CCoreGraphicsUtilities::AddCircle(context, start, kRulerEndRadius);
    CCoreGraphicsUtilities::AddCircle(context, end, kRulerEndRadius);
    CGContextMoveToPoint(context, start.x, start.y);
    CGContextAddLineToPoint(context, end.x, end.y);
    CGContextStrokePath(context);
}
