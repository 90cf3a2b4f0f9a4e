#include "foundation/CPreferences.h"
#include "mapdata/CCoordinateText.h"
#include "mapdata/CMapManager.h"

#include <cmath>
#include <utility>
#include <gtest/gtest.h>

namespace {
class MapText : public ::testing::Test {
protected:
    void TearDown() override
    {
        CPreferences prefs;
        prefs.RemovePref("MapUnits");
        prefs.RemovePref("MapCoordinates");
    }
    CMapManager mManager;
};
} // namespace

// Values from GeographicLib's own documentation and the WGS84 quarter meridian.
TEST_F(MapText, DistancesMatchPublishedGeodesics)
{
    EXPECT_NEAR(mManager.GetDistance(CCoordinate(40.6, -73.8), CCoordinate(51.6, -0.5)), 5551759.400319, 1e-3);
    EXPECT_NEAR(mManager.GetDistance(CCoordinate(0, 0), CCoordinate(0, 180)), 2 * 10001965.729, 1e-3);
    // Nearly antipodal points, where simpler methods fail to converge.
    double nearly = mManager.GetDistance(CCoordinate(-30, 0), CCoordinate(29.9, 179.8));
    EXPECT_GT(nearly, 19900000);
    EXPECT_LT(nearly, 20003931.46);
    double oneMetre = 180 / (M_PI * 6378137.0); // [deg] of longitude along the equator
    EXPECT_NEAR(mManager.GetDistance(CCoordinate(0, 10), CCoordinate(0, 10 + oneMetre)), 1.0, 1e-9);
    EXPECT_EQ(mManager.GetDistance(CCoordinate(57.7, 11.97), CCoordinate(57.7, 11.97)), 0.0);
}

TEST_F(MapText, DistanceStringsFollowTheUnitsAndTheirThresholds)
{
    EXPECT_EQ(mManager.GetDistanceString(1609.344, kMapUnitsImperial), CString("1 mile"));
    EXPECT_EQ(mManager.GetDistanceString(0.3048, kMapUnitsImperial), CString("1 foot"));
    EXPECT_EQ(mManager.GetDistanceString(-50, kMapUnitsMetric), CString("-50 m"));
    EXPECT_EQ(mManager.GetDistanceString(-0.4, kMapUnitsMetric), CString("0 m"));
    EXPECT_EQ(mManager.GetDistanceString(2500, kMapUnitsMetres), CString("2,500 m"));
    EXPECT_EQ(mManager.GetDistanceString(2500, kMapUnitsFeet), CString("8,202 feet"));
    EXPECT_EQ(mManager.GetDistanceString(NAN, kMapUnitsMetric), CString("0 m"));
}

// Each form at its edges: whole metres or feet, tenths of a kilometre or mile below
// ten, whole ones from ten, thousands grouped; rounded, never cut.
TEST_F(MapText, DistancesKeepThePrecisionAReaderNeeds)
{
    std::pair<double, char const*> const metric[] = { { 849.6, "850 m" }, { 999.4, "999 m" },
        { 999.6, "1 km" }, { 1000, "1 km" }, { 1040, "1 km" }, { 1050, "1.1 km" }, { 1900, "1.9 km" },
        { 2580, "2.6 km" }, { 9949, "9.9 km" }, { 9950, "10 km" }, { 12400, "12 km" }, { 999499, "999 km" },
        { 999500, "1,000 km" }, { 1250000, "1,250 km" }, { 5551759.4, "5,552 km" },
        { 20003931.5, "20,004 km" }, { -2580, "-2.6 km" } };
    for (auto const& [metres, text] : metric)
        EXPECT_EQ(mManager.GetDistanceString(metres, kMapUnitsMetric).GetStdString(), text) << metres;
    double const mile = 1609.344, foot = 0.3048;
    std::pair<double, char const*> const imperial[] = { { 2 * foot, "2 feet" }, { 2640 * foot, "2,640 feet" },
        { 5279.4 * foot, "5,279 feet" }, { 5279.6 * foot, "1 mile" }, { 1.04 * mile, "1 mile" },
        { 1.05 * mile, "1.1 miles" }, { 1.94 * mile, "1.9 miles" }, { 9.94 * mile, "9.9 miles" },
        { 9.96 * mile, "10 miles" }, { 3449.7 * mile, "3,450 miles" } };
    for (auto const& [metres, text] : imperial)
        EXPECT_EQ(mManager.GetDistanceString(metres, kMapUnitsImperial).GetStdString(), text) << metres;
    // Units asked for by name keep to them at every size.
    EXPECT_EQ(mManager.GetDistanceString(360, kMapUnitsKilometres).GetStdString(), "0.4 km");
    EXPECT_EQ(mManager.GetDistanceString(1234567, kMapUnitsMetres).GetStdString(), "1,234,567 m");
    EXPECT_EQ(mManager.GetDistanceString(0.5 * mile, kMapUnitsMiles).GetStdString(), "0.5 miles");
    EXPECT_EQ(mManager.GetDistanceString(2 * mile, kMapUnitsFeet).GetStdString(), "10,560 feet");
}

