#pragma once

// A bitmap context for drawing tests, probed in screen terms (row 0 at the top).
// Header only: include it from test binaries that link the Quartz module.

#include "quartz/Quartz.h"
#include "tests/support/PixelProbe.h"

#include <cairo.h>

namespace tw::test {

class Canvas {
public:
    enum class Orientation { YUp, Flipped };

    Canvas(int width, int height, Orientation orientation = Orientation::YUp)
        : mContext(CGBitmapContextCreate(nullptr, size_t(width), size_t(height), 8, 0, nullptr,
            kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host))
    {
        if (orientation == Orientation::Flipped) {
            CGContextTranslateCTM(mContext, 0, height);
            CGContextScaleCTM(mContext, 1, -1);
        }
    }
    ~Canvas() { CGContextRelease(mContext); }
    Canvas(Canvas const&) = delete;
    Canvas& operator=(Canvas const&) = delete;

    CGContextRef Context() const { return mContext; }
    PixelProbe Probe() const
    {
        return PixelProbe(CGBitmapContextGetData(mContext), int(CGBitmapContextGetWidth(mContext)),
            int(CGBitmapContextGetHeight(mContext)), CGBitmapContextGetBytesPerRow(mContext));
    }
    Pixel At(int x, int y) const { return Probe().At(x, y); }

private:
    CGContextRef mContext; // owns
};

} // namespace tw::test
