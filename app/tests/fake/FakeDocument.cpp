#include "docwindow/CViewMap.h"
#include "docwindow/CWindowDocument.h"
#include "foundation/CTextUtilities.h"
#include "model/CMapObject.h"

#include <algorithm>

CViewMap::CViewMap(CWindowDocument* document)
    : mDocument(document)
    , mGeometry(CMapObject::GetMapManager())
{
}

void CViewMap::SetMapZoom(CHIView::ZoomType type, CGRect*, unsigned long level)
{
    if (type == CHIView::kZoomFactor)
        mZoom = std::min<unsigned long>(level, CMapGeometry::kZoomMaximum);
}

CWindowDocument::CWindowDocument()
    : mMapView(std::make_unique<CViewMap>(this))
{
}

CWindowDocument::~CWindowDocument()
{
    for (CMapObject* object : mObjects)
        delete object;
}

bool CWindowDocument::AddObjects(std::vector<CMapObject*> const& objects)
{
    SelectObject(nullptr, false);
    for (CMapObject* object : objects) {
        object->AddListener(this);
        mObjects.push_back(object);
    }
    mModified = true;
    if (objects.size() == 1)
        BroadcastMessage('doad', objects.front());
    else
        BroadcastMessage('dors', nullptr);
    return true;
}

void CWindowDocument::RemoveObjects(std::vector<CMapObject*> const& objects)
{
    SelectObject(nullptr, false);
    for (CMapObject* object : objects) {
        auto const found = std::find(mObjects.begin(), mObjects.end(), object);
        if (found == mObjects.end())
            continue;
        if (objects.size() == 1)
            BroadcastMessage('dorm', object);
        mObjects.erase(found);
        delete object;
    }
    mModified = true;
    if (objects.size() != 1)
        BroadcastMessage('dors', nullptr);
    BroadcastMessage('dsec', this);
}

void CWindowDocument::SelectObject(CMapObject* object, bool select)
{
    bool changed = false;
    for (CMapObject* each : mObjects) {
        if (object && each != object)
            continue;
        if (each->IsSelected() != select) {
            each->SetAttributes(
                select ? UInt32(kMapObjectAttrSelected) : 0u, select ? 0u : UInt32(kMapObjectAttrSelected));
            changed = true;
        }
    }
    if (changed)
        BroadcastMessage('dsec', this);
}

CString CWindowDocument::GetUniqueObjectName(MapObjectType type, CString const& base) const
{
    CString const start = base.IsEmpty() ? CTextUtilities::GetBundleString("ObjectUntitled") : base;
    CString candidate = start;
    for (long n = 1;; ++n) {
        bool const taken = std::any_of(mObjects.begin(), mObjects.end(),
            [&](CMapObject* object) { return object->IsType(type) && object->GetName().EqualNoCase(candidate); });
        if (!taken)
            return candidate;
        candidate.Format("%s %ld", start.GetUTF8(), n);
    }
}

void CWindowDocument::DoMessage(UInt32 message, void* parameter)
{
    if (message == 'mmod')
        BroadcastMessage('domo', parameter);
    else if (message == 'mdir')
        BroadcastMessage('domo', parameter);
}
