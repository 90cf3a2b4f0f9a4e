#include "quartz/BitmapContext.h"

#include "quartz/CGBitmapContext.h"

#include <cstdlib>

namespace tw::quartz {

BitmapContext::BitmapContext(cairo_surface_t* surface, unsigned char* ownedData, CGBitmapInfo info)
    : Context(surface, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface), false)
    , mOwnedData(ownedData)
    , mInfo(info)
{
}

BitmapContext::~BitmapContext()
{
    // Cairo must let go of the pixels before they are freed.
    cairo_destroy(mCairo);
    mCairo = nullptr;
    cairo_surface_finish(mSurface);
    std::free(mOwnedData);
}

} // namespace tw::quartz

using tw::quartz::BitmapContext;

namespace {

constexpr size_t kMaxSide = 32767;

BitmapContext* AsBitmap(CGContextRef c) { return dynamic_cast<BitmapContext*>(c); }

cairo_format_t FormatFor(CGBitmapInfo info)
{
    if (info == (kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host))
        return CAIRO_FORMAT_ARGB32;
    if (info == (kCGImageAlphaNoneSkipFirst | kCGBitmapByteOrder32Host))
        return CAIRO_FORMAT_RGB24;
    return CAIRO_FORMAT_INVALID;
}

} // namespace

CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent, size_t bytesPerRow,
    CGColorSpaceRef space, CGBitmapInfo bitmapInfo)
{
    cairo_format_t const format = FormatFor(bitmapInfo);
    if (format == CAIRO_FORMAT_INVALID || bitsPerComponent != 8 || (space && space->Model() != kCGColorSpaceModelRGB))
        return nullptr;
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide)
        return nullptr;
    if (bytesPerRow == 0)
        bytesPerRow = size_t(cairo_format_stride_for_width(format, int(width)));
    if (bytesPerRow < width * 4 || bytesPerRow % 4 != 0 || bytesPerRow > (size_t(1) << 28))
        return nullptr;
    unsigned char* owned = nullptr;
    if (!data) {
        owned = static_cast<unsigned char*>(std::calloc(height, bytesPerRow));
        if (!owned)
            return nullptr;
        data = owned;
    }
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        static_cast<unsigned char*>(data), format, int(width), int(height), int(bytesPerRow));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        std::free(owned);
        return nullptr;
    }
    auto* context = new BitmapContext(surface, owned, bitmapInfo);
    cairo_surface_destroy(surface);
    return context;
}

void* CGBitmapContextGetData(CGContextRef c)
{
    BitmapContext* bitmap = AsBitmap(c);
    if (!bitmap)
        return nullptr;
    cairo_surface_flush(bitmap->Surface());
    return cairo_image_surface_get_data(bitmap->Surface());
}

size_t CGBitmapContextGetWidth(CGContextRef c)
{
    return AsBitmap(c) ? size_t(cairo_image_surface_get_width(c->Surface())) : 0;
}

size_t CGBitmapContextGetHeight(CGContextRef c)
{
    return AsBitmap(c) ? size_t(cairo_image_surface_get_height(c->Surface())) : 0;
}

size_t CGBitmapContextGetBytesPerRow(CGContextRef c)
{
    return AsBitmap(c) ? size_t(cairo_image_surface_get_stride(c->Surface())) : 0;
}

CGBitmapInfo CGBitmapContextGetBitmapInfo(CGContextRef c)
{
    BitmapContext* bitmap = AsBitmap(c);
    return bitmap ? bitmap->Info() : 0;
}

CGImageRef CGBitmapContextCreateImage(CGContextRef c)
{
    BitmapContext* bitmap = AsBitmap(c);
    if (!bitmap)
        return nullptr;
    cairo_surface_flush(bitmap->Surface());
    return tw::quartz::CreateImageFromSurface(bitmap->Surface());
}
