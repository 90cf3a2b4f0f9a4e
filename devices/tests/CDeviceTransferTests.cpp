#include "devices/CDevice.h"
#include "devices/CDeviceGPS.h"
#include "devices/CDeviceManager.h"
#include "devices/CDeviceTransfer.h"
#include "devices/CGarminRecords.h"
#include "devices/tests/support/DeviceTestSupport.h"
#include "devices/tests/support/FakeDocument.h"
#include "devices/tests/support/SimulatedGarminUnit.h"
#include "foundation/CTextUtilities.h"
#include "model/CMapRoute.h"
#include "model/CMapTrack.h"
#include "model/CMapWaypoint.h"
#include "tests/support/ManualClock.h"

#include <gtest/gtest.h>

namespace {

using tw::test::FakeDocument;
using tw::test::ManualClock;
using tw::test::SimulatedGarminUnit;
using tw::test::SimulatedUnits;

CGPSWaypoint Record(char const* name, double latitude, double longitude)
{
    CGPSWaypoint waypoint;
    waypoint.name = name;
    waypoint.comment = CString(name) + CString(" comment");
    waypoint.position = CCoordinate(latitude, longitude, 15);
    waypoint.altitudeKnown = true;
    waypoint.symbol = CGPSWaypoint::GetSymbolNumber('geoc');
    waypoint.display = CGPSWaypoint::kDisplayComment;
    return waypoint;
}

CGPSTrack TrackRecord(char const* name, int points, double start)
{
    CGPSTrack track;
    track.name = name;
    for (int i = 0; i < points; ++i)
        track.points.push_back(
            { CCoordinatePVT(CCoordinate(57.7 + i * 0.001, 11.9, 20 + i), CDateTime(start + i)), true, i == 0 });
    return track;
}

CMapWaypoint* AddWaypoint(FakeDocument& document, char const* name, double latitude, double longitude)
{
    auto* waypoint = new CMapWaypoint;
    waypoint->SetName(name);
    waypoint->SetPosition(CCoordinate(latitude, longitude));
    document.AddObject(waypoint);
    return waypoint;
}

class DeviceTransfer : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimulatedUnits::Reset();
        auto monitor = std::make_unique<tw::test::FakeDeviceMonitor>();
        monitor->present = { tw::test::GarminNotice("/sys/usb/1-1", 4) };
        mMonitor = monitor.get();
        CDeviceManager::Setup setup;
        setup.monitor = std::move(monitor);
        setup.garminTransport = &SimulatedUnits::MakeSimulatedUnit;
        mManager = std::make_unique<CDeviceManager>(std::move(setup));
        mUnit = SimulatedUnits::units.back();
        mUnit->waypoints
            = { Record("HOME", 57.70887, 11.97456), Record("WORK", 57.689, 11.979), Record("SUMMIT", 61.6362, 8.3126) };
        mUnit->routes = { { "TO WORK", { mUnit->waypoints[0], mUnit->waypoints[1] } },
            { "HIKE", { mUnit->waypoints[0], Record("HUT", 61.60, 8.30), mUnit->waypoints[2] } } };
        mUnit->tracks = { TrackRecord("Morning", 5, 737683170), TrackRecord("Evening", 3, 737720000) };
        ManualClock::RunFor(1.0);
        ASSERT_EQ(mManager->GetDevices().size(), 1u);
        mDevice = mManager->GetDevices().front();
    }

    void Start(bool toDevice, UInt32 kinds)
    {
        TransferInfo info;
        info.progressSheet = &mDocument.progress;
        info.device = mDevice;
        info.progressText = "Transferring";
        info.successText = "Done";
        info.toDevice = toDevice;
        info.kinds = kinds;
        mDocument.transfer = std::make_unique<CDeviceTransfer>(&mDocument, info);
    }

    ManualClock mClock;
    std::unique_ptr<CDeviceManager> mManager;
    tw::test::FakeDeviceMonitor* mMonitor = nullptr; // owned by the manager
    SimulatedGarminUnit* mUnit = nullptr; // owned by its driver
    CDevice* mDevice = nullptr;
    FakeDocument mDocument; // after the manager: destroyed first
};