TEST_F(MapText, UserUnitsSwitchWithThePreference)
{
    EXPECT_EQ(mManager.GetUserUnits(), 0);
    EXPECT_EQ(mManager.GetDistanceString(2000, kMapUnitsUser), CString("2 km")); // absent: metric
    CPreferences prefs;
    prefs.SetInteger("MapUnits", kMapUnitsImperial);
    EXPECT_EQ(mManager.GetUserUnits(), 2);
    EXPECT_EQ(mManager.GetDistanceString(2000, kMapUnitsUser).GetStdString(), "1.2 miles");
    EXPECT_EQ(mManager.GetVelocityString(10, kMapUnitsUser), CString("22.4 mph"));
    prefs.SetInteger("MapUnits", kMapUnitsMetric);
    EXPECT_EQ(mManager.GetVelocityString(10, kMapUnitsUser), CString("36.0 km/h"));
    // A stored "user's choice" would otherwise refer to itself.
    prefs.SetInteger("MapUnits", kMapUnitsUser);
    EXPECT_EQ(mManager.GetDistanceString(2000, kMapUnitsUser), CString("2 km"));
}

TEST_F(MapText, TimesAndDurations)
{
    EXPECT_EQ(mManager.GetTimeString(CDateTime(), kDateFormatDateTime), CString("Unknown"));
    EXPECT_EQ(mManager.GetTimeString(CDateTime(), kDateFormatDuration), CString("Unknown"));
    EXPECT_EQ(mManager.GetTimeString(CDateTime(3725), kDateFormatDuration), CString("1:02:05"));
    EXPECT_EQ(mManager.GetTimeString(CDateTime(2 * 86400 + 59), kDateFormatDuration), CString("2d 0:00:59"));
    CDateTime when(3600.0 * 24 * 365 * 7);
    EXPECT_EQ(mManager.GetTimeString(when, kDateFormatDateTime), when.GetTimeAsString(true, true, 0, true));
}

TEST_F(MapText, CoordinatesFormatInEachFormWithCarries)
{
    EXPECT_EQ(CCoordinateText::Format(51.5, true, kMapCoordinatesDegrees), CString("51.500000° N"));
    EXPECT_EQ(CCoordinateText::Format(-0.125, false, kMapCoordinatesDegreesMinutes), CString("0° 07.5000' W"));
    EXPECT_EQ(
        CCoordinateText::Format(-33.8568, true, kMapCoordinatesDegreesMinutesSeconds), CString("33° 51' 24.48\" S"));
    EXPECT_EQ(CCoordinateText::Format(10.9999999999, false, kMapCoordinatesDegreesMinutes), CString("11° 00.0000' E"));
    EXPECT_EQ(CCoordinateText::Format(10.99999999, false, kMapCoordinatesDegreesMinutesSeconds),
        CString("11° 00' 00.00\" E"));
}

TEST_F(MapText, ParsingAcceptsEveryFormWhateverThePreference)
{
    CPreferences().SetInteger("MapCoordinates", kMapCoordinatesDegreesMinutesSeconds);
    struct Case {
        char const* text;
        bool latitude;
        double expected;
    } const cases[] = {
        { "51.5° N", true, 51.5 },
        { "-33.8568", true, -33.8568 },
        { "S 33 51.408", true, -33.8568 },
        { "33° 51' 24.48\" S", true, -33.8568 },
        { "0° 07.5000' W", false, -0.125 },
        { "179 59 60", false, NAN },
        { "91", true, NAN },
        { "51.5 E", true, NAN },
        { "12.5 30", true, NAN },
        { "abc", true, NAN },
        { "", true, NAN },
        { "-10 S", true, NAN },
        { "180 W", false, -180 },
        { "45 60", true, NAN },
    };
    for (Case const& c : cases) {
        auto value = CCoordinateText::Parse(c.text, c.latitude);
        if (std::isnan(c.expected)) {
            EXPECT_FALSE(value.has_value()) << c.text;
        } else {
            ASSERT_TRUE(value.has_value()) << c.text;
            EXPECT_NEAR(*value, c.expected, 1e-9) << c.text;
        }
    }
}

TEST_F(MapText, CoordinateTextGoesThroughTheInstalledHooks)
{
    mManager.LoadMapsFrom({});
    CPreferences prefs;
    prefs.SetInteger("MapCoordinates", kMapCoordinatesDegreesMinutes);
    CCoordinate position(57.70887, 11.97456);
    EXPECT_EQ(position.GetLatitudeString(), CString("57° 42.5322' N"));
    prefs.SetInteger("MapCoordinates", kMapCoordinatesDegrees);
    EXPECT_EQ(position.GetLongitudeString(), CString("11.974560° E"));
    EXPECT_TRUE(position.SetLatitudeString("45° 25' 12\" N"));
    EXPECT_DOUBLE_EQ(position.GetLatitude(), 45.42);
    EXPECT_FALSE(position.SetLongitudeString("45° 25' 12\" N"));
    EXPECT_FALSE(position.SetLongitudeString("nowhere"));
    EXPECT_DOUBLE_EQ(position.GetLongitude(), 11.97456);
}
