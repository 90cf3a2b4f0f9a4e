#include "devices/tests/support/SimulatedGarminUnit.h"

#include "devices/tests/support/DeviceTestSupport.h"

#include "devices/CGarminRecords.h"
#include "devices/DeviceTypes.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace tw::test {


std::vector<SimulatedGarminUnit::Protocol> SimulatedGarminUnit::ModernProtocols()
{
    return { { 'P', 0 }, { 'L', 1 }, { 'A', 10 }, { 'A', 100 }, { 'D', 110 }, { 'A', 201 }, { 'D', 202 }, { 'D', 110 },
        { 'D', 210 }, { 'A', 301 }, { 'D', 312 }, { 'D', 302 }, { 'A', 400 }, { 'D', 110 }, { 'A', 500 }, { 'D', 501 },
        { 'A', 600 }, { 'D', 600 }, { 'A', 700 }, { 'D', 700 }, { 'A', 800 }, { 'D', 800 } };
}

SimulatedGarminUnit::SimulatedGarminUnit(std::string path)
    : mPath(std::move(path))
{
}

SimulatedGarminUnit::~SimulatedGarminUnit() { RemoveTimer(); }

CString SimulatedGarminUnit::GetPath() const { return CString(mPath.c_str()); }

OSStatus SimulatedGarminUnit::Open(Client* client)
{
    if (mUnplugged)
        return kDeviceGoneErr;
    if (failOpen)
        return kDeviceOpenErr;
    mClient = client;
    mFramer.Reset();
    return noErr;
}

void SimulatedGarminUnit::Close()
{
    mClient = nullptr;
    mOutbox.clear();
    mPVT = false;
    RemoveTimer();
}

OSStatus SimulatedGarminUnit::Write(CGarminPacket const& packet)
{
    if (mUnplugged)
        return kDeviceGoneErr;
    if (!mClient)
        return kDeviceNotConnectedErr;
    // Read the bytes as the unit would: the header by hand, not by the host's own code.
    std::vector<UInt8> bytes = packet.Encode();
    if (bytes.size() < 12)
        return paramErr;
    UInt32 size = 0;
    std::memcpy(&size, bytes.data() + 8, 4);
    CGarminPacket read { bytes[0], UInt16(bytes[4] | (bytes[5] << 8)),
        std::vector<UInt8>(bytes.begin() + 12, bytes.begin() + 12 + size) };
    received.push_back(read);
    Queue({ Piece::kSent, {} });
    if (!silent)
        Answer(read.type, read.id, read.data);
    return noErr;
}

std::vector<CGarminPacket> SimulatedGarminUnit::ReceivedWithID(UInt16 id) const
{
    std::vector<CGarminPacket> packets;
    for (CGarminPacket const& packet : received)
        if (packet.type == CGarminPacket::kTypeApplication && packet.id == id)
            packets.push_back(packet);
    return packets;
}

void SimulatedGarminUnit::Answer(UInt8 type, UInt16 id, std::vector<UInt8> const& data)
{
    if (type == CGarminPacket::kTypeUSBProtocol && id == CGarminPacket::kPidStartSession) {
        std::vector<UInt8> unit;
        Put32(unit, kUnitID);
        Reply(CGarminPacket::kTypeUSBProtocol, CGarminPacket::kPidSessionStarted, unit);
    } else if (type == CGarminPacket::kTypeApplication && id == 254) {
        std::vector<UInt8> product;
        Put16(product, productID);
        Put16(product, UInt16(softwareVersion));
        PutText(product, description);
        PutText(product, "Second text");
        Reply(CGarminPacket::kTypeApplication, 255, product);
        std::vector<UInt8> extended;
        PutText(extended, "Extended product data");
        Reply(CGarminPacket::kTypeApplication, 248, extended);
        if (sendsProtocolArray) {
            std::vector<UInt8> array;
            for (Protocol const& protocol : protocols) {
                array.push_back(UInt8(protocol.tag));
                Put16(array, protocol.number);
            }
            Reply(CGarminPacket::kTypeApplication, 253, array);
        }
    } else if (type == CGarminPacket::kTypeApplication && id == 10 && data.size() >= 2) {
        UInt16 command = UInt16(data[0] | (data[1] << 8));
        commands.push_back(command);
        if (command == 0) // abort: what was still to come is dropped
            std::erase_if(mOutbox, [](Piece const& piece) { return piece.kind != Piece::kSent; });
        else if (command == 49)
            mPVT = true;
        else if (command == 50)
            mPVT = false;
        else if (command == 4 || command == 6 || command == 7)
            Download(command);
    }
}

