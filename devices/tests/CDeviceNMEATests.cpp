#include "devices/CDeviceNMEA.h"
#include "devices/tests/support/DeviceTestSupport.h"
#include "foundation/CThreadTask.h"
#include "tests/support/ManualClock.h"

#include <gtest/gtest.h>

namespace {

using tw::test::MessageLog;
using tw::test::PseudoTerminal;
using tw::test::RunLoopUntil;

// A sentence that finds the port's speed but carries no position.
std::string const kSatellites = tw::test::SatelliteSentence();

class NMEADriver : public ::testing::Test {
protected:
    void SetUp() override
    {
        CThreadTask::ResetForTesting(); // the hand-off timer belongs to this test's loop
        ASSERT_FALSE(mTerminal.GetPath().empty());
        mDriver = std::make_unique<CDeviceNMEA>(CString(mTerminal.GetPath().c_str()), 0, CString());
        mDriver->AddListener(&mLog);
    }

    void TearDown() override
    {
        mTerminal.StopPlaying();
        mDriver.reset();
    }

    // Connects while the receiver talks, then plays the walk at fifty moments a second: the
    // driver reads what has come at each tick, however many moments that is.
    void ConnectAndPlay(std::function<std::string(std::string const& moment, unsigned index)> change = nullptr)
    {
        mTerminal.Play([](unsigned) { return kSatellites; }, 0.05);
        ASSERT_EQ(mDriver->Connect(), noErr);
        ASSERT_TRUE(RunLoopUntil([&] { return mDriver->IsConnected(); }));
        mTerminal.StopPlaying();
        std::vector<std::string> moments = tw::test::WalkMoments();
        mTerminal.Play(
            [moments, change](unsigned i) {
                if (i >= moments.size())
                    return std::string();
                return change ? change(moments[i], i) : moments[i];
            },
            0.02);
    }

