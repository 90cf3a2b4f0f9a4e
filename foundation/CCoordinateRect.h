#pragma once

// A geographic rectangle of a north-west (top-left) and a south-east
// (bottom-right) corner. A rectangle is empty until a corner or a point is
// given, so a rectangle started from one point has zero area and is not empty.

#include "foundation/CCoordinate.h"
#include "foundation/SGBounds.h"

class CCoordinateRect {
public:
    CCoordinateRect() = default;
    CCoordinateRect(CCoordinate const& topLeft, CCoordinate const& bottomRight);
    explicit CCoordinateRect(SGBounds const& bounds);

    CCoordinate GetTopLeft() const { return mTopLeft; }
    CCoordinate GetBottomRight() const { return mBottomRight; }
    void SetTopLeft(CCoordinate const& topLeft);
    void SetBottomRight(CCoordinate const& bottomRight);
    CCoordinate GetCentre() const;
    bool IsEmpty() const { return !mIsSet; }
    void SetEmpty() { *this = CCoordinateRect(); }

    // Grows to include the point (an empty rectangle becomes that point).
    void Union(CCoordinate const& point);
    // Grows to include the rectangle; an empty operand changes nothing.
    void Union(CCoordinateRect const& other);
    // Moves the north-west corner by (-dLat, +dLon) and the south-east corner by (+dLat, -dLon):
    // negative values grow the rectangle. Shrinking past the centre stops at the centre.
    void Inset(double dLat, double dLon);

    bool Contains(CCoordinate const& point) const;
    bool Intersects(CCoordinateRect const& other) const;

    SGBounds GetSGBounds() const; // west, south, east, north

private:
    double West() const { return mTopLeft.GetLongitude(); }
    double East() const { return mBottomRight.GetLongitude(); }
    double North() const { return mTopLeft.GetLatitude(); }
    double South() const { return mBottomRight.GetLatitude(); }
    void SetEdges(double north, double west, double south, double east);

    CCoordinate mTopLeft;
    CCoordinate mBottomRight;
    bool mIsSet = false;
};
