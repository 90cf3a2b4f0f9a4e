#include "devices/CUdevMonitor.h"

#include "devices/CUSBTransportGarmin.h"
#include "devices/CUdevSource.h"
#include "services/ThreadSignalStack.h"

#include <cerrno>
#include <charconv>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

UInt32 ParseNumber(std::string const& text, int base)
{
    UInt32 value = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() ? value : 0;
}

} // namespace

CUdevMonitor::CUdevMonitor(std::unique_ptr<IUdevSource> source)
    : mSource(source ? std::move(source) : std::make_unique<CUdevSource>())
    , mPost(&CUdevMonitor::Deliver, this)
{
}

CUdevMonitor::~CUdevMonitor() { Stop(); }

bool CUdevMonitor::Translate(UdevRecord const& record, DeviceNotice& notice)
{
    bool const usbDevice = record.subsystem == "usb" && record.devtype == "usb_device";
    bool const tty = record.subsystem == "tty";
    if (!usbDevice && !tty)
        return false;
    DeviceNotice result;
    result.kind = usbDevice ? DeviceNotice::kKindUSB : DeviceNotice::kKindSerial;
    result.key = CString(record.syspath.c_str());
    if (record.action == "remove") {
        result.action = DeviceNotice::kRemoved;
        notice = result;
        return !record.syspath.empty();
    }
    if (record.action != "add" || record.syspath.empty() || record.devnode.empty())
        return false;
    result.vendor = UInt16(ParseNumber(record.vendor, 16));
    result.product = UInt16(ParseNumber(record.product, 16));
    bool const garmin = result.vendor == CUSBTransportGarmin::kVendorGarmin
        && result.product == CUSBTransportGarmin::kProductGarminUSB;
    // Only serial ports behind USB: the motherboard's legacy ports have no receiver to find,
    // and a Garmin unit's own serial port is its USB side seen by the kernel's driver.
    if ((usbDevice && !garmin) || (tty && (result.vendor == 0 || garmin)))
        return false;
    result.path = CString(record.devnode.c_str());
    result.bus = UInt8(ParseNumber(record.busnum, 10));
    result.address = UInt8(ParseNumber(record.devnum, 10));
    result.model = CString(record.model.c_str());
    notice = result;
    return true;
}

OSStatus CUdevMonitor::Start(Callback callback, void* context)
{
    Stop();
    mCallback = callback;
    mContext = context;
    if (!mSource->Open())
        return noErr; // no udev: nothing to find
    mStarted = true;
    for (UdevRecord const& record : mSource->Enumerate())
        Report(record);
    if (mSource->GetDescriptor() < 0)
        return noErr;
    mWake = eventfd(0, EFD_CLOEXEC);
    if (mWake < 0)
        return noErr;
    mThread = std::thread(&CUdevMonitor::Run, this);
    return noErr;
}

void CUdevMonitor::Stop()
{
    if (mThread.joinable()) {
        UInt64 one = 1;
        [[maybe_unused]] ssize_t written = ::write(mWake, &one, sizeof one);
        mThread.join();
    }
    if (mWake >= 0)
        ::close(mWake);
    mWake = -1;
    if (mStarted)
        mSource->Close();
    mStarted = false;
    mCallback = nullptr;
    std::lock_guard lock(mMutex);
    mRecords.clear();
}

void CUdevMonitor::Run()
{
    tw::services::ThreadSignalStack const signalStack;
    pollfd entries[2] = { { mSource->GetDescriptor(), POLLIN, 0 }, { mWake, POLLIN, 0 } };
    for (;;) {
        entries[0].revents = entries[1].revents = 0;
        if (::poll(entries, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        // Asked to stop, or udev's socket broke: either way there is nothing more to watch.
        if (entries[1].revents || (entries[0].revents & (POLLERR | POLLHUP | POLLNVAL)))
            return;
        if (!(entries[0].revents & POLLIN))
            continue;
        UdevRecord record;
        if (!mSource->Receive(record))
            continue;
        {
            std::lock_guard lock(mMutex);
            mRecords.push_back(std::move(record));
        }
        mPost.Signal();
    }
}

void CUdevMonitor::Deliver(void* context)
{
    auto* self = static_cast<CUdevMonitor*>(context);
    std::deque<UdevRecord> records;
    {
        std::lock_guard lock(self->mMutex);
        records.swap(self->mRecords);
    }
    for (UdevRecord const& record : records) {
        if (!self->mCallback)
            return;
        self->Report(record);
    }
}

void CUdevMonitor::Report(UdevRecord const& record)
{
    DeviceNotice notice;
    if (mCallback && Translate(record, notice))
        mCallback(notice, mContext);
}
