#include "devices/CDeviceGPS.h"

#include "foundation/CDebugLog.h"

#include <algorithm>

CDeviceGPS::CDeviceGPS(Kind kind, CString const& path)
    : mKind(kind)
    , mPath(path)
    , mLog(path)
{
}

CDeviceGPS::~CDeviceGPS() = default;

OSStatus CDeviceGPS::TransferWaypoints(std::vector<CGPSWaypoint> const*) { return kDeviceUnsupportedErr; }

OSStatus CDeviceGPS::TransferRoutes(std::vector<CGPSRoute> const*) { return kDeviceUnsupportedErr; }

OSStatus CDeviceGPS::TransferTracks(std::vector<CGPSTrack> const*) { return kDeviceUnsupportedErr; }

void CDeviceGPS::SetGoneHandler(GoneHandler handler, void* context)
{
    mGoneHandler = handler;
    mGoneContext = context;
}

void CDeviceGPS::ReportConnect(OSStatus status)
{
    mConnected = status == noErr;
    mLog.LogEvent("connect: %d", int(status));
    // Said once: a port or unit we may not open stays so until someone changes its rights.
    if (status == kDeviceOpenErr && !mWarnedOpen) {
        mWarnedOpen = true;
        CDebugLog::GetDebugLog()->Log(CDebugLog::kPriorityWarning, "Device",
            "%s cannot be opened: is it in use, or does the user lack the right to open it?", mPath.GetUTF8());
    }
    MsgGPSConnection message { this, status };
    BroadcastMessage(kMsgGPSConnected, &message);
}

void CDeviceGPS::ReportDisconnect(OSStatus status)
{
    if (!mConnected)
        return;
    mConnected = false;
    mLog.LogEvent("disconnect: %d", int(status));
    MsgGPSConnection message { this, status };
    BroadcastMessage(kMsgGPSDisconnected, &message);
}

void CDeviceGPS::ReportFix(CGPSPosVelTime const& fix)
{
    BroadcastMessage(kMsgGPSPosVelTime, const_cast<CGPSPosVelTime*>(&fix));
}

void CDeviceGPS::ReportProgress(UInt32 percent)
{
    MsgGPSProgress message { this, std::min<UInt32>(percent, 100) };
    BroadcastMessage(kMsgGPSProgress, &message);
}

void CDeviceGPS::ReportFailure(OSStatus status)
{
    mLog.LogEvent("transfer failed: %d", int(status));
    MsgGPSFailure message { this, status };
    BroadcastMessage(kMsgGPSFailed, &message);
}

void CDeviceGPS::ReportGone()
{
    if (mGone)
        return;
    mGone = true;
    Disconnect();
    if (mGoneHandler)
        mGoneHandler(this, mGoneContext);
}
