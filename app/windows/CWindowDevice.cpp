#include "app/windows/CWindowDevice.h"

#include "app/windows/CViewCompass.h"
#include "bindings/Source/Bindings/CBPreferenceBinding.h"
#include "devices/CDevice.h"
#include "foundation/CTextUtilities.h"
#include "framework/CApplication.h"
#include "framework/CInternetUtilities.h"
#include "framework/CMacWindow.h"
#include "mapdata/CMapManager.h"
#include "model/CMapObject.h"
#include "widgets/CCheckBox.h"
#include "widgets/CIconControl.h"
#include "widgets/CPushButton.h"
#include "widgets/CStaticText.h"

namespace {

constexpr char const* kDevicePrefUnits = "MapUnits";
constexpr char const* kDevicePrefCoordinates = "MapCoordinates";

CBKeyValueStore* DevicePreferences()
{
    CApplication* app = CApplication::GetApp();
    return app ? app->GetPreferences().GetBinding() : nullptr;
}

} // namespace

IDeviceWindow* CWindowDevice::Make(CDevice* device)
{
    auto* window = new CWindowDevice(device);
    if (!window->mMade) {
        delete window;
        return nullptr;
    }
    window->GetWindow()->Select(true);
    return window;
}

void CWindowDevice::Show(CDevice* device)
{
    // Made on first use; the application's factory makes status windows of this class.
    auto* window = device ? dynamic_cast<CWindowDevice*>(device->GetWindow()) : nullptr;
    if (window)
        window->GetWindow()->Select(true);
}

CWindowDevice::CWindowDevice(CDevice* device)
    : mDevice(device)
{
    mMade = Initialise(nullptr, kNibFile, kNibWindow) == noErr;
}

CWindowDevice::~CWindowDevice() { RemoveTimer(); }

OSStatus CWindowDevice::InitialiseSelf()
{
    CDeviceInfo const& info = mDevice->GetInfo();
    char const* const infoKey = info.IsKnown() ? "DeviceMoreInfo" : "DeviceIdentifyGPS";
    mIcon = CIconControl::Find(this, 'icon', 0);
    mKeepVisible = CCheckBox::Find(this, kCommandKeepVisible, 0);
    mInfo = CPushButton::Find(this, kCommandDeviceInfo, 0);
    mCompass = CViewCompass::Find(this, 'comp', 0);
    mDescription = CStaticText::Find(this, 'desc', 0);
    mPath = CStaticText::Find(this, 'path', 0);
    mLatitude = CStaticText::Find(this, 'latt', 0);
    mLongitude = CStaticText::Find(this, 'long', 0);
    mAltitude = CStaticText::Find(this, 'alti', 0);
    mVelocity = CStaticText::Find(this, 'velo', 0);
    mAccuracy = CStaticText::Find(this, 'accu', 0);
    if (!mIcon || !mKeepVisible || !mInfo || !mCompass || !mDescription || !mPath || !mLatitude || !mLongitude
        || !mAltitude || !mVelocity || !mAccuracy)
        return errUnknownControl;

    GetWindow()->SetTitle(info.GetDescription());
    mIcon->SetIcon(info.GetIcon());
    mDescription->SetTextValue(info.GetDescription());
    mPath->SetTextValue(info.GetDevicePath());
    mKeepVisible->SetChecked(mDevice->KeepVisible());
    mInfo->SetTitle(CTextUtilities::GetBundleString(infoKey));
    UpdateDevice();
    if (CBKeyValueStore* prefs = DevicePreferences()) {
        prefs->ObserveKeyPathValue(kDevicePrefUnits, this);
        prefs->ObserveKeyPathValue(kDevicePrefCoordinates, this);
    }
    return InstallTimer(kRefreshInterval, kRefreshInterval);
}

void CWindowDevice::UpdateDevice()
{
    CString latitude, longitude, altitude, velocity, accuracy;
    double angle = 0;
    bool const known = mDevice->IsLocationKnown();
    if (known) {
        CMapManager const& maps = CMapObject::GetMapManager();
        CCoordinate const position = mDevice->GetPosition();
        latitude = position.GetLatitudeString();
        longitude = position.GetLongitudeString();
        altitude = maps.GetDistanceString(position.GetAltitude(), kMapUnitsUser);
        velocity = maps.GetVelocityString(mDevice->GetVelocity(), kMapUnitsUser);
        accuracy = maps.GetDistanceString(mDevice->GetAccuracy(), kMapUnitsUser);
        angle = mDevice->GetOrientation();
    } else {
        latitude = longitude = altitude = velocity = accuracy = CTextUtilities::GetBundleString("DeviceUnknown");
    }
    mLatitude->SetTextValue(latitude);
    mLongitude->SetTextValue(longitude);
    mAltitude->SetTextValue(altitude);
    mVelocity->SetTextValue(velocity);
    mAccuracy->SetTextValue(accuracy);
    mCompass->SetAngle(angle);
    mCompass->SetEnabled(known);
    mKeepVisible->SetEnabled(known);
}

OSStatus CWindowDevice::DoEventCommandProcess(CCarbonEvent& event)
{
    HICommandExtended const command = event.GetHICommand();
    switch (command.commandID) {
    case kCommandDeviceInfo:
        // The menus' "devi" shows the devices window; only the button here asks for the info page.
        if (!(command.attributes & kHICommandFromControl) || command.source.control != mInfo->GetControlRef())
            return CWindowController::DoEventCommandProcess(event);
        CommandDeviceInfo();
        return noErr;
    case kCommandKeepVisible:
        CommandKeepVisible();
        return noErr;
    default:
        return CWindowController::DoEventCommandProcess(event);
    }
}

void CWindowDevice::CommandDeviceInfo()
{
    CString const url = mDevice->GetInfo().GetInfoURL();
    if (!url.IsEmpty())
        CInternetUtilities::LaunchURL(url);
}

void CWindowDevice::CommandKeepVisible() { mDevice->SetKeepVisible(mKeepVisible->IsChecked()); }

OSStatus CWindowDevice::CommandClose()
{
    mDevice->WindowClosed();
    return CWindowController::CommandClose();
}

void CWindowDevice::DeviceRemoved()
{
    // The device has forgotten this window already.
    SetHideOnClose(false);
    CWindowController::CommandClose();
}

void CWindowDevice::DoTimer() { UpdateDevice(); }

void CWindowDevice::ValueChanged(CBKeyValueStore const*, CBString const& keyPath)
{
    if (keyPath == CBString(kDevicePrefUnits) || keyPath == CBString(kDevicePrefCoordinates))
        UpdateDevice();
}
