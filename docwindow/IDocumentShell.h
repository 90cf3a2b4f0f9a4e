#pragma once

// What a map document window asks of the application shell above it. The
// editor sheets, the object lists and the palettes are made there, one floor
// up; the shell installs itself with CWindowDocument::SetShell. Without one the
// window still works: its lists stay empty and its editors open nothing.
// Main thread only.

#include "corefoundation/MacTypes.h"

class CDataBrowserSource;
class CDevice;
class CMapObject;
class CWindowController;
class CWindowDocument;

class IDocumentShell {
public:
    virtual ~IDocumentShell() = default;

    // A new controller for the sheet kind (CWindowDocument::DocumentSheet): the editor of the
    // object, or of the document's information when the object is null. The document owns it
    // from then on and deletes it when the sheet ends. Null: the shell has no such sheet.
    virtual CWindowController* MakeSheet(UInt32 kind, CWindowDocument& document, CMapObject* object) = 0;
    // A new source of the list beside the map for the selector's segment (1 waypoints,
    // 2 routes, 3 tracks), owned by the document from then on. Null: the list stays empty.
    virtual CDataBrowserSource* MakeListSource(UInt32 segment, CWindowDocument& document) = 0;
    // Brings the inspector palette to the front (the shapes' editor).
    virtual void ShowInspector(CWindowDocument& document) = 0;
    // Brings the window of the receiver to the front.
    virtual void ShowDeviceWindow(CDevice* device) = 0;
    // Searches places around the document's map and returns once the user is done.
    virtual void FindLocation(CWindowDocument& document) = 0;
};
