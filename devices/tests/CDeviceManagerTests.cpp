#include "devices/CDevice.h"
#include "devices/CDeviceGPS.h"
#include "devices/CDeviceManager.h"
#include "devices/IDeviceWindow.h"
#include "devices/tests/support/DeviceTestSupport.h"
#include "devices/tests/support/SimulatedGarminUnit.h"
#include "foundation/CThreadTask.h"
#include "tests/support/ManualClock.h"
#include "tests/support/TestSupport.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace {

using tw::test::FakeDeviceMonitor;
using tw::test::GarminNotice;
using tw::test::ManualClock;
using tw::test::MessageLog;
using tw::test::SimulatedGarminUnit;

// A device window that only says what happens to it.
class FakeWindow : public IDeviceWindow {
public:
    explicit FakeWindow(CDevice* device)
        : mDevice(device)
    {
        ++sMade;
    }
    void DeviceRemoved() override
    {
        ++sRemoved;
        delete this;
    }
    static IDeviceWindow* Make(CDevice* device) { return new FakeWindow(device); }
    CDevice* mDevice;
    static int sMade, sRemoved;
};
int FakeWindow::sMade = 0;
int FakeWindow::sRemoved = 0;

class DeviceManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        tw::test::SimulatedUnits::Reset();
        FakeWindow::sMade = FakeWindow::sRemoved = 0;
    }

    std::unique_ptr<CDeviceManager> Make(std::vector<DeviceNotice> present = {})
    {
        auto monitor = std::make_unique<FakeDeviceMonitor>();
        monitor->present = std::move(present);
        mMonitor = monitor.get();
        CDeviceManager::Setup setup;
        setup.descriptionFolders = CDeviceManager::GetDescriptionFolders();
        setup.monitor = std::move(monitor);
        setup.garminTransport = &tw::test::SimulatedUnits::MakeSimulatedUnit;
        auto manager = std::make_unique<CDeviceManager>(std::move(setup));
        manager->AddListener(&mLog);
        return manager;
    }

    ManualClock mClock;
    FakeDeviceMonitor* mMonitor = nullptr; // owned by the manager
    MessageLog mLog;
};

TEST_F(DeviceManager, ShippedDescriptionsLoadWithTheirIcons)
{
    auto manager = Make();
    auto const& descriptions = manager->GetDescriptions();
    ASSERT_EQ(descriptions.size(), 4u);
    for (auto const& description : descriptions) {
        EXPECT_TRUE(description->GetIcon().IsValid()) << description->GetName().GetUTF8();
        EXPECT_TRUE(description->GetIdentifier().IsNotEmpty());
    }
}

TEST_F(DeviceManager, UserDescriptionsComeFirstAndBrokenOnesAreRefused)
{
    tw::test::TempFolder folder;
    auto write = [&](std::string const& bundle, std::string const& keys) {
        std::filesystem::create_directories(folder / bundle / "Contents");
        tw::test::WriteFile(folder / bundle / "Contents" / "Info.plist",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + keys + "</dict></plist>\n");
    };
    write("Mine.twdevice",
        "<key>TWDeviceName</key><string>My eTrex</string>"
        "<key>TWDeviceIdentifier</key><string>com.tarnwick.device.garmin.etrex-legend-hcx</string>"
        "<key>TWProductIDs</key><array><integer>694</integer><string>0x2B8</string>"
        "<string>junk</string><integer>-4</integer></array>");
    write("Nameless.twdevice", "<key>TWDeviceIdentifier</key><string>com.example.nameless</string>");
    write("Broken.twdevice", "<key>TWDeviceName</key><string>Cut");
    tw::test::WriteFile(folder / "Stray.twdevice", "not a bundle");

    CDeviceManager::Setup setup;
    setup.descriptionFolders = { CFile(CString(folder.Path().c_str())) };
    for (CFile const& shipped : CDeviceManager::GetDescriptionFolders())
        setup.descriptionFolders.push_back(shipped);
    CDeviceManager manager(std::move(setup));
    ASSERT_EQ(manager.GetDescriptions().size(), 4u); // ours stands in for the shipped one of its identifier
    CDeviceDescription const& mine = *manager.GetDescriptions().front();
    EXPECT_EQ(mine.GetName(), CString("My eTrex"));
    EXPECT_EQ(mine.GetProductIDs(), std::vector<UInt32>({ 694, 0x2B8 }));
    EXPECT_FALSE(mine.GetIcon().IsValid());
}

