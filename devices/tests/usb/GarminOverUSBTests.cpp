// The Garmin driver over the real USB transport, with a scripted libusb below it in place of
// the library: claiming the unit from the kernel's driver, finding the endpoints, the
// interrupt and bulk pipes handing over to each other, zero-length packets, live fixes and
// the unit going. On the real clock: the transport's I/O thread runs as it would.
#include "devices/CDeviceGarmin.h"
#include "devices/CUSBTransportGarmin.h"
#include "devices/DeviceTypes.h"
#include "devices/tests/support/DeviceTestSupport.h"
#include "devices/tests/usb/ScriptedLibUSB.h"
#include "foundation/CThreadTask.h"
#include "tests/support/ManualClock.h"

#include <gtest/gtest.h>

namespace tw::test {
namespace {

    CGPSWaypoint Waypoint(char const* name, double latitude, double longitude)
    {
        CGPSWaypoint waypoint;
        waypoint.name = name;
        waypoint.position = CCoordinate(latitude, longitude);
        return waypoint;
    }

    // Keeps the records of each finished transfer.
    class Transfers : public CMsgListener {
    public:
        void DoMessage(UInt32 message, void* parameter) override
        {
            if (message == kMsgGPSWaypoints) {
                auto const* done = static_cast<MsgGPSTransferedWaypoints*>(parameter);
                (done->toDevice ? uploaded : downloaded) = *done->waypoints;
                ++finished;
            } else if (message == kMsgGPSFailed) {
                ++failed;
            }
        }
        std::vector<CGPSWaypoint> downloaded, uploaded;
        int finished = 0;
        int failed = 0;
    };

    class GarminOverUSB : public ::testing::Test {
    protected:
        void SetUp() override
        {
            CThreadTask::ResetForTesting();
            Unit().Reset();
            Unit().setup.waypoints = { Waypoint("HOME", 57.70887, 11.97456), Waypoint("WORK", 57.6890, 11.9790),
                Waypoint("SUMMIT", 61.6362, 8.3126), Waypoint("HUT", 61.60, 8.30), Waypoint("LAKE", 61.55, 8.25) };
        }
        void TearDown() override { mDriver.reset(); }

        static ScriptedUSBUnit& Unit() { return ScriptedUSBUnit::Get(); }

        void Make()
        {
            mDriver = std::make_unique<CDeviceGarmin>(std::make_unique<CUSBTransportGarmin>(
                ScriptedUSBUnit::kBus, ScriptedUSBUnit::kAddress, "/dev/bus/usb/003/009"));
            mDriver->AddListener(&mLog);
            mDriver->AddListener(&mTransfers);
        }
        void Connect()
        {
            Make();
            ASSERT_EQ(mDriver->Connect(), noErr);
            ASSERT_TRUE(RunLoopUntil([&] { return mDriver->IsConnected(); }, 5));
        }

        RealClock mClock;
        std::unique_ptr<CDeviceGarmin> mDriver;
        MessageLog mLog;
        Transfers mTransfers;
    };

