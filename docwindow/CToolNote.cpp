#include "docwindow/CToolNote.h"

#include "docwindow/CViewMap.h"

CToolNote::CToolNote()
    : CToolPreview(kToolNote, kThemePointingHandCursor, kThemeClosedHandCursor)
{
}

// The large picture under the pointer, without asking the footprints for room.
void CToolNote::UpdatePreview()
{
    CViewMap* view = GetMapView();
    if (!view)
        return;
    CGRect const drag = GetDragBounds();
    mPreviewObject.SetStyle(GetStyle(kMapObjectNote));
    mPreviewObject.SetPosition(view->Unproject(GetDragEnd(drag)));
    FollowCanvas();
    mPreview.ObjectModified();
    mPreview.PlaceSymbol(kSymbolSizeLarge);
}

void CToolNote::DoMouseUp(CCarbonEvent const& event)
{
    CGRect const drag = GetDragBounds();
    if (CViewMap* view = GetMapView()) {
        auto* note = new CMapNote;
        note->SetPosition(view->Unproject(GetDragEnd(drag)));
        CreateObject(event, note, true, true);
    }
    CTool::DoMouseUp(event);
}
