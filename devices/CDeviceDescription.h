#pragma once

// One device description: a "twdevice" bundle whose Info dictionary names a
// kind of receiver ("TWDeviceName", "TWDeviceManufacturer",
// "TWDeviceIdentifier", "TWDeviceInfoURL"), its icon ("TWDeviceIcon", a PNG in
// the bundle's resources) and the product numbers it stands for
// ("TWProductIDs"). Loaded once by the device manager; read-only afterwards.

#include "foundation/CFile.h"
#include "foundation/CIconRef.h"

#include <vector>

// A description bundle that cannot be read or lacks its name or identifier.
inline constexpr OSStatus kDeviceDescriptionErr = -3407;

class CDeviceDescription {
public:
    static constexpr char kExtension[] = "twdevice";

    OSStatus Initialise(CFile const& bundleFolder);

    CString GetName() const { return mName; }
    CString GetManufacturer() const { return mManufacturer; }
    CString GetIdentifier() const { return mIdentifier; }
    CString GetInfoURL() const { return mInfoURL; }
    CIconRef GetIcon() const { return mIcon; }
    std::vector<UInt32> const& GetProductIDs() const { return mProductIDs; }
    bool HasProductID(UInt32 productID) const;

private:
    CString mName;
    CString mManufacturer;
    CString mIdentifier;
    CString mInfoURL;
    CIconRef mIcon;
    std::vector<UInt32> mProductIDs;
};
