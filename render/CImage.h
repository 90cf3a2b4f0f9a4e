#pragma once

// An in-memory raster image: decoded from an image file or wrapped from raw
// pixel words, handed out whole or in parts as CGImages. A failed load keeps
// the previous contents. One thread at a time.

#include "platform/Platform.h"

class CFile;

class CImage {
public:
    // CreateFromData's one pixel format: 32-bit words in host order, alpha in the high byte
    // then red, green and blue, not premultiplied.
    enum : UInt32 { kPixelFormatARGB = 11 };

    // A transparent image of the size; sizes beyond 32767 make an empty image. Only 32 bits
    // per pixel load; the flags carry no meaning here.
    CImage(UInt32 width, UInt32 height, UInt32 bitsPerPixel, UInt32 flags);
    ~CImage();
    CImage(CImage const&) = delete;
    CImage& operator=(CImage const&) = delete;

    // 0, fnfErr for a missing file, -206 for one that is not a readable image, -50 for a
    // non-32-bit image.
    OSStatus CreateFromFile(CFile const& file);
    // Copies the pixels; -50 for another format, a null pointer or rows too short for the width.
    OSStatus CreateFromData(UInt32 width, UInt32 height, UInt32 pixelFormat, UInt32 rowBytes, void const* data);
    // The whole image, or the part (x and y from the top-left, cut to the image); null when
    // nothing is left. The caller releases it. The flag carries no meaning here.
    CGImageRef GetAsCGImageRef(CGRect const* part, bool) const;

private:
    UInt32 mBitsPerPixel;
    CGImageRef mImage = nullptr; // owns; null when empty
};
