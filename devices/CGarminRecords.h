#pragma once

// The record formats of Garmin units: waypoints (D108, D109, D110), route
// headers (D200, D201, D202) and links (D210), track headers (D310, D311,
// D312) and points (D300, D301, D302, D304), and position fixes (D800).
// Decoders check every length and answer kDeviceProtocolErr for a record that
// is short or lacks a text's terminator; they change their output only on success.

#include "devices/CGPSPosVelTime.h"
#include "devices/CGPSRoute.h"
#include "devices/CGPSTrack.h"

#include <cstddef>
#include <vector>

class CGarminRecords {
public:
    // Seconds from the receivers' epoch (1989-12-31 00:00 UTC) to 2001-01-01 00:00 UTC.
    static constexpr double kEpochOffset = 347241600.0;

    static bool IsWaypointType(UInt16 type) { return type >= 108 && type <= 110; }
    static bool IsRouteHeaderType(UInt16 type) { return type >= 200 && type <= 202; }
    static bool IsRouteLinkType(UInt16 type) { return type == 210; }
    static bool IsTrackHeaderType(UInt16 type) { return type >= 310 && type <= 312; }
    static bool IsTrackPointType(UInt16 type) { return (type >= 300 && type <= 302) || type == 304; }

    static OSStatus DecodeWaypoint(UInt16 type, UInt8 const* data, std::size_t size, CGPSWaypoint& waypoint);
    static OSStatus EncodeWaypoint(UInt16 type, CGPSWaypoint const& waypoint, std::vector<UInt8>& data);

    // D200 and D201 carry a number instead of a name: the route reads "Route <number>".
    static OSStatus DecodeRouteHeader(UInt16 type, UInt8 const* data, std::size_t size, CString& name);
    static OSStatus EncodeRouteHeader(UInt16 type, CString const& name, UInt8 number, std::vector<UInt8>& data);
    // Links carry nothing we keep; decoding only checks them.
    static OSStatus DecodeRouteLink(UInt16 type, UInt8 const* data, std::size_t size);
    static OSStatus EncodeRouteLink(UInt16 type, std::vector<UInt8>& data);

    // The header fills the track's name, display flag and colour; D311 has only a number.
    static OSStatus DecodeTrackHeader(UInt16 type, UInt8 const* data, std::size_t size, CGPSTrack& track);
    static OSStatus EncodeTrackHeader(UInt16 type, CGPSTrack const& track, UInt16 index, std::vector<UInt8>& data);
    // A point the receiver marks as having no position answers noErr with `valid` false.
    static OSStatus DecodeTrackPoint(
        UInt16 type, UInt8 const* data, std::size_t size, CGPSTrackPoint& point, bool& valid);
    static OSStatus EncodeTrackPoint(UInt16 type, CGPSTrackPoint const& point, std::vector<UInt8>& data);

    static OSStatus DecodePosVelTime(UInt16 type, UInt8 const* data, std::size_t size, CGPSPosVelTime& fix);
};
