#include "render/CMapGeometry.h"

#include "mapdata/CMapManager.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kWorldLeft = -std::numbers::pi; // Mercator x of 180° W
constexpr double kWorldWidth = 2 * std::numbers::pi;
constexpr double kLatitudeClamp = 89.9; // [deg] keeps the poles' Mercator y finite

} // namespace

CMapGeometry::CMapGeometry(CMapManager const& manager)
    : mManager(manager)
    , mWorldTop(manager.Project(kMapProjectionMercator, CCoordinate(kLatitudeEdge, 0)).y)
{
}

double CMapGeometry::GetImageSide(UInt32 level)
{
    return kTileSide * double(UInt64(1) << std::min(level, kZoomMaximum));
}

CGPoint CMapGeometry::ProjectUnit(double latitude, double longitude) const
{
    CGPoint const mercator = mManager.Project(
        kMapProjectionMercator, CCoordinate(std::clamp(latitude, -kLatitudeClamp, kLatitudeClamp), longitude));
    return { (mercator.x - kWorldLeft) / kWorldWidth, (mWorldTop - mercator.y) / (2 * mWorldTop) };
}

CGPoint CMapGeometry::ProjectUnit(CCoordinate const& coordinate) const
{
    return ProjectUnit(coordinate.GetLatitude(), coordinate.GetLongitude());
}

// Pixels left or right of the image are the world again, and pixels far above or below it
// stop where the projection does: every position made here can be stored and read back.
CCoordinate CMapGeometry::UnprojectUnit(CGPoint const& unit) const
{
    double x = std::isfinite(unit.x) ? unit.x - std::floor(unit.x) : 0.5;
    double y = std::isnan(unit.y) ? 0.5 : unit.y;
    CGPoint const mercator { x * kWorldWidth + kWorldLeft, mWorldTop - y * 2 * mWorldTop };
    CCoordinate const c = mManager.Unproject(kMapProjectionMercator, mercator);
    double longitude = c.GetLongitude();
    if (longitude >= 180)
        longitude -= 360; // rounding at the right edge
    return CCoordinate(std::clamp(c.GetLatitude(), -kLatitudeClamp, kLatitudeClamp), longitude);
}

CGPoint CMapGeometry::Project(CCoordinate const& coordinate, UInt32 level) const
{
    double const side = GetImageSide(level);
    CGPoint const unit = ProjectUnit(coordinate);
    return { unit.x * side, unit.y * side };
}

CGRect CMapGeometry::Project(CCoordinateRect const& rect, UInt32 level) const
{
    CGPoint const topLeft = Project(rect.GetTopLeft(), level);
    CGPoint const bottomRight = Project(rect.GetBottomRight(), level);
    return CGRectMake(topLeft.x, topLeft.y, bottomRight.x - topLeft.x, bottomRight.y - topLeft.y);
}

CCoordinate CMapGeometry::Unproject(CGPoint const& point, UInt32 level) const
{
    double const side = GetImageSide(level);
    return UnprojectUnit({ point.x / side, point.y / side });
}

// The corners stop at the image's sides rather than wrap: a rectangle keeps its west and east.
CCoordinateRect CMapGeometry::Unproject(CGRect const& rect, UInt32 level) const
{
    double const side = GetImageSide(level);
    auto corner = [&](double x, double y) {
        CCoordinate const c = Unproject(CGPointMake(x, y), level);
        if (!(x > 0))
            return CCoordinate(c.GetLatitude(), -180);
        if (!(x < side))
            return CCoordinate(c.GetLatitude(), 180);
        return c;
    };
    return CCoordinateRect(corner(rect.origin.x, rect.origin.y),
        corner(rect.origin.x + rect.size.width, rect.origin.y + rect.size.height));
}

CGRect CMapGeometry::KeepInWorld(CGRect const& rect, UInt32 level) const
{
    CGRect r = CGRectStandardize(rect);
    double const side = GetImageSide(level);
    double const top = ProjectUnit(kLatitudeClamp, 0).y * side;
    double const bottom = ProjectUnit(-kLatitudeClamp, 0).y * side;
    // A side that does not fit goes first, so a shape too big stays at the west or north.
    r.origin.x = std::max(std::min(r.origin.x, side - r.size.width), 0.0);
    r.origin.y = std::max(std::min(r.origin.y, bottom - r.size.height), top);
    return r;
}

CMapGeometry::TileRange CMapGeometry::GetTileRange(CGRect const& rect, UInt32 level)
{
    TileRange range;
    double const side = GetImageSide(level);
    CGRect const r = CGRectStandardize(rect);
    // A rectangle wholly outside the image covers no tile, not the nearest edge tile.
    if (!(r.size.width > 0 && r.size.height > 0) || r.origin.x >= side || r.origin.y >= side
        || r.origin.x + r.size.width <= 0 || r.origin.y + r.size.height <= 0)
        return range;
    auto edge = [side](double v) { return UInt32(std::clamp(v, 0.0, side - 1) * (1 / kTileSide)); };
    range.left = edge(r.origin.x);
    range.top = edge(r.origin.y);
    range.right = edge(r.origin.x + r.size.width - 1);
    range.bottom = edge(r.origin.y + r.size.height - 1);
    range.empty = false;
    return range;
}

CGRect CMapGeometry::GetTileRect(UInt32 column, UInt32 row)
{
    return CGRectMake(column * kTileSide, row * kTileSide, kTileSide, kTileSide);
}
