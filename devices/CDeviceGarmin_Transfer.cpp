#include "devices/CDeviceGarmin.h"
#include "devices/CGarminBytes.h"
#include "devices/CGarminRecords.h"

#include <algorithm>

namespace {

CGarminPacket ApplicationPacket(UInt16 id, std::vector<UInt8> data)
{
    return { CGarminPacket::kTypeApplication, id, std::move(data) };
}

} // namespace

OSStatus CDeviceGarmin::CanTransfer(UInt32 feature) const
{
    if (mState != kStateReady)
        return kDeviceNotConnectedErr;
    if (IsTransferring())
        return kDeviceBusyErr;
    return (mProtocols.GetFeatures() & feature) ? noErr : kDeviceUnsupportedErr;
}

OSStatus CDeviceGarmin::TransferWaypoints(std::vector<CGPSWaypoint> const* list)
{
    TW_RETURN_IF_ERROR(CanTransfer(kDeviceFeatureWaypoints));
    if (!list)
        return BeginDownload(kTransferWaypoints, CGarminProtocols::kCommandTransferWaypoints);
    std::deque<CGarminPacket> packets;
    TW_RETURN_IF_ERROR(BuildWaypointPackets(*list, packets));
    mTransfer.waypoints = *list;
    return BeginUpload(kTransferWaypoints, std::move(packets));
}

OSStatus CDeviceGarmin::TransferRoutes(std::vector<CGPSRoute> const* list)
{
    TW_RETURN_IF_ERROR(CanTransfer(kDeviceFeatureRoutes));
    if (!list)
        return BeginDownload(kTransferRoutes, CGarminProtocols::kCommandTransferRoutes);
    std::deque<CGarminPacket> packets;
    TW_RETURN_IF_ERROR(BuildRoutePackets(*list, packets));
    mTransfer.routes = *list;
    return BeginUpload(kTransferRoutes, std::move(packets));
}

OSStatus CDeviceGarmin::TransferTracks(std::vector<CGPSTrack> const* list)
{
    TW_RETURN_IF_ERROR(CanTransfer(kDeviceFeatureTracks));
    if (!list)
        return BeginDownload(kTransferTracks, CGarminProtocols::kCommandTransferTracks);
    std::deque<CGarminPacket> packets;
    TW_RETURN_IF_ERROR(BuildTrackPackets(*list, packets));
    mTransfer.tracks = *list;
    return BeginUpload(kTransferTracks, std::move(packets));
}

OSStatus CDeviceGarmin::BeginDownload(TransferKind kind, CGarminProtocols::Command command)
{
    GetLog().Refresh();
    PausePosVelTime();
    OSStatus const status = SendCommand(command);
    if (status != noErr) {
        ResumePosVelTime();
        return status;
    }
    mTransfer = Transfer();
    mTransfer.kind = kind;
    InstallTimer(kAnswerTimeout, 0);
    ReportProgress(0);
    return noErr;
}

OSStatus CDeviceGarmin::BeginUpload(TransferKind kind, std::deque<CGarminPacket>&& packets)
{
    GetLog().Refresh();
    PausePosVelTime();
    Transfer transfer;
    transfer.kind = kind;
    transfer.toDevice = true;
    transfer.expected = UInt32(packets.size());
    transfer.outgoing = std::move(packets);
    transfer.waypoints = std::move(mTransfer.waypoints);
    transfer.routes = std::move(mTransfer.routes);
    transfer.tracks = std::move(mTransfer.tracks);
    mTransfer = std::move(transfer);
    InstallTimer(kAnswerTimeout, 0);
    ReportProgress(0);
    PumpUpload();
    return noErr;
}

OSStatus CDeviceGarmin::BuildRecordsPacket(UInt32 count, CGarminPacket& packet) const
{
    if (count > 0xFFFF)
        return paramErr; // the records packet counts in 16 bits
    packet = ApplicationPacket(
        mProtocols.GetPacketID(CGarminProtocols::kPacketRecords), { UInt8(count), UInt8(count >> 8) });
    return noErr;
}

