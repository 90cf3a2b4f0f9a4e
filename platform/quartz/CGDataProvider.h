#pragma once

// Data providers: the bytes behind an image, either borrowed from the caller
// (released through its callback when the provider goes) or copied.

#include "corefoundation/CFNumber.h"
#include "corefoundation/CFURL.h"
#include "quartz/QuartzTypeIDs.h"

#include <vector>

using CGDataProviderReleaseDataCallback = void (*)(void* info, void const* data, size_t size);

namespace tw::quartz {

class DataProvider final : public cf::Object {
public:
    explicit DataProvider(std::vector<UInt8> bytes);
    DataProvider(void* info, void const* data, size_t size, CGDataProviderReleaseDataCallback release);
    ~DataProvider() override;
    CFTypeID TypeID() const override { return kTWTypeIDDataProvider; }
    UInt8 const* Bytes() const { return mData; }
    size_t Size() const { return mSize; }

private:
    std::vector<UInt8> mCopy;
    UInt8 const* mData; // borrowed from the caller, or mCopy's
    size_t mSize;
    void* mInfo; // borrowed
    CGDataProviderReleaseDataCallback mRelease;
};

} // namespace tw::quartz

using CGDataProvider = tw::quartz::DataProvider;
using CGDataProviderRef = CGDataProvider*;

CFTypeID CGDataProviderGetTypeID();
CGDataProviderRef CGDataProviderCreateWithData(
    void* info, void const* data, size_t size, CGDataProviderReleaseDataCallback releaseData);
CGDataProviderRef CGDataProviderCreateWithCFData(CFDataRef data); // copies the bytes
CGDataProviderRef CGDataProviderCreateWithURL(CFURLRef url); // reads a file now; null when it cannot
CGDataProviderRef CGDataProviderRetain(CGDataProviderRef provider);
void CGDataProviderRelease(CGDataProviderRef provider);
