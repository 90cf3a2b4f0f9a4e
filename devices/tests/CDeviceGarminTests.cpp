#include "devices/CDeviceGarmin.h"
#include "devices/CGarminRecords.h"
#include "devices/tests/support/DeviceTestSupport.h"
#include "devices/tests/support/SimulatedGarminUnit.h"
#include "foundation/CDebugLog.h"
#include "foundation/CPreferences.h"
#include "tests/support/ManualClock.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using tw::test::ManualClock;
using tw::test::MessageLog;
using tw::test::SimulatedGarminUnit;

CGPSWaypoint Waypoint(char const* name, double latitude, double longitude)
{
    CGPSWaypoint waypoint;
    waypoint.name = name;
    waypoint.comment = CString(name) + CString(" comment");
    waypoint.position = CCoordinate(latitude, longitude);
    return waypoint;
}

CGPSTrack Track(char const* name, int points, double start)
{
    CGPSTrack track;
    track.name = name;
    for (int i = 0; i < points; ++i) {
        CGPSTrackPoint point;
        point.sample = CCoordinatePVT(CCoordinate(57.7 + i * 0.001, 11.9 + i * 0.001, 10 + i), CDateTime(start + i));
        point.altitudeKnown = true;
        point.newSegment = i == 0;
        track.points.push_back(point);
    }
    return track;
}

class GarminDriver : public ::testing::Test {
protected:
    void SetUp() override
    {
        mUnit = new SimulatedGarminUnit;
        mUnit->waypoints = { Waypoint("HOME", 57.70887, 11.97456), Waypoint("WORK", 57.6890, 11.9790),
            Waypoint("SUMMIT", 61.6362, 8.3126) };
        mUnit->routes = { { "TO WORK", { mUnit->waypoints[0], mUnit->waypoints[1] } },
            { "HIKE", { mUnit->waypoints[0], Waypoint("HUT", 61.60, 8.30), mUnit->waypoints[2] } } };
        mUnit->tracks = { Track("Morning", 5, 737683170), Track("Evening", 3, 737720000) };
        mDriver = std::make_unique<CDeviceGarmin>(std::unique_ptr<IGarminTransport>(mUnit));
        mDriver->AddListener(&mLog);
    }

    void Connect(double seconds = 1.0)
    {
        ASSERT_EQ(mDriver->Connect(), noErr);
        ManualClock::RunFor(seconds);
        ASSERT_TRUE(mDriver->IsConnected());
    }

    ManualClock mClock;
    SimulatedGarminUnit* mUnit = nullptr; // owned by the driver
    std::unique_ptr<CDeviceGarmin> mDriver;
    MessageLog mLog;
};

// Copies the records of each finished transfer while they exist (the messages point into
// the driver only while they are broadcast).
class Collector : public CMsgListener {
public:
    void DoMessage(UInt32 message, void* parameter) override
    {
        if (message == kMsgGPSWaypoints) {
            waypoints = *static_cast<MsgGPSTransferedWaypoints*>(parameter)->waypoints;
            toDevice = static_cast<MsgGPSTransferedWaypoints*>(parameter)->toDevice;
        } else if (message == kMsgGPSRoutes)
            routes = *static_cast<MsgGPSTransferedRoutes*>(parameter)->routes;
        else if (message == kMsgGPSTracks)
            tracks = *static_cast<MsgGPSTransferedTracks*>(parameter)->tracks;
        else if (message == kMsgGPSProgress)
            progress.push_back(static_cast<MsgGPSProgress*>(parameter)->percent);
    }
    std::vector<CGPSWaypoint> waypoints;
    std::vector<CGPSRoute> routes;
    std::vector<CGPSTrack> tracks;
    std::vector<UInt32> progress;
    bool toDevice = false;
};

