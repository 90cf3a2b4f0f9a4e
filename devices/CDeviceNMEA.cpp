#include "devices/CDeviceNMEA.h"

#include "devices/CThreadNMEAScan.h"

CDeviceNMEA::CDeviceNMEA(CString const& path, UInt32 usbIDs, CString const& model)
    : CDeviceGPS(kKindNMEA, path)
{
    SetProductID(usbIDs);
    SetProductName(model);
}

CDeviceNMEA::~CDeviceNMEA()
{
    // The scan first: its worker must not hand a port to a driver being destroyed.
    mScan.reset();
    RemoveTimer();
}

OSStatus CDeviceNMEA::Connect()
{
    if (IsConnected() || mScanning || IsGone())
        return noErr;
    if (!mScan)
        mScan = std::make_unique<CThreadNMEAScan>(this);
    TW_RETURN_IF_ERROR(mScan->Start(GetPath(), mScanWindow));
    mScanning = true;
    GetLog().Refresh();
    GetLog().LogEvent("scanning speeds");
    return noErr;
}

void CDeviceNMEA::ScanFinished(OSStatus status, CSerialPort&& port)
{
    mScanning = false;
    if (status != noErr) {
        ReportConnect(status);
        if (status == fnfErr || status == kDeviceGoneErr)
            ReportGone();
        return;
    }
    mPort = std::move(port);
    mParser.Reset();
    mQuiet = 0;
    mLastValidCount = 0;
    GetLog().LogEvent("found at %u baud", unsigned(mPort.GetSpeed()));
    InstallTimer(mPositionInterval, mPositionInterval);
    ReportConnect(noErr);
}

void CDeviceNMEA::Disconnect()
{
    if (mScanning && mScan) {
        mScan->StopTask();
        mScanning = false;
    }
    Close(noErr);
}

void CDeviceNMEA::Close(OSStatus status)
{
    RemoveTimer();
    mPort.Close();
    ReportDisconnect(status);
}

void CDeviceNMEA::DoTimer()
{
    std::vector<CGPSPosVelTime> fixes;
    char buffer[4096];
    OSStatus status = noErr;
    for (std::size_t total = 0; total < kMaxReadPerTick;) {
        std::size_t count = 0;
        status = mPort.Read(buffer, sizeof buffer, count);
        if (status != noErr || count == 0)
            break;
        GetLog().LogText("<", buffer, count);
        mParser.Feed(buffer, count, fixes);
        total += count;
    }
    mParser.Flush(fixes);
    if (mParser.GetValidSentences() != mLastValidCount)
        mQuiet = 0;
    else
        ++mQuiet;
    mLastValidCount = mParser.GetValidSentences();
    for (CGPSPosVelTime const& fix : fixes)
        ReportFix(fix);
    if (status == kDeviceGoneErr) {
        Close(status);
        ReportGone();
    } else if (status != noErr) {
        Close(status);
    } else if (mQuiet >= kQuietTicks) {
        Close(kDeviceTimeoutErr);
    }
}
