#include "quartz/CGImage.h"

#include <algorithm>
#include <cairo.h>
#include <cstring>

namespace {

constexpr UInt8 kSignature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
constexpr UInt32 kMaxSide = 32767;
constexpr UInt64 kMaxPixels = UInt64(1) << 26;

UInt32 BigEndian32(UInt8 const* p) { return UInt32(p[0]) << 24 | UInt32(p[1]) << 16 | UInt32(p[2]) << 8 | p[3]; }

// The header must name a size we are prepared to allocate before the decoder sees the data.
bool AcceptableHeader(UInt8 const* bytes, size_t size)
{
    if (size < 33 || std::memcmp(bytes, kSignature, sizeof(kSignature)) != 0 || std::memcmp(bytes + 12, "IHDR", 4) != 0)
        return false;
    UInt32 const width = BigEndian32(bytes + 16);
    UInt32 const height = BigEndian32(bytes + 20);
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && UInt64(width) * height <= kMaxPixels;
}

struct Reader {
    UInt8 const* bytes;
    size_t size;
    size_t offset;
};

cairo_status_t Read(void* closure, unsigned char* data, unsigned int length)
{
    auto* reader = static_cast<Reader*>(closure);
    if (reader->size - reader->offset < length)
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, reader->bytes + reader->offset, length);
    reader->offset += length;
    return CAIRO_STATUS_SUCCESS;
}

} // namespace

CGImageRef CGImageCreateWithPNGDataProvider(
    CGDataProviderRef source, CGFloat const*, bool shouldInterpolate, CGColorRenderingIntent)
{
    if (!source || !AcceptableHeader(source->Bytes(), source->Size()))
        return nullptr;
    Reader reader { source->Bytes(), source->Size(), 0 };
    cairo_surface_t* decoded = cairo_image_surface_create_from_png_stream(Read, &reader);
    if (cairo_surface_status(decoded) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(decoded);
        return nullptr;
    }
    if (cairo_image_surface_get_format(decoded) == CAIRO_FORMAT_ARGB32)
        return new tw::quartz::Image(decoded, shouldInterpolate);
    // Grey and opaque PNGs come out in other formats; images are always ARGB32.
    tw::quartz::Image* image = tw::quartz::CreateImageFromSurface(decoded);
    cairo_surface_destroy(decoded);
    return image;
}