TEST_F(GarminDriver, ConnectsThroughSessionProductDataAndProtocolArray)
{
    Connect();
    ASSERT_EQ(mLog.Count(kMsgGPSConnected), 1u);
    EXPECT_EQ(mLog.entries.front().status, noErr);
    EXPECT_EQ(mDriver->GetProductID(), 694u);
    EXPECT_EQ(mDriver->GetProductName(), CString("eTrex Legend HCx Software Version 3.00"));
    EXPECT_EQ(mDriver->GetSoftwareVersion(), 300);
    EXPECT_EQ(mDriver->GetUnitID(), SimulatedGarminUnit::kUnitID);
    EXPECT_EQ(mDriver->GetFeatures(), UInt32(kDeviceFeatureWaypoints | kDeviceFeatureRoutes | kDeviceFeatureTracks));
    EXPECT_EQ(mDriver->GetPath(), CString("/dev/bus/usb/001/004"));
    // The unit heard a session start, then the product request, in that order.
    ASSERT_GE(mUnit->received.size(), 2u);
    EXPECT_EQ(mUnit->received[0].type, CGarminPacket::kTypeUSBProtocol);
    EXPECT_EQ(mUnit->received[0].id, CGarminPacket::kPidStartSession);
    EXPECT_EQ(mUnit->received[1].id, CGarminProtocols::kPidProductRequest);
}

TEST_F(GarminDriver, UnitsWithoutProtocolArrayOrSilentUnits)
{
    mUnit->sendsProtocolArray = false;
    Connect(CDeviceGarmin::kProtocolTimeout + 0.5);
    EXPECT_EQ(mDriver->GetFeatures(), 0u); // nothing is assumed of an unknown unit
    EXPECT_EQ(mDriver->TransferWaypoints(nullptr), kDeviceUnsupportedErr);

    auto* silent = new SimulatedGarminUnit;
    silent->silent = true;
    CDeviceGarmin driver { std::unique_ptr<IGarminTransport>(silent) };
    MessageLog log;
    driver.AddListener(&log);
    ASSERT_EQ(driver.Connect(), noErr);
    ManualClock::RunFor(CDeviceGarmin::kSessionTimeout * CDeviceGarmin::kSessionTries + 0.5);
    ASSERT_EQ(log.Count(kMsgGPSConnected), 1u);
    EXPECT_EQ(log.entries.front().status, kDeviceTimeoutErr);
    EXPECT_FALSE(driver.IsConnected());
    EXPECT_FALSE(silent->IsOpen());
    EXPECT_EQ(silent->received.size(), std::size_t(CDeviceGarmin::kSessionTries)); // one start per try

    auto* locked = new SimulatedGarminUnit;
    locked->failOpen = true;
    CDeviceGarmin refused { std::unique_ptr<IGarminTransport>(locked) };
    MessageLog refusedLog;
    refused.AddListener(&refusedLog);
    EXPECT_EQ(refused.Connect(), kDeviceOpenErr);
    ASSERT_EQ(refusedLog.Count(kMsgGPSConnected), 1u);
    EXPECT_EQ(refusedLog.entries.front().status, kDeviceOpenErr);
}

