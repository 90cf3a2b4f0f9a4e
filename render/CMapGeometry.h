#pragma once

// The one home of the map's geometry: the Mercator world rectangle, the 18
// zoom levels and the grid of 256-pixel tiles. The world image at level z is
// a square of 256·2^z pixels whose top and bottom edges lie at 84° north and
// south; image coordinates grow rightwards and downwards from the world's
// top-left corner. Projection is CMapManager's (projection 0). Any thread.

#include "foundation/CCoordinateRect.h"
#include "platform/Platform.h"

class CMapManager;

class CMapGeometry {
public:
    static constexpr UInt32 kZoomMinimum = 0;
    static constexpr UInt32 kZoomMaximum = 17;
    static constexpr UInt32 kZoomCount = 18;
    static constexpr double kTileSide = 256; // [px]
    static constexpr double kLatitudeEdge = 84; // [deg] the image's top and bottom edges

    struct TileRange {
        UInt32 left = 0, top = 0, right = 0, bottom = 0; // inclusive
        bool empty = true;
    };

    explicit CMapGeometry(CMapManager const& manager);

    // Mercator y of the top edge.
    double GetWorldTop() const { return mWorldTop; }
    // 256·2^level pixels; levels beyond the deepest count as the deepest.
    static double GetImageSide(UInt32 level);

    // Unit world position: x from 0 at 180° W to 1 at 180° E, y from 0 at the top edge to 1
    // at the bottom edge. Latitudes beyond the edges fall outside 0..1.
    CGPoint ProjectUnit(double latitude, double longitude) const;
    CGPoint ProjectUnit(CCoordinate const& coordinate) const;
    CCoordinate UnprojectUnit(CGPoint const& unit) const;

    // Between coordinates and image points at a level.
    CGPoint Project(CCoordinate const& coordinate, UInt32 level) const;
    // Origin at the projected top-left corner, size to the projected bottom-right corner.
    CGRect Project(CCoordinateRect const& rect, UInt32 level) const;
    CCoordinate Unproject(CGPoint const& point, UInt32 level) const;
    CCoordinateRect Unproject(CGRect const& rect, UInt32 level) const;
    // The rectangle slid, at its size, to where every corner unprojects to itself: between the
    // image's left and right sides and within the latitudes positions stop at.
    CGRect KeepInWorld(CGRect const& rect, UInt32 level) const;

    // Columns and rows of the tiles covering the part of the rectangle inside the image;
    // empty when nothing of it is.
    static TileRange GetTileRange(CGRect const& rect, UInt32 level);
    // The image rectangle of one tile.
    static CGRect GetTileRect(UInt32 column, UInt32 row);

private:
    CMapManager const& mManager;
    double mWorldTop; // Mercator y of the top edge
};
