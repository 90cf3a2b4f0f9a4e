#include "app/windows/IFindDocument.h"

#include "docwindow/CViewMap.h"
#include "docwindow/CWindowDocument.h"
#include "framework/CMacWindow.h"

CCoordinate CFindDocument::GetMapCentre()
{
    CViewMap* map = mDocument.GetMapView();
    return map ? map->GetMapCentre() : CCoordinate();
}

bool CFindDocument::CouldZoomMap(CHIView::ZoomType type) const
{
    CViewMap* map = mDocument.GetMapView();
    return map && map->CouldZoomMap(type);
}

WindowRef CFindDocument::GetDocumentWindowRef() const
{
    return mDocument.GetWindow() ? mDocument.GetWindow()->GetWindowRef() : nullptr;
}

bool CFindDocument::AddObject(CMapObject* object) { return mDocument.AddObject(object); }

void CFindDocument::RemoveObject(CMapObject* object) { mDocument.RemoveObject(object); }

void CFindDocument::ShowObject(CMapObject* object) { mDocument.ShowObject(object); }

void CFindDocument::SelectObject(CMapObject* object, bool select) { mDocument.SelectObject(object, select); }
