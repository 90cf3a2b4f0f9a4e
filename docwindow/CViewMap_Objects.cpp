#include "docwindow/CCanvasCircle.h"
#include "docwindow/CCanvasCrop.h"
#include "docwindow/CCanvasLine.h"
#include "docwindow/CCanvasNote.h"
#include "docwindow/CCanvasRectangle.h"
#include "docwindow/CCanvasRoute.h"
#include "docwindow/CCanvasTrack.h"
#include "docwindow/CCanvasWaypoint.h"
#include "docwindow/CViewMap.h"
#include "model/CMapObject.h"

namespace {

CCanvasMapObject* MakeTwin(MapObjectType type)
{
    switch (type) {
    case kMapObjectCircle:
        return new CCanvasCircle;
    case kMapObjectCrop:
        return new CCanvasCrop;
    case kMapObjectLine:
        return new CCanvasLine;
    case kMapObjectNote:
        return new CCanvasNote;
    case kMapObjectRectangle:
        return new CCanvasRectangle;
    case kMapObjectRoute:
        return new CCanvasRoute;
    case kMapObjectTrack:
        return new CCanvasTrack;
    case kMapObjectWaypoint:
        return new CCanvasWaypoint;
    default:
        return nullptr;
    }
}

} // namespace

// The new twin goes on top. A new symbol may take the place of others' labels, so the whole
// view is drawn again.
void CViewMap::ObjectAdded(CMapObject* object)
{
    if (!object || mCanvasObjects.contains(object))
        return;
    CCanvasMapObject* twin = MakeTwin(object->GetType());
    if (!twin)
        return;
    mCanvasObjects[object] = twin;
    AddObject(twin, nullptr);
    twin->SetObject(object);
    twin->ObjectModified();
    if (object->IsSelected())
        twin->SetSelected(true);
    SetNeedsDisplay(true, nullptr);
}

void CViewMap::ObjectModified(CMapObject* object)
{
    CCanvasMapObject* twin = FindCanvasObject(object);
    if (!twin)
        return;
    twin->SetNeedsDisplay(true);
    twin->ObjectModified();
    twin->SetNeedsDisplay(true);
}

void CViewMap::ObjectRemoved(CMapObject* object)
{
    auto const found = mCanvasObjects.find(object);
    if (found == mCanvasObjects.end())
        return;
    CCanvasMapObject* twin = found->second;
    mCanvasObjects.erase(found);
    RemoveObject(twin);
    delete twin;
    SetNeedsDisplay(true, nullptr);
}

void CViewMap::ObjectsModified()
{
    if (!mDocument)
        return;
    for (CMapObject* object : mDocument->GetObjects())
        if (CCanvasMapObject* twin = FindCanvasObject(object))
            twin->ObjectModified();
    SetNeedsDisplay(true, nullptr);
}

// A whole document's twins are listed at once and the view redrawn once, not once for each.
void CViewMap::ObjectsReset()
{
    DeferredRedraw const once(*this);
    RemoveTwins();
    if (mDocument) {
        std::vector<CMapObject*> const objects = mDocument->GetObjects();
        std::vector<CMapObject*> twinned;
        std::vector<CCanvasObject*> twins;
        twinned.reserve(objects.size());
        twins.reserve(objects.size());
        for (CMapObject* object : objects) {
            CCanvasMapObject* twin = object && !mCanvasObjects.contains(object) ? MakeTwin(object->GetType()) : nullptr;
            if (!twin)
                continue;
            mCanvasObjects[object] = twin;
            twinned.push_back(object);
            twins.push_back(twin);
        }
        AddObjects(twins);
        for (std::size_t i = 0; i < twins.size(); ++i) {
            auto* twin = static_cast<CCanvasMapObject*>(twins[i]);
            twin->SetObject(twinned[i]);
            twin->ObjectModified();
            if (twinned[i]->IsSelected())
                twin->SetSelected(true);
        }
    }
    SetNeedsDisplay(true, nullptr);
}

void CViewMap::RemoveTwins()
{
    mCanvasObjects.clear();
    RemoveObjects(true);
}

// Selected objects come to the top, in document order.
void CViewMap::SelectionChanged()
{
    if (!mDocument)
        return;
    std::vector<CMapObject*> const objects = mDocument->GetObjects();
    for (CMapObject* object : objects) {
        CCanvasMapObject* twin = FindCanvasObject(object);
        if (!twin)
            continue;
        twin->SetSelected(object->IsSelected());
        if (object->IsSelected())
            SetObjectZOrder(kZOrderAbove, twin, nullptr);
    }
}

void CViewMap::OpenSelection()
{
    for (CCanvasObject* object : GetObjects(FilterIsVisibleAndSelected, kMaskAll)) {
        auto* twin = dynamic_cast<CCanvasMapObject*>(object);
        if (twin && mDocument && twin->GetObject()) {
            mDocument->EditObject(twin->GetObject());
            return;
        }
    }
}

// The document removes them; its messages then take the twins away.
void CViewMap::RemoveSelection()
{
    std::vector<CMapObject*> doomed;
    for (CCanvasObject* object : GetObjects(FilterIsVisibleAndSelected, kMaskAll))
        if (auto* twin = dynamic_cast<CCanvasMapObject*>(object); twin && twin->GetObject())
            doomed.push_back(twin->GetObject());
    if (mDocument)
        for (CMapObject* object : doomed)
            mDocument->RemoveObject(object);
}

// From the topmost down, so upper objects win their places.
void CViewMap::UpdateFootprints()
{
    ClearFootprints();
    ObjectList const& objects = GetObjectList();
    std::vector<CCanvasObject*> const order(objects.rbegin(), objects.rend());
    for (CCanvasObject* object : order)
        if (auto* twin = dynamic_cast<CCanvasMapObject*>(object))
            twin->ReserveFootprint();
}
