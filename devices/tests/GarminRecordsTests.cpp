#include "devices/CGarminRecords.h"
#include "devices/DeviceTypes.h"

#include <bit>
#include <gtest/gtest.h>

namespace {

// Records laid out by hand, field by field, as the receivers send them.
struct Bytes {
    std::vector<UInt8> data;
    Bytes& u8(UInt8 v)
    {
        data.push_back(v);
        return *this;
    }
    Bytes& u16(UInt16 v) { return u8(UInt8(v)).u8(UInt8(v >> 8)); }
    Bytes& u32(UInt32 v) { return u16(UInt16(v)).u16(UInt16(v >> 16)); }
    Bytes& f32(float v) { return u32(std::bit_cast<UInt32>(v)); }
    Bytes& f64(double v)
    {
        UInt64 bits = std::bit_cast<UInt64>(v);
        return u32(UInt32(bits)).u32(UInt32(bits >> 32));
    }
    Bytes& text(char const* t)
    {
        while (*t)
            u8(UInt8(*t++));
        return u8(0);
    }
    Bytes& fill(UInt8 v, int count)
    {
        data.insert(data.end(), std::size_t(count), v);
        return *this;
    }
};

constexpr float kNone = 1.0e25f;
constexpr SInt32 kLat45 = 1 << 29; // semicircles
constexpr SInt32 kLonWest90 = -(1 << 30);
constexpr UInt32 kSecondDayOfReference = 347241600 + 86400; // 2001-01-02 00:00 UTC in the receivers' seconds

Bytes D110Record()
{
    Bytes b;
    b.u8(1).u8(0).u8(0x45).u8(0x80).u16(8286).fill(0, 6).fill(0xFF, 12);
    b.u32(UInt32(kLat45)).u32(UInt32(kLonWest90)).f32(123.5f).f32(kNone).f32(50.0f).fill(' ', 4);
    b.u32(0xFFFFFFFF).f32(kNone).u32(kSecondDayOfReference).u16(0);
    b.text("FLAG1").text("Red flag").text("").text("").text("").text("");
    return b;
}

TEST(GarminWaypointRecords, CurrentFormatsReadFieldByField)
{
    CGPSWaypoint waypoint;
    Bytes d110 = D110Record();
    ASSERT_EQ(CGarminRecords::DecodeWaypoint(110, d110.data.data(), d110.data.size(), waypoint), noErr);
    EXPECT_EQ(waypoint.name, CString("FLAG1"));
    EXPECT_EQ(waypoint.comment, CString("Red flag"));
    EXPECT_DOUBLE_EQ(waypoint.position.GetLatitude(), 45.0);
    EXPECT_DOUBLE_EQ(waypoint.position.GetLongitude(), -90.0);
    EXPECT_TRUE(waypoint.altitudeKnown);
    EXPECT_DOUBLE_EQ(waypoint.position.GetAltitude(), 123.5);
    EXPECT_DOUBLE_EQ(waypoint.proximity, 50.0);
    EXPECT_DOUBLE_EQ(waypoint.time.GetTimeInSeconds(), 86400.0);
    EXPECT_EQ(waypoint.symbol, 8286);
    EXPECT_EQ(waypoint.colour, 5);
    EXPECT_EQ(waypoint.display, CGPSWaypoint::kDisplayComment);

    // D108: separate colour and display bytes, no leading type byte; "no value" floats.
    Bytes d108;
    d108.u8(0).u8(3).u8(1).u8(0x60).u16(18).fill(0, 6).fill(0xFF, 12);
    d108.u32(UInt32(kLat45)).u32(UInt32(kLonWest90)).f32(kNone).f32(kNone).f32(kNone).fill(' ', 4);
    d108.text("OLD").text("").text("").text("").text("").text("");
    ASSERT_EQ(CGarminRecords::DecodeWaypoint(108, d108.data.data(), d108.data.size(), waypoint), noErr);
    EXPECT_EQ(waypoint.name, CString("OLD"));
    EXPECT_FALSE(waypoint.altitudeKnown);
    EXPECT_EQ(waypoint.proximity, 0.0);
    EXPECT_EQ(waypoint.colour, 3);
    EXPECT_EQ(waypoint.display, CGPSWaypoint::kDisplaySymbol);
    EXPECT_FALSE(waypoint.time.IsValid());

    // D109: colour and display packed, time to the next waypoint before the texts.
    Bytes d109;
    d109.u8(1).u8(0).u8(0x1F).u8(0x70).u16(178).fill(0, 6).fill(0xFF, 12);
    d109.u32(UInt32(kLat45)).u32(0).f32(7.0f).f32(kNone).f32(kNone).fill(' ', 4).u32(0xFFFFFFFF);
    d109.text("MID").text("Middle").text("").text("").text("").text("");
    ASSERT_EQ(CGarminRecords::DecodeWaypoint(109, d109.data.data(), d109.data.size(), waypoint), noErr);
    EXPECT_EQ(waypoint.name, CString("MID"));
    EXPECT_EQ(waypoint.comment, CString("Middle"));
    EXPECT_EQ(waypoint.colour, 0x1F);
    EXPECT_EQ(waypoint.display, CGPSWaypoint::kDisplayName);
    EXPECT_DOUBLE_EQ(waypoint.position.GetAltitude(), 7.0);
}

TEST(GarminWaypointRecords, ShortOrUnterminatedRecordsAreRefusedAndChangeNothing)
{
    Bytes d110 = D110Record();
    CGPSWaypoint untouched;
    untouched.name = "Keep";
    // Every cut before the comment's terminator fails: no length is read past the end.
    std::size_t const commentEnd = 62 + 6 + 9;
    for (std::size_t length = 0; length < commentEnd; ++length) {
        CGPSWaypoint waypoint = untouched;
        EXPECT_EQ(CGarminRecords::DecodeWaypoint(110, d110.data.data(), length, waypoint), kDeviceProtocolErr)
            << length;
        EXPECT_EQ(waypoint, untouched);
    }
    Bytes open = D110Record();
    open.data.resize(62 + 3); // "FLA" without its terminator
    CGPSWaypoint waypoint;
    EXPECT_EQ(CGarminRecords::DecodeWaypoint(110, open.data.data(), open.data.size(), waypoint), kDeviceProtocolErr);
    EXPECT_EQ(CGarminRecords::DecodeWaypoint(111, d110.data.data(), d110.data.size(), waypoint), kDeviceUnsupportedErr);
}

TEST(GarminWaypointRecords, EveryFormatCarriesWhatItHoldsBothWays)
{
    CGPSWaypoint waypoint;
    waypoint.name = "Café";
    waypoint.comment = "Kaffe på torget";
    waypoint.position = CCoordinate(57.70887, 11.97456, 12.5);
    waypoint.altitudeKnown = true;
    waypoint.proximity = 25;
    waypoint.symbol = 13;
    waypoint.colour = 9;
    waypoint.display = CGPSWaypoint::kDisplaySymbol;
    waypoint.time = CDateTime(737683170);
    for (UInt16 type : { 108, 109, 110 }) {
        std::vector<UInt8> data;
        ASSERT_EQ(CGarminRecords::EncodeWaypoint(type, waypoint, data), noErr);
        CGPSWaypoint read;
        ASSERT_EQ(CGarminRecords::DecodeWaypoint(type, data.data(), data.size(), read), noErr) << type;
        EXPECT_EQ(read.name, waypoint.name) << type;
        EXPECT_EQ(read.comment, waypoint.comment);
        // Semicircles hold about a centimetre.
        EXPECT_NEAR(read.position.GetLatitude(), waypoint.position.GetLatitude(), 1e-7);
        EXPECT_NEAR(read.position.GetLongitude(), waypoint.position.GetLongitude(), 1e-7);
        EXPECT_FLOAT_EQ(float(read.position.GetAltitude()), 12.5f);
        EXPECT_EQ(read.symbol, 13);
        EXPECT_EQ(read.colour, 9);
        EXPECT_EQ(read.display, CGPSWaypoint::kDisplaySymbol);
        EXPECT_EQ(read.time.IsValid(), type == 110);
        if (type == 110) {
            EXPECT_EQ(read.time, waypoint.time);
        }
    }
    // Names longer than the receivers' field are cut, never sent unterminated.
    waypoint.name = CString(std::string(80, 'N').c_str());
    std::vector<UInt8> data;
    ASSERT_EQ(CGarminRecords::EncodeWaypoint(110, waypoint, data), noErr);
    CGPSWaypoint read;
    ASSERT_EQ(CGarminRecords::DecodeWaypoint(110, data.data(), data.size(), read), noErr);
    EXPECT_EQ(read.name.GetLength(), 50u);
}

TEST(GarminRouteRecords, HeadersNameTheRouteAndLinksAreChecked)
{
    CString name;
    Bytes d202;
    d202.text("HOME TO WORK");
    ASSERT_EQ(CGarminRecords::DecodeRouteHeader(202, d202.data.data(), d202.data.size(), name), noErr);
    EXPECT_EQ(name, CString("HOME TO WORK"));
    Bytes d201;
    d201.u8(3);
    for (char c : std::string("Ferry run           "))
        d201.u8(UInt8(c));
    ASSERT_EQ(CGarminRecords::DecodeRouteHeader(201, d201.data.data(), d201.data.size(), name), noErr);
    EXPECT_EQ(name, CString("Ferry run"));
    Bytes d200;
    d200.u8(5);
    ASSERT_EQ(CGarminRecords::DecodeRouteHeader(200, d200.data.data(), d200.data.size(), name), noErr);
    EXPECT_EQ(name, CString("Route 5"));
    EXPECT_EQ(CGarminRecords::DecodeRouteHeader(201, d201.data.data(), 10, name), kDeviceProtocolErr);
    EXPECT_EQ(name, CString("Route 5"));

    Bytes link;
    link.u16(3).fill(0, 6).fill(0xFF, 12).text("");
    EXPECT_EQ(CGarminRecords::DecodeRouteLink(210, link.data.data(), link.data.size()), noErr);
    EXPECT_EQ(CGarminRecords::DecodeRouteLink(210, link.data.data(), link.data.size() - 1), kDeviceProtocolErr);
    std::vector<UInt8> encoded;
    ASSERT_EQ(CGarminRecords::EncodeRouteLink(210, encoded), noErr);
    EXPECT_EQ(encoded, link.data);

    for (UInt16 type : { 200, 201, 202 }) {
        ASSERT_EQ(CGarminRecords::EncodeRouteHeader(type, "Ferry run", 3, encoded), noErr);
        ASSERT_EQ(CGarminRecords::DecodeRouteHeader(type, encoded.data(), encoded.size(), name), noErr);
        EXPECT_EQ(name, CString(type == 200 ? "Route 3" : "Ferry run")) << type;
    }
}

TEST(GarminTrackRecords, PointsAndHeadersOfEveryFormat)
{
    CGPSTrackPoint point;
    bool valid = false;
    Bytes d302;
    d302.u32(UInt32(kLat45)).u32(UInt32(kLonWest90)).u32(kSecondDayOfReference).f32(99.0f).f32(kNone).f32(kNone).u8(1);
    ASSERT_EQ(CGarminRecords::DecodeTrackPoint(302, d302.data.data(), d302.data.size(), point, valid), noErr);
    EXPECT_TRUE(valid);
    EXPECT_DOUBLE_EQ(point.sample.GetLatitude(), 45.0);
    EXPECT_DOUBLE_EQ(point.sample.GetLongitude(), -90.0);
    EXPECT_DOUBLE_EQ(point.sample.GetAltitude(), 99.0);
    EXPECT_TRUE(point.altitudeKnown);
    EXPECT_DOUBLE_EQ(point.sample.GetTime().GetTimeInSeconds(), 86400.0);
    EXPECT_TRUE(point.newSegment);

    Bytes d300;
    d300.u32(UInt32(kLat45)).u32(0).u32(kSecondDayOfReference).u8(0);
    ASSERT_EQ(CGarminRecords::DecodeTrackPoint(300, d300.data.data(), d300.data.size(), point, valid), noErr);
    EXPECT_FALSE(point.altitudeKnown);
    EXPECT_FALSE(point.newSegment);

    // D304 (fitness units) has no segment flag; a point without position is marked so.
    Bytes d304;
    d304.u32(0x7FFFFFFF).u32(0x7FFFFFFF).u32(kSecondDayOfReference).f32(5.0f).f32(120.0f).u8(140).u8(0xFF).u8(0);
    ASSERT_EQ(CGarminRecords::DecodeTrackPoint(304, d304.data.data(), d304.data.size(), point, valid), noErr);
    EXPECT_FALSE(valid);
    EXPECT_EQ(CGarminRecords::DecodeTrackPoint(304, d304.data.data(), d304.data.size() - 1, point, valid),
        kDeviceProtocolErr);

    CGPSTrack track;
    Bytes d312;
    d312.u8(1).u8(4).text("Morning");
    ASSERT_EQ(CGarminRecords::DecodeTrackHeader(312, d312.data.data(), d312.data.size(), track), noErr);
    EXPECT_EQ(track.name, CString("Morning"));
    EXPECT_TRUE(track.display);
    EXPECT_EQ(track.colour, 4);
    Bytes d311;
    d311.u16(7);
    ASSERT_EQ(CGarminRecords::DecodeTrackHeader(311, d311.data.data(), d311.data.size(), track), noErr);
    EXPECT_EQ(track.name, CString("Track 7"));

    point = CGPSTrackPoint { CCoordinatePVT(CCoordinate(57.7, 11.9, 30), CDateTime(737683170)), true, true };
    for (UInt16 type : { 300, 301, 302, 304 }) {
        std::vector<UInt8> data;
        ASSERT_EQ(CGarminRecords::EncodeTrackPoint(type, point, data), noErr);
        CGPSTrackPoint read;
        ASSERT_EQ(CGarminRecords::DecodeTrackPoint(type, data.data(), data.size(), read, valid), noErr) << type;
        EXPECT_TRUE(valid);
        EXPECT_NEAR(read.sample.GetLatitude(), 57.7, 1e-7);
        EXPECT_EQ(read.sample.GetTime(), point.sample.GetTime());
        EXPECT_EQ(read.altitudeKnown, type != 300);
        EXPECT_EQ(read.newSegment, type != 304);
    }
}

TEST(GarminPositionRecords, LiveFixesReadPositionSpeedHeadingAccuracyAndTime)
{
    Bytes d800;
    d800.f32(52.5f).f32(6.0f).f32(4.0f).f32(5.0f).u16(3).f64(3600.0).f64(45.0 * M_PI / 180).f64(-90.0 * M_PI / 180);
    d800.f32(1.0f).f32(1.0f).f32(0.0f).f32(-40.5f).u16(18).u32(12418);
    CGPSPosVelTime fix;
    ASSERT_EQ(CGarminRecords::DecodePosVelTime(800, d800.data.data(), d800.data.size(), fix), noErr);
    EXPECT_EQ(fix.fix, CGPSPosVelTime::kFix3D);
    EXPECT_NEAR(fix.sample.GetLatitude(), 45.0, 1e-12);
    EXPECT_NEAR(fix.sample.GetLongitude(), -90.0, 1e-12);
    EXPECT_DOUBLE_EQ(fix.sample.GetAltitude(), 12.0); // above mean sea level
    EXPECT_NEAR(fix.heading, 45.0, 1e-9);
    EXPECT_NEAR(fix.GetSpeed(), std::sqrt(2.0), 1e-6);
    EXPECT_DOUBLE_EQ(fix.sample.GetAccuracy(), 4.0);
    // Days since the receivers' epoch to the week's start, seconds into the week, leap seconds.
    EXPECT_DOUBLE_EQ(fix.sample.GetTime().GetTimeInSeconds(), 12418.0 * 86400 + 3600 - 18 - 347241600);

    d800.data[16] = 1; // the fix type: "invalid"
    ASSERT_EQ(CGarminRecords::DecodePosVelTime(800, d800.data.data(), d800.data.size(), fix), noErr);
    EXPECT_FALSE(fix.IsValid());
    EXPECT_EQ(CGarminRecords::DecodePosVelTime(800, d800.data.data(), 63, fix), kDeviceProtocolErr);
}

TEST(GarminSymbols, OurSymbolsMapToTheReceiversNumbersAndBack)
{
    EXPECT_EQ(CGPSWaypoint::GetSymbolNumber('wayp'), CGPSWaypoint::kSymbolDot);
    EXPECT_EQ(CGPSWaypoint::GetSymbolCode(CGPSWaypoint::kSymbolDot), GPSWaypointSymbol('wayp'));
    for (GPSWaypointSymbol code : { 'fred', 'geoc', 'anch', 'airp', 'summ' })
        EXPECT_EQ(CGPSWaypoint::GetSymbolCode(CGPSWaypoint::GetSymbolNumber(code)), code);
    EXPECT_EQ(CGPSWaypoint::GetSymbolCode(40000), GPSWaypointSymbol('wayp'));
    EXPECT_EQ(CGPSWaypoint::GetSymbolNumber('wifi'), CGPSWaypoint::kSymbolDot);
}

} // namespace
