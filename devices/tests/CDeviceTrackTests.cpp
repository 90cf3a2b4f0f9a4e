#include "devices/CDevice.h"
#include "devices/CDeviceManager.h"
#include "devices/CDeviceTrack.h"
#include "devices/tests/support/DeviceTestSupport.h"
#include "devices/tests/support/FakeDocument.h"
#include "devices/tests/support/SimulatedGarminUnit.h"
#include "foundation/CTextUtilities.h"
#include "foundation/CThreadTask.h"
#include "model/CMapTrack.h"
#include "tests/support/ManualClock.h"

#include <GeographicLib/Geodesic.hpp>
#include <gtest/gtest.h>

namespace {

using tw::test::FakeDocument;
using tw::test::RunLoopUntil;

// A document with an empty track, recording from the device by the rule.
struct Recording {
    Recording(CDevice* device, UInt32 mode, UInt32 value)
    {
        track = new CMapTrack;
        document.AddObject(track);
        TrackInfo info;
        info.progressSheet = &document.progress;
        info.device = device;
        info.progressText = "Recording";
        info.track = track;
        info.captureMode = mode;
        info.captureValue = value;
        document.recorder = std::make_unique<CDeviceTrack>(&document, info);
    }
    FakeDocument document;
    CMapTrack* track; // owned by the document
};

class TrackFromReplayedLog : public ::testing::Test {
protected:
    void SetUp() override { CThreadTask::ResetForTesting(); }
    tw::test::RealClock mClock;
};

TEST_F(TrackFromReplayedLog, RecordsTheLogsPointsByEveryCaptureRule)
{
    tw::test::PseudoTerminal terminal;
    terminal.Play([](unsigned) { return tw::test::SatelliteSentence(); }, 0.05);
    CDeviceManager::Setup setup;
    setup.serialPorts = { CString(terminal.GetPath().c_str()) };
    CDeviceManager manager(std::move(setup));
    ASSERT_TRUE(RunLoopUntil([&] { return manager.GetDevices().size() == 1; }));
    CDevice* device = manager.GetDevices().front();

    Recording everyFix(device, kCaptureEveryFix, 0);
    Recording bySeconds(device, kCaptureBySeconds, 5);
    Recording byMetres(device, kCaptureByMetres, 10);
    ASSERT_TRUE(RunLoopUntil([&] { return byMetres.document.progress.shown == 1; }));
    // The sheet says what is going on, with an indeterminate bar.
    EXPECT_EQ(everyFix.document.progress.text, CString("Recording"));
    EXPECT_EQ(everyFix.document.progress.count, 0u);

    terminal.StopPlaying();
    std::vector<std::string> moments = tw::test::WalkMoments();
    terminal.Play([moments](unsigned i) { return i < moments.size() ? moments[i] : std::string(); }, 0.1);
    std::vector<tw::test::ExpectedFix> expected = tw::test::ReadWalkSidecar();
    ASSERT_TRUE(RunLoopUntil([&] { return everyFix.track->GetSamples().size() >= expected.size(); }, 30));
    RunCurrentEventLoop(1.0); // nothing more comes

    // Every fix: the log's points, in order.
    auto const& all = everyFix.track->GetSamples();
    ASSERT_EQ(all.size(), expected.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_DOUBLE_EQ(all[i].GetTime().GetTimeInSeconds(), expected[i].seconds);
        EXPECT_NEAR(all[i].GetLatitude(), expected[i].latitude, 1e-9);
        EXPECT_NEAR(all[i].GetLongitude(), expected[i].longitude, 1e-9);
    }
    // By seconds and by metres: the points of the log that the rule keeps, worked out here.
    std::vector<double> seconds, metres;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (seconds.empty() || expected[i].seconds - seconds.back() >= 5)
            seconds.push_back(expected[i].seconds);
    }
    tw::test::ExpectedFix last {};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        double distance = 0;
        GeographicLib::Geodesic::WGS84().Inverse(
            last.latitude, last.longitude, expected[i].latitude, expected[i].longitude, distance);
        if (metres.empty() || distance >= 10) {
            metres.push_back(expected[i].seconds);
            last = expected[i];
        }
    }
    auto timesOf = [](CMapTrack const* track) {
        std::vector<double> times;
        for (CCoordinatePVT const& sample : track->GetSamples())
            times.push_back(sample.GetTime().GetTimeInSeconds());
        return times;
    };
    EXPECT_EQ(timesOf(bySeconds.track), seconds);
    EXPECT_EQ(timesOf(byMetres.track), metres);
    EXPECT_EQ(seconds.size(), 12u);
    EXPECT_GT(metres.size(), 3u);
    EXPECT_LT(metres.size(), expected.size());

    // The user stops them: empty texts.
    everyFix.document.recorder->Stop();
    EXPECT_EQ(everyFix.document.finished, 1);
    EXPECT_TRUE(everyFix.document.major.IsEmpty());
    EXPECT_FALSE(everyFix.document.recorder);

    // The port goes: the others end, saying why.
    terminal.Close();
    ASSERT_TRUE(RunLoopUntil([&] { return bySeconds.document.finished == 1 && byMetres.document.finished == 1; }));
    EXPECT_EQ(bySeconds.document.major, CTextUtilities::GetBundleString("DeviceTrackStopped"));
    EXPECT_EQ(bySeconds.document.minor, CDevice::GetErrorText(kDeviceGoneErr));
    EXPECT_EQ(bySeconds.track->GetSamples().size(), seconds.size()); // what was recorded stays
}

