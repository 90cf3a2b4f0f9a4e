#include "docwindow/CToolLine.h"

#include "docwindow/CViewMap.h"

#include <cmath>

CToolLine::CToolLine()
    : CTool(kToolLine, false)
{
    mPreview.SetObject(&mPreviewObject);
    SetCanvasCursors(kThemeCrossCursor, kThemeCrossCursor);
    SetObjectCursors(kThemeCrossCursor, kThemeCrossCursor);
}

void CToolLine::DoMouseDown(CCarbonEvent const& event)
{
    CTool::DoMouseDown(event);
    UpdatePreview();
}

void CToolLine::DoMouseDragged(CCarbonEvent const& event)
{
    CTool::DoMouseDragged(event);
    UpdatePreview();
}

void CToolLine::UpdatePreview()
{
    CViewMap* view = GetMapView();
    if (!view)
        return;
    CGRect const drag = GetDragBounds();
    mPreviewObject.SetStyle(GetStyle(kMapObjectLine));
    mPreviewObject.SetStart(view->Unproject(drag.origin));
    mPreviewObject.SetEnd(view->Unproject(GetDragEnd(drag)));
    if (mPreview.GetCanvas() != GetCanvas())
        mPreview.SetCanvas(GetCanvas());
    mPreview.ObjectModified();
}

// Two pixels across or down are enough: level lines and upright ones can be drawn.
void CToolLine::DoMouseUp(CCarbonEvent const& event)
{
    CGRect const drag = GetDragBounds();
    CViewMap* view = GetMapView();
    bool const longEnough
        = std::abs(drag.size.width) >= kLineMinimumDrag || std::abs(drag.size.height) >= kLineMinimumDrag;
    if (view && longEnough) {
        auto* line = new CMapLine;
        line->SetStart(view->Unproject(drag.origin));
        line->SetEnd(view->Unproject(GetDragEnd(drag)));
        CreateObject(event, line, true, true);
    }
    CTool::DoMouseUp(event);
}

void CToolLine::Draw(CGContextRef context)
{
    if (IsDragging() && mPreview.GetCanvas())
        mPreview.Draw(context);
}
