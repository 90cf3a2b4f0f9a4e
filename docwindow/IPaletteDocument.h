#pragma once

// What the palettes that follow the current document window (the navigator and
// the inspector) ask of it, beyond what its map view asks: the map view, the
// bindable keys ("zoom"), the broadcaster of its messages and its window. The
// document window implements it. Main thread only.

#include "docwindow/IMapDocument.h"
#include "toolbox/WindowTypes.h"

class CBindable;
class CMsgBroadcaster;
class CViewMap;

class IPaletteDocument : public IMapDocument {
public:
    static constexpr char const* kZoomKey = "zoom"; // the bindable map level

    virtual CViewMap* GetMapView() const = 0;
    virtual CBindable* GetPaletteBindable() = 0;
    virtual CMsgBroadcaster* GetPaletteBroadcaster() = 0;
    virtual WindowRef GetPaletteWindow() const = 0;

    // The document of the application's "dact" message (its parameter); null for none.
    static IPaletteDocument* FromMessage(void* parameter);
};
