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
    { "TP05 Former OSHQ", 438710.920, 114792.250, 50.93127937910, -1.45051433700 },
    { "TP06 Nash Point", 292184.870, 168003.465, 51.40078220140, -3.55128349240 },
    { "TP07 North Foreland", 639821.835, 169565.858, 51.37447025550, 1.44454730409 },
    { "TP08 Brislington", 362269.991, 169978.690, 51.42754743020, -2.54407618349 },
    { "TP09 Lambeth", 530624.974, 178388.464, 51.48936564950, -0.11992557180 },
    { "TP10 Carmarthen", 241124.584, 220332.641, 51.85890896400, -4.30852476960 },
    { "TP11 Colchester", 599445.590, 225722.826, 51.89436637350, 0.89724327012 },
    { "TP12 Droitwich", 389544.190, 261912.153, 52.25529381630, -2.15458614387 },
    { "TP13 Northampton", 474335.969, 262047.755, 52.25160951230, -0.91248956970 },
    { "TP14 King's Lynn", 562180.547, 319784.995, 52.75136687170, 0.40153547065 },
    { "TP15 Nottingham", 454002.834, 340834.943, 52.96219109410, -1.19747655922 },
    { "TP16 Daresbury", 357455.843, 383290.436, 53.34480280190, -2.64049320810 },
    { "TP19 Blackpool", 331534.564, 431920.794, 53.77911025760, -3.04045490691 },
    { "TP20 Leeds", 422242.186, 433818.701, 53.80021519630, -1.66379168242 },
    { "TP22 Scarborough", 525745.670, 470703.214, 54.11685144290, -0.07773133187 },
    { "TP24 Carlisle", 339921.145, 556034.761, 54.89542340420, -2.93827741149 },
    { "TP25 Newcastle", 424639.355, 565012.703, 54.97912273660, -1.61657685184 },
    { "TP26 Glasgow", 256340.925, 664697.269, 55.85399952950, -4.29649016251 },
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
