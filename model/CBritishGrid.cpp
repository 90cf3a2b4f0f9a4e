#include "model/CBritishGrid.h"

#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/OSGB.hpp>
#include <cmath>

namespace {
constexpr double kArcSecond = M_PI / (180 * 3600); // [rad]

// OSGB36 to WGS84 [m, ppm, arc seconds], the inverse of the Ordnance Survey's published
// WGS84 to OSGB36 parameters (position vector convention).
constexpr double kShiftX = 446.448;
constexpr double kShiftY = -125.157;
constexpr double kShiftZ = 542.060;
constexpr double kScale = -20.4894e-6;
constexpr double kRotateX = 0.1502 * kArcSecond;
constexpr double kRotateY = 0.2470 * kArcSecond;
constexpr double kRotateZ = 0.8421 * kArcSecond;

GeographicLib::Geocentric const& Airy1830()
{
    static GeographicLib::Geocentric const sAiry(6377563.396, 1 / 299.3249646);
    return sAiry;
}
} // namespace

bool CBritishGrid::ToOSGB36(double easting, double northing, double& latitude, double& longitude)
{
    if (!std::isfinite(easting) || !std::isfinite(northing) || easting < 0 || easting > kMaxEasting || northing < 0
        || northing > kMaxNorthing)
        return false;
    GeographicLib::OSGB::Reverse(easting, northing, latitude, longitude);
    return std::isfinite(latitude) && std::isfinite(longitude);
}

bool CBritishGrid::ToWGS84(double easting, double northing, CCoordinate& coordinate)
{
    double latitude = 0, longitude = 0;
    if (!ToOSGB36(easting, northing, latitude, longitude))
        return false;
    // 1. OSGB36 geographic to geocentric on Airy 1830, on the ellipsoid's surface.
    double x = 0, y = 0, z = 0;
    Airy1830().Forward(latitude, longitude, 0, x, y, z);
    // 2. The Helmert shift, small-angle form.
    double s = 1 + kScale;
    double wx = kShiftX + s * x - kRotateZ * y + kRotateY * z;
    double wy = kShiftY + kRotateZ * x + s * y - kRotateX * z;
    double wz = kShiftZ - kRotateY * x + kRotateX * y + s * z;
    // 3. Geocentric to WGS84 geographic; the height is of no use for a map position.
    double height = 0;
    GeographicLib::Geocentric::WGS84().Reverse(wx, wy, wz, latitude, longitude, height);
    if (!std::isfinite(latitude) || !std::isfinite(longitude))
        return false;
    coordinate = CCoordinate(latitude, longitude);
    return true;
}