    tw::test::RealClock mClock;
    PseudoTerminal mTerminal;
    std::unique_ptr<CDeviceNMEA> mDriver;
    MessageLog mLog;
};

TEST_F(NMEADriver, ConnectsAndReportsEveryFixOfTheReceiver)
{
    ConnectAndPlay();
    EXPECT_EQ(mDriver->GetSpeed(), 230400u); // the first speed tried answers on a terminal
    ASSERT_EQ(mLog.Count(kMsgGPSConnected), 1u);
    EXPECT_EQ(mLog.entries.front().status, noErr);
    auto expected = tw::test::ReadWalkSidecar();
    ASSERT_TRUE(RunLoopUntil([&] { return mLog.fixes.size() >= expected.size(); }, 20));
    ASSERT_EQ(mLog.fixes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_DOUBLE_EQ(mLog.fixes[i].sample.GetTime().GetTimeInSeconds(), expected[i].seconds);
        EXPECT_NEAR(mLog.fixes[i].sample.GetLatitude(), expected[i].latitude, 1e-9);
        EXPECT_NEAR(mLog.fixes[i].sample.GetLongitude(), expected[i].longitude, 1e-9);
        EXPECT_NEAR(mLog.fixes[i].GetSpeed(), expected[i].speed, 1e-6);
        EXPECT_NEAR(mLog.fixes[i].heading, expected[i].course, 1e-9);
        EXPECT_NEAR(mLog.fixes[i].sample.GetAccuracy(), expected[i].dilution * CNMEAParser::kUserRangeError, 1e-9);
    }
}

TEST_F(NMEADriver, DamagedLinesAndGarbageLoseOnlyTheirOwnFixes)
{
    // Every fifth moment is damaged throughout: a bad checksum, a line cut short, noise.
    ConnectAndPlay([](std::string const& moment, unsigned i) {
        if (i % 5 != 2)
            return moment + "\x00\x13\xfe\r\n";
        std::string damaged = moment;
        damaged[damaged.find('*') + 1] ^= 1;
        std::size_t second = damaged.find('$', 1);
        damaged.erase(second + 20, damaged.find('$', second + 1) - second - 20);
        return damaged;
    });
    auto expected = tw::test::ReadWalkSidecar();
    std::vector<double> times;
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (i % 5 != 2)
            times.push_back(expected[i].seconds);
    ASSERT_TRUE(RunLoopUntil([&] { return mLog.fixes.size() >= times.size(); }, 20));
    RunCurrentEventLoop(1.0); // nothing more comes
    ASSERT_EQ(mLog.fixes.size(), times.size());
    for (std::size_t i = 0; i < times.size(); ++i)
        EXPECT_DOUBLE_EQ(mLog.fixes[i].sample.GetTime().GetTimeInSeconds(), times[i]);
    EXPECT_TRUE(mDriver->IsConnected());
}

TEST_F(NMEADriver, SilentReceiverIsDisconnectedAndCanComeBack)
{
    mDriver->SetPositionInterval(0.1); // eight quiet ticks of 0.1 s instead of 0.75 s
    ConnectAndPlay();
    ASSERT_TRUE(RunLoopUntil([&] { return mLog.fixes.size() >= 3; }));
    mTerminal.StopPlaying();
    ASSERT_TRUE(RunLoopUntil([&] { return mLog.Count(kMsgGPSDisconnected) == 1; }));
    EXPECT_EQ(mLog.entries.back().status, kDeviceTimeoutErr);
    EXPECT_FALSE(mDriver->IsConnected());
    EXPECT_FALSE(mDriver->IsGone());
    // It talks again: a new connection finds it.
    mTerminal.Play([](unsigned) { return kSatellites; }, 0.05);
    ASSERT_EQ(mDriver->Connect(), noErr);
    EXPECT_TRUE(RunLoopUntil([&] { return mDriver->IsConnected(); }));
}

TEST_F(NMEADriver, VanishingPortDisconnectsAndIsGone)
{
    bool gone = false;
    mDriver->SetGoneHandler([](CDeviceGPS*, void* context) { *static_cast<bool*>(context) = true; }, &gone);
    ConnectAndPlay();
    ASSERT_TRUE(RunLoopUntil([&] { return !mLog.fixes.empty(); }));
    mTerminal.Close();
    ASSERT_TRUE(RunLoopUntil([&] { return gone; }));
    ASSERT_EQ(mLog.Count(kMsgGPSDisconnected), 1u);
    EXPECT_EQ(mLog.entries.back().status, kDeviceGoneErr);
    EXPECT_TRUE(mDriver->IsGone());
    EXPECT_EQ(mDriver->Connect(), noErr); // no more tries on a port that is gone
    EXPECT_FALSE(mDriver->IsScanning());
}

TEST_F(NMEADriver, ScanStepsDownToTheReceiversSpeed)
{
    mDriver->SetScanWindow(0.3);
    // At any other speed a receiver's bytes read as noise.
    PseudoTerminal& terminal = mTerminal;
    mTerminal.Play(
        [&terminal](unsigned i) {
            if (terminal.GetSpeed() == 4800)
                return kSatellites;
            std::string noise = "$G\x9c\xe1P\x03RMC,,*" + std::to_string(i % 100) + "\r\n\xf0\x0f";
            return noise;
        },
        0.02);
    ASSERT_EQ(mDriver->Connect(), noErr);
    ASSERT_TRUE(RunLoopUntil([&] { return mLog.Count(kMsgGPSConnected) == 1; }));
    EXPECT_EQ(mLog.entries.front().status, noErr);
    EXPECT_EQ(mDriver->GetSpeed(), 4800u);
}

TEST_F(NMEADriver, PortsWithoutReceiverOrWithoutDevice)
{
    mDriver->SetScanWindow(0.05);
    ASSERT_EQ(mDriver->Connect(), noErr);
    EXPECT_EQ(mDriver->Connect(), noErr); // already scanning: nothing more starts
    ASSERT_TRUE(RunLoopUntil([&] { return mLog.Count(kMsgGPSConnected) == 1; }));
    EXPECT_EQ(mLog.entries.front().status, kDeviceTimeoutErr); // every speed stayed silent
    EXPECT_FALSE(mDriver->IsGone());

    CDeviceNMEA missing("/dev/tarnwick-no-such-port", 0, CString());
    MessageLog log;
    missing.AddListener(&log);
    ASSERT_EQ(missing.Connect(), noErr);
    ASSERT_TRUE(RunLoopUntil([&] { return log.Count(kMsgGPSConnected) == 1; }));
    EXPECT_EQ(log.entries.front().status, fnfErr);
    EXPECT_TRUE(missing.IsGone());
}

TEST_F(NMEADriver, DestroyedWhileScanning)
{
    mDriver->SetScanWindow(5.0);
    ASSERT_EQ(mDriver->Connect(), noErr);
    RunCurrentEventLoop(0.1);
    mDriver.reset(); // the worker stops; nothing reaches the dead driver
    RunCurrentEventLoop(0.2);
    EXPECT_EQ(mLog.Count(kMsgGPSConnected), 0u);
}

} // namespace