TEST_F(DeviceManager, GarminPluggedInIsListedOnceConnectedAndGoesWhenPulled)
{
    auto manager = Make();
    EXPECT_FALSE(manager->IsInstalled()); // nothing to do while nothing is plugged in
    mMonitor->Plug(GarminNotice("/sys/usb/1-1", 4));
    EXPECT_EQ(manager->GetDriverCount(), 1u);
    EXPECT_TRUE(manager->GetDevices().empty()); // listed only once it has connected
    ManualClock::RunFor(1.0);
    ASSERT_EQ(manager->GetDevices().size(), 1u);
    ASSERT_EQ(mLog.Count(kMsgDeviceAdded), 1u);
    CDevice* device = manager->GetDevices().front();
    EXPECT_EQ(mLog.entries.front().parameter, device);
    EXPECT_TRUE(device->GetInfo().IsKnown());
    EXPECT_EQ(device->GetInfo().GetName(), CString("eTrex Legend HCx"));
    EXPECT_EQ(device->GetInfo().GetDescription(), CString("Garmin eTrex Legend HCx"));
    EXPECT_TRUE(device->GetInfo().GetIcon().IsValid());
    EXPECT_EQ(device->GetInfo().GetDevicePath(), CString("/dev/bus/usb/001/4"));
    EXPECT_EQ(device->GetFeatures(), UInt32(kDeviceFeatureWaypoints | kDeviceFeatureRoutes | kDeviceFeatureTracks));
    EXPECT_TRUE(manager->IsSyncAvailable());

    // Live fixes were asked for on connection; the first one makes the location known.
    EXPECT_FALSE(manager->IsLocationKnown());
    tw::test::SimulatedUnits::units.back()->SendFix(57.70887, 11.97456, 3, 4, 12418, 3600);
    ManualClock::RunFor(0.2);
    EXPECT_TRUE(manager->IsLocationKnown());
    EXPECT_NEAR(device->GetPosition().GetLatitude(), 57.70887, 1e-9);
    EXPECT_NEAR(device->GetVelocity(), 5.0, 1e-6);
    EXPECT_NEAR(device->GetOrientation(), std::atan2(3.0, 4.0) * 180 / M_PI, 1e-6);
    EXPECT_DOUBLE_EQ(device->GetAccuracy(), 4.0);

    mMonitor->Pull("/sys/usb/1-1");
    EXPECT_TRUE(manager->GetDevices().empty());
    ASSERT_EQ(mLog.Count(kMsgDeviceRemoved), 1u);
    EXPECT_EQ(mLog.entries.back().parameter, device);
    EXPECT_EQ(manager->GetDriverCount(), 0u);
    EXPECT_FALSE(manager->IsSyncAvailable());
    mMonitor->Pull("/sys/usb/1-1"); // twice: nothing left to remove
    EXPECT_EQ(mLog.Count(kMsgDeviceRemoved), 1u);
}

TEST_F(DeviceManager, DevicesPresentAtStartAreFoundAndUnknownUnitsNameThemselves)
{
    tw::test::SimulatedUnits::nextProductID = 999;
    auto manager = Make({ GarminNotice("/sys/usb/1-2", 7) });
    EXPECT_EQ(manager->GetDriverCount(), 1u); // during construction
    ManualClock::RunFor(1.0);
    ASSERT_EQ(manager->GetDevices().size(), 1u);
    CDeviceInfo const& info = manager->GetDevices().front()->GetInfo();
    EXPECT_FALSE(info.IsKnown());
    EXPECT_EQ(info.GetName(), CString("eTrex Legend HCx Software Version 3.00"));
    EXPECT_EQ(info.GetDescription(), CString("Garmin eTrex Legend HCx Software Version 3.00"));
    EXPECT_FALSE(info.GetIcon().IsValid());
}

