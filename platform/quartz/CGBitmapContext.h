#pragma once

// Bitmap contexts: 8-bit RGB pixels in memory, 32 bits each, y up like Quartz
// (row 0 of the data is the top row, device y 0 the bottom one).

#include "quartz/CGImage.h"

// The forms drawn into: kCGImageAlphaPremultipliedFirst or kCGImageAlphaNoneSkipFirst, each with
// kCGBitmapByteOrder32Host. data null: the context allocates (cleared) pixels of its own.
// bytesPerRow 0: the least for the width. Null for other forms and impossible sizes.
CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent, size_t bytesPerRow,
    CGColorSpaceRef space, CGBitmapInfo bitmapInfo);
void* CGBitmapContextGetData(CGContextRef c); // null for other contexts
size_t CGBitmapContextGetWidth(CGContextRef c);
size_t CGBitmapContextGetHeight(CGContextRef c);
size_t CGBitmapContextGetBytesPerRow(CGContextRef c);
CGBitmapInfo CGBitmapContextGetBitmapInfo(CGContextRef c);
// A copy of the pixels as they are now.
CGImageRef CGBitmapContextCreateImage(CGContextRef c);