    TEST_F(GarminOverUSB, DownloadUploadLiveFixesAndUnplug)
    {
        Connect();
        ScriptedUSBUnit::Record record = Unit().GetRecord();
        EXPECT_TRUE(record.detached) << "the kernel's garmin_gps driver let go of the unit";
        EXPECT_TRUE(record.claimed);
        EXPECT_FALSE(record.wrongEndpoint) << "each pipe found among endpoints in any order";
        EXPECT_EQ(mDriver->GetUnitID(), ScriptedUSBUnit::kUnitID);
        EXPECT_EQ(mDriver->GetProductID(), 694u);

        // A download in two bursts, the second announced before the first is read to its end.
        Unit().setup.downloadBursts = 2;
        ASSERT_EQ(mDriver->TransferWaypoints(nullptr), noErr);
        ASSERT_TRUE(RunLoopUntil([&] { return mTransfers.finished + mTransfers.failed > 0; }, 3))
            << "the transfer stalled";
        EXPECT_EQ(mTransfers.failed, 0);
        ASSERT_EQ(mTransfers.downloaded.size(), 5u);
        EXPECT_EQ(mTransfers.downloaded[4].name, CString("LAKE"));
        EXPECT_NEAR(mTransfers.downloaded[2].position.GetLatitude(), 61.6362, 1e-7);
        EXPECT_GE(Unit().GetRecord().signalsWhileReading, 1u) << "the script did announce early";

        // An upload: the unit reads every packet, each write ending with a zero-length packet
        // when it fills whole USB packets.
        std::vector<CGPSWaypoint> const sent { Waypoint("A", 1, 2), Waypoint("B", 3, 4) };
        ASSERT_EQ(mDriver->TransferWaypoints(&sent), noErr);
        ASSERT_TRUE(RunLoopUntil([&] { return mTransfers.finished == 2; }, 3));
        EXPECT_EQ(mTransfers.uploaded, sent);
        record = Unit().GetRecord();
        EXPECT_TRUE(record.zeroPacketFlag);
        std::vector<UInt16> ids;
        for (std::size_t i = record.received.size() - 4; i < record.received.size(); ++i)
            ids.push_back(record.received[i].id);
        EXPECT_EQ(ids, std::vector<UInt16>({ 27, 35, 35, 12 }));

        // Live fixes come through the interrupt pipe, and stop for a transfer.
        ASSERT_EQ(mDriver->StartPVT(), noErr);
        ASSERT_TRUE(RunLoopUntil([&] { return Unit().GetRecord().pvt; }, 3));
        Unit().SendFix(57.7, 11.9, 0, 3);
        ASSERT_TRUE(RunLoopUntil([&] { return !mLog.fixes.empty(); }, 3));
        EXPECT_NEAR(mLog.fixes[0].sample.GetLatitude(), 57.7, 1e-9);
        EXPECT_NEAR(mLog.fixes[0].GetSpeed(), 3.0, 1e-6);
        // The unit loses its fix: that is told too, not kept quiet.
        Unit().SendFix(0, 0, 0, 0, 1);
        ASSERT_TRUE(RunLoopUntil([&] { return mLog.fixes.size() == 2; }, 3)) << "a lost fix was not reported";
        EXPECT_FALSE(mLog.fixes[1].IsValid());
        ASSERT_EQ(mDriver->TransferWaypoints(nullptr), noErr);
        ASSERT_TRUE(RunLoopUntil([&] { return mTransfers.finished == 3; }, 3));
        ASSERT_TRUE(RunLoopUntil([&] { return Unit().GetRecord().pvt; }, 3));
        EXPECT_EQ(Unit().GetRecord().commands, std::vector<UInt16>({ 7, 49, 50, 7, 49 }));

        // Pulled out: the transfers end, the driver hears it and is gone.
        Unit().Unplug();
        ASSERT_TRUE(RunLoopUntil([&] { return !mDriver->IsConnected(); }, 3));
        ASSERT_GE(mLog.Count(kMsgGPSDisconnected), 1u);
        EXPECT_EQ(mLog.entries.back().status, kDeviceGoneErr);
        EXPECT_TRUE(mDriver->IsGone());
        mDriver.reset();
        record = Unit().GetRecord();
        EXPECT_TRUE(record.released);
        EXPECT_TRUE(record.closed);
        EXPECT_TRUE(record.exited);
    }

    TEST_F(GarminOverUSB, LetGoWhileStreamingTheUnitIsToldToStopFirst)
    {
        Connect();
        ASSERT_EQ(mDriver->StartPVT(), noErr);
        ASSERT_TRUE(RunLoopUntil([&] { return Unit().GetRecord().pvt; }, 3));
        mDriver.reset(); // the program ends
        ScriptedUSBUnit::Record const record = Unit().GetRecord();
        EXPECT_FALSE(record.pvt) << "still streaming after the program let it go";
        EXPECT_EQ(record.commands.back(), 50);
        EXPECT_TRUE(record.released);
        EXPECT_TRUE(record.closed);
    }

