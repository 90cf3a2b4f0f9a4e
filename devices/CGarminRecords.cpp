#include "devices/CGarminRecords.h"

#include "devices/CGarminBytes.h"
#include "devices/DeviceTypes.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kInvalidFloat = 1.0e25f; // the receivers' "no value"
constexpr UInt32 kInvalidTime = 0xFFFFFFFF;
constexpr SInt32 kInvalidSemicircle = 0x7FFFFFFF;
constexpr double kDegreesPerSemicircle = 180.0 / 2147483648.0;
constexpr std::size_t kIdentBytes = 51; // the longest identifier or comment, terminator included
constexpr UInt8 kUserClass = 0;
// The subclass field of a user waypoint or a direct route link.
constexpr UInt8 kUserSubclass[18]
    = { 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF };

bool IsKnown(float value) { return std::isfinite(value) && std::fabs(value) < 1.0e24f; }

double ToDegrees(SInt32 semicircles) { return double(semicircles) * kDegreesPerSemicircle; }

SInt32 ToSemicircles(double degrees)
{
    double semicircles = std::round(degrees / kDegreesPerSemicircle);
    return SInt32(std::clamp(semicircles, -2147483648.0, 2147483647.0));
}

CDateTime ToDateTime(UInt32 garminSeconds)
{
    if (garminSeconds == kInvalidTime || garminSeconds == 0)
        return CDateTime();
    return CDateTime(double(garminSeconds) - CGarminRecords::kEpochOffset);
}

UInt32 ToGarminTime(CDateTime const& time)
{
    if (!time.IsValid())
        return kInvalidTime;
    double seconds = std::round(time.GetTimeInSeconds() + CGarminRecords::kEpochOffset);
    return seconds <= 0 || seconds >= double(kInvalidTime) ? kInvalidTime : UInt32(seconds);
}

void ReadPosition(CGarminReader& reader, CCoordinate& position)
{
    position.SetLatitude(ToDegrees(reader.ReadSInt32()));
    position.SetLongitude(ToDegrees(reader.ReadSInt32()));
}

void WritePosition(CGarminWriter& writer, CCoordinate const& position)
{
    writer.WriteSInt32(ToSemicircles(position.GetLatitude()));
    writer.WriteSInt32(ToSemicircles(position.GetLongitude()));
}

float AltitudeOf(CCoordinate const& position, bool known)
{
    return known ? float(position.GetAltitude()) : kInvalidFloat;
}

} // namespace

OSStatus CGarminRecords::DecodeWaypoint(UInt16 type, UInt8 const* data, std::size_t size, CGPSWaypoint& waypoint)
{
    if (!IsWaypointType(type))
        return kDeviceUnsupportedErr;
    CGarminReader reader(data, size);
    CGPSWaypoint result;
    if (type != 108)
        reader.Skip(1); // data packet type
    reader.Skip(1); // class
    UInt8 colourByte = reader.ReadUInt8();
    if (type == 108) {
        result.colour = colourByte;
        result.display = reader.ReadUInt8();
    } else {
        result.colour = colourByte & 0x1F;
        result.display = (colourByte >> 5) & 0x03;
    }
    reader.Skip(1); // attributes
    result.symbol = reader.ReadUInt16();
    reader.Skip(sizeof kUserSubclass);
    ReadPosition(reader, result.position);
    float altitude = reader.ReadFloat32();
    reader.Skip(4); // depth
    float proximity = reader.ReadFloat32();
    reader.Skip(4); // state and country codes
    UInt32 time = kInvalidTime;
    if (type != 108)
        reader.Skip(4); // time to the next waypoint
    if (type == 110) {
        reader.Skip(4); // temperature
        time = reader.ReadUInt32();
        reader.Skip(2); // categories
    }
    result.name = reader.ReadText(kIdentBytes);
    result.comment = reader.ReadText(kIdentBytes);
    if (!reader.IsGood())
        return kDeviceProtocolErr;
    // Facility, city, address and crossing follow; they are not kept.
    result.altitudeKnown = IsKnown(altitude);
    result.position.SetAltitude(result.altitudeKnown ? altitude : 0);
    result.proximity = IsKnown(proximity) ? proximity : 0;
    result.time = ToDateTime(time);
    waypoint = result;
    return noErr;
}

