#include "devices/CUdevMonitor.h"
#include "devices/CUdevSource.h"
#include "devices/tests/support/DeviceTestSupport.h"
#include "tests/support/ManualClock.h"

#include <atomic>
#include <deque>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <mutex>
#include <unistd.h>

namespace {

UdevRecord Record(std::string action, std::string subsystem, std::string devtype, std::string devnode,
    std::string syspath, std::string vendor = "", std::string product = "")
{
    UdevRecord record;
    record.action = std::move(action);
    record.subsystem = std::move(subsystem);
    record.devtype = std::move(devtype);
    record.devnode = std::move(devnode);
    record.syspath = std::move(syspath);
    record.vendor = std::move(vendor);
    record.product = std::move(product);
    record.busnum = "3";
    record.devnum = "17";
    return record;
}

TEST(UdevMonitor, OnlyReceiverPortsBecomeNotices)
{
    DeviceNotice notice;
    // A Garmin unit on USB.
    ASSERT_TRUE(CUdevMonitor::Translate(
        Record("add", "usb", "usb_device", "/dev/bus/usb/003/017", "/sys/u/3-1", "091e", "0003"), notice));
    EXPECT_EQ(notice.action, DeviceNotice::kAdded);
    EXPECT_EQ(notice.kind, DeviceNotice::kKindUSB);
    EXPECT_EQ(notice.bus, 3);
    EXPECT_EQ(notice.address, 17);
    EXPECT_EQ(notice.path, CString("/dev/bus/usb/003/017"));
    EXPECT_EQ(notice.key, CString("/sys/u/3-1"));
    // A USB serial adapter: a port to scan for an NMEA receiver.
    ASSERT_TRUE(CUdevMonitor::Translate(
        Record("add", "tty", "", "/dev/ttyUSB0", "/sys/u/3-2/ttyUSB0", "067b", "2303"), notice));
    EXPECT_EQ(notice.kind, DeviceNotice::kKindSerial);
    EXPECT_EQ(notice.vendor, 0x067B);
    EXPECT_EQ(notice.product, 0x2303);
    // Leaving: only the key matters.
    ASSERT_TRUE(CUdevMonitor::Translate(Record("remove", "tty", "", "", "/sys/u/3-2/ttyUSB0"), notice));
    EXPECT_EQ(notice.action, DeviceNotice::kRemoved);
    EXPECT_EQ(notice.key, CString("/sys/u/3-2/ttyUSB0"));

    // Not a receiver's port: another USB device, the Garmin unit's own serial side, a
    // motherboard port, a USB interface, a change, a device without a node.
    EXPECT_FALSE(CUdevMonitor::Translate(
        Record("add", "usb", "usb_device", "/dev/bus/usb/003/018", "/sys/u/3-3", "046d", "c52b"), notice));
    EXPECT_FALSE(CUdevMonitor::Translate(
        Record("add", "tty", "", "/dev/ttyUSB1", "/sys/u/3-1/ttyUSB1", "091e", "0003"), notice));
    EXPECT_FALSE(CUdevMonitor::Translate(Record("add", "tty", "", "/dev/ttyS0", "/sys/d/serial8250/ttyS0"), notice));
    EXPECT_FALSE(
        CUdevMonitor::Translate(Record("add", "usb", "usb_interface", "", "/sys/u/3-1:1.0", "091e", "0003"), notice));
    EXPECT_FALSE(CUdevMonitor::Translate(
        Record("change", "usb", "usb_device", "/dev/bus/usb/003/017", "/sys/u/3-1", "091e", "0003"), notice));
    EXPECT_FALSE(CUdevMonitor::Translate(Record("add", "tty", "", "", "/sys/u/3-2/x", "067b", "2303"), notice));
    EXPECT_FALSE(CUdevMonitor::Translate(Record("add", "block", "disk", "/dev/sda", "/sys/b/sda"), notice));
}

// udev as a test plays it: a list of present devices and a pipe of changes.
class FakeUdevSource : public IUdevSource {
public:
    FakeUdevSource()
    {
        int fds[2] = { -1, -1 };
        [[maybe_unused]] int made = pipe2(fds, O_CLOEXEC | O_NONBLOCK);
        mRead = fds[0];
        mWrite = fds[1];
    }
    ~FakeUdevSource() override
    {
        ::close(mRead);
        ::close(mWrite);
    }
    bool Open() override { return true; }
    std::vector<UdevRecord> Enumerate() override { return present; }
    int GetDescriptor() const override { return mRead; }
    bool Receive(UdevRecord& record) override
    {
        ++receives;
        char byte = 0;
        if (::read(mRead, &byte, 1) != 1)
            return false;
        std::lock_guard lock(mMutex);
        record = mChanges.front();
        mChanges.pop_front();
        return true;
    }
    void Close() override { ++closes; }
    void Send(UdevRecord const& record)
    {
        {
            std::lock_guard lock(mMutex);
            mChanges.push_back(record);
        }
        char byte = 1;
        [[maybe_unused]] ssize_t written = ::write(mWrite, &byte, 1);
    }

