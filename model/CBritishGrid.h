#pragma once

// The British national grid (OSGB36 transverse Mercator on the Airy 1830 ellipsoid)
// to WGS84: the grid is unprojected to OSGB36 latitude and longitude, then moved to
// WGS84 through geocentric coordinates with the Ordnance Survey's seven-parameter
// Helmert shift, good to about 5 m. Pure functions; any thread.

#include "foundation/CCoordinate.h"

class CBritishGrid {
public:
    // The grid's extent [m]: eastings 0 to 700 km, northings 0 to 1300 km.
    static constexpr double kMaxEasting = 700000;
    static constexpr double kMaxNorthing = 1300000;

    // False, changing nothing, for a point outside the grid or a value that is not finite.
    static bool ToWGS84(double easting, double northing, CCoordinate& coordinate);
    // The first step alone: grid to OSGB36 latitude and longitude [deg].
    static bool ToOSGB36(double easting, double northing, double& latitude, double& longitude);
};