OSStatus CDeviceGarmin::BuildWaypointPackets(
    std::vector<CGPSWaypoint> const& list, std::deque<CGarminPacket>& packets) const
{
    CGarminPacket records;
    TW_RETURN_IF_ERROR(BuildRecordsPacket(UInt32(list.size()), records));
    packets.push_back(records);
    for (CGPSWaypoint const& waypoint : list) {
        std::vector<UInt8> data;
        TW_RETURN_IF_ERROR(CGarminRecords::EncodeWaypoint(mProtocols.GetWaypointType(), waypoint, data));
        packets.push_back(
            ApplicationPacket(mProtocols.GetPacketID(CGarminProtocols::kPacketWaypoint), std::move(data)));
    }
    UInt16 const command = mProtocols.GetCommandID(CGarminProtocols::kCommandTransferWaypoints);
    packets.push_back(ApplicationPacket(
        mProtocols.GetPacketID(CGarminProtocols::kPacketTransferComplete), { UInt8(command), UInt8(command >> 8) }));
    return noErr;
}

OSStatus CDeviceGarmin::BuildRoutePackets(std::vector<CGPSRoute> const& list, std::deque<CGarminPacket>& packets) const
{
    std::deque<CGarminPacket> body;
    bool const links = mProtocols.GetRouteProtocol() == 201;
    for (std::size_t r = 0; r < list.size(); ++r) {
        std::vector<UInt8> data;
        TW_RETURN_IF_ERROR(
            CGarminRecords::EncodeRouteHeader(mProtocols.GetRouteHeaderType(), list[r].name, UInt8(r), data));
        body.push_back(
            ApplicationPacket(mProtocols.GetPacketID(CGarminProtocols::kPacketRouteHeader), std::move(data)));
        for (std::size_t w = 0; w < list[r].waypoints.size(); ++w) {
            if (links && w > 0) {
                TW_RETURN_IF_ERROR(CGarminRecords::EncodeRouteLink(mProtocols.GetRouteLinkType(), data));
                body.push_back(
                    ApplicationPacket(mProtocols.GetPacketID(CGarminProtocols::kPacketRouteLink), std::move(data)));
            }
            TW_RETURN_IF_ERROR(
                CGarminRecords::EncodeWaypoint(mProtocols.GetRouteWaypointType(), list[r].waypoints[w], data));
            body.push_back(
                ApplicationPacket(mProtocols.GetPacketID(CGarminProtocols::kPacketRouteWaypoint), std::move(data)));
        }
    }
    CGarminPacket records;
    TW_RETURN_IF_ERROR(BuildRecordsPacket(UInt32(body.size()), records));
    packets.push_back(records);
    packets.insert(packets.end(), body.begin(), body.end());
    UInt16 const command = mProtocols.GetCommandID(CGarminProtocols::kCommandTransferRoutes);
    packets.push_back(ApplicationPacket(
        mProtocols.GetPacketID(CGarminProtocols::kPacketTransferComplete), { UInt8(command), UInt8(command >> 8) }));
    return noErr;
}

