#include "docwindow/CToolLine.h"

#include "docwindow/CViewMap.h"

#include <cmath>

CToolLine::CToolLine()
    : CToolPreview(kToolLine, kThemeCrossCursor, kThemeCrossCursor)
{
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
    FollowCanvas();
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