TEST_F(GarminDriver, DownloadsYieldTheUnitsRecordsWithProgress)
{
    Connect();
    Collector collector;
    mDriver->AddListener(&collector);
    ASSERT_EQ(mDriver->TransferWaypoints(nullptr), noErr);
    EXPECT_EQ(mDriver->TransferRoutes(nullptr), kDeviceBusyErr); // one at a time
    ManualClock::RunFor(1.0);
    ASSERT_EQ(collector.waypoints.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(collector.waypoints[i].name, mUnit->waypoints[i].name);
        EXPECT_EQ(collector.waypoints[i].comment, mUnit->waypoints[i].comment);
        EXPECT_NEAR(collector.waypoints[i].position.GetLatitude(), mUnit->waypoints[i].position.GetLatitude(), 1e-7);
    }
    ASSERT_FALSE(collector.progress.empty());
    EXPECT_EQ(collector.progress.front(), 0u);
    EXPECT_EQ(collector.progress.back(), 100u);
    EXPECT_TRUE(std::is_sorted(collector.progress.begin(), collector.progress.end()));
    EXPECT_FALSE(collector.toDevice);
    EXPECT_EQ(mUnit->commands, std::vector<UInt16>({ 7 }));

    ASSERT_EQ(mDriver->TransferRoutes(nullptr), noErr);
    ManualClock::RunFor(1.0);
    ASSERT_EQ(collector.routes.size(), 2u);
    EXPECT_EQ(collector.routes[1].name, CString("HIKE"));
    ASSERT_EQ(collector.routes[1].waypoints.size(), 3u);
    EXPECT_EQ(collector.routes[1].waypoints[1].name, CString("HUT"));

    ASSERT_EQ(mDriver->TransferTracks(nullptr), noErr);
    ManualClock::RunFor(1.0);
    ASSERT_EQ(collector.tracks.size(), 2u);
    EXPECT_EQ(collector.tracks[0].name, CString("Morning"));
    ASSERT_EQ(collector.tracks[0].points.size(), 5u);
    EXPECT_EQ(collector.tracks[0].points[4].sample.GetTime(), CDateTime(737683174));
    EXPECT_EQ(collector.tracks[1].points.size(), 3u);
    EXPECT_EQ(mLog.Count(kMsgGPSFailed), 0u);
}

TEST_F(GarminDriver, UploadsSendExactlyTheRecordsInTheUnitsOrder)
{
    Connect();
    Collector collector;
    mDriver->AddListener(&collector);
    mUnit->received.clear();
    std::vector<CGPSWaypoint> waypoints { Waypoint("A", 1, 2), Waypoint("B", 3, 4) };
    ASSERT_EQ(mDriver->TransferWaypoints(&waypoints), noErr);
    ManualClock::RunFor(1.0);
    EXPECT_TRUE(collector.toDevice);
    EXPECT_EQ(collector.waypoints, waypoints);
    // Records (2), two waypoint records, transfer complete naming the waypoint command.
    ASSERT_EQ(mUnit->received.size(), 4u);
    EXPECT_EQ(mUnit->received[0].id, 27);
    EXPECT_EQ(mUnit->received[0].data, std::vector<UInt8>({ 2, 0 }));
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(mUnit->received[1 + i].id, 35);
        CGPSWaypoint sent;
        ASSERT_EQ(CGarminRecords::DecodeWaypoint(
                      110, mUnit->received[1 + i].data.data(), mUnit->received[1 + i].data.size(), sent),
            noErr);
        EXPECT_EQ(sent.name, waypoints[i].name);
        EXPECT_NEAR(sent.position.GetLatitude(), waypoints[i].position.GetLatitude(), 1e-7);
    }
    EXPECT_EQ(mUnit->received[3].id, 12);
    EXPECT_EQ(mUnit->received[3].data, std::vector<UInt8>({ 7, 0 }));

    // Routes: header, then waypoints joined by links (A201); the count covers all of them.
    mUnit->received.clear();
    std::vector<CGPSRoute> routes { { "R", { Waypoint("A", 1, 2), Waypoint("B", 3, 4), Waypoint("C", 5, 6) } } };
    ASSERT_EQ(mDriver->TransferRoutes(&routes), noErr);
    ManualClock::RunFor(1.0);
    std::vector<UInt16> ids;
    for (CGarminPacket const& packet : mUnit->received)
        ids.push_back(packet.id);
    EXPECT_EQ(ids, std::vector<UInt16>({ 27, 29, 30, 98, 30, 98, 30, 12 }));
    EXPECT_EQ(mUnit->received[0].data, std::vector<UInt8>({ 6, 0 }));
    EXPECT_EQ(mUnit->received.back().data, std::vector<UInt8>({ 4, 0 }));

    // Tracks: a header each (A301), the first point of each starting a segment.
    mUnit->received.clear();
    std::vector<CGPSTrack> tracks { Track("One", 2, 100), Track("Two", 1, 200) };
    tracks[0].points[0].newSegment = false;
    ASSERT_EQ(mDriver->TransferTracks(&tracks), noErr);
    ManualClock::RunFor(1.0);
    ids.clear();
    for (CGarminPacket const& packet : mUnit->received)
        ids.push_back(packet.id);
    EXPECT_EQ(ids, std::vector<UInt16>({ 27, 99, 34, 34, 99, 34, 12 }));
    CGPSTrackPoint first;
    bool valid = false;
    ASSERT_EQ(CGarminRecords::DecodeTrackPoint(
                  302, mUnit->received[2].data.data(), mUnit->received[2].data.size(), first, valid),
        noErr);
    EXPECT_TRUE(first.newSegment);
    EXPECT_EQ(mLog.Count(kMsgGPSFailed), 0u);
}

