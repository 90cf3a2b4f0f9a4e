#pragma once

// Draws the vector map of one rectangle of the world image at one zoom level:
// the sea, then every visible layer's shapes in the style table's order, each
// shape cut to the rectangle (with a margin wider than any stroke, so that
// neighbouring tiles meet without seams, and repeated a world to either side
// where the rectangle runs past the antimeridian). Names and markers are not
// drawn: they come back as labels anchored in the rectangle, to be placed
// over all tiles at once. Used by a render worker for a tile's image, and on
// the main thread straight into the printer's context. One call per object at
// a time; the shared geometry cache does the reading.

#include "render/CClipUtilities.h"
#include "render/CMapGeometry.h"
#include "render/CMapLabel.h"

#include <atomic>
#include <vector>

class CGeometryCache;
class CMapManager;

class CTilePainter {
public:
    static constexpr double kMargin = 24; // [px] beyond the rectangle, more than half the widest stroke

    CTilePainter(CMapManager& manager, CGeometryCache& cache);

    // The context's user space is image coordinates (y down). Labels get image coordinates.
    // userCanceledErr when stop turned true before the end.
    OSStatus Paint(CGContextRef context, CGRect const& rect, UInt32 level, std::vector<CMapLabel>& labels,
        std::atomic<bool> const* stop = nullptr);

private:
    struct Item;
    struct Op;
    struct Frame;

    void CollectItems(Frame const& frame, std::vector<Item>& items) const;
    void DrawOps(CGContextRef context, Frame const& frame, std::vector<Item> const& items,
        std::atomic<bool> const* stop) const;
    void AddRings(CGContextRef context, Frame const& frame, Item const& item) const;
    void CollectRuns(Frame const& frame, Item const& item, CGRect const& clip, std::vector<ClipRun>& runs) const;
    void CollectLabels(Frame const& frame, std::vector<Item> const& items, std::vector<CMapLabel>& labels) const;

    CMapManager& mManager;
    CGeometryCache& mCache;
    CMapGeometry mGeometry;
    // Scratch space reused from shape to shape.
    mutable std::vector<CGPoint> mRing;
    mutable std::vector<CGPoint> mClipped;
    mutable std::vector<CGPoint> mLine;
};
