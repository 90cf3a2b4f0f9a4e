#pragma once

// What the tile renderer and its tiles need of the map view that holds them.
// The map view lives in the document window, above this folder, so the
// renderer reaches it only through this interface. Every call comes on the
// main thread; rectangles are in image coordinates of the view's current zoom
// level (pixels from the top-left corner of the world, y down).

#include "platform/Platform.h"

#include <vector>

class CLayerRenderer;
class CLayerTile;
class CMapManager;

class IMapView {
public:
    virtual ~IMapView() = default;

    // The stored tiles covering the rectangle, row by row from the top; absent tiles are
    // made when create is set.
    virtual std::vector<CLayerTile*> GetTilesInRect(CGRect const& rect, bool create) = 0;
    // Label placement: false when the rectangle is empty or meets a reserved one; otherwise
    // true, and the rectangle is reserved when reserve is set.
    virtual bool AddFootprint(CGRect const& rect, bool reserve) = 0;
    // The current zoom level, 0 to 17 (the map view's own type for it, which the link
    // parser's view interface shares).
    virtual unsigned long GetMapZoom() const = 0;
    // The view's own renderer, which its tiles ask for their images.
    virtual CLayerRenderer* GetRenderer() = 0;
    // The map data the tiles are drawn from.
    virtual CMapManager* GetMapManager() const = 0;
    // Marks the rectangle for redisplay.
    virtual void InvalidateRect(CGRect const& rect) = 0;
    // True while the view draws for the printer: tiles then draw vectors, not images.
    virtual bool IsPrinting() const = 0;
    // What the view shows now; null when it shows nothing.
    virtual CGRect GetVisibleImageRect() = 0;
};