TEST_F(GarminDriver, LiveFixesAfterStartPVT)
{
    Connect();
    mUnit->SendFix(57.7, 11.9, 1, 0, 12418, 3600); // before asking: the unit sends none
    ASSERT_EQ(mDriver->StartPVT(), noErr);
    ManualClock::RunFor(0.1);
    mUnit->SendFix(57.7, 11.9, 1, 0, 12418, 3600);
    mUnit->SendFix(57.8, 12.0, 0, -2, 12418, 3601);
    ManualClock::RunFor(0.5);
    ASSERT_EQ(mLog.fixes.size(), 2u);
    EXPECT_NEAR(mLog.fixes[1].sample.GetLatitude(), 57.8, 1e-9);
    EXPECT_NEAR(mLog.fixes[0].heading, 90.0, 1e-6);
    EXPECT_NEAR(mLog.fixes[1].heading, 180.0, 1e-6);
    EXPECT_NEAR(mLog.fixes[1].GetSpeed(), 2.0, 1e-6);
    EXPECT_EQ(mUnit->commands, std::vector<UInt16>({ 49 }));
    ASSERT_EQ(mDriver->StopPVT(), noErr);
    ManualClock::RunFor(0.1);
    EXPECT_EQ(mUnit->commands.back(), 50);
}

TEST_F(GarminDriver, LiveFixesStopForEveryTransferAndWhenTheUnitIsLetGo)
{
    Connect();
    Collector collector;
    mDriver->AddListener(&collector);
    ASSERT_EQ(mDriver->StartPVT(), noErr);
    ManualClock::RunFor(0.1);
    // A download: stopped before its command, started again once it is over.
    ASSERT_EQ(mDriver->TransferWaypoints(nullptr), noErr);
    ManualClock::RunFor(1.0);
    ASSERT_EQ(collector.waypoints.size(), 3u);
    EXPECT_EQ(mUnit->commands, std::vector<UInt16>({ 49, 50, 7, 49 }));
    // An upload, and a download cancelled halfway.
    std::vector<CGPSWaypoint> waypoints { Waypoint("A", 1, 2) };
    ASSERT_EQ(mDriver->TransferWaypoints(&waypoints), noErr);
    ManualClock::RunFor(1.0);
    EXPECT_TRUE(collector.toDevice);
    ASSERT_EQ(mDriver->TransferTracks(nullptr), noErr);
    mDriver->CancelTransfer();
    ManualClock::RunFor(0.5);
    EXPECT_EQ(mUnit->commands, std::vector<UInt16>({ 49, 50, 7, 49, 50, 49, 50, 6, 0, 49 }));
    // Without live fixes a transfer asks for nothing more.
    ASSERT_EQ(mDriver->StopPVT(), noErr);
    ASSERT_EQ(mDriver->TransferRoutes(nullptr), noErr);
    ManualClock::RunFor(1.0);
    EXPECT_EQ(mUnit->commands, std::vector<UInt16>({ 49, 50, 7, 49, 50, 49, 50, 6, 0, 49, 50, 4 }));
    EXPECT_EQ(mLog.Count(kMsgGPSFailed), 0u);

    // Let go of while streaming: the stream is stopped first.
    ASSERT_EQ(mDriver->StartPVT(), noErr);
    mDriver->Disconnect();
    EXPECT_EQ(mUnit->commands.back(), 50);
    EXPECT_EQ(mUnit->commands.size(), 14u);
}