    std::vector<UdevRecord> present;
    std::atomic<int> receives { 0 };
    int closes = 0;

private:
    int mRead, mWrite;
    std::mutex mMutex;
    std::deque<UdevRecord> mChanges;
};

struct Heard {
    std::vector<DeviceNotice> notices;
    static void Callback(DeviceNotice const& notice, void* context)
    {
        static_cast<Heard*>(context)->notices.push_back(notice);
    }
};

TEST(UdevMonitor, ReportsPresentDevicesAtOnceThenChangesOnTheMainThreadOnly)
{
    tw::test::RealClock clock;
    auto source = std::make_unique<FakeUdevSource>();
    FakeUdevSource* fake = source.get();
    fake->present = { Record("add", "usb", "usb_device", "/dev/bus/usb/003/017", "/sys/u/3-1", "091e", "0003"),
        Record("add", "tty", "", "/dev/tty1", "/sys/d/tty1") };
    CUdevMonitor monitor(std::move(source));
    Heard heard;
    ASSERT_EQ(monitor.Start(&Heard::Callback, &heard), noErr);
    ASSERT_EQ(heard.notices.size(), 1u); // before Start returns
    EXPECT_EQ(heard.notices[0].kind, DeviceNotice::kKindUSB);

    // Nothing is plugged in: the monitor's thread sleeps and nobody is told anything.
    RunCurrentEventLoop(0.3);
    EXPECT_EQ(fake->receives, 0);
    EXPECT_EQ(heard.notices.size(), 1u);

    fake->Send(Record("add", "tty", "", "/dev/ttyACM0", "/sys/u/3-4/ttyACM0", "1546", "01a7"));
    fake->Send(Record("remove", "usb", "usb_device", "", "/sys/u/3-1"));
    // The callback only ever runs inside the event loop.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(heard.notices.size(), 1u);
    ASSERT_TRUE(tw::test::RunLoopUntil([&] { return heard.notices.size() == 3; }));
    EXPECT_EQ(heard.notices[1].path, CString("/dev/ttyACM0"));
    EXPECT_EQ(heard.notices[2].action, DeviceNotice::kRemoved);

    monitor.Stop();
    EXPECT_EQ(fake->closes, 1);
    fake->Send(Record("add", "tty", "", "/dev/ttyACM1", "/sys/u/3-5/ttyACM1", "1546", "01a7"));
    RunCurrentEventLoop(0.2);
    EXPECT_EQ(heard.notices.size(), 3u);
}

TEST(UdevMonitor, RealUdevStartsAndStopsCleanly)
{
    tw::test::RealClock clock;
    CUdevMonitor monitor;
    Heard heard;
    ASSERT_EQ(monitor.Start(&Heard::Callback, &heard), noErr);
    for (DeviceNotice const& notice : heard.notices) {
        EXPECT_EQ(notice.action, DeviceNotice::kAdded);
        EXPECT_TRUE(notice.path.IsNotEmpty());
    }
    RunCurrentEventLoop(0.1);
    monitor.Stop();
    monitor.Stop();
}

} // namespace
