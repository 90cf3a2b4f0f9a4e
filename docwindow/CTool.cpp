#include "docwindow/CTool.h"

#include "docwindow/CViewMap.h"
#include "framework/CCarbonEvent.h"
#include "model/CMapObject.h"

CTool::CTool(TWTool code, bool listens)
    : mCode(code)
    , mListens(listens)
{
    SetInteracts(false);
}

CTool::~CTool() = default;

CViewMap* CTool::GetMapView() const { return mDocument ? mDocument->GetMapView() : nullptr; }

MapObjectStyle CTool::GetStyle(MapObjectType type) { return CMapObject::GetDefaultStyle(type); }

bool CTool::IsOptionHeld(CCarbonEvent const& event) { return (event.GetKeyModifiers() & kOptionModifiers) != 0; }

// 1. Back to the hand unless Option is held. 2. Nothing stays selected on the map. 3. The
// document takes the object. 4. The new object alone is selected.
bool CTool::CreateObject(CCarbonEvent const& event, CMapObject* object, bool returnToHand, bool select)
{
    if (!mDocument) {
        delete object;
        return false;
    }
    if (returnToHand && !IsOptionHeld(event))
        mDocument->SetTool(kToolHand);
    if (CViewMap* view = GetMapView())
        view->SelectObjects(0);
    bool const added = mDocument->AddObject(object);
    if (added && select)
        mDocument->SelectObject(object, true);
    return added;
}

void CTool::SetDocument(IMapDocument* document)
{
    mDocument = document;
    if (!mListens)
        return;
    CViewMap* view = GetMapView();
    if (mListenedView && mListenedView != view && IsListeningTo(mListenedView))
        mListenedView->RemoveListener(this);
    mListenedView = view;
    if (view && !IsListeningTo(view))
        view->AddListener(this);
}

void CTool::DoMessage(UInt32, void*) { }
