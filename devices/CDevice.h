#pragma once

// The application's handle on one receiver. It listens to its driver and runs
// the connection timer (every 3.0 s while the driver is not connected it asks
// it to connect; once connected it starts the live fixes and stops). On "dcon"
// it looks up its description and is listed by the device manager ("dvad");
// on "ddis" it is unlisted ("dvrm") and tries again; it keeps the last fix.
// It lives as long as its driver: on the driver's "ebde" it closes its window,
// leaves the list and deletes itself. Main thread.

#include "devices/CDeviceInfo.h"
#include "devices/CGPSPosVelTime.h"
#include "foundation/CMsgListener.h"
#include "foundation/CTimerTask.h"

class CDeviceGPS;
class CDeviceManager;
class IDeviceWindow;

class CDevice : public CMsgListener, public CTimerTask {
public:
    static constexpr double kConnectInterval = 3.0; // [s]
    // Makes the status window of a device; installed by the application.
    using WindowFactory = IDeviceWindow* (*)(CDevice* device);

    static void SetWindowFactory(WindowFactory factory);
    // The localised sentence for a failure of the device layer.
    static CString GetErrorText(OSStatus status);

    // Listens to the driver and connects on the next turn of the loop.
    CDevice(CDeviceManager* manager, CDeviceGPS* driver);
    ~CDevice() override;

    CDeviceInfo const& GetInfo() const { return mInfo; }
    CDeviceGPS* GetDriver() const { return mDriver; }
    CDeviceManager* GetManager() const { return mManager; }
    bool IsListed() const { return mListed; }

    bool IsLocationKnown() const { return mLocationKnown; }
    CCoordinate GetPosition() const { return mFix.sample; }
    double GetOrientation() const { return mFix.heading; } // [deg]
    double GetVelocity() const { return mFix.GetSpeed(); } // [m/s]
    double GetAccuracy() const { return mFix.sample.GetAccuracy(); } // [m]
    CGPSPosVelTime const& GetLastFix() const { return mFix; }

    bool KeepVisible() const { return mKeepVisible; }
    void SetKeepVisible(bool keepVisible) { mKeepVisible = keepVisible; }
    UInt32 GetFeatures() const;

    // The status window, made on first call by the installed factory (null without one).
    IDeviceWindow* GetWindow();
    void WindowClosed() { mWindow = nullptr; }

    void DoMessage(UInt32 message, void* parameter) override;

protected:
    void DoTimer() override;

private:
    void Connected();
    void Disconnected();
    void CloseWindow();
    void Unlist();

    static WindowFactory sWindowFactory;

    CDeviceManager* mManager; // borrowed: outlives every device
    CDeviceGPS* mDriver; // borrowed: owned by the manager; we die with it
    CMsgBroadcaster* mDriverBroadcaster; // the driver as its "ebde" names it
    CDeviceInfo mInfo;
    CGPSPosVelTime mFix;
    IDeviceWindow* mWindow = nullptr; // weak: the window deletes itself, telling us first
    bool mLocationKnown = false;
    bool mKeepVisible = false;
    bool mListed = false;
};
