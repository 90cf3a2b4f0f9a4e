#include "docwindow/CToolBox.h"

#include "docwindow/CViewMap.h"

// Each tool tells a live canvas that it goes.
CToolBox::~CToolBox() = default;

void CToolBox::SetDocument(IMapDocument* document)
{
    mDocument = document;
    for (TWTool code = kToolCircle; code <= kToolZoom; code = TWTool(code + 1))
        FindTool(code)->SetDocument(document);
}

void CToolBox::SetTool(TWTool tool)
{
    mTool = tool;
    if (CViewMap* view = mDocument ? mDocument->GetMapView() : nullptr)
        view->SetTool(FindTool(tool));
}

CTool* CToolBox::FindTool(TWTool tool)
{
    switch (tool) {
    case kToolCircle:
        return &mCircle;
    case kToolCrop:
        return &mCrop;
    case kToolHand:
        return &mHand;
    case kToolLine:
        return &mLine;
    case kToolNote:
        return &mNote;
    case kToolRectangle:
        return &mRectangle;
    case kToolRoute:
        return &mRoute;
    case kToolRuler:
        return &mRuler;
    case kToolWaypoint:
        return &mWaypoint;
    case kToolZoom:
        return &mZoom;
    default:
        return nullptr;
    }
}