OSStatus CGarminRecords::EncodeWaypoint(UInt16 type, CGPSWaypoint const& waypoint, std::vector<UInt8>& data)
{
    if (!IsWaypointType(type))
        return kDeviceUnsupportedErr;
    CGarminWriter writer;
    UInt8 display
        = waypoint.display <= CGPSWaypoint::kDisplayComment ? waypoint.display : UInt8(CGPSWaypoint::kDisplayName);
    if (type == 108) {
        writer.WriteUInt8(kUserClass);
        writer.WriteUInt8(waypoint.colour);
        writer.WriteUInt8(display);
        writer.WriteUInt8(0x60);
    } else {
        UInt8 colour = waypoint.colour <= 15 ? waypoint.colour : 0x1F;
        writer.WriteUInt8(0x01);
        writer.WriteUInt8(kUserClass);
        writer.WriteUInt8(UInt8(colour | (display << 5)));
        writer.WriteUInt8(type == 109 ? 0x70 : 0x80);
    }
    writer.WriteUInt16(waypoint.symbol);
    writer.WriteBytes(kUserSubclass, sizeof kUserSubclass);
    WritePosition(writer, waypoint.position);
    writer.WriteFloat32(AltitudeOf(waypoint.position, waypoint.altitudeKnown));
    writer.WriteFloat32(kInvalidFloat); // depth
    writer.WriteFloat32(waypoint.proximity > 0 ? float(waypoint.proximity) : kInvalidFloat);
    writer.WriteFill(' ', 4); // state and country codes
    if (type != 108)
        writer.WriteUInt32(0xFFFFFFFF); // time to the next waypoint
    if (type == 110) {
        writer.WriteFloat32(kInvalidFloat); // temperature
        writer.WriteUInt32(ToGarminTime(waypoint.time));
        writer.WriteUInt16(0); // no category
    }
    writer.WriteText(waypoint.name, kIdentBytes);
    writer.WriteText(waypoint.comment, kIdentBytes);
    for (int i = 0; i < 4; ++i)
        writer.WriteUInt8(0); // facility, city, address, crossing
    data = writer.TakeBytes();
    return noErr;
}

OSStatus CGarminRecords::DecodeRouteHeader(UInt16 type, UInt8 const* data, std::size_t size, CString& name)
{
    if (!IsRouteHeaderType(type))
        return kDeviceUnsupportedErr;
    CGarminReader reader(data, size);
    CString result;
    if (type == 202) {
        result = reader.ReadText(kIdentBytes);
    } else {
        UInt8 number = reader.ReadUInt8();
        CString comment = type == 201 ? reader.ReadFixedText(20) : CString();
        if (comment.IsNotEmpty())
            result = comment;
        else
            result.Format("Route %u", unsigned(number));
    }
    if (!reader.IsGood())
        return kDeviceProtocolErr;
    name = result;
    return noErr;
}

OSStatus CGarminRecords::EncodeRouteHeader(UInt16 type, CString const& name, UInt8 number, std::vector<UInt8>& data)
{
    if (!IsRouteHeaderType(type))
        return kDeviceUnsupportedErr;
    CGarminWriter writer;
    if (type == 202) {
        writer.WriteText(name, kIdentBytes);
    } else {
        writer.WriteUInt8(number);
        if (type == 201) {
            std::string latin1 = name.GetNarrow(kCFStringEncodingISOLatin1);
            latin1.resize(20, ' ');
            writer.WriteBytes(reinterpret_cast<UInt8 const*>(latin1.data()), 20);
        }
    }
    data = writer.TakeBytes();
    return noErr;
}

OSStatus CGarminRecords::DecodeRouteLink(UInt16 type, UInt8 const* data, std::size_t size)
{
    if (!IsRouteLinkType(type))
        return kDeviceUnsupportedErr;
    CGarminReader reader(data, size);
    reader.Skip(2 + sizeof kUserSubclass);
    reader.ReadText(kIdentBytes);
    return reader.IsGood() ? noErr : kDeviceProtocolErr;
}

OSStatus CGarminRecords::EncodeRouteLink(UInt16 type, std::vector<UInt8>& data)
{
    if (!IsRouteLinkType(type))
        return kDeviceUnsupportedErr;
    CGarminWriter writer;
    writer.WriteUInt16(3); // a direct link: straight from one waypoint to the next
    writer.WriteBytes(kUserSubclass, sizeof kUserSubclass);
    writer.WriteUInt8(0); // no identifier
    data = writer.TakeBytes();
    return noErr;
}

OSStatus CGarminRecords::DecodeTrackHeader(UInt16 type, UInt8 const* data, std::size_t size, CGPSTrack& track)
{
    if (!IsTrackHeaderType(type))
        return kDeviceUnsupportedErr;
    CGarminReader reader(data, size);
    CGPSTrack result;
    if (type == 311) {
        result.name.Format("Track %u", unsigned(reader.ReadUInt16()));
    } else {
        result.display = reader.ReadUInt8() != 0;
        result.colour = reader.ReadUInt8();
        result.name = reader.ReadText(kIdentBytes);
    }
    if (!reader.IsGood())
        return kDeviceProtocolErr;
    track.name = result.name;
    track.display = result.display;
    track.colour = result.colour;
    return noErr;
}

OSStatus CGarminRecords::EncodeTrackHeader(UInt16 type, CGPSTrack const& track, UInt16 index, std::vector<UInt8>& data)
{
    if (!IsTrackHeaderType(type))
        return kDeviceUnsupportedErr;
    CGarminWriter writer;
    if (type == 311) {
        writer.WriteUInt16(index);
    } else {
        writer.WriteUInt8(track.display ? 1 : 0);
        writer.WriteUInt8(track.colour);
        writer.WriteText(track.name, kIdentBytes);
    }
    data = writer.TakeBytes();
    return noErr;
}

