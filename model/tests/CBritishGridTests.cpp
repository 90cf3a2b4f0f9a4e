#include "mapdata/CMapManager.h"
#include "model/CBritishGrid.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

struct ControlPoint {
    char const* name;
    double easting;
    double northing;
    double latitude; // ETRS89, within a metre of WGS84
    double longitude;
};

// The Ordnance Survey's published OSTN15 test points on the British mainland (the
// islands lie where the Helmert shift is known to stray further).
ControlPoint const kControlPoints[] = {
    { "TP03 Plymouth", 250359.811, 62016.569, 50.43885825610, -4.10864563561 },
    { "TP04 St Catherine's Point", 449816.371, 75335.861, 50.57563665000, -1.29782277240 },
    { "TP07 North Foreland", 639821.835, 169565.858, 51.37447025550, 1.44454730409 },
    { "TP09 Lambeth", 530624.974, 178388.464, 51.48936564950, -0.11992557180 },
    { "TP11 Colchester", 599445.590, 225722.826, 51.89436637350, 0.89724327012 },
    { "TP14 King's Lynn", 562180.547, 319784.995, 52.75136687170, 0.40153547065 },
    { "TP15 Nottingham", 454002.834, 340834.943, 52.96219109410, -1.19747655922 },
    { "TP20 Leeds", 422242.186, 433818.701, 53.80021519630, -1.66379168242 },
    { "TP25 Newcastle", 424639.355, 565012.703, 54.97912273660, -1.61657685184 },
    { "TP27 Edinburgh", 319188.434, 670947.534, 55.92478265510, -3.29479219337 },
    { "TP29 Aberdeen", 397160.491, 805349.736, 57.13902518960, -2.04856030746 },
    { "TP30 Inverness", 267056.768, 846176.972, 57.48625000720, -4.21926398555 },
};

TEST(CBritishGrid, PublishedControlPointsLieWithinFiveMetres)
{
    CMapManager metres;
    for (ControlPoint const& point : kControlPoints) {
        CCoordinate coordinate;
        ASSERT_TRUE(CBritishGrid::ToWGS84(point.easting, point.northing, coordinate)) << point.name;
        EXPECT_LT(metres.GetDistance(coordinate, CCoordinate(point.latitude, point.longitude)), 5.0) << point.name;
    }
}

TEST(CBritishGrid, TheProjectionAloneMatchesTheWorkedExampleToTheMillimetre)
{
    // Caister water tower in the Ordnance Survey's guide to coordinate systems:
    // 651409.903 E, 313177.270 N is 52°39'27.2531" N, 1°43'4.5177" E on OSGB36.
    double latitude = 0, longitude = 0;
    ASSERT_TRUE(CBritishGrid::ToOSGB36(651409.903, 313177.270, latitude, longitude));
    EXPECT_NEAR(latitude, 52 + 39 / 60.0 + 27.2531 / 3600, 1e-8);
    EXPECT_NEAR(longitude, 1 + 43 / 60.0 + 4.5177 / 3600, 1e-8);
}

TEST(CBritishGrid, RefusesPointsOffTheGridLeavingTheCoordinate)
{
    double const kNaN = std::numeric_limits<double>::quiet_NaN();
    double const kInf = std::numeric_limits<double>::infinity();
    for (auto [easting, northing] :
        { std::pair { -1.0, 100.0 }, std::pair { 700001.0, 100.0 }, std::pair { 100.0, -0.5 },
            std::pair { 100.0, 1300001.0 }, std::pair { kNaN, 100.0 }, std::pair { 100.0, kInf } }) {
        CCoordinate coordinate(1, 2, 3);
        EXPECT_FALSE(CBritishGrid::ToWGS84(easting, northing, coordinate)) << easting << " " << northing;
        EXPECT_EQ(coordinate, CCoordinate(1, 2, 3));
    }
    // The grid's corners are on it.
    CCoordinate corner;
    EXPECT_TRUE(CBritishGrid::ToWGS84(0, 0, corner));
    EXPECT_TRUE(CBritishGrid::ToWGS84(700000, 1300000, corner));
}

} // namespace
