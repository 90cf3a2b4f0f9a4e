#include "quartz/CGImage.h"

#include <algorithm>
#include <cairo.h>

namespace tw::quartz {

namespace {

    constexpr size_t kMaxSide = 32767; // Cairo's limit

    struct PixelForm {
        bool bigEndianWord; // the four bytes read as one big-endian word
        bool alphaFirst; // alpha in the word's high byte, else its low byte
        bool hasAlpha;
        bool premultiplied;
    };

    bool PixelFormFor(CGBitmapInfo info, PixelForm& form)
    {
        UInt32 const alpha = info & kCGBitmapAlphaInfoMask;
        UInt32 const order = info & kCGBitmapByteOrderMask;
        if (alpha < kCGImageAlphaPremultipliedLast || alpha > kCGImageAlphaNoneSkipFirst)
            return false;
        if (order != kCGBitmapByteOrderDefault && order != kCGBitmapByteOrder32Little
            && order != kCGBitmapByteOrder32Big)
            return false;
        form.bigEndianWord = order != kCGBitmapByteOrder32Little;
        form.alphaFirst = alpha == kCGImageAlphaPremultipliedFirst || alpha == kCGImageAlphaFirst
            || alpha == kCGImageAlphaNoneSkipFirst;
        form.hasAlpha = alpha != kCGImageAlphaNoneSkipFirst && alpha != kCGImageAlphaNoneSkipLast;
        form.premultiplied = alpha == kCGImageAlphaPremultipliedFirst || alpha == kCGImageAlphaPremultipliedLast;
        return true;
    }

    UInt32 ToPremultipliedARGB(UInt8 const* p, PixelForm const& form)
    {
        UInt32 const word = form.bigEndianWord ? UInt32(p[0]) << 24 | UInt32(p[1]) << 16 | UInt32(p[2]) << 8 | p[3]
                                               : UInt32(p[3]) << 24 | UInt32(p[2]) << 16 | UInt32(p[1]) << 8 | p[0];
        UInt32 const argb = form.alphaFirst ? word : (word >> 8) | (word << 24);
        UInt32 a = form.hasAlpha ? argb >> 24 : 255;
        UInt32 r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
        if (!form.premultiplied) {
            r = (r * a + 127) / 255;
            g = (g * a + 127) / 255;
            b = (b * a + 127) / 255;
        }
        // Premultiplied components above alpha are not colours; keep them in range.
        return a << 24 | std::min(r, a) << 16 | std::min(g, a) << 8 | std::min(b, a);
    }

} // namespace

Image::Image(cairo_surface_t* surface, bool interpolate)
    : mSurface(surface)
    , mInterpolate(interpolate)
{
}

Image::~Image() { cairo_surface_destroy(mSurface); }

size_t Image::Width() const { return size_t(cairo_image_surface_get_width(mSurface)); }

size_t Image::Height() const { return size_t(cairo_image_surface_get_height(mSurface)); }

Image* CreateImageFromSurface(cairo_surface_t* source)
{
    int const width = cairo_image_surface_get_width(source);
    int const height = cairo_image_surface_get_height(source);
    if (width <= 0 || height <= 0)
        return nullptr;
    cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(copy);
    cairo_set_source_surface(cr, source, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    if (cairo_surface_status(copy) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(copy);
        return nullptr;
    }
    return new Image(copy, true);
}

bool WriteImagePNG(Image const* image, std::string const& path)
{
    return image && cairo_surface_write_to_png(image->Surface(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

} // namespace tw::quartz

using tw::quartz::Image;

CFTypeID CGImageGetTypeID() { return kTWTypeIDImage; }

CGImageRef CGImageCreate(size_t width, size_t height, size_t bitsPerComponent, size_t bitsPerPixel, size_t bytesPerRow,
    CGColorSpaceRef space, CGBitmapInfo bitmapInfo, CGDataProviderRef provider, CGFloat const*, bool shouldInterpolate,
    CGColorRenderingIntent)
{
    tw::quartz::PixelForm form;
    if (!provider || !space || space->Model() != kCGColorSpaceModelRGB || bitsPerComponent != 8 || bitsPerPixel != 32
        || !tw::quartz::PixelFormFor(bitmapInfo, form))
        return nullptr;
    if (width == 0 || height == 0 || width > tw::quartz::kMaxSide || height > tw::quartz::kMaxSide
        || bytesPerRow < width * 4 || bytesPerRow > (size_t(1) << 28)
        || provider->Size() < bytesPerRow * (height - 1) + width * 4)
        return nullptr;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(width), int(height));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    unsigned char* out = cairo_image_surface_get_data(surface);
    int const stride = cairo_image_surface_get_stride(surface);
    for (size_t y = 0; y < height; ++y) {
        UInt8 const* in = provider->Bytes() + y * bytesPerRow;
        auto* row = reinterpret_cast<UInt32*>(out + y * stride);
        for (size_t x = 0; x < width; ++x)
            row[x] = tw::quartz::ToPremultipliedARGB(in + 4 * x, form);
    }
    cairo_surface_mark_dirty(surface);
    return new Image(surface, shouldInterpolate);
}

CGImageRef CGImageCreateWithImageInRect(CGImageRef image, CGRect rect)
{
    bool const finite = std::isfinite(rect.origin.x) && std::isfinite(rect.origin.y) && std::isfinite(rect.size.width)
        && std::isfinite(rect.size.height);
    if (!image || !finite)
        return nullptr;
    CGRect const bounds = CGRectMake(0, 0, CGFloat(image->Width()), CGFloat(image->Height()));
    CGRect const part = CGRectIntersection(CGRectIntegral(rect), bounds);
    if (CGRectIsEmpty(part))
        return nullptr;
    cairo_surface_t* surface
        = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(part.size.width), int(part.size.height));
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_surface(cr, image->Surface(), -part.origin.x, -part.origin.y);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    return new Image(surface, image->ShouldInterpolate());
}

CGImageRef CGImageRetain(CGImageRef image)
{
    if (image)
        image->Retain();
    return image;
}

void CGImageRelease(CGImageRef image)
{
    if (image)
        image->Release();
}

size_t CGImageGetWidth(CGImageRef image) { return image ? image->Width() : 0; }

size_t CGImageGetHeight(CGImageRef image) { return image ? image->Height() : 0; }
