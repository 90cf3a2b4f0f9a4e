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

} // namespace
} // namespace tw::test
