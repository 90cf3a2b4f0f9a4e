#pragma once

// The application shell's side of the map document windows: it makes their
// editor sheets, each given what it edits, and the three object lists beside
// the map. The application installs one for its lifetime. Main thread only.

#include "docwindow/IDocumentShell.h"

class CDocumentShell : public IDocumentShell {
public:
    CWindowController* MakeSheet(UInt32 kind, CWindowDocument& document, CMapObject* object) override;
    CDataBrowserSource* MakeListSource(UInt32 segment, CWindowDocument& document) override;
    // The inspector palette shows and comes to the front.
    void ShowInspector(CWindowDocument& document) override;
    void ShowDeviceWindow(CDevice* device) override;
    void FindLocation(CWindowDocument& document) override;
};