TEST_F(DeviceTransfer, DownloadBringsTheUnitsObjectsAndUpdatesEqualWaypoints)
{
    CMapWaypoint* home = AddWaypoint(mDocument, "home", 50, 10); // the same name, other case
    Start(false, kTransferRoutes | kTransferTracks | kTransferWaypoints);
    EXPECT_EQ(mDocument.progress.shown, 0); // it starts on the next turn of the loop
    ManualClock::RunFor(2.0);
    ASSERT_EQ(mDocument.finished, 1);
    EXPECT_EQ(mDocument.major, CString("Done"));
    EXPECT_FALSE(mDocument.transfer);

    auto waypoints = mDocument.Objects<CMapWaypoint>(kMapObjectWaypoint);
    ASSERT_EQ(waypoints.size(), 4u); // home updated; WORK, SUMMIT and the route's HUT added
    EXPECT_EQ(waypoints[0], home);
    EXPECT_NEAR(home->GetPosition().GetLatitude(), 57.70887, 1e-7);
    EXPECT_DOUBLE_EQ(home->GetPosition().GetAltitude(), 15.0);
    EXPECT_EQ(home->GetDescription(), CString("HOME comment"));
    EXPECT_EQ(home->GetSymbol(), GPSWaypointSymbol('geoc'));
    EXPECT_EQ(home->GetOptions(), GPSWaypointOptions(kWaypointShowComment));
    EXPECT_EQ(waypoints[1]->GetName(), CString("WORK"));
    EXPECT_EQ(waypoints[3]->GetName(), CString("HUT"));

    auto routes = mDocument.Objects<CMapRoute>(kMapObjectRoute);
    ASSERT_EQ(routes.size(), 2u);
    EXPECT_EQ(routes[1]->GetName(), CString("HIKE"));
    auto legs = routes[1]->GetSegments();
    ASSERT_EQ(legs.size(), 3u);
    EXPECT_EQ(legs[0].waypoint, home); // the route's points are the document's waypoints
    EXPECT_EQ(legs[1].waypoint, waypoints[3]);
    EXPECT_EQ(legs[2].waypoint, waypoints[2]);

    auto tracks = mDocument.Objects<CMapTrack>(kMapObjectTrack);
    ASSERT_EQ(tracks.size(), 2u);
    EXPECT_EQ(tracks[0]->GetName(), CString("Morning"));
    ASSERT_EQ(tracks[0]->GetSamples().size(), 5u);
    EXPECT_EQ(tracks[0]->GetSamples()[4].GetTime(), CDateTime(737683174));
    // Everything after the objects of each kind: waypoints, then routes, then tracks.
    EXPECT_EQ(mDocument.objects.size(), 8u);
    EXPECT_TRUE(mDocument.objects.back()->IsType(kMapObjectTrack));

    // The sheet: shown, 100 per action, rising to the end.
    EXPECT_EQ(mDocument.progress.shown, 1);
    EXPECT_EQ(mDocument.progress.text, CString("Transferring"));
    EXPECT_EQ(mDocument.progress.count, 300u);
    ASSERT_FALSE(mDocument.progress.values.empty());
    EXPECT_TRUE(std::is_sorted(mDocument.progress.values.begin(), mDocument.progress.values.end()));
    EXPECT_EQ(mDocument.progress.values.back(), 300u);
}

