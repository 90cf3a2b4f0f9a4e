#include "docwindow/CToolCrop.h"

#include "docwindow/IMapDocument.h"

CToolCrop::CToolCrop()
    : CToolShape(kToolCrop)
{
    mPreview.SetObject(nullptr); // the preview draws its frame alone
}

void CToolCrop::DoMouseDown(CCarbonEvent const& event)
{
    if (IMapDocument* document = GetDocument())
        if (CMapCrop* crop = document->GetCrop())
            document->RemoveObject(crop);
    CToolShape::DoMouseDown(event);
}

// A release without modifiers: Option never keeps the crop tool.
void CToolCrop::Create(CCarbonEvent const&, CMapCrop* crop)
{
    CCarbonEvent const plain(kEventClassMouse, kEventMouseUp);
    CreateObject(plain, crop, true, true);
}
