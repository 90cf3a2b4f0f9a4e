#include "devices/CGarminProtocols.h"

#include "devices/CGarminBytes.h"
#include "devices/CGarminRecords.h"
#include "devices/DeviceTypes.h"

namespace {

using Protocols = CGarminProtocols;
constexpr UInt16 kNone = Protocols::kNone;

// Packet ids of the link protocols L001 and L002, by Packet. Fixed by the receivers: never renumber.
constexpr UInt16 kLinkL001[Protocols::kPacketCount] = { 10, 12, 27, 35, 29, 30, 98, 99, 34, 51 };
constexpr UInt16 kLinkL002[Protocols::kPacketCount] = { 11, 12, 35, 43, 37, 39, kNone, kNone, kNone, kNone };

// Command ids of the command protocols A010 and A011, by Command.
constexpr UInt16 kCommandA010[Protocols::kCommandCount] = { 0, 4, 6, 7, 49, 50 };
constexpr UInt16 kCommandA011[Protocols::kCommandCount] = { 0, 8, kNone, 21, kNone, kNone };

} // namespace

OSStatus CGarminProductData::Decode(UInt8 const* data, std::size_t size)
{
    CGarminReader reader(data, size);
    UInt16 product = reader.ReadUInt16();
    SInt16 version = reader.ReadSInt16();
    if (!reader.IsGood())
        return kDeviceProtocolErr;
    productID = product;
    softwareVersion = version;
    // The first text; a unit that leaves out its terminator still names itself.
    std::size_t remaining = reader.GetRemaining();
    CGarminReader text(data + 4, remaining);
    description = text.ReadText(remaining);
    if (!text.IsGood())
        description = CString(reinterpret_cast<char const*>(data + 4), remaining, kCFStringEncodingISOLatin1);
    return noErr;
}

OSStatus CGarminProtocols::ParseProtocolArray(UInt8 const* data, std::size_t size)
{
    if (size % 3 != 0)
        return kDeviceProtocolErr;
    CGarminProtocols parsed;
    CGarminReader reader(data, size);
    UInt16 application = 0;
    UInt16 index = 0;
    while (reader.GetRemaining() >= 3) {
        char tag = char(reader.ReadUInt8());
        UInt16 number = reader.ReadUInt16();
        if (tag == 'L') {
            parsed.mLink = number;
        } else if (tag == 'A') {
            if (number == 10 || number == 11)
                parsed.mCommand = number;
            application = number;
            index = 0;
        } else if (tag == 'D') {
            parsed.AddDataType(application, index++, number);
        }
    }
    *this = parsed;
    return noErr;
}

void CGarminProtocols::AddDataType(UInt16 protocol, UInt16 index, UInt16 type)
{
    switch (protocol) {
    case 100:
        mWaypointProtocol = protocol;
        mWaypointType = index == 0 ? type : mWaypointType;
        break;
    case 200:
    case 201: {
        mRouteProtocol = protocol;
        UInt16* fields[] = { &mRouteHeaderType, &mRouteWaypointType, &mRouteLinkType };
        if (index < 3)
            *fields[index] = type;
        break;
    }
    case 300:
        mTrackProtocol = protocol;
        mTrackPointType = index == 0 ? type : mTrackPointType;
        break;
    case 301:
    case 302:
        mTrackProtocol = protocol;
        if (index == 0)
            mTrackHeaderType = type;
        else if (index == 1)
            mTrackPointType = type;
        break;
    case 800:
        mPosVelTimeProtocol = protocol;
        mPosVelTimeType = index == 0 ? type : mPosVelTimeType;
        break;
    default:
        break;
    }
}

void CGarminProtocols::SetLinkAndCommand(UInt16 link, UInt16 command)
{
    mLink = link;
    mCommand = command;
}

UInt16 CGarminProtocols::GetPacketID(Packet packet) const
{
    if (packet >= kPacketCount)
        return kNone;
    if (mLink == 1)
        return kLinkL001[packet];
    if (mLink == 2)
        return kLinkL002[packet];
    return kNone;
}

UInt16 CGarminProtocols::GetCommandID(Command command) const
{
    if (command >= kCommandCount)
        return kNone;
    if (mCommand == 10)
        return kCommandA010[command];
    if (mCommand == 11)
        return kCommandA011[command];
    return kNone;
}

UInt32 CGarminProtocols::GetFeatures() const
{
    UInt32 features = 0;
    auto speaks = [this](Packet packet, Command command) {
        return GetPacketID(packet) != kNone && GetCommandID(command) != kNone;
    };
    if (mWaypointProtocol == 100 && CGarminRecords::IsWaypointType(mWaypointType)
        && speaks(kPacketWaypoint, kCommandTransferWaypoints))
        features |= kDeviceFeatureWaypoints;
    bool routeTypes = CGarminRecords::IsRouteHeaderType(mRouteHeaderType)
        && CGarminRecords::IsWaypointType(mRouteWaypointType)
        && (mRouteProtocol == 200 || (mRouteProtocol == 201 && CGarminRecords::IsRouteLinkType(mRouteLinkType)));
    if (routeTypes && speaks(kPacketRouteWaypoint, kCommandTransferRoutes)
        && (mRouteProtocol == 200 || GetPacketID(kPacketRouteLink) != kNone))
        features |= kDeviceFeatureRoutes;
    bool trackTypes = CGarminRecords::IsTrackPointType(mTrackPointType)
        && (mTrackProtocol == 300
            || ((mTrackProtocol == 301 || mTrackProtocol == 302)
                && CGarminRecords::IsTrackHeaderType(mTrackHeaderType)));
    if (trackTypes && speaks(kPacketTrackPoint, kCommandTransferTracks)
        && (mTrackProtocol == 300 || GetPacketID(kPacketTrackHeader) != kNone))
        features |= kDeviceFeatureTracks;
    return features;
}

bool CGarminProtocols::HasPosVelTime() const
{
    return mPosVelTimeProtocol == 800 && mPosVelTimeType == 800 && GetPacketID(kPacketPosVelTime) != kNone
        && GetCommandID(kCommandStartPVT) != kNone;
}
