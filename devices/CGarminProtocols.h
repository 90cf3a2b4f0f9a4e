#pragma once

// What a Garmin unit speaks: its product data, and the link, command and
// application protocols with their data types that its protocol array lists.
// Packet and command ids depend on the link (L001, L002) and command (A010,
// A011) protocols; callers ask by meaning and get the unit's id.

#include "foundation/CString.h"

#include <cstddef>

struct CGarminProductData {
    UInt16 productID = 0;
    SInt16 softwareVersion = 0; // [1/100]
    CString description; // the first text of the product data

    // kDeviceProtocolErr when the data is shorter than its two numbers.
    OSStatus Decode(UInt8 const* data, std::size_t size);
};

class CGarminProtocols {
public:
    // Application-layer packet ids outside the link protocols. Fixed by the receivers: never renumber.
    enum : UInt16 {
        kPidExtProductData = 248,
        kPidProtocolArray = 253,
        kPidProductRequest = 254,
        kPidProductData = 255,
    };
    enum Packet : UInt32 {
        kPacketCommandData,
        kPacketTransferComplete,
        kPacketRecords,
        kPacketWaypoint,
        kPacketRouteHeader,
        kPacketRouteWaypoint,
        kPacketRouteLink,
        kPacketTrackHeader,
        kPacketTrackPoint,
        kPacketPosVelTime,
        kPacketCount,
    };
    enum Command : UInt32 {
        kCommandAbort,
        kCommandTransferRoutes,
        kCommandTransferTracks,
        kCommandTransferWaypoints,
        kCommandStartPVT,
        kCommandStopPVT,
        kCommandCount,
    };
    static constexpr UInt16 kNone = 0xFFFF; // no such packet or command in this unit's protocols

    // Without a protocol array: L001, A010 and nothing else.
    CGarminProtocols() = default;

    // Reads the array of (tag, number) entries; the data types that follow an application
    // protocol belong to it. kDeviceProtocolErr when the size is not a whole number of entries.
    OSStatus ParseProtocolArray(UInt8 const* data, std::size_t size);
    // Which link and command protocols; from a protocol array or the preferences' reset pairs.
    void SetLinkAndCommand(UInt16 link, UInt16 command);

    UInt16 GetPacketID(Packet packet) const;
    bool IsPacket(UInt16 id, Packet packet) const { return id != kNone && id == GetPacketID(packet); }
    UInt16 GetCommandID(Command command) const;
    UInt16 GetLink() const { return mLink; }
    UInt16 GetCommand() const { return mCommand; }

    // kDeviceFeatureWaypoints, Routes and Tracks for the protocols whose data types we read.
    UInt32 GetFeatures() const;
    bool HasPosVelTime() const;

    UInt16 GetWaypointType() const { return mWaypointType; } // D108, D109, D110, or 0
    UInt16 GetRouteProtocol() const { return mRouteProtocol; } // A200, A201, or 0
    UInt16 GetRouteHeaderType() const { return mRouteHeaderType; }
    UInt16 GetRouteWaypointType() const { return mRouteWaypointType; }
    UInt16 GetRouteLinkType() const { return mRouteLinkType; }
    UInt16 GetTrackProtocol() const { return mTrackProtocol; } // A300, A301, A302, or 0
    UInt16 GetTrackHeaderType() const { return mTrackHeaderType; }
    UInt16 GetTrackPointType() const { return mTrackPointType; }
    UInt16 GetPosVelTimeType() const { return mPosVelTimeType; }

private:
    void AddDataType(UInt16 protocol, UInt16 index, UInt16 type);

    UInt16 mLink = 1;
    UInt16 mCommand = 10;
    UInt16 mWaypointProtocol = 0;
    UInt16 mWaypointType = 0;
    UInt16 mRouteProtocol = 0;
    UInt16 mRouteHeaderType = 0;
    UInt16 mRouteWaypointType = 0;
    UInt16 mRouteLinkType = 0;
    UInt16 mTrackProtocol = 0;
    UInt16 mTrackHeaderType = 0;
    UInt16 mTrackPointType = 0;
    UInt16 mPosVelTimeProtocol = 0;
    UInt16 mPosVelTimeType = 0;
};
