#include "render/CImage.h"

#include "foundation/CFile.h"
#include "foundation/Status.h"

#include <vector>

namespace {

constexpr UInt32 kMaxSide = 32767;

// Host-order ARGB words, straight alpha, as the pixel sheets are kept.
CGImageRef CreateFromWords(UInt32 width, UInt32 height, size_t rowBytes, void const* data)
{
    CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, data, rowBytes * height, nullptr);
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    CGImageRef image = CGImageCreate(width, height, 8, 32, rowBytes, space,
        kCGImageAlphaFirst | kCGBitmapByteOrder32Host, provider, nullptr, true, kCGRenderingIntentDefault);
    CGColorSpaceRelease(space);
    CGDataProviderRelease(provider);
    return image;
}

} // namespace

CImage::CImage(UInt32 width, UInt32 height, UInt32 bitsPerPixel, UInt32)
    : mBitsPerPixel(bitsPerPixel)
{
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide)
        return;
    std::vector<UInt32> const clear(size_t(width) * height, 0);
    mImage = CreateFromWords(width, height, size_t(width) * 4, clear.data());
}

CImage::~CImage() { CGImageRelease(mImage); }

OSStatus CImage::CreateFromFile(CFile const& file)
{
    if (mBitsPerPixel != 32)
        return paramErr;
    if (!file.FileExists())
        return fnfErr;
    CFURLRef url = file.CopyURL();
    CGDataProviderRef provider = CGDataProviderCreateWithURL(url);
    CGImageRef image = CGImageCreateWithPNGDataProvider(provider, nullptr, true, kCGRenderingIntentDefault);
    CGDataProviderRelease(provider);
    if (url)
        CFRelease(url);
    if (!image)
        return kNothingParseableErr;
    CGImageRelease(mImage);
    mImage = image;
    return noErr;
}

OSStatus CImage::CreateFromData(UInt32 width, UInt32 height, UInt32 pixelFormat, UInt32 rowBytes, void const* data)
{
    if (pixelFormat != kPixelFormatARGB || !data || width == 0 || height == 0 || width > kMaxSide || height > kMaxSide
        || rowBytes < UInt64(width) * 4)
        return paramErr;
    CGImageRef image = CreateFromWords(width, height, rowBytes, data);
    if (!image)
        return paramErr;
    CGImageRelease(mImage);
    mImage = image;
    return noErr;
}

CGImageRef CImage::GetAsCGImageRef(CGRect const* part, bool) const
{
    if (!mImage)
        return nullptr;
    if (!part)
        return CGImageRetain(mImage);
    return CGImageCreateWithImageInRect(mImage, *part);
}
