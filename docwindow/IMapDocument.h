#pragma once

// What the map view asks of the document window that holds it, under the
// document's own names. The document window implements it (and is the
// broadcaster of the messages the view follows); tests stand in for it.
// Main thread only.

#include "docwindow/TWTool.h"
#include "foundation/CString.h"
#include "model/MapObjectTypes.h"

#include <vector>

class CDevice;
class CMapCrop;
class CMapObject;
class CViewMap;
class CViewOverlay;

class IMapDocument {
public:
    virtual ~IMapDocument() = default;

    // The map objects in document order.
    virtual std::vector<CMapObject*> const& GetObjects() const = 0;
    virtual CViewOverlay* GetOverlayView() const = 0;
    virtual TWTool GetTool() const = 0;
    virtual void SetTool(TWTool tool) = 0;
    // The device recording a track into this document, or null.
    virtual CDevice* GetTrackDevice() const = 0;
    // The document's crop area, or null.
    virtual CMapCrop* GetCrop() const = 0;
    // Opens the object's editor.
    virtual void EditObject(CMapObject* object) = 0;
    // Removes and deletes the object (the document then broadcasts its removal).
    virtual void RemoveObject(CMapObject* object) = 0;

    // What the map tools ask besides. Takes ownership of the object and broadcasts its
    // arrival; true when it was accepted.
    virtual bool AddObject(CMapObject* object) = 0;
    // Selects or deselects the object, or every object when null.
    virtual void SelectObject(CMapObject* object, bool select) = 0;
    // The base text (or "Untitled" when empty), numbered while an object of the type has that name.
    virtual CString GetUniqueObjectName(MapObjectType type, CString const& base) const = 0;
    virtual CViewMap* GetMapView() const = 0;
};