TEST_F(DeviceTransfer, AgainUpdatesTheSameRoutesAndTracksInsteadOfAddingThem)
{
    Start(false, kTransferRoutes | kTransferTracks | kTransferWaypoints);
    ManualClock::RunFor(2.0);
    ASSERT_EQ(mDocument.objects.size(), 8u);
    mUnit->tracks[0].points.resize(2);
    Start(false, kTransferRoutes | kTransferTracks | kTransferWaypoints);
    ManualClock::RunFor(2.0);
    EXPECT_EQ(mDocument.finished, 2);
    EXPECT_EQ(mDocument.objects.size(), 8u);
    EXPECT_EQ(mDocument.Objects<CMapTrack>(kMapObjectTrack)[0]->GetSamples().size(), 2u);
}

TEST_F(DeviceTransfer, UploadSendsExactlyTheDocumentsObjectsOfTheChosenKinds)
{
    CMapWaypoint* a = AddWaypoint(mDocument, "A", 1, 2);
    CMapWaypoint* b = AddWaypoint(mDocument, "B", 3, 4);
    a->SetSymbol('fred');
    a->SetOptions(kWaypointShowSymbol);
    CMapWaypoint* marker = AddWaypoint(mDocument, "Marker", 5, 6);
    marker->SetAttributes(kMapObjectAttrTemporary, 0); // the view-location target: not the user's
    auto* route = new CMapRoute;
    route->SetName("A to B");
    route->AddWaypoint(-1, a, false);
    route->AddWaypoint(-1, b, false);
    mDocument.AddObject(route);
    auto* track = new CMapTrack;
    track->SetName("Walk");
    track->SetSamples({ CCoordinatePVT(CCoordinate(1, 2, 3), CDateTime(1000)) });
    mDocument.AddObject(track);
    std::size_t const objects = mDocument.objects.size();

    mUnit->received.clear();
    Start(true, kTransferWaypoints | kTransferRoutes); // no tracks
    ManualClock::RunFor(2.0);
    ASSERT_EQ(mDocument.finished, 1);
    EXPECT_EQ(mDocument.major, CString("Done"));
    EXPECT_EQ(mDocument.objects.size(), objects); // an upload changes nothing here

    // The records, without the commands that stop and start live fixes around each kind.
    std::vector<CGarminPacket> records;
    std::vector<UInt16> ids;
    for (CGarminPacket const& packet : mUnit->received)
        if (packet.id != 10) {
            records.push_back(packet);
            ids.push_back(packet.id);
        }
    EXPECT_EQ(mUnit->commands, std::vector<UInt16>({ 49, 50, 49, 50, 49 }));
    // Waypoints A and B, then the route with its two points joined by a link.
    EXPECT_EQ(ids, std::vector<UInt16>({ 27, 35, 35, 12, 27, 29, 30, 98, 30, 12 }));
    CGPSWaypoint sent;
    ASSERT_EQ(CGarminRecords::DecodeWaypoint(110, records[1].data.data(), records[1].data.size(), sent), noErr);
    EXPECT_EQ(sent.name, CString("A"));
    EXPECT_EQ(sent.symbol, CGPSWaypoint::GetSymbolNumber('fred'));
    EXPECT_EQ(sent.display, CGPSWaypoint::kDisplaySymbol);
    EXPECT_FALSE(sent.altitudeKnown);
    CString routeName;
    ASSERT_EQ(CGarminRecords::DecodeRouteHeader(
                  202, records[5].data.data(), records[5].data.size(), routeName),
        noErr);
    EXPECT_EQ(routeName, CString("A to B"));
}

