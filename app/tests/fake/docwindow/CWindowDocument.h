#pragma once

// A stand-in for the map document window while the lists and sheets are tested
// on their own: the document's objects, selection and messages as the document
// window keeps them, and a record of what was asked of its editors and its view.

#include "foundation/CMsgBroadcaster.h"
#include "foundation/CMsgListener.h"
#include "foundation/CString.h"
#include "model/MapObjectTypes.h"

#include <memory>
#include <vector>

class CMapObject;
class CViewMap;

class CWindowDocument : public CMsgBroadcaster, public CMsgListener {
public:
    CWindowDocument();
    ~CWindowDocument() override;

    std::vector<CMapObject*> const& GetObjects() const { return mObjects; }
    bool AddObject(CMapObject* object) { return AddObjects({ object }); }
    bool AddObjects(std::vector<CMapObject*> const& objects);
    void RemoveObject(CMapObject* object) { RemoveObjects({ object }); }
    void RemoveObjects(std::vector<CMapObject*> const& objects);
    void SelectObject(CMapObject* object, bool select);
    void ShowObject(CMapObject* object) { ShowObjects({ object }); }
    void ShowObjects(std::vector<CMapObject*> const& objects) { mShown.push_back(objects); }
    void EditObject(CMapObject* object) { mEdited.push_back(object); }
    CString GetUniqueObjectName(MapObjectType type, CString const& base) const;
    CViewMap* GetMapView() const { return mMapView.get(); }

    void DoMessage(UInt32 message, void* parameter) override;

    // What the document was asked.
    std::vector<std::vector<CMapObject*>> mShown;
    std::vector<CMapObject*> mEdited;
    bool mModified = false;

private:
    std::vector<CMapObject*> mObjects; // owns
    std::unique_ptr<CViewMap> mMapView;
};
