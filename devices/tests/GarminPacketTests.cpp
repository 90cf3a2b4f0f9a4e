#include "devices/CGarminPacket.h"
#include "devices/CGarminProtocols.h"
#include "devices/DeviceTypes.h"

#include <gtest/gtest.h>
#include <numeric>

namespace {

std::vector<UInt8> ProtocolArray(std::vector<std::pair<char, UInt16>> const& entries)
{
    std::vector<UInt8> bytes;
    for (auto [tag, number] : entries) {
        bytes.push_back(UInt8(tag));
        bytes.push_back(UInt8(number));
        bytes.push_back(UInt8(number >> 8));
    }
    return bytes;
}

TEST(GarminPacket, HeaderIsTwelveLittleEndianBytes)
{
    CGarminPacket packet { CGarminPacket::kTypeApplication, 0x0123, { 0xAA, 0xBB, 0xCC } };
    std::vector<UInt8> bytes = packet.Encode();
    std::vector<UInt8> const expected { 20, 0, 0, 0, 0x23, 0x01, 0, 0, 3, 0, 0, 0, 0xAA, 0xBB, 0xCC };
    EXPECT_EQ(bytes, expected);
}

TEST(GarminUSBFramer, ReassemblesPacketsHoweverTheTransfersCutThem)
{
    std::vector<CGarminPacket> sent;
    std::vector<UInt8> stream;
    for (UInt16 id = 1; id <= 5; ++id) {
        CGarminPacket packet { CGarminPacket::kTypeApplication, id, std::vector<UInt8>(id * 30u, UInt8(id)) };
        sent.push_back(packet);
        auto bytes = packet.Encode();
        stream.insert(stream.end(), bytes.begin(), bytes.end());
    }
    for (std::size_t piece : { std::size_t(1), std::size_t(7), std::size_t(64), stream.size() }) {
        CGarminUSBFramer framer;
        std::vector<CGarminPacket> packets;
        for (std::size_t offset = 0; offset < stream.size(); offset += piece)
            ASSERT_EQ(framer.Feed(stream.data() + offset, std::min(piece, stream.size() - offset), packets), noErr);
        EXPECT_EQ(packets, sent) << piece;
        EXPECT_EQ(framer.EndBurst(), noErr);
    }
}

TEST(GarminUSBFramer, ShortPacketsAndAbsurdSizesFail)
{
    CGarminPacket packet { CGarminPacket::kTypeApplication, 35, std::vector<UInt8>(40, 1) };
    auto bytes = packet.Encode();
    CGarminUSBFramer framer;
    std::vector<CGarminPacket> packets;
    ASSERT_EQ(framer.Feed(bytes.data(), 30, packets), noErr);
    EXPECT_TRUE(packets.empty());
    // The unit ended its burst with the packet half sent.
    EXPECT_EQ(framer.EndBurst(), kDeviceProtocolErr);
    EXPECT_EQ(framer.Feed(bytes.data(), bytes.size(), packets), kDeviceProtocolErr);
    framer.Reset();
    ASSERT_EQ(framer.Feed(bytes.data(), bytes.size(), packets), noErr);
    EXPECT_EQ(packets.size(), 1u);

    // A size no unit sends: refused before anything is kept for it.
    std::vector<UInt8> header { 20, 0, 0, 0, 35, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F };
    CGarminUSBFramer damaged;
    EXPECT_EQ(damaged.Feed(header.data(), header.size(), packets), kDeviceProtocolErr);
    EXPECT_TRUE(damaged.IsIdle());
}

TEST(GarminProtocols, ArrayOfAUnitOfTodayOffersEveryTransfer)
{
    auto array
        = ProtocolArray({ { 'P', 0 }, { 'L', 1 }, { 'A', 10 }, { 'A', 100 }, { 'D', 110 }, { 'A', 201 }, { 'D', 202 },
            { 'D', 110 }, { 'D', 210 }, { 'A', 301 }, { 'D', 312 }, { 'D', 302 }, { 'A', 800 }, { 'D', 800 } });
    CGarminProtocols protocols;
    ASSERT_EQ(protocols.ParseProtocolArray(array.data(), array.size()), noErr);
    EXPECT_EQ(protocols.GetFeatures(), UInt32(kDeviceFeatureWaypoints | kDeviceFeatureRoutes | kDeviceFeatureTracks));
    EXPECT_TRUE(protocols.HasPosVelTime());
    EXPECT_EQ(protocols.GetWaypointType(), 110);
    EXPECT_EQ(protocols.GetRouteHeaderType(), 202);
    EXPECT_EQ(protocols.GetRouteWaypointType(), 110);
    EXPECT_EQ(protocols.GetRouteLinkType(), 210);
    EXPECT_EQ(protocols.GetTrackHeaderType(), 312);
    EXPECT_EQ(protocols.GetTrackPointType(), 302);
    EXPECT_EQ(protocols.GetPacketID(CGarminProtocols::kPacketWaypoint), 35);
    EXPECT_EQ(protocols.GetPacketID(CGarminProtocols::kPacketTrackPoint), 34);
    EXPECT_EQ(protocols.GetCommandID(CGarminProtocols::kCommandTransferTracks), 6);
    EXPECT_EQ(protocols.GetCommandID(CGarminProtocols::kCommandStartPVT), 49);
}

TEST(GarminProtocols, LinkAndCommandProtocolsDecideIdsAndWhatIsPossible)
{
    // L002 with A011: other ids, and neither tracks nor live fixes exist in them.
    auto array = ProtocolArray({ { 'L', 2 }, { 'A', 11 }, { 'A', 100 }, { 'D', 108 }, { 'A', 200 }, { 'D', 201 },
        { 'D', 108 }, { 'A', 300 }, { 'D', 300 }, { 'A', 800 }, { 'D', 800 } });
    CGarminProtocols protocols;
    ASSERT_EQ(protocols.ParseProtocolArray(array.data(), array.size()), noErr);
    EXPECT_EQ(protocols.GetFeatures(), UInt32(kDeviceFeatureWaypoints | kDeviceFeatureRoutes));
    EXPECT_FALSE(protocols.HasPosVelTime());
    EXPECT_EQ(protocols.GetPacketID(CGarminProtocols::kPacketWaypoint), 43);
    EXPECT_EQ(protocols.GetPacketID(CGarminProtocols::kPacketCommandData), 11);
    EXPECT_EQ(protocols.GetCommandID(CGarminProtocols::kCommandTransferWaypoints), 21);
    EXPECT_FALSE(protocols.IsPacket(CGarminProtocols::kNone, CGarminProtocols::kPacketTrackPoint));

    // Data types we cannot read leave their transfer out.
    auto unknown = ProtocolArray(
        { { 'L', 1 }, { 'A', 10 }, { 'A', 100 }, { 'D', 103 }, { 'A', 302 }, { 'D', 312 }, { 'D', 304 } });
    ASSERT_EQ(protocols.ParseProtocolArray(unknown.data(), unknown.size()), noErr);
    EXPECT_EQ(protocols.GetFeatures(), UInt32(kDeviceFeatureTracks));

    // A damaged array (not whole entries) leaves what was known.
    auto before = protocols.GetTrackPointType();
    EXPECT_EQ(protocols.ParseProtocolArray(array.data(), array.size() - 1), kDeviceProtocolErr);
    EXPECT_EQ(protocols.GetTrackPointType(), before);
    // Without any array: L001 and A010, no transfers known.
    EXPECT_EQ(CGarminProtocols().GetFeatures(), 0u);
}

TEST(GarminProtocols, ProductDataNamesTheUnit)
{
    std::vector<UInt8> data { 0xB6, 0x02, 0x2C, 0x01 };
    for (char c : std::string("eTrex Legend HCx Software Version 3.00"))
        data.push_back(UInt8(c));
    data.push_back(0);
    CGarminProductData product;
    ASSERT_EQ(product.Decode(data.data(), data.size()), noErr);
    EXPECT_EQ(product.productID, 694);
    EXPECT_EQ(product.softwareVersion, 300);
    EXPECT_EQ(product.description, CString("eTrex Legend HCx Software Version 3.00"));
    data.pop_back(); // a unit that forgets the terminator still names itself
    ASSERT_EQ(product.Decode(data.data(), data.size()), noErr);
    EXPECT_EQ(product.description, CString("eTrex Legend HCx Software Version 3.00"));
    EXPECT_EQ(product.Decode(data.data(), 3), kDeviceProtocolErr);
}

} // namespace
