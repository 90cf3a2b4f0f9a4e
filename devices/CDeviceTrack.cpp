#include "devices/CDeviceTrack.h"

#include "devices/CDevice.h"
#include "devices/CDeviceGPS.h"
#include "devices/CDeviceManager.h"
#include "foundation/CTextUtilities.h"
#include "model/CMapTrack.h"

#include <GeographicLib/Geodesic.hpp>

CDeviceTrack::CDeviceTrack(IDeviceDocument* document, TrackInfo const& info)
    : mDocument(document)
    , mInfo(info)
{
    // A device that leaves the list before the start is gone for us too.
    if (mInfo.device)
        mInfo.device->GetManager()->AddListener(this);
    InstallTimer(kStartDelay, 0);
}

CDeviceTrack::~CDeviceTrack()
{
    mEnded = true;
    Detach();
}

void CDeviceTrack::DoTimer()
{
    RemoveTimer();
    BeginTrack();
}

void CDeviceTrack::BeginTrack()
{
    RemoveTimer();
    if (mDriver || mEnded)
        return;
    CDeviceGPS* driver = mInfo.device ? mInfo.device->GetDriver() : nullptr;
    if (!driver || !driver->IsConnected() || !mInfo.track) {
        End(CTextUtilities::GetBundleString("DeviceTrackStopped"), CDevice::GetErrorText(kDeviceNotConnectedErr));
        return;
    }
    mDriver = driver;
    mDriverBroadcaster = driver;
    mDriver->AddListener(this);
    if (mInfo.progressSheet) {
        mInfo.progressSheet->ShowProgress();
        mInfo.progressSheet->SetProgressInfo(mInfo.progressText, 0);
    }
}

void CDeviceTrack::Stop() { End(CString(), CString()); }

void CDeviceTrack::DoMessage(UInt32 message, void* parameter)
{
    switch (message) {
    case kMsgDeviceRemoved:
        if (parameter == mInfo.device) {
            mInfo.device = nullptr;
            if (!mDriver)
                End(CTextUtilities::GetBundleString("DeviceTrackStopped"), CDevice::GetErrorText(kDeviceGoneErr));
        }
        break;
    case kMsgGPSPosVelTime: {
        auto const* fix = static_cast<CGPSPosVelTime const*>(parameter);
        if (fix->IsValid() && ShouldCapture(fix->sample))
            Record(fix->sample);
        break;
    }
    case kMsgGPSDisconnected:
        End(CTextUtilities::GetBundleString("DeviceTrackStopped"),
            CDevice::GetErrorText(static_cast<MsgGPSConnection*>(parameter)->status == kDeviceTimeoutErr
                    ? kDeviceTimeoutErr
                    : kDeviceGoneErr));
        break;
    case CMsgBroadcaster::kMsgBroadcasterDied:
        if (parameter == mDriverBroadcaster) {
            mDriver = nullptr; // already on its way out: it must not be called
            End(CTextUtilities::GetBundleString("DeviceTrackStopped"), CDevice::GetErrorText(kDeviceGoneErr));
        }
        break;
    default:
        break;
    }
}

bool CDeviceTrack::ShouldCapture(CCoordinatePVT const& sample) const
{
    if (!mHasLast)
        return true;
    switch (mInfo.captureMode) {
    case kCaptureBySeconds:
        return (sample.GetTime() - mLast.GetTime()).GetTimeInSeconds() >= double(mInfo.captureValue);
    case kCaptureByMetres: {
        double metres = 0;
        GeographicLib::Geodesic::WGS84().Inverse(
            mLast.GetLatitude(), mLast.GetLongitude(), sample.GetLatitude(), sample.GetLongitude(), metres);
        return metres >= double(mInfo.captureValue);
    }
    default:
        return true;
    }
}

void CDeviceTrack::Record(CCoordinatePVT const& sample)
{
    mLast = sample;
    mHasLast = true;
    ++mSamples;
    mInfo.track->AddSample(sample);
}

void CDeviceTrack::Detach()
{
    RemoveTimer();
    if (mDriver)
        mDriver->RemoveListener(this);
    mDriver = nullptr;
}

void CDeviceTrack::End(CString const& major, CString const& minor)
{
    if (mEnded)
        return;
    mEnded = true;
    Detach();
    mDocument->FinishTrack(major, minor);
}