TEST_F(DeviceTransfer, CancelledTransferLeavesTheDocumentAsItWas)
{
    CMapWaypoint* home = AddWaypoint(mDocument, "HOME", 50, 10);
    Start(false, kTransferWaypoints | kTransferTracks);
    // Waypoints done, tracks under way.
    auto& values = mDocument.progress.values;
    while (mDocument.transfer && (values.empty() || values.back() <= 110))
        ManualClock::RunFor(0.001);
    ASSERT_TRUE(mDocument.transfer);
    mDocument.transfer->Cancel();
    EXPECT_EQ(mDocument.finished, 1);
    EXPECT_TRUE(mDocument.major.IsEmpty());
    EXPECT_TRUE(mDocument.minor.IsEmpty());
    ManualClock::RunFor(2.0);
    EXPECT_EQ(mDocument.finished, 1);
    ASSERT_EQ(mDocument.objects.size(), 1u);
    EXPECT_DOUBLE_EQ(home->GetPosition().GetLatitude(), 50.0);
    // The unit was told to stop, then to send live fixes again.
    ASSERT_GE(mUnit->commands.size(), 2u);
    EXPECT_EQ(mUnit->commands[mUnit->commands.size() - 2], 0);
    EXPECT_EQ(mUnit->commands.back(), 49);
}

TEST_F(DeviceTransfer, UnitUnpluggedHalfwayFailsAndAddsNothing)
{
    mUnit->unplugAfterPackets = mUnit->GetDelivered() + 12;
    Start(false, kTransferRoutes | kTransferTracks | kTransferWaypoints);
    ManualClock::RunFor(2.0);
    ASSERT_EQ(mDocument.finished, 1);
    EXPECT_EQ(mDocument.major, CTextUtilities::GetBundleString("DeviceTransferFailed"));
    EXPECT_EQ(mDocument.minor, CDevice::GetErrorText(kDeviceGoneErr));
    EXPECT_TRUE(mDocument.objects.empty());
    EXPECT_TRUE(mManager->GetDevices().empty());
}

TEST_F(DeviceTransfer, DeviceGoneBeforeTheStartOrNeverConnected)
{
    Start(false, kTransferWaypoints);
    mMonitor->Pull("/sys/usb/1-1"); // the device is deleted before the transfer began
    mDevice = nullptr;
    ASSERT_EQ(mDocument.finished, 1);
    EXPECT_EQ(mDocument.minor, CDevice::GetErrorText(kDeviceGoneErr));
    ManualClock::RunFor(0.5);
    EXPECT_EQ(mDocument.finished, 1);

    // A device that is not connected fails at once, saying so.
    TransferInfo info;
    info.kinds = kTransferWaypoints;
    mDocument.transfer = std::make_unique<CDeviceTransfer>(&mDocument, info);
    ManualClock::RunFor(0.1);
    ASSERT_EQ(mDocument.finished, 2);
    EXPECT_EQ(mDocument.minor, CDevice::GetErrorText(kDeviceNotConnectedErr));
}

TEST_F(DeviceTransfer, DeletedWhileRunningCancelsWithoutCallingBack)
{
    Start(false, kTransferTracks);
    ManualClock::RunFor(0.01);
    ASSERT_TRUE(mDocument.transfer);
    mDocument.transfer.reset();
    ManualClock::RunFor(2.0);
    EXPECT_EQ(mDocument.finished, 0);
    EXPECT_TRUE(mDocument.objects.empty());
    ASSERT_GE(mUnit->commands.size(), 2u);
    EXPECT_EQ(mUnit->commands[mUnit->commands.size() - 2], 0);
    EXPECT_FALSE(mDevice->GetDriver()->IsTransferring());
}

TEST_F(DeviceTransfer, AWaypointTheDocumentRefusesLeavesTheRoutesThatUseIt)
{
    mDocument.refusedName = "HUT";
    Start(false, kTransferRoutes);
    ManualClock::RunFor(2.0);
    ASSERT_EQ(mDocument.finished, 1);
    auto routes = mDocument.Objects<CMapRoute>(kMapObjectRoute);
    ASSERT_EQ(routes.size(), 2u);
    auto legs = routes[1]->GetSegments();
    ASSERT_EQ(legs.size(), 2u);
    EXPECT_EQ(legs[0].waypoint->GetName(), CString("HOME"));
    EXPECT_EQ(legs[1].waypoint->GetName(), CString("SUMMIT"));
}

} // namespace
