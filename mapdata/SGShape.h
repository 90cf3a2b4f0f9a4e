#pragma once

// One shape read from a shapefile: its kind, bounds, and points split into parts
// (the rings of a polygon, the lines of a polyline). Z and M values are dropped.

#include "foundation/SGBounds.h"
#include "platform/Platform.h"

#include <vector>

// Shape kinds, with their Z and M variants folded in. Stored in shapefiles.
enum SGShapeType : SInt32 {
    kSGShapeNull = 0,
    kSGShapePoint = 1,
    kSGShapePolyLine = 3,
    kSGShapePolygon = 5,
    kSGShapeMultiPoint = 8,
};

struct SGShape {
    SGShapeType type = kSGShapeNull;
    SGBounds bounds;
    std::vector<UInt32> parts; // index of each part's first point, ascending
    std::vector<SGPoint> points;

    UInt32 GetPartCount() const { return UInt32(parts.size()); }
    // Points of part i: [parts[i], end of part i).
    UInt32 GetPartEnd(UInt32 part) const { return part + 1 < parts.size() ? parts[part + 1] : UInt32(points.size()); }
};

// Folds the Z (11-18) and M (21-28) kinds onto the plain ones; -1 for a kind we do not read.
constexpr SInt32 GetBaseShapeType(SInt32 type)
{
    switch (type) {
    case 0:
    case 1:
    case 3:
    case 5:
    case 8:
        return type;
    case 11:
    case 13:
    case 15:
    case 18:
        return type - 10;
    case 21:
    case 23:
    case 25:
    case 28:
        return type - 20;
    default:
        return -1; // 31 (multipatch) and anything unknown
    }
}
