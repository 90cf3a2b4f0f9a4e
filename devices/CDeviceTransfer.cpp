#include "devices/CDeviceTransfer.h"

#include "devices/CDevice.h"
#include "devices/CDeviceGPS.h"
#include "devices/CDeviceManager.h"
#include "foundation/CTextUtilities.h"

CDeviceTransfer::CDeviceTransfer(IDeviceDocument* document, TransferInfo const& info)
    : mDocument(document)
    , mInfo(info)
{
    // A device that leaves the list before the start is gone for us too.
    if (mInfo.device)
        mInfo.device->GetManager()->AddListener(this);
    InstallTimer(kStartDelay, 0);
}

CDeviceTransfer::~CDeviceTransfer()
{
    bool const running = !mEnded && mDriver;
    mEnded = true;
    if (running)
        mDriver->CancelTransfer();
    Detach();
}

void CDeviceTransfer::DoTimer()
{
    RemoveTimer();
    BeginTransfer();
}

void CDeviceTransfer::BeginTransfer()
{
    RemoveTimer();
    if (mDriver || mEnded)
        return;
    CDeviceGPS* driver = mInfo.device ? mInfo.device->GetDriver() : nullptr;
    if (!driver || !driver->IsConnected()) {
        Fail(kDeviceNotConnectedErr);
        return;
    }
    // Waypoints first: the routes sent or received after them refer to them.
    if (mInfo.kinds & kTransferWaypoints)
        mActions.push_back(kActionWaypoints);
    if (mInfo.kinds & kTransferRoutes)
        mActions.push_back(kActionRoutes);
    if (mInfo.kinds & kTransferTracks)
        mActions.push_back(kActionTracks);
    mDriver = driver;
    mDriverBroadcaster = driver;
    mDriver->AddListener(this);
    if (mInfo.toDevice)
        CollectUploads();
    if (mInfo.progressSheet) {
        mInfo.progressSheet->ShowProgress();
        mInfo.progressSheet->SetProgressInfo(mInfo.progressText, mActions.size() * 100);
    }
    mCurrent = 0;
    StartAction();
}

void CDeviceTransfer::StartAction()
{
    if (mCurrent >= mActions.size()) {
        if (!mInfo.toDevice)
            Apply();
        CString counts;
        counts.Format(CTextUtilities::GetBundleString("DeviceTransferCounts").GetUTF8(), long(mWaypoints.size()),
            long(mRoutes.size()), long(mTracks.size()));
        End(mInfo.successText, counts);
        return;
    }
    OSStatus status = noErr;
    switch (mActions[mCurrent]) {
    case kActionWaypoints:
        status = mDriver->TransferWaypoints(mInfo.toDevice ? &mWaypoints : nullptr);
        break;
    case kActionRoutes:
        status = mDriver->TransferRoutes(mInfo.toDevice ? &mRoutes : nullptr);
        break;
    case kActionTracks:
        status = mDriver->TransferTracks(mInfo.toDevice ? &mTracks : nullptr);
        break;
    }
    if (status != noErr)
        Fail(status);
}

void CDeviceTransfer::ActionDone()
{
    ++mCurrent;
    if (mInfo.progressSheet)
        mInfo.progressSheet->SetProgress(mCurrent * 100);
    StartAction();
}

void CDeviceTransfer::DoMessage(UInt32 message, void* parameter)
{
    if (message == kMsgDeviceRemoved) {
        if (parameter == mInfo.device) {
            mInfo.device = nullptr;
            if (!mDriver && !mEnded)
                Fail(kDeviceGoneErr);
        }
        return;
    }
    if (mEnded || mCurrent >= mActions.size())
        return;
    Action const action = mActions[mCurrent];
    switch (message) {
    case kMsgGPSProgress:
        if (mInfo.progressSheet)
            mInfo.progressSheet->SetProgress(mCurrent * 100 + static_cast<MsgGPSProgress*>(parameter)->percent);
        break;
    case kMsgGPSWaypoints:
        if (action == kActionWaypoints) {
            if (!mInfo.toDevice)
                mWaypoints = *static_cast<MsgGPSTransferedWaypoints*>(parameter)->waypoints;
            ActionDone();
        }
        break;
    case kMsgGPSRoutes:
        if (action == kActionRoutes) {
            if (!mInfo.toDevice)
                mRoutes = *static_cast<MsgGPSTransferedRoutes*>(parameter)->routes;
            ActionDone();
        }
        break;
    case kMsgGPSTracks:
        if (action == kActionTracks) {
            if (!mInfo.toDevice)
                mTracks = *static_cast<MsgGPSTransferedTracks*>(parameter)->tracks;
            ActionDone();
        }
        break;
    case kMsgGPSFailed:
        Fail(static_cast<MsgGPSFailure*>(parameter)->status);
        break;
    case kMsgGPSDisconnected:
        Fail(kDeviceGoneErr);
        break;
    case CMsgBroadcaster::kMsgBroadcasterDied:
        if (parameter == mDriverBroadcaster) {
            mDriver = nullptr; // on its way out: it must not be called
            Fail(kDeviceGoneErr);
        }
        break;
    default:
        break;
    }
}

void CDeviceTransfer::Cancel()
{
    if (mEnded)
        return;
    if (mDriver)
        mDriver->CancelTransfer();
    End(CString(), CString());
}

void CDeviceTransfer::Fail(OSStatus status)
{
    if (mDriver)
        mDriver->CancelTransfer();
    End(CTextUtilities::GetBundleString("DeviceTransferFailed"), CDevice::GetErrorText(status));
}

void CDeviceTransfer::Detach()
{
    RemoveTimer();
    if (mDriver)
        mDriver->RemoveListener(this);
    mDriver = nullptr;
}

void CDeviceTransfer::End(CString const& major, CString const& minor)
{
    if (mEnded)
        return;
    mEnded = true;
    Detach();
    mDocument->FinishTransfer(major, minor);
}