TEST_F(DeviceManager, UnitThatNeverAnswersIsNeverListedButTriedAgain)
{
    tw::test::SimulatedUnits::nextSilent = true;
    auto manager = Make();
    mMonitor->Plug(GarminNotice("/sys/usb/1-3", 9));
    ManualClock::RunFor(10.0);
    EXPECT_TRUE(manager->GetDevices().empty());
    EXPECT_EQ(mLog.Count(kMsgDeviceAdded), 0u);
    // Each try is a few session starts; the device tried again every 3 s.
    EXPECT_GE(tw::test::SimulatedUnits::units.back()->received.size(), 6u);
    tw::test::SimulatedUnits::units.back()->silent = false;
    ManualClock::RunFor(CDevice::kConnectInterval + 1.0);
    EXPECT_EQ(manager->GetDevices().size(), 1u);
}

TEST_F(DeviceManager, UnitUnpluggedHalfwayLeavesBeforeTheSystemSaysSo)
{
    auto manager = Make();
    mMonitor->Plug(GarminNotice("/sys/usb/1-4", 5));
    ManualClock::RunFor(1.0);
    ASSERT_EQ(manager->GetDevices().size(), 1u);
    CDevice* device = manager->GetDevices().front();
    tw::test::SimulatedUnits::units.back()->unplugAfterPackets
        = tw::test::SimulatedUnits::units.back()->GetDelivered() + 2;
    ASSERT_EQ(device->GetDriver()->TransferTracks(nullptr), noErr);
    ManualClock::RunFor(1.0);
    EXPECT_TRUE(manager->GetDevices().empty());
    EXPECT_EQ(mLog.Count(kMsgDeviceRemoved), 1u);
    EXPECT_EQ(manager->GetDriverCount(), 0u); // deleted on a later turn of the loop
    mMonitor->Pull("/sys/usb/1-4"); // the system's word comes late: nothing happens
    EXPECT_EQ(mLog.Count(kMsgDeviceRemoved), 1u);
}

TEST_F(DeviceManager, StatusWindowsComeFromTheHookAndCloseWithTheirDevice)
{
    CDevice::SetWindowFactory(&FakeWindow::Make);
    auto manager = Make({ GarminNotice("/sys/usb/1-5", 3), GarminNotice("/sys/usb/1-6", 6) });
    ManualClock::RunFor(1.0);
    ASSERT_EQ(manager->GetDevices().size(), 2u);
    CDevice* first = manager->GetDevices()[0];
    IDeviceWindow* window = first->GetWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(first->GetWindow(), window); // made once
    EXPECT_EQ(static_cast<FakeWindow*>(window)->mDevice, first);
    first->WindowClosed(); // the user closed it: the next call makes a new one
    delete window;
    EXPECT_NE(first->GetWindow(), nullptr);
    EXPECT_EQ(FakeWindow::sMade, 2);
    manager->GetDevices()[1]->GetWindow();

    // The manager goes last of all: every device leaves the list and its window closes.
    manager.reset();
    EXPECT_EQ(mLog.Count(kMsgDeviceRemoved), 2u);
    EXPECT_EQ(FakeWindow::sRemoved, 2);
    CDevice::SetWindowFactory(nullptr);
}

class SerialDeviceManager : public ::testing::Test {
protected:
    void SetUp() override { CThreadTask::ResetForTesting(); }
    tw::test::RealClock mClock;
    MessageLog mLog;
};

