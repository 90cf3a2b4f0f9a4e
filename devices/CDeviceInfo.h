#pragma once

// What the application shows of a device: its name, the description text
// ("DeviceManufacturerName" with manufacturer and name), icon, device path,
// information link, and whether a description bundle matched it.

#include "foundation/CIconRef.h"
#include "foundation/CString.h"

class CDeviceDescription;
class CDeviceGPS;

class CDeviceInfo {
public:
    CDeviceInfo() = default;
    // From what the driver learnt and the description that matched it (null: none did).
    CDeviceInfo(CDeviceGPS const& driver, CDeviceDescription const* description);

    CString GetName() const { return mName; }
    CString GetManufacturer() const { return mManufacturer; }
    CString GetDescription() const;
    CIconRef GetIcon() const { return mIcon; }
    CString GetDevicePath() const { return mPath; }
    CString GetInfoURL() const { return mInfoURL; }
    bool IsKnown() const { return mKnown; }

private:
    CString mName;
    CString mManufacturer;
    CIconRef mIcon;
    CString mPath;
    CString mInfoURL;
    bool mKnown = false;
};