TEST_F(GarminDriver, ShortRecordFailsTheTransferAndAbortsIt)
{
    Connect();
    mUnit->shortRecordAt = 1;
    Collector collector;
    mDriver->AddListener(&collector);
    ASSERT_EQ(mDriver->TransferWaypoints(nullptr), noErr);
    ManualClock::RunFor(1.0);
    ASSERT_EQ(mLog.Count(kMsgGPSFailed), 1u);
    EXPECT_EQ(mLog.entries.back().status, kDeviceProtocolErr);
    EXPECT_TRUE(collector.waypoints.empty()); // nothing half read is given out
    EXPECT_EQ(mUnit->commands.back(), 0); // the unit was told to stop
    EXPECT_TRUE(mDriver->IsConnected());
    // The link is still good: the next transfer works.
    mUnit->shortRecordAt = std::numeric_limits<std::size_t>::max();
    ASSERT_EQ(mDriver->TransferWaypoints(nullptr), noErr);
    ManualClock::RunFor(1.0);
    EXPECT_EQ(collector.waypoints.size(), 3u);
}

TEST_F(GarminDriver, UnknownPacketsAreIgnored)
{
    Connect();
    mUnit->unknownPacketAt = 2;
    Collector collector;
    mDriver->AddListener(&collector);
    ASSERT_EQ(mDriver->TransferTracks(nullptr), noErr);
    ManualClock::RunFor(1.0);
    EXPECT_EQ(mLog.Count(kMsgGPSFailed), 0u);
    ASSERT_EQ(collector.tracks.size(), 2u);
    EXPECT_EQ(collector.tracks[0].points.size(), 5u);
}

TEST_F(GarminDriver, PacketCutShortDisconnects)
{
    Connect();
    mUnit->cutLastPacket = true;
    ASSERT_EQ(mDriver->TransferWaypoints(nullptr), noErr);
    ManualClock::RunFor(1.0);
    ASSERT_EQ(mLog.Count(kMsgGPSFailed), 1u);
    EXPECT_EQ(mLog.Count(kMsgGPSDisconnected), 1u);
    EXPECT_FALSE(mDriver->IsConnected());
    EXPECT_FALSE(mDriver->IsGone()); // the unit is still there: it may connect again
    EXPECT_FALSE(mUnit->IsOpen());
}

TEST_F(GarminDriver, UnitUnpluggedHalfwayFailsDisconnectsAndIsGone)
{
    Connect();
    bool told = false;
    mDriver->SetGoneHandler([](CDeviceGPS*, void* context) { *static_cast<bool*>(context) = true; }, &told);
    mUnit->unplugAfterPackets = mUnit->GetDelivered() + 3;
    ASSERT_EQ(mDriver->TransferTracks(nullptr), noErr);
    ManualClock::RunFor(1.0);
    ASSERT_EQ(mLog.Count(kMsgGPSFailed), 1u);
    ASSERT_EQ(mLog.Count(kMsgGPSDisconnected), 1u);
    // The failure comes before the disconnection, both with the reason.
    auto failed
        = std::find_if(mLog.entries.begin(), mLog.entries.end(), [](auto& e) { return e.message == kMsgGPSFailed; });
    auto gone = std::find_if(
        mLog.entries.begin(), mLog.entries.end(), [](auto& e) { return e.message == kMsgGPSDisconnected; });
    EXPECT_LT(failed, gone);
    EXPECT_EQ(failed->status, kDeviceGoneErr);
    EXPECT_EQ(mLog.Count(kMsgGPSTracks), 0u);
    EXPECT_TRUE(told);
    EXPECT_TRUE(mDriver->IsGone());
    EXPECT_EQ(mDriver->Connect(), noErr); // a gone driver does not try again
    EXPECT_FALSE(mDriver->IsConnected());
}