void SimulatedGarminUnit::Download(UInt16 command)
{
    std::vector<std::vector<UInt8>> records;
    std::vector<UInt16> ids;
    auto add = [&](UInt16 packetID, std::vector<UInt8> data) {
        ids.push_back(packetID);
        records.push_back(std::move(data));
    };
    std::vector<UInt8> data;
    if (command == 7) {
        for (CGPSWaypoint const& waypoint : waypoints) {
            CGarminRecords::EncodeWaypoint(110, waypoint, data);
            add(35, data);
        }
    } else if (command == 4) {
        for (std::size_t r = 0; r < routes.size(); ++r) {
            CGarminRecords::EncodeRouteHeader(202, routes[r].name, UInt8(r), data);
            add(29, data);
            for (std::size_t w = 0; w < routes[r].waypoints.size(); ++w) {
                if (w > 0) {
                    CGarminRecords::EncodeRouteLink(210, data);
                    add(98, data);
                }
                CGarminRecords::EncodeWaypoint(110, routes[r].waypoints[w], data);
                add(30, data);
            }
        }
    } else {
        for (std::size_t t = 0; t < tracks.size(); ++t) {
            CGarminRecords::EncodeTrackHeader(312, tracks[t], UInt16(t), data);
            add(99, data);
            for (CGPSTrackPoint const& point : tracks[t].points) {
                CGarminRecords::EncodeTrackPoint(302, point, data);
                add(34, data);
            }
        }
    }
    std::vector<UInt8> count;
    Put16(count, UInt16(records.size()));
    Reply(CGarminPacket::kTypeApplication, 27, count);
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i == unknownPacketAt)
            Reply(CGarminPacket::kTypeApplication, 1234, { 1, 2, 3 });
        if (i == shortRecordAt)
            records[i].resize(10);
        Reply(CGarminPacket::kTypeApplication, ids[i], records[i]);
    }
    std::vector<UInt8> complete;
    Put16(complete, command);
    Reply(CGarminPacket::kTypeApplication, 12, complete, cutLastPacket);
}

void SimulatedGarminUnit::SendFix(
    double latitude, double longitude, float east, float north, UInt32 weekDays, double timeOfWeek)
{
    if (!mPVT)
        return;
    Reply(CGarminPacket::kTypeApplication, 51,
        UnitFixRecord({ .altitude = 52.5f,
            .error = 6.0f,
            .horizontalError = 4.0f,
            .verticalError = 5.0f,
            .fixType = 3, // 3D
            .timeOfWeek = timeOfWeek,
            .latitude = latitude,
            .longitude = longitude,
            .east = east,
            .north = north,
            .up = 0.0f,
            .seaLevel = -40.5f,
            .leapSeconds = 18,
            .weekDays = weekDays }));
}

void SimulatedGarminUnit::Reply(UInt8 type, UInt16 id, std::vector<UInt8> data, bool cut)
{
    std::vector<UInt8> bytes = UnitPacket(type, id, data);
    if (cut)
        bytes.resize(bytes.size() / 2);
    for (std::size_t offset = 0; offset < bytes.size(); offset += kPieceSize) {
        std::size_t length = std::min(kPieceSize, bytes.size() - offset);
        Queue({ Piece::kBytes,
            std::vector<UInt8>(
                bytes.begin() + std::ptrdiff_t(offset), bytes.begin() + std::ptrdiff_t(offset + length)) });
    }
    Queue({ Piece::kEndBurst, {} });
}

void SimulatedGarminUnit::Queue(Piece piece)
{
    mOutbox.push_back(std::move(piece));
    if (!IsInstalled())
        InstallTimer(0.001, 0.001);
}

void SimulatedGarminUnit::Unplug()
{
    mUnplugged = true;
    mOutbox.clear();
    RemoveTimer();
    Client* client = mClient;
    mClient = nullptr;
    if (client)
        client->TransportFailed(kDeviceGoneErr);
}

void SimulatedGarminUnit::DoTimer()
{
    if (mOutbox.empty() || !mClient) {
        RemoveTimer();
        return;
    }
    Piece piece = std::move(mOutbox.front());
    mOutbox.pop_front();
    if (piece.kind == Piece::kSent) {
        mClient->PacketSent(noErr);
        return;
    }
    if (piece.kind == Piece::kEndBurst) {
        if (mFramer.EndBurst() != noErr) {
            mOutbox.clear();
            mClient->TransportFailed(kDeviceProtocolErr);
        }
        return;
    }
    std::vector<CGarminPacket> packets;
    if (mFramer.Feed(piece.bytes.data(), piece.bytes.size(), packets) != noErr) {
        mOutbox.clear();
        mClient->TransportFailed(kDeviceProtocolErr);
        return;
    }
    for (CGarminPacket const& packet : packets) {
        if (!mClient)
            return;
        mClient->PacketReceived(packet);
        if (++mDelivered >= unplugAfterPackets) {
            Unplug();
            return;
        }
    }
}

} // namespace tw::test