OSStatus CDeviceGarmin::BuildTrackPackets(std::vector<CGPSTrack> const& list, std::deque<CGarminPacket>& packets) const
{
    std::deque<CGarminPacket> body;
    bool const headers = mProtocols.GetTrackProtocol() != 300;
    for (std::size_t t = 0; t < list.size(); ++t) {
        std::vector<UInt8> data;
        if (headers) {
            TW_RETURN_IF_ERROR(
                CGarminRecords::EncodeTrackHeader(mProtocols.GetTrackHeaderType(), list[t], UInt16(t), data));
            body.push_back(
                ApplicationPacket(mProtocols.GetPacketID(CGarminProtocols::kPacketTrackHeader), std::move(data)));
        }
        for (std::size_t p = 0; p < list[t].points.size(); ++p) {
            CGPSTrackPoint point = list[t].points[p];
            point.newSegment = point.newSegment || p == 0; // each track starts a segment of its own
            TW_RETURN_IF_ERROR(CGarminRecords::EncodeTrackPoint(mProtocols.GetTrackPointType(), point, data));
            body.push_back(
                ApplicationPacket(mProtocols.GetPacketID(CGarminProtocols::kPacketTrackPoint), std::move(data)));
        }
    }
    CGarminPacket records;
    TW_RETURN_IF_ERROR(BuildRecordsPacket(UInt32(body.size()), records));
    packets.push_back(records);
    packets.insert(packets.end(), body.begin(), body.end());
    UInt16 const command = mProtocols.GetCommandID(CGarminProtocols::kCommandTransferTracks);
    packets.push_back(ApplicationPacket(
        mProtocols.GetPacketID(CGarminProtocols::kPacketTransferComplete), { UInt8(command), UInt8(command >> 8) }));
    return noErr;
}

void CDeviceGarmin::PumpUpload()
{
    while (mTransfer.toDevice && !mTransfer.outgoing.empty() && mTransfer.inFlight < kWritesInFlight) {
        OSStatus status = Write(mTransfer.outgoing.front(), true);
        if (status != noErr) {
            FailTransfer(status, false);
            return;
        }
        mTransfer.outgoing.pop_front();
        ++mTransfer.inFlight;
    }
    if (mTransfer.toDevice && mTransfer.outgoing.empty() && mTransfer.inFlight == 0)
        FinishTransfer();
}

void CDeviceGarmin::TransferPacket(CGarminPacket const& packet)
{
    if (packet.type != CGarminPacket::kTypeApplication)
        return;
    if (mProtocols.IsPacket(packet.id, CGarminProtocols::kPacketPosVelTime)) {
        CGPSPosVelTime fix;
        if (CGarminRecords::DecodePosVelTime(
                mProtocols.GetPosVelTimeType(), packet.data.data(), packet.data.size(), fix)
            == noErr)
            ReportFix(fix); // without a fix too: the position is lost
        return;
    }
    if (!IsTransferring() || mTransfer.toDevice)
        return;
    InstallTimer(kAnswerTimeout, 0);
    if (mProtocols.IsPacket(packet.id, CGarminProtocols::kPacketRecords)) {
        CGarminReader reader(packet.data.data(), packet.data.size());
        UInt32 count = reader.ReadUInt16();
        if (!reader.IsGood()) {
            FailTransfer(kDeviceProtocolErr, true);
            return;
        }
        mTransfer.expected = count;
        return;
    }
    if (mProtocols.IsPacket(packet.id, CGarminProtocols::kPacketTransferComplete)) {
        FinishTransfer();
        return;
    }
    OSStatus status = ReadRecord(packet);
    if (status != noErr)
        FailTransfer(status, true);
}

