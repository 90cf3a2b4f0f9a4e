#include "app/CSheetTransferConfig.h"

#include "devices/CDevice.h"
#include "devices/CDeviceManager.h"
#include "devices/DeviceTypes.h"
#include "framework/CCarbonEvent.h"
#include "model/CMapObject.h"
#include "widgets/CCheckBox.h"
#include "widgets/CPopupButton.h"
#include "widgets/CPushButton.h"

CSheetTransferConfig::CSheetTransferConfig(IDeviceDocument const* document)
    : mDocumentState(GetDocumentState(document))
{
}

CSheetTransferConfig::~CSheetTransferConfig() = default;

UInt32 CSheetTransferConfig::GetDocumentState(IDeviceDocument const* document)
{
    UInt32 state = 0;
    if (!document)
        return state;
    for (CMapObject const* object : document->GetObjects()) {
        if (object->IsType(kMapObjectRoute))
            state |= kTransferRoutes;
        else if (object->IsType(kMapObjectTrack))
            state |= kTransferTracks;
        else if (object->IsType(kMapObjectWaypoint))
            state |= kTransferWaypoints;
    }
    return state;
}

OSStatus CSheetTransferConfig::InitialiseSelf()
{
    mInfo.progressSheet = nullptr;
    mInfo.device = nullptr;
    mInfo.toDevice = false;
    mInfo.kinds = 0;
    mDirection = CPopupButton::Find(this, 'copy', 0);
    mDevicePopup = CPopupButton::Find(this, 'devi', 0);
    mRoutes = CCheckBox::Find(this, 'rout', 0);
    mTracks = CCheckBox::Find(this, 'trak', 0);
    mWaypoints = CCheckBox::Find(this, 'wayp', 0);
    mMaps = CCheckBox::Find(this, 'maps', 0);
    mStart = CPushButton::Find(this, 'sync', 0);
    if (!mDirection || !mDevicePopup || !mRoutes || !mTracks || !mWaypoints || !mMaps || !mStart)
        return errUnknownControl;
    mDevices.SetPopup(mDevicePopup);
    RebuildDevices();
    if (CDeviceManager* manager = DeviceSheetSupport::GetDeviceManager())
        manager->AddListener(this);
    return noErr;
}

void CSheetTransferConfig::DoMessage(UInt32 message, void* parameter)
{
    if (message == 'dvad')
        RebuildDevices();
    else if (message == 'dvrm')
        RebuildDevices(static_cast<CDevice const*>(parameter));
}

CDevice* CSheetTransferConfig::GetSelectedDevice() const { return mDevices.GetSelected(); }

// With devices, everything is offered again and then narrowed by the direction and device.
void CSheetTransferConfig::RebuildDevices(CDevice const* going)
{
    if (!mDevices.Rebuild(nullptr, going))
        return;
    bool const any = !mDevices.IsEmpty();
    mDirection->SetEnabled(any);
    mDevicePopup->SetEnabled(any);
    mStart->SetEnabled(any);
    for (CCheckBox* box : { mRoutes, mTracks, mWaypoints, mMaps })
        Offer(box, any);
    DirectionChanged();
    DeviceChanged();
    KindChanged();
}

void CSheetTransferConfig::Offer(CCheckBox* box, bool offered)
{
    box->SetEnabled(offered);
    box->SetChecked(offered);
}

void CSheetTransferConfig::DirectionChanged()
{
    bool const any = !mDevices.IsEmpty();
    if (mDirection->GetCurrentValue() != kCopyToDevice) {
        mStart->SetEnabled(any);
        for (CCheckBox* box : { mRoutes, mTracks, mWaypoints, mMaps })
            Offer(box, any);
        return;
    }
    // Only what the document holds can be sent.
    if ((mDocumentState & (kTransferRoutes | kTransferTracks | kTransferWaypoints)) == 0)
        mStart->SetEnabled(false);
    if (!(mDocumentState & kTransferRoutes))
        Offer(mRoutes, false);
    if (!(mDocumentState & kTransferTracks))
        Offer(mTracks, false);
    if (!(mDocumentState & kTransferWaypoints))
        Offer(mWaypoints, false);
}

void CSheetTransferConfig::DeviceChanged()
{
    CDevice* device = GetSelectedDevice();
    if (!device)
        return;
    UInt32 const features = device->GetFeatures();
    if (!(features & kDeviceFeatureRoutes))
        Offer(mRoutes, false);
    if (!(features & kDeviceFeatureTracks))
        Offer(mTracks, false);
    if (!(features & kDeviceFeatureWaypoints))
        Offer(mWaypoints, false);
    if (!(features & kDeviceFeatureMapUpload))
        Offer(mMaps, false);
}

// Checking a box again gives the start button back when a device and a kind are there.
void CSheetTransferConfig::KindChanged()
{
    bool const chosen = mRoutes->IsChecked() || mTracks->IsChecked() || mWaypoints->IsChecked() || mMaps->IsChecked();
    bool const sendable = mDirection->GetCurrentValue() != kCopyToDevice
        || (mDocumentState & (kTransferRoutes | kTransferTracks | kTransferWaypoints)) != 0;
    mStart->SetEnabled(GetSelectedDevice() && chosen && sendable);
}

void CSheetTransferConfig::SetTransferInfo(TransferInfo const& info)
{
    mInfo = info;
    mDirection->SetCurrentValue(info.toDevice ? kCopyToDevice : kCopyFromDevice);
    mRoutes->SetChecked(info.kinds & kTransferRoutes);
    mTracks->SetChecked(info.kinds & kTransferTracks);
    mWaypoints->SetChecked(info.kinds & kTransferWaypoints);
    mMaps->SetChecked(info.kinds & kTransferMaps);
    // The same list again is rebuilt all the same: the boxes are offered anew and narrowed.
    mDevices.Invalidate();
    RebuildDevices();
}

TransferInfo CSheetTransferConfig::GetTransferInfo() const
{
    TransferInfo info = mInfo;
    info.device = GetSelectedDevice();
    info.toDevice = mDirection->GetCurrentValue() == kCopyToDevice;
    // Maps are offered by some receivers but are never sent from here.
    info.kinds &= ~UInt32(0xF);
    if (mRoutes->IsChecked())
        info.kinds |= kTransferRoutes;
    if (mTracks->IsChecked())
        info.kinds |= kTransferTracks;
    if (mWaypoints->IsChecked())
        info.kinds |= kTransferWaypoints;
    return info;
}

OSStatus CSheetTransferConfig::DoEventCommandProcess(CCarbonEvent& event)
{
    switch (event.GetHICommand().commandID) {
    case 'copy':
        // A direction back to the receiver starts from everything offered, then narrows.
        if (mDirection->GetCurrentValue() == kCopyToDevice)
            for (CCheckBox* box : { mRoutes, mTracks, mWaypoints, mMaps })
                Offer(box, !mDevices.IsEmpty());
        DirectionChanged();
        DeviceChanged();
        KindChanged();
        return noErr;
    case 'devi':
        DeviceChanged();
        KindChanged();
        return noErr;
    case 'rout':
    case 'trak':
    case 'wayp':
    case 'maps':
        KindChanged();
        return noErr;
    default:
        return CWindowController::DoEventCommandProcess(event);
    }
}
