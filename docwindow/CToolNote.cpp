#include "docwindow/CToolNote.h"

#include "docwindow/CViewMap.h"

CToolNote::CToolNote()
    : CTool(kToolNote, false)
{
    mPreview.SetObject(&mPreviewObject);
    SetCanvasCursors(kThemePointingHandCursor, kThemeClosedHandCursor);
    SetObjectCursors(kThemePointingHandCursor, kThemeClosedHandCursor);
}

void CToolNote::DoMouseDown(CCarbonEvent const& event)
{
    CTool::DoMouseDown(event);
    UpdatePreview();
}

void CToolNote::DoMouseDragged(CCarbonEvent const& event)
{
    CTool::DoMouseDragged(event);
    UpdatePreview();
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
    if (mPreview.GetCanvas() != GetCanvas())
        mPreview.SetCanvas(GetCanvas());
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

void CToolNote::Draw(CGContextRef context)
{
    if (IsDragging() && mPreview.GetCanvas())
        mPreview.Draw(context);
}
