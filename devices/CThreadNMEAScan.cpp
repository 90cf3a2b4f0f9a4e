#include "devices/CThreadNMEAScan.h"

#include "devices/CDeviceNMEA.h"
#include "devices/CNMEAParser.h"
#include "devices/DeviceTypes.h"

#include <chrono>

namespace {
constexpr double kPollSlice = 0.1; // [s] between looks at the stop flag
}

CThreadNMEAScan::CThreadNMEAScan(CDeviceNMEA* driver)
    : mDriver(driver)
{
}

CThreadNMEAScan::~CThreadNMEAScan() { EndTask(); }

OSStatus CThreadNMEAScan::Start(CString const& path, double window)
{
    if (IsBusy())
        return kDeviceBusyErr;
    mPath = path.GetUTF8();
    mWindow = window;
    mStatus = noErr;
    mPort.Close();
    return PostMessage(kMsgRunTask);
}

void CThreadNMEAScan::DoTask()
{
    CSerialPort port;
    OSStatus status = Scan(port);
    if (ShouldStop())
        return;
    mStatus = status;
    mPort = std::move(port);
    UseMainThread();
}

OSStatus CThreadNMEAScan::Scan(CSerialPort& port)
{
    TW_RETURN_IF_ERROR(port.Open(CString(mPath.c_str())));
    for (UInt32 speed : CSerialPort::kScanSpeeds) {
        if (ShouldStop())
            return userCanceledErr;
        TW_RETURN_IF_ERROR(port.SetSpeed(speed));
        bool heard = false;
        TW_RETURN_IF_ERROR(Listen(port, heard));
        if (heard)
            return noErr;
    }
    port.Close();
    return kDeviceTimeoutErr; // no speed gave a sentence
}

// Listens at the port's speed until a valid sentence arrives or the window closes.
OSStatus CThreadNMEAScan::Listen(CSerialPort& port, bool& heard)
{
    using Clock = std::chrono::steady_clock;
    auto const deadline = Clock::now() + std::chrono::duration<double>(mWindow);
    CNMEAParser parser;
    std::vector<CGPSPosVelTime> fixes;
    char buffer[512];
    heard = false;
    while (!ShouldStop()) {
        double remaining = std::chrono::duration<double>(deadline - Clock::now()).count();
        if (remaining <= 0)
            return noErr;
        bool readable = false;
        TW_RETURN_IF_ERROR(port.WaitReadable(std::min(remaining, kPollSlice), readable));
        if (!readable)
            continue;
        std::size_t count = 0;
        TW_RETURN_IF_ERROR(port.Read(buffer, sizeof buffer, count));
        parser.Feed(buffer, count, fixes);
        if (parser.GetValidSentences() > 0) {
            heard = true;
            return noErr;
        }
    }
    return userCanceledErr;
}

void CThreadNMEAScan::DoMainTask() { mDriver->ScanFinished(mStatus, std::move(mPort)); }
