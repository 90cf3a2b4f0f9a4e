#include "devices/CDeviceInfo.h"

#include "devices/CDeviceDescription.h"
#include "devices/CDeviceGPS.h"
#include "foundation/CTextUtilities.h"

CDeviceInfo::CDeviceInfo(CDeviceGPS const& driver, CDeviceDescription const* description)
    : mPath(driver.GetPath())
    , mKnown(description != nullptr)
{
    if (description) {
        mName = description->GetName();
        mManufacturer = description->GetManufacturer();
        mIcon = description->GetIcon();
        mInfoURL = description->GetInfoURL();
        return;
    }
    // An unknown receiver goes by what it calls itself.
    bool const garmin = driver.GetKind() == CDeviceGPS::kKindGarmin;
    mName = driver.GetProductName();
    if (mName.IsEmpty())
        mName = CTextUtilities::GetBundleString(garmin ? "DeviceUnknownGarmin" : "DeviceUnknownNMEA");
    if (garmin)
        mManufacturer = "Garmin";
}

CString CDeviceInfo::GetDescription() const
{
    if (mManufacturer.IsEmpty())
        return mName;
    CString format = CTextUtilities::GetBundleString("DeviceManufacturerName");
    CString text;
    text.Format(format.GetUTF8(), mManufacturer.GetCFString(), mName.GetCFString());
    return text;
}
