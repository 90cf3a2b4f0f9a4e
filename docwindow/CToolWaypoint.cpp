#include "docwindow/CToolWaypoint.h"

#include "docwindow/CViewMap.h"

CToolWaypoint::CToolWaypoint()
    : CToolPreview(kToolWaypoint, kThemePointingHandCursor, kThemeClosedHandCursor)
{
}

// The symbol at the size the level gives, without label and without asking for room.
void CToolWaypoint::UpdatePreview()
{
    CViewMap* view = GetMapView();
    if (!view)
        return;
    CGRect const drag = GetDragBounds();
    mPreviewObject.SetStyle(GetStyle(kMapObjectWaypoint));
    mPreviewObject.SetPosition(view->Unproject(GetDragEnd(drag)));
    FollowCanvas();
    mPreview.ObjectModified();
    bool const near = view->GetMapZoom() >= CCanvasWaypoint::kLargeSymbolZoom;
    mPreview.PlaceSymbol(near ? kSymbolSizeLarge : kSymbolSizeSmall);
}

void CToolWaypoint::DoMouseUp(CCarbonEvent const& event)
{
    CGRect const drag = GetDragBounds();
    IMapDocument* document = GetDocument();
    CViewMap* view = GetMapView();
    if (document && view) {
        auto* waypoint = new CMapWaypoint;
        waypoint->SetName(document->GetUniqueObjectName(kMapObjectWaypoint, CString()));
        waypoint->SetPosition(view->Unproject(GetDragEnd(drag)));
        CreateObject(event, waypoint, true, true);
    }
    CTool::DoMouseUp(event);
}
