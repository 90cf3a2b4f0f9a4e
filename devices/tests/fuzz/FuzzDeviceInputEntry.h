#pragma once

// The bodies of the device readers' fuzz entries, shared with the GCC test that replays
// the seed corpora: NMEA bytes as a serial port delivers them, and Garmin USB pieces with
// the records they carry.

#include "devices/CGarminPacket.h"
#include "devices/CGarminProtocols.h"
#include "devices/CGarminRecords.h"
#include "devices/CNMEAParser.h"

#include <cmath>
#include <cstdint>

namespace tw::fuzz {

// Feeds the bytes in pieces whose sizes the input's own bytes choose; every fix must be finite.
inline int FuzzNMEAInput(uint8_t const* data, size_t size)
{
    CNMEAParser parser;
    std::vector<CGPSPosVelTime> fixes;
    size_t offset = 0;
    while (offset < size) {
        size_t piece = 1 + data[offset] % 97;
        piece = std::min(piece, size - offset);
        parser.Feed(reinterpret_cast<char const*>(data + offset), piece, fixes);
        offset += piece;
        parser.Flush(fixes);
    }
    parser.Flush(fixes);
    parser.Flush(fixes);
    for (CGPSPosVelTime const& fix : fixes) {
        double speed = fix.GetSpeed();
        if (!std::isfinite(fix.sample.GetLatitude()) || std::fabs(fix.sample.GetLatitude()) > 90
            || !std::isfinite(fix.sample.GetLongitude()) || std::fabs(fix.sample.GetLongitude()) > 180
            || !std::isfinite(speed) || !std::isfinite(fix.heading) || !std::isfinite(fix.sample.GetAccuracy()))
            __builtin_trap();
    }
    return 0;
}

// The first byte chooses a piece size for the framer; every packet that comes out is read
// by each decoder of its kind.
inline int FuzzGarminInput(uint8_t const* data, size_t size)
{
    if (size < 1)
        return 0;
    size_t const pieceSize = 1 + data[0] % 64;
    CGarminUSBFramer framer;
    std::vector<CGarminPacket> packets;
    for (size_t offset = 1; offset < size; offset += pieceSize)
        if (framer.Feed(data + offset, std::min(pieceSize, size - offset), packets) != noErr)
            break;
    framer.EndBurst();
    for (CGarminPacket const& packet : packets) {
        UInt8 const* bytes = packet.data.data();
        size_t const length = packet.data.size();
        CGarminProtocols protocols;
        protocols.ParseProtocolArray(bytes, length);
        protocols.GetFeatures();
        CGarminProductData product;
        product.Decode(bytes, length);
        CGPSWaypoint waypoint;
        for (UInt16 type : { 108, 109, 110 })
            CGarminRecords::DecodeWaypoint(type, bytes, length, waypoint);
        CString name;
        for (UInt16 type : { 200, 201, 202 })
            CGarminRecords::DecodeRouteHeader(type, bytes, length, name);
        CGarminRecords::DecodeRouteLink(210, bytes, length);
        CGPSTrack track;
        for (UInt16 type : { 310, 311, 312 })
            CGarminRecords::DecodeTrackHeader(type, bytes, length, track);
        CGPSTrackPoint point;
        bool valid = false;
        for (UInt16 type : { 300, 301, 302, 304 })
            CGarminRecords::DecodeTrackPoint(type, bytes, length, point, valid);
        CGPSPosVelTime fix;
        CGarminRecords::DecodePosVelTime(800, bytes, length, fix);
        if (fix.IsValid() && (!std::isfinite(fix.sample.GetLatitude()) || !std::isfinite(fix.heading)))
            __builtin_trap();
    }
    return 0;
}

} // namespace tw::fuzz
