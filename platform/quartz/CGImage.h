#pragma once

// Images: immutable pixel rectangles, kept as premultiplied ARGB in host
// order (Cairo's ARGB32) whatever form they were made from. Row 0 is the top.

#include "quartz/CGColor.h"
#include "quartz/CGContext.h"
#include "quartz/CGDataProvider.h"

#include <bit>
#include <string>

using CGBitmapInfo = UInt32;
using CGImageAlphaInfo = UInt32;

// Alpha infos and byte orders are or-ed together into a CGBitmapInfo.
enum : CGBitmapInfo {
    kCGImageAlphaNone = 0,
    kCGImageAlphaPremultipliedLast = 1,
    kCGImageAlphaPremultipliedFirst = 2,
    kCGImageAlphaLast = 3,
    kCGImageAlphaFirst = 4,
    kCGImageAlphaNoneSkipLast = 5,
    kCGImageAlphaNoneSkipFirst = 6,
    kCGBitmapAlphaInfoMask = 0x1F,
    kCGBitmapByteOrderMask = 0x7000,
    kCGBitmapByteOrderDefault = 0, // bytes in the order the alpha info names them
    kCGBitmapByteOrder32Little = 2 << 12,
    kCGBitmapByteOrder32Big = 4 << 12,
    kCGBitmapByteOrder32Host
    = std::endian::native == std::endian::little ? kCGBitmapByteOrder32Little : kCGBitmapByteOrder32Big,
};

enum CGColorRenderingIntent : int { kCGRenderingIntentDefault = 0 };

typedef struct _cairo_surface cairo_surface_t; // as cairo.h names it

namespace tw::quartz {

class Image final : public cf::Object {
public:
    // surface: an ARGB32 image surface, adopted.
    Image(cairo_surface_t* surface, bool interpolate);
    ~Image() override;
    CFTypeID TypeID() const override { return kTWTypeIDImage; }
    cairo_surface_t* Surface() const { return mSurface; }
    size_t Width() const;
    size_t Height() const;
    bool ShouldInterpolate() const { return mInterpolate; }

private:
    cairo_surface_t* mSurface; // owns
    bool mInterpolate;
};

// An image holding a copy of the surface's pixels; null when it cannot be made.
Image* CreateImageFromSurface(cairo_surface_t* surface);
// Writes the image as a PNG file (for tests and screenshots).
bool WriteImagePNG(Image const* image, std::string const& path);

} // namespace tw::quartz

using CGImage = tw::quartz::Image;

CFTypeID CGImageGetTypeID();
// 8 bits a component, 32 a pixel, RGB; any of the alpha infos above with 32-bit byte orders.
// Null for other forms, impossible sizes or a provider with too few bytes.
CGImageRef CGImageCreate(size_t width, size_t height, size_t bitsPerComponent, size_t bitsPerPixel, size_t bytesPerRow,
    CGColorSpaceRef space, CGBitmapInfo bitmapInfo, CGDataProviderRef provider, CGFloat const* decode,
    bool shouldInterpolate, CGColorRenderingIntent intent);
// Null when the data is not a readable PNG image.
CGImageRef CGImageCreateWithPNGDataProvider(
    CGDataProviderRef source, CGFloat const* decode, bool shouldInterpolate, CGColorRenderingIntent intent);
// rect in pixels from the top left, cut to the image; null when nothing is left.
CGImageRef CGImageCreateWithImageInRect(CGImageRef image, CGRect rect);
CGImageRef CGImageRetain(CGImageRef image);
void CGImageRelease(CGImageRef image);
size_t CGImageGetWidth(CGImageRef image);
size_t CGImageGetHeight(CGImageRef image);