OSStatus CGarminRecords::DecodeTrackPoint(
    UInt16 type, UInt8 const* data, std::size_t size, CGPSTrackPoint& point, bool& valid)
{
    if (!IsTrackPointType(type))
        return kDeviceUnsupportedErr;
    CGarminReader reader(data, size);
    SInt32 latitude = reader.ReadSInt32();
    SInt32 longitude = reader.ReadSInt32();
    UInt32 time = reader.ReadUInt32();
    float altitude = kInvalidFloat;
    bool newSegment = false;
    if (type != 300)
        altitude = reader.ReadFloat32();
    if (type == 301 || type == 302)
        reader.Skip(4); // depth
    if (type == 302)
        reader.Skip(4); // temperature
    if (type == 304)
        reader.Skip(4 + 3); // distance, heart rate, cadence, sensor
    else
        newSegment = reader.ReadUInt8() != 0;
    if (!reader.IsGood())
        return kDeviceProtocolErr;
    valid = latitude != kInvalidSemicircle && longitude != kInvalidSemicircle;
    CGPSTrackPoint result;
    result.altitudeKnown = IsKnown(altitude);
    result.sample = CCoordinatePVT(
        CCoordinate(ToDegrees(latitude), ToDegrees(longitude), result.altitudeKnown ? altitude : 0), ToDateTime(time));
    result.newSegment = newSegment;
    point = result;
    return noErr;
}

OSStatus CGarminRecords::EncodeTrackPoint(UInt16 type, CGPSTrackPoint const& point, std::vector<UInt8>& data)
{
    if (!IsTrackPointType(type))
        return kDeviceUnsupportedErr;
    CGarminWriter writer;
    WritePosition(writer, point.sample);
    writer.WriteUInt32(ToGarminTime(point.sample.GetTime()));
    if (type != 300)
        writer.WriteFloat32(AltitudeOf(point.sample, point.altitudeKnown));
    if (type == 301 || type == 302)
        writer.WriteFloat32(kInvalidFloat); // depth
    if (type == 302)
        writer.WriteFloat32(kInvalidFloat); // temperature
    if (type == 304) {
        writer.WriteFloat32(kInvalidFloat); // distance
        writer.WriteFill(0xFF, 2); // no heart rate or cadence
        writer.WriteUInt8(0); // no sensor
    } else {
        writer.WriteUInt8(point.newSegment ? 1 : 0);
    }
    data = writer.TakeBytes();
    return noErr;
}

OSStatus CGarminRecords::DecodePosVelTime(UInt16 type, UInt8 const* data, std::size_t size, CGPSPosVelTime& fix)
{
    if (type != 800)
        return kDeviceUnsupportedErr;
    CGarminReader reader(data, size);
    float altitude = reader.ReadFloat32(); // above the ellipsoid
    reader.Skip(4); // estimated position error
    float horizontalError = reader.ReadFloat32();
    reader.Skip(4); // vertical error
    UInt16 fixType = reader.ReadUInt16();
    double timeOfWeek = reader.ReadFloat64(); // [s]
    double latitude = reader.ReadFloat64(); // [rad]
    double longitude = reader.ReadFloat64(); // [rad]
    float east = reader.ReadFloat32();
    float north = reader.ReadFloat32();
    float up = reader.ReadFloat32();
    float meanSeaLevel = reader.ReadFloat32(); // the ellipsoid's height above it
    SInt16 leapSeconds = reader.ReadSInt16();
    UInt32 weekStartDays = reader.ReadUInt32();
    if (!reader.IsGood())
        return kDeviceProtocolErr;
    CGPSPosVelTime result;
    if (fixType == 2 || fixType == 4)
        result.fix = CGPSPosVelTime::kFix2D;
    else if (fixType == 3 || fixType == 5)
        result.fix = CGPSPosVelTime::kFix3D;
    // Angles out of range would turn into infinite degrees; the unit sent noise.
    bool finite = std::isfinite(latitude) && std::isfinite(longitude) && std::isfinite(timeOfWeek)
        && std::isfinite(east) && std::isfinite(north) && std::isfinite(up) && std::fabs(latitude) <= M_PI / 2
        && std::fabs(longitude) <= M_PI;
    if (!finite)
        result.fix = CGPSPosVelTime::kFixNone;
    if (result.IsValid()) {
        double seconds = double(weekStartDays) * 86400.0 + timeOfWeek - leapSeconds - kEpochOffset;
        double metres = IsKnown(altitude) && IsKnown(meanSeaLevel) ? double(altitude) + meanSeaLevel : 0;
        CCoordinate position(latitude * 180.0 / M_PI, longitude * 180.0 / M_PI, metres);
        result.sample = CCoordinatePVT(
            position, CDateTime(seconds), { east, north, up }, IsKnown(horizontalError) ? horizontalError : 0);
        double heading = std::atan2(double(east), double(north)) * 180.0 / M_PI;
        result.heading = heading < 0 ? heading + 360.0 : heading;
    }
    fix = result;
    return noErr;
}