    TEST_F(GarminOverUSB, UnitsThatCannotBeClaimed)
    {
        class Silent : public IGarminTransport::Client {
            void PacketReceived(CGarminPacket const&) override { }
            void PacketSent(OSStatus) override { }
            void TransportFailed(OSStatus) override { }
        } client;
        auto open = [&] {
            CUSBTransportGarmin transport(ScriptedUSBUnit::kBus, ScriptedUSBUnit::kAddress, "/dev/bus/usb/003/009");
            OSStatus const status = transport.Open(&client);
            EXPECT_EQ(transport.IsOpen(), status == noErr);
            return status;
        };
        Unit().setup.present = false;
        EXPECT_EQ(open(), fnfErr);
        Unit().Reset();
        Unit().setup.claimFails = true; // another program has it
        EXPECT_EQ(open(), kDeviceOpenErr);
        EXPECT_TRUE(Unit().GetRecord().closed);
        Unit().Reset();
        Unit().setup.endpoints = { ScriptedUSBUnit::kBulkIn, ScriptedUSBUnit::kInterruptIn }; // no way out
        EXPECT_EQ(open(), kDeviceOpenErr);
        Unit().Reset();
        Unit().setup.autoDetach = true; // libusb lets the kernel's driver go by itself
        EXPECT_EQ(open(), noErr);
        EXPECT_FALSE(Unit().GetRecord().detached);
        EXPECT_TRUE(Unit().GetRecord().released);
    }

    // The transport alone, under a client that keeps what it hears.
    class USBTransportScripted : public ::testing::Test, public IGarminTransport::Client {
    protected:
        void SetUp() override
        {
            CThreadTask::ResetForTesting();
            Unit().Reset();
        }
        static ScriptedUSBUnit& Unit() { return ScriptedUSBUnit::Get(); }
        void Open()
        {
            mTransport = std::make_unique<CUSBTransportGarmin>(
                ScriptedUSBUnit::kBus, ScriptedUSBUnit::kAddress, "/dev/bus/usb/003/009");
            ASSERT_EQ(mTransport->Open(this), noErr);
        }
        void PacketReceived(CGarminPacket const& packet) override { mReceived.push_back(packet); }
        void PacketSent(OSStatus status) override { mSent.push_back(status); }
        void TransportFailed(OSStatus status) override { mFailures.push_back(status); }

        static CGarminPacket Packet(UInt16 id, std::size_t size)
        {
            std::vector<UInt8> data(size);
            for (std::size_t i = 0; i < size; ++i)
                data[i] = UInt8(id + i);
            return { CGarminPacket::kTypeApplication, id, data };
        }
        // The ids of the application packets the unit took, in order.
        static std::vector<UInt16> IdsAtTheUnit()
        {
            std::vector<UInt16> ids;
            for (CGarminPacket const& packet : Unit().GetRecord().received)
                ids.push_back(packet.id);
            return ids;
        }

        RealClock mClock;
        std::unique_ptr<CUSBTransportGarmin> mTransport;
        std::vector<CGarminPacket> mReceived;
        std::vector<OSStatus> mSent;
        std::vector<OSStatus> mFailures;
    };

