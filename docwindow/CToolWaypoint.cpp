#include "docwindow/CToolWaypoint.h"

#include "docwindow/CViewMap.h"

CToolWaypoint::CToolWaypoint()
    : CTool(kToolWaypoint, false)
{
    mPreview.SetObject(&mPreviewObject);
    SetCanvasCursors(kThemePointingHandCursor, kThemeClosedHandCursor);
    SetObjectCursors(kThemePointingHandCursor, kThemeClosedHandCursor);
}

void CToolWaypoint::DoMouseDown(CCarbonEvent const& event)
{
    CTool::DoMouseDown(event);
    UpdatePreview();
}

void CToolWaypoint::DoMouseDragged(CCarbonEvent const& event)
{
    CTool::DoMouseDragged(event);
    UpdatePreview();
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
    if (mPreview.GetCanvas() != GetCanvas())
        mPreview.SetCanvas(GetCanvas());
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

void CToolWaypoint::Draw(CGContextRef context)
{
    if (IsDragging() && mPreview.GetCanvas())
        mPreview.Draw(context);
}
