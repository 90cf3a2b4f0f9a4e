#pragma once

// A stand-in for the map document window while the lists and sheets are tested
// on their own: the document's objects, selection and messages as the document
// window keeps them, a hidden window holding a real map view of 800 by 600
// pixels, and a record of what was asked of its editors and its view.

#include "docwindow/IMapDocument.h"
#include "foundation/CMsgBroadcaster.h"
#include "foundation/CMsgListener.h"
#include "foundation/CString.h"
#include "model/MapObjectTypes.h"
#include "toolbox/HIToolboxTypes.h"

#include <vector>

class CMapObject;
class CViewMap;

class CWindowDocument : public CMsgBroadcaster, public CMsgListener, public IMapDocument {
public:
    CWindowDocument();
    ~CWindowDocument() override;

    std::vector<CMapObject*> const& GetObjects() const override { return mObjects; }
    bool AddObject(CMapObject* object) { return AddObjects({ object }); }
    bool AddObjects(std::vector<CMapObject*> const& objects);
    void RemoveObject(CMapObject* object) override { RemoveObjects({ object }); }
    void RemoveObjects(std::vector<CMapObject*> const& objects);
    void SelectObject(CMapObject* object, bool select);
    void ShowObject(CMapObject* object) { ShowObjects({ object }); }
    void ShowObjects(std::vector<CMapObject*> const& objects) { mShown.push_back(objects); }
    void EditObject(CMapObject* object) override { mEdited.push_back(object); }
    CString GetUniqueObjectName(MapObjectType type, CString const& base) const;
    CViewMap* GetMapView() const { return mMapView; }
    CViewOverlay* GetOverlayView() const override { return nullptr; }
    TWTool GetTool() const override { return kToolHand; }
    void SetTool(TWTool) override { }
    CDevice* GetTrackDevice() const override { return nullptr; }
    CMapCrop* GetCrop() const override { return nullptr; }

    void DoMessage(UInt32 message, void* parameter) override;

    // What the document was asked.
    std::vector<std::vector<CMapObject*>> mShown;
    std::vector<CMapObject*> mEdited;
    bool mModified = false;

private:
    std::vector<CMapObject*> mObjects; // owns
    WindowRef mWindow = nullptr; // owns
    CViewMap* mMapView = nullptr; // weak: the window's
};
