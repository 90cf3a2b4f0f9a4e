#include "devices/CDevice.h"

#include "devices/CDeviceGPS.h"
#include "devices/CDeviceManager.h"
#include "devices/IDeviceWindow.h"
#include "foundation/CTextUtilities.h"

CDevice::WindowFactory CDevice::sWindowFactory = nullptr;

void CDevice::SetWindowFactory(WindowFactory factory) { sWindowFactory = factory; }

CString CDevice::GetErrorText(OSStatus status)
{
    static struct {
        OSStatus status;
        char const* key;
    } const kTexts[] = {
        { kDeviceTimeoutErr, "DeviceErrorTimeout" },
        { kDeviceProtocolErr, "DeviceErrorProtocol" },
        { kDeviceGoneErr, "DeviceErrorGone" },
        { kDeviceNotConnectedErr, "DeviceErrorNotConnected" },
        { kDeviceUnsupportedErr, "DeviceErrorUnsupported" },
        { kDeviceBusyErr, "DeviceErrorBusy" },
    };
    for (auto const& entry : kTexts)
        if (entry.status == status)
            return CTextUtilities::GetBundleString(entry.key);
    CString text;
    text.Format(CTextUtilities::GetBundleString("DeviceErrorN").GetUTF8(), int(status));
    return text;
}

CDevice::CDevice(CDeviceManager* manager, CDeviceGPS* driver)
    : mManager(manager)
    , mDriver(driver)
    , mDriverBroadcaster(driver)
{
    mDriver->AddListener(this);
    InstallTimer(0, kConnectInterval);
}

CDevice::~CDevice()
{
    CloseWindow();
    Unlist();
}

UInt32 CDevice::GetFeatures() const { return mDriver && mDriver->IsConnected() ? mDriver->GetFeatures() : 0; }

IDeviceWindow* CDevice::GetWindow()
{
    if (!mWindow && sWindowFactory)
        mWindow = sWindowFactory(this);
    return mWindow;
}

void CDevice::CloseWindow()
{
    IDeviceWindow* window = mWindow;
    mWindow = nullptr;
    if (window)
        window->DeviceRemoved();
}

void CDevice::Unlist()
{
    if (!mListed)
        return;
    mListed = false;
    mManager->RemoveDevice(this);
}

void CDevice::DoTimer()
{
    if (!mDriver)
        return;
    if (mDriver->IsConnected()) {
        Connected();
        return;
    }
    mDriver->Connect();
}

void CDevice::DoMessage(UInt32 message, void* parameter)
{
    switch (message) {
    case kMsgGPSConnected:
        if (static_cast<MsgGPSConnection*>(parameter)->status == noErr)
            Connected();
        break;
    case kMsgGPSDisconnected:
        Disconnected();
        break;
    case kMsgGPSPosVelTime: {
        auto const* fix = static_cast<CGPSPosVelTime const*>(parameter);
        // A receiver without a fix is nowhere until the fix returns.
        mLocationKnown = fix->IsValid();
        if (mLocationKnown)
            mFix = *fix;
        break;
    }
    case CMsgBroadcaster::kMsgBroadcasterDied:
        if (parameter == mDriverBroadcaster) {
            mDriver = nullptr;
            delete this;
        }
        break;
    default:
        break;
    }
}

void CDevice::Connected()
{
    RemoveTimer();
    if (!mListed) {
        mInfo = CDeviceInfo(*mDriver, mManager->FindDescription(*mDriver));
        mListed = true;
        mManager->AddDevice(this);
    }
    mDriver->StartPVT();
}

void CDevice::Disconnected()
{
    mLocationKnown = false;
    CloseWindow();
    Unlist();
    // The receiver may come back on the same port (switched on again, its speed changed).
    if (mDriver && !mDriver->IsGone())
        InstallTimer(kConnectInterval, kConnectInterval);
}