TEST_F(SerialDeviceManager, ReceiverOnASerialPortIsListedAndGoesWithItsPort)
{
    tw::test::PseudoTerminal terminal;
    auto moments = tw::test::WalkMoments();
    terminal.Play([moments](unsigned i) { return moments[i % moments.size()]; }, 0.1);
    CDeviceManager::Setup setup;
    setup.descriptionFolders = CDeviceManager::GetDescriptionFolders();
    setup.serialPorts = { CString(terminal.GetPath().c_str()) };
    CDeviceManager manager(std::move(setup));
    manager.AddListener(&mLog);
    ASSERT_TRUE(tw::test::RunLoopUntil([&] { return manager.IsLocationKnown(); }));
    ASSERT_EQ(manager.GetDevices().size(), 1u);
    CDevice* device = manager.GetDevices().front();
    EXPECT_TRUE(device->GetInfo().IsKnown()); // the generic NMEA description
    EXPECT_EQ(device->GetInfo().GetName(), CString("NMEA 0183 receiver"));
    EXPECT_EQ(device->GetInfo().GetDescription(), CString("NMEA 0183 receiver"));
    EXPECT_EQ(device->GetFeatures(), 0u);
    EXPECT_FALSE(manager.IsSyncAvailable());
    EXPECT_NEAR(device->GetPosition().GetLatitude(), 57.709, 0.01);

    terminal.Close();
    ASSERT_TRUE(tw::test::RunLoopUntil([&] { return manager.GetDriverCount() == 0; }));
    EXPECT_TRUE(manager.GetDevices().empty());
    EXPECT_EQ(mLog.Count(kMsgDeviceRemoved), 1u);
    EXPECT_FALSE(manager.IsLocationKnown());
}

TEST_F(SerialDeviceManager, ReplayToolPlaysALogIntoATerminalTheManagerReads)
{
    std::string command = "python3 '" + std::string(TW_SOURCE_DIR) + "/tools/nmea-replay.py' --rate 20 --hold 2 '"
        + tw::test::WalkLogPath().string() + "'";
    FILE* replay = popen(command.c_str(), "r");
    ASSERT_NE(replay, nullptr);
    char line[256] = {};
    ASSERT_NE(std::fgets(line, sizeof line, replay), nullptr);
    std::string path(line);
    path.erase(path.find_last_not_of("\r\n") + 1);
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;

    CDeviceManager::Setup setup;
    setup.descriptionFolders = CDeviceManager::GetDescriptionFolders();
    setup.serialPorts = { CString(path.c_str()) };
    CDeviceManager manager(std::move(setup));
    manager.AddListener(&mLog);
    ASSERT_TRUE(tw::test::RunLoopUntil([&] { return manager.IsLocationKnown(); }));
    CDevice* device = manager.GetDevices().front();
    // Every fix the device saw is one of the log's.
    auto expected = tw::test::ReadWalkSidecar();
    double seconds = device->GetLastFix().sample.GetTime().GetTimeInSeconds();
    EXPECT_TRUE(std::any_of(expected.begin(), expected.end(), [&](auto const& fix) { return fix.seconds == seconds; }));
    // The log ends, the terminal goes: so does the device.
    ASSERT_TRUE(tw::test::RunLoopUntil([&] { return manager.GetDriverCount() == 0; }, 20));
    EXPECT_EQ(mLog.Count(kMsgDeviceRemoved), 1u);
    EXPECT_EQ(pclose(replay), 0);
}

} // namespace

namespace {

TEST_F(SerialDeviceManager, PortsNamedInTheEnvironmentAreTriedByTheManagerOfTheApplication)
{
    tw::test::PseudoTerminal terminal;
    auto moments = tw::test::WalkMoments();
    terminal.Play([moments](unsigned i) { return moments[i % moments.size()]; }, 0.1);
    std::string ports = "::" + terminal.GetPath() + ":";
    setenv(CDeviceManager::kSerialPortsVariable, ports.c_str(), 1);
    CDeviceManager manager; // udev, the shipped descriptions, and the ports named
    unsetenv(CDeviceManager::kSerialPortsVariable);
    ASSERT_TRUE(tw::test::RunLoopUntil([&] { return manager.IsLocationKnown(); }));
    ASSERT_EQ(manager.GetDevices().size(), 1u);
    EXPECT_EQ(manager.GetDevices().front()->GetInfo().GetDevicePath(), CString(terminal.GetPath().c_str()));
}

} // namespace
