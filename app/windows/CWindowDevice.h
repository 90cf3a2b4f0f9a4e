#pragma once

#include "app/CTWApplication.h"
#include "docwindow/CTWWindow.h"
#include "bindings/Source/Core/CBKeyValueObserver.h"
#include "devices/IDeviceWindow.h"
#include "foundation/CTimerTask.h"
#include "framework/CWindowController.h"

class CCheckBox;
class CDevice;
class CIconControl;
class CPushButton;
class CStaticText;
class CViewCompass;

// The status window of one receiver: its description and path, and its last fix
// (latitude, longitude, altitude, velocity, accuracy, and the heading on the compass),
// refreshed every second and at once when the units or coordinate format change. Made
// by the device on demand (the application installs Make as its window factory); the
// device owns it, and it deletes itself when closed or when the device goes.
// Main thread only.
class CWindowDevice : public CWindowController, public CTimerTask, public CTWWindow, public CBKeyValueObserver,
                      public IDeviceWindow {
public:
    static constexpr char const* kNibFile = "Tarnwick";
    static constexpr char const* kNibWindow = "Device Info";
    static constexpr double kRefreshInterval = 1.0; // [s]
    static constexpr UInt32 kCommandDeviceInfo = 'devi';
    static constexpr UInt32 kCommandKeepVisible = 'dkvs';

    // The device's window factory: a new window, shown in front; null when the nib fails.
    static IDeviceWindow* Make(CDevice* device);
    // Brings the device's window to the front, made first when it has none (the devices
    // list's double-click, the document's device command).
    static void Show(CDevice* device);

    explicit CWindowDevice(CDevice* device);
    ~CWindowDevice() override;

    CDevice* GetDevice() const { return mDevice; }

    OSStatus DoEventCommandProcess(CCarbonEvent& event) override;
    OSStatus InitialiseSelf() override;
    OSStatus CommandClose() override;
    void ValueChanged(CBKeyValueStore const* store, CBString const& keyPath) override;
    void DeviceRemoved() override;

    void UpdateDevice();
    void CommandKeepVisible();
    void CommandDeviceInfo();

protected:
    void DoTimer() override;

private:
    CDevice* mDevice; // weak: the device owns this window
    bool mMade = false; // the nib gave the window and every view
    CIconControl* mIcon = nullptr; // the views below are the window's
    CCheckBox* mKeepVisible = nullptr;
    CPushButton* mInfo = nullptr;
    CViewCompass* mCompass = nullptr;
    CStaticText* mDescription = nullptr;
    CStaticText* mPath = nullptr;
    CStaticText* mLatitude = nullptr;
    CStaticText* mLongitude = nullptr;
    CStaticText* mAltitude = nullptr;
    CStaticText* mVelocity = nullptr;
    CStaticText* mAccuracy = nullptr;
};
