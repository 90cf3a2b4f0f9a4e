#include "foundation/CCoordinateRect.h"

#include <algorithm>

CCoordinateRect::CCoordinateRect(CCoordinate const& topLeft, CCoordinate const& bottomRight)
    : mTopLeft(topLeft)
    , mBottomRight(bottomRight)
    , mIsSet(true)
{
}

CCoordinateRect::CCoordinateRect(SGBounds const& bounds)
    : mTopLeft(bounds.ymax, bounds.xmin)
    , mBottomRight(bounds.ymin, bounds.xmax)
    , mIsSet(true)
{
}

void CCoordinateRect::SetTopLeft(CCoordinate const& topLeft)
{
    mTopLeft = topLeft;
    mIsSet = true;
}

void CCoordinateRect::SetBottomRight(CCoordinate const& bottomRight)
{
    mBottomRight = bottomRight;
    mIsSet = true;
}

CCoordinate CCoordinateRect::GetCentre() const { return CCoordinate((North() + South()) / 2, (West() + East()) / 2); }

void CCoordinateRect::SetEdges(double north, double west, double south, double east)
{
    mTopLeft = CCoordinate(north, west);
    mBottomRight = CCoordinate(south, east);
    mIsSet = true;
}

void CCoordinateRect::Union(CCoordinate const& point)
{
    double lat = point.GetLatitude();
    double lon = point.GetLongitude();
    if (!mIsSet)
        SetEdges(lat, lon, lat, lon);
    else
        SetEdges(std::max(North(), lat), std::min(West(), lon), std::min(South(), lat), std::max(East(), lon));
}

void CCoordinateRect::Union(CCoordinateRect const& other)
{
    if (!other.mIsSet)
        return;
    if (!mIsSet) {
        *this = other;
        return;
    }
    SetEdges(std::max(North(), other.North()), std::min(West(), other.West()), std::min(South(), other.South()),
        std::max(East(), other.East()));
}

void CCoordinateRect::Inset(double dLat, double dLon)
{
    if (!mIsSet)
        return;
    double north = North() - dLat;
    double south = South() + dLat;
    double west = West() + dLon;
    double east = East() - dLon;
    // An inset larger than the rectangle would turn it inside out; it ends at the centre instead.
    if (north < south)
        north = south = (North() + South()) / 2;
    if (east < west)
        east = west = (West() + East()) / 2;
    SetEdges(north, west, south, east);
}

bool CCoordinateRect::Contains(CCoordinate const& point) const
{
    double lat = point.GetLatitude();
    double lon = point.GetLongitude();
    return mIsSet && lat <= North() && lat >= South() && lon >= West() && lon <= East();
}

bool CCoordinateRect::Intersects(CCoordinateRect const& other) const
{
    return mIsSet && other.mIsSet && other.West() <= East() && other.East() >= West() && other.South() <= North()
        && other.North() >= South();
}

SGBounds CCoordinateRect::GetSGBounds() const { return SGBounds { West(), South(), East(), North() }; }