TEST(TrackFromGarminUnit, RecordsLiveFixesUntilTheUnitIsPulled)
{
    tw::test::ManualClock clock;
    tw::test::SimulatedUnits::Reset();
    auto monitor = std::make_unique<tw::test::FakeDeviceMonitor>();
    monitor->present = { tw::test::GarminNotice("/sys/usb/1-1", 4) };
    tw::test::FakeDeviceMonitor* discovery = monitor.get();
    CDeviceManager::Setup setup;
    setup.monitor = std::move(monitor);
    setup.garminTransport = &tw::test::SimulatedUnits::MakeSimulatedUnit;
    CDeviceManager manager(std::move(setup));
    tw::test::SimulatedGarminUnit* unit = tw::test::SimulatedUnits::units.back();
    tw::test::ManualClock::RunFor(1.0);
    ASSERT_EQ(manager.GetDevices().size(), 1u);

    Recording recording(manager.GetDevices().front(), kCaptureEveryFix, 0);
    tw::test::ManualClock::RunFor(0.01);
    for (int i = 0; i < 4; ++i)
        unit->SendFix(57.7 + i * 0.0001, 11.9, 1, 1, 12418, 3600 + i);
    tw::test::ManualClock::RunFor(0.5);
    ASSERT_EQ(recording.track->GetSamples().size(), 4u);
    EXPECT_DOUBLE_EQ(
        recording.track->GetSamples()[3].GetTime().GetTimeInSeconds(), 12418.0 * 86400 + 3603 - 18 - 347241600);

    discovery->Pull("/sys/usb/1-1");
    ASSERT_EQ(recording.document.finished, 1);
    EXPECT_EQ(recording.document.minor, CDevice::GetErrorText(kDeviceGoneErr));
    EXPECT_EQ(recording.track->GetSamples().size(), 4u);

    // A device pulled out before the recording began ends it then.
    discovery->Plug(tw::test::GarminNotice("/sys/usb/1-2", 5));
    tw::test::ManualClock::RunFor(1.0);
    ASSERT_EQ(manager.GetDevices().size(), 1u);
    Recording early(manager.GetDevices().front(), kCaptureEveryFix, 0);
    discovery->Pull("/sys/usb/1-2");
    ASSERT_EQ(early.document.finished, 1);
    EXPECT_EQ(early.document.minor, CDevice::GetErrorText(kDeviceGoneErr));
    EXPECT_EQ(early.document.progress.shown, 0);

    // Without a connected device a recording ends at once.
    TrackInfo info;
    info.track = recording.track;
    recording.document.recorder = std::make_unique<CDeviceTrack>(&recording.document, info);
    tw::test::ManualClock::RunFor(0.01);
    EXPECT_EQ(recording.document.finished, 2);
    EXPECT_EQ(recording.document.minor, CDevice::GetErrorText(kDeviceNotConnectedErr));
}

} // namespace
