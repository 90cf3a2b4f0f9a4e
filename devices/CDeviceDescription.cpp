#include "devices/CDeviceDescription.h"

#include "foundation/CFDictionary.h"
#include "foundation/StCFRef.h"

#include <algorithm>
#include <charconv>

namespace {

// Product numbers are numbers, or texts of decimal or "0x" hexadecimal digits.
bool ReadProductID(CFTypeRef value, UInt32& productID)
{
    if (!value)
        return false;
    if (CFGetTypeID(value) == CFNumberGetTypeID()) {
        SInt64 number = 0;
        if (!CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberSInt64Type, &number) || number < 0
            || number > SInt64(UINT32_MAX))
            return false;
        productID = UInt32(number);
        return true;
    }
    if (CFGetTypeID(value) != CFStringGetTypeID())
        return false;
    std::string text = CString(static_cast<CFStringRef>(value), false).GetUTF8();
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.erase(0, 2);
        base = 16;
    }
    auto result = std::from_chars(text.data(), text.data() + text.size(), productID, base);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

} // namespace

OSStatus CDeviceDescription::Initialise(CFile const& bundleFolder)
{
    StCFRef<CFURLRef> url(bundleFolder.CopyURL());
    if (!url.Get() || !bundleFolder.DirectoryExists())
        return kDeviceDescriptionErr;
    StCFRef<CFBundleRef> bundle(CFBundleCreate(nullptr, url.Get()));
    if (!bundle.Get())
        return kDeviceDescriptionErr;
    CFDictionaryRef info = CFBundleGetInfoDictionary(bundle.Get());
    CFDictionary dictionary(info);
    mName = dictionary.GetValueString("TWDeviceName");
    mIdentifier = dictionary.GetValueString("TWDeviceIdentifier");
    if (mName.IsEmpty() || mIdentifier.IsEmpty())
        return kDeviceDescriptionErr;
    mManufacturer = dictionary.GetValueString("TWDeviceManufacturer");
    mInfoURL = dictionary.GetValueString("TWDeviceInfoURL");

    mProductIDs.clear();
    auto ids = static_cast<CFTypeRef>(info ? CFDictionaryGetValue(info, CFSTR("TWProductIDs")) : nullptr);
    if (ids && CFGetTypeID(ids) == CFArrayGetTypeID()) {
        auto const array = static_cast<CFArrayRef>(ids);
        for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
            UInt32 productID = 0;
            if (ReadProductID(static_cast<CFTypeRef>(CFArrayGetValueAtIndex(array, i)), productID))
                mProductIDs.push_back(productID);
        }
    }

    // The icon is a file in the bundle's resources; a bundle may do without one.
    CString iconName = dictionary.GetValueString("TWDeviceIcon");
    StCFRef<CFURLRef> resources(CFBundleCopyResourcesDirectoryURL(bundle.Get()));
    if (iconName.IsNotEmpty() && iconName.Find("/") < 0 && resources.Get()) {
        CFile icon = CFile(resources.Get()).GetChild(iconName);
        if (icon.FileExists())
            mIcon = CIconRef(icon, true, 0, 0);
    }
    return noErr;
}

bool CDeviceDescription::HasProductID(UInt32 productID) const
{
    return std::find(mProductIDs.begin(), mProductIDs.end(), productID) != mProductIDs.end();
}