TEST_F(GarminDriver, CancelledDownloadSaysNothingMoreAndAbortsTheUnit)
{
    Connect();
    Collector collector;
    mDriver->AddListener(&collector);
    ASSERT_EQ(mDriver->TransferTracks(nullptr), noErr);
    ManualClock::RunFor(0.005);
    mDriver->CancelTransfer();
    EXPECT_FALSE(mDriver->IsTransferring());
    ManualClock::RunFor(1.0);
    EXPECT_TRUE(collector.tracks.empty());
    EXPECT_EQ(mLog.Count(kMsgGPSFailed), 0u);
    EXPECT_EQ(mUnit->commands, std::vector<UInt16>({ 6, 0 }));
    // Late packets of the aborted transfer are harmless; a new transfer starts clean.
    ASSERT_EQ(mDriver->TransferWaypoints(nullptr), noErr);
    ManualClock::RunFor(1.0);
    EXPECT_EQ(collector.waypoints.size(), 3u);
}

TEST_F(GarminDriver, ResetPreferencesAbortTheUnitsTransferOnConnect)
{
    CPreferences preferences;
    preferences.SetBoolean("DeviceReset", true);
    preferences.SetBoolean("DeviceResetL001A010", true);
    Connect();
    EXPECT_EQ(mUnit->commands, std::vector<UInt16>({ 0 }));
    preferences.RemovePref("DeviceReset");
    preferences.RemovePref("DeviceResetL001A010");

    // Off for this unit's pair: nothing is sent.
    auto* unit = new SimulatedGarminUnit;
    preferences.SetBoolean("DeviceReset", true);
    preferences.SetBoolean("DeviceResetL002A011", true);
    CDeviceGarmin other { std::unique_ptr<IGarminTransport>(unit) };
    other.Connect();
    ManualClock::RunFor(1.0);
    EXPECT_TRUE(other.IsConnected());
    EXPECT_TRUE(unit->commands.empty());
    preferences.RemovePref("DeviceReset");
    preferences.RemovePref("DeviceResetL002A011");
}

} // namespace

namespace {

TEST_F(GarminDriver, TrafficIsLoggedOnlyWhileDeviceLogIsOn)
{
    CDebugLog* debugLog = CDebugLog::GetDebugLog();
    debugLog->SetLogOutputs(CDebugLog::kLogOutputFile);
    ASSERT_EQ(debugLog->SetLogFileOutputFolder(kTemporaryFolderType), noErr);
    Connect(); // "DeviceLog" is off
    debugLog->Flush();
    std::string quiet = tw::test::ReadFile(debugLog->GetLogFile().GetPath());
    EXPECT_EQ(quiet.find("Device"), std::string::npos);

    CPreferences preferences;
    preferences.SetBoolean("DeviceLog", true);
    ASSERT_EQ(mDriver->TransferWaypoints(nullptr), noErr); // a transfer reads the preference again
    ManualClock::RunFor(1.0);
    debugLog->Flush();
    std::string logged = tw::test::ReadFile(debugLog->GetLogFile().GetPath());
    // The command out (packet 10: 07 00) and the records in, under the unit's path.
    EXPECT_NE(logged.find("/dev/bus/usb/001/004 > 10 (2 bytes) 07 00"), std::string::npos) << logged;
    EXPECT_NE(logged.find("/dev/bus/usb/001/004 < 35"), std::string::npos);
    preferences.RemovePref("DeviceLog");
    CDebugLog::ResetForTesting();
}

} // namespace