    // However the unit's bytes fall into bulk reads, the packets come out whole and in order:
    // several in one read, one split over two reads, and a last one that fills a USB packet
    // exactly, so that the unit ends the burst with an empty one.
    TEST_F(USBTransportScripted, PacketsComeOutWholeHoweverTheReadsCutThem)
    {
        Open();
        std::vector<CGarminPacket> const sent { Packet(300, 4), Packet(301, 0), Packet(302, 9), Packet(303, 40),
            Packet(304, 52) };
        std::vector<std::vector<UInt8>> encoded;
        for (CGarminPacket const& packet : sent)
            encoded.push_back(packet.Encode());
        ASSERT_EQ(encoded[4].size(), 64u) << "the last one fills a full-speed USB packet";
        std::vector<UInt8> together;
        for (std::size_t i = 0; i < 3; ++i)
            together.insert(together.end(), encoded[i].begin(), encoded[i].end());
        Unit().SendBurst({ together, std::vector<UInt8>(encoded[3].begin(), encoded[3].begin() + 7),
            std::vector<UInt8>(encoded[3].begin() + 7, encoded[3].end()), encoded[4] });
        ASSERT_TRUE(RunLoopUntil([&] { return mReceived.size() >= sent.size() || !mFailures.empty(); }, 3));
        EXPECT_TRUE(mFailures.empty());
        EXPECT_EQ(mReceived, sent);
        // The burst was read to its empty end, and the pipe is still read for the next.
        ASSERT_TRUE(RunLoopUntil([&] { return Unit().GetRecord().emptyReads == 1; }, 3));
        Unit().SendBurst({ encoded[1] });
        ASSERT_TRUE(RunLoopUntil([&] { return mReceived.size() == sent.size() + 1; }, 3));
        EXPECT_EQ(mReceived.back(), sent[1]);
        EXPECT_TRUE(mFailures.empty());
    }

    // A "data available" that came while a burst was read makes one more read, and only
    // one: the bulk pipe is not read on once the burst it announced has ended.
    TEST_F(USBTransportScripted, EachDataAvailableCausesOneBurstOfReads)
    {
        Open();
        // Both announced before the first burst is read: the second while the first is.
        Unit().SendBursts({ { Packet(310, 8).Encode(), Packet(311, 8).Encode() }, { Packet(312, 8).Encode() } });
        ASSERT_TRUE(RunLoopUntil([&] { return Unit().GetRecord().emptyReads == 2; }, 3));
        ASSERT_TRUE(RunLoopUntil([&] { return mReceived.size() == 3; }, 3));
        mTransport->Close(); // the I/O thread has finished with what it was given
        ScriptedUSBUnit::Record const record = Unit().GetRecord();
        EXPECT_GE(record.signalsWhileReading, 1u) << "the script did announce while reading";
        EXPECT_EQ(record.bulkReads, 3u + 2u) << "three packets and two empty reads, and no read after them";
        EXPECT_TRUE(mFailures.empty());
    }

    // A write the unit took only part of did not go: the client hears an error, and the
    // packets queued behind it are dropped, never sent later ahead of newer ones.
    TEST_F(USBTransportScripted, AShortWriteFailsAndDropsThePacketsQueuedBehindIt)
    {
        Open();
        Unit().setup.shortWrite = 1;
        Unit().HoldWrites(true); // the first write stays under way while the others queue
        ASSERT_EQ(mTransport->Write(Packet(320, 20)), noErr);
        ASSERT_EQ(mTransport->Write(Packet(321, 20)), noErr);
        ASSERT_EQ(mTransport->Write(Packet(322, 20)), noErr);
        Unit().HoldWrites(false);
        ASSERT_TRUE(RunLoopUntil([&] { return !mSent.empty(); }, 3));
        EXPECT_NE(mSent[0], noErr) << "a write cut short was reported sent";
        // The client carries on with a new packet: it alone follows.
        ASSERT_EQ(mTransport->Write(Packet(323, 20)), noErr);
        ASSERT_TRUE(RunLoopUntil([&] { return Unit().GetRecord().bulkWrites >= 2; }, 3));
        RunLoopUntil([&] { return false; }, 0.2); // time for anything else that would go
        mTransport->Close();
        EXPECT_EQ(IdsAtTheUnit(), std::vector<UInt16>({ 323 }));
        EXPECT_EQ(mSent.size(), 2u);
        EXPECT_EQ(mSent.back(), noErr);
    }

} // namespace
} // namespace tw::test