// One record of the download under way; packets of other kinds are left alone (units send
// packets of their own that the host is to ignore).
OSStatus CDeviceGarmin::ReadRecord(CGarminPacket const& packet)
{
    using P = CGarminProtocols;
    UInt8 const* data = packet.data.data();
    std::size_t const size = packet.data.size();
    bool counted = true;
    if (mTransfer.kind == kTransferWaypoints && mProtocols.IsPacket(packet.id, P::kPacketWaypoint)) {
        CGPSWaypoint waypoint;
        TW_RETURN_IF_ERROR(CGarminRecords::DecodeWaypoint(mProtocols.GetWaypointType(), data, size, waypoint));
        mTransfer.waypoints.push_back(waypoint);
    } else if (mTransfer.kind == kTransferRoutes && mProtocols.IsPacket(packet.id, P::kPacketRouteHeader)) {
        CGPSRoute route;
        TW_RETURN_IF_ERROR(CGarminRecords::DecodeRouteHeader(mProtocols.GetRouteHeaderType(), data, size, route.name));
        mTransfer.routes.push_back(route);
    } else if (mTransfer.kind == kTransferRoutes && mProtocols.IsPacket(packet.id, P::kPacketRouteWaypoint)) {
        CGPSWaypoint waypoint;
        TW_RETURN_IF_ERROR(CGarminRecords::DecodeWaypoint(mProtocols.GetRouteWaypointType(), data, size, waypoint));
        if (mTransfer.routes.empty())
            mTransfer.routes.emplace_back();
        mTransfer.routes.back().waypoints.push_back(waypoint);
    } else if (mTransfer.kind == kTransferRoutes && mProtocols.IsPacket(packet.id, P::kPacketRouteLink)) {
        TW_RETURN_IF_ERROR(CGarminRecords::DecodeRouteLink(mProtocols.GetRouteLinkType(), data, size));
    } else if (mTransfer.kind == kTransferTracks && mProtocols.IsPacket(packet.id, P::kPacketTrackHeader)) {
        CGPSTrack track;
        TW_RETURN_IF_ERROR(CGarminRecords::DecodeTrackHeader(mProtocols.GetTrackHeaderType(), data, size, track));
        mTransfer.tracks.push_back(track);
    } else if (mTransfer.kind == kTransferTracks && mProtocols.IsPacket(packet.id, P::kPacketTrackPoint)) {
        CGPSTrackPoint point;
        bool valid = false;
        TW_RETURN_IF_ERROR(CGarminRecords::DecodeTrackPoint(mProtocols.GetTrackPointType(), data, size, point, valid));
        if (mTransfer.tracks.empty()) {
            mTransfer.tracks.emplace_back();
            mTransfer.tracks.back().name = "Track";
        }
        if (valid)
            mTransfer.tracks.back().points.push_back(point);
    } else {
        counted = false;
        GetLog().LogEvent("packet %u ignored", unsigned(packet.id));
    }
    if (counted) {
        ++mTransfer.done;
        CountProgress();
    }
    return noErr;
}

void CDeviceGarmin::CountProgress()
{
    if (mTransfer.expected == 0)
        return;
    UInt32 percent = UInt32(std::min<UInt64>(100, UInt64(mTransfer.done) * 100 / mTransfer.expected));
    if (percent == mTransfer.percent)
        return;
    mTransfer.percent = percent;
    ReportProgress(percent);
}

void CDeviceGarmin::FinishTransfer()
{
    RemoveTimer();
    // A listener may start the next transfer at once: the state is clear before anyone hears.
    Transfer done = std::move(mTransfer);
    mTransfer = Transfer();
    ResumePosVelTime();
    switch (done.kind) {
    case kTransferWaypoints: {
        MsgGPSTransferedWaypoints message { this, done.toDevice, &done.waypoints };
        BroadcastMessage(kMsgGPSWaypoints, &message);
        break;
    }
    case kTransferRoutes: {
        MsgGPSTransferedRoutes message { this, done.toDevice, &done.routes };
        BroadcastMessage(kMsgGPSRoutes, &message);
        break;
    }
    case kTransferTracks: {
        MsgGPSTransferedTracks message { this, done.toDevice, &done.tracks };
        BroadcastMessage(kMsgGPSTracks, &message);
        break;
    }
    case kTransferNone:
        break;
    }
}

void CDeviceGarmin::FailTransfer(OSStatus status, bool abort)
{
    RemoveTimer();
    mTransfer = Transfer();
    // Upload packets still queued in the transport are no longer counted.
    std::fill(mWrites.begin(), mWrites.end(), false);
    if (abort)
        SendCommand(CGarminProtocols::kCommandAbort);
    ResumePosVelTime();
    ReportFailure(status);
}

void CDeviceGarmin::CancelTransfer()
{
    if (!IsTransferring())
        return;
    bool const download = !mTransfer.toDevice;
    RemoveTimer();
    mTransfer = Transfer();
    std::fill(mWrites.begin(), mWrites.end(), false);
    if (download)
        SendCommand(CGarminProtocols::kCommandAbort);
    ResumePosVelTime();
    GetLog().LogEvent("transfer cancelled");
}
