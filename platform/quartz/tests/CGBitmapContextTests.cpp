#include "quartz/Context.h"
#include "tests/support/Canvas.h"

#include <gtest/gtest.h>
#include <vector>

using tw::test::IsColour;

namespace {

constexpr CGBitmapInfo kARGB = kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host;

} // namespace

TEST(CGBitmapContext, DrawsIntoTheCallersPixels)
{
    std::vector<UInt32> pixels(8 * 4 * 2, 0); // 8 wide, 4 high, rows of 16 words
    CGContextRef c = CGBitmapContextCreate(pixels.data(), 8, 4, 8, 64, nullptr, kARGB);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(CGBitmapContextGetData(c), pixels.data());
    EXPECT_EQ(CGBitmapContextGetBytesPerRow(c), 64u);
    CGContextSetRGBFillColor(c, 0, 1, 0, 1);
    CGContextFillRect(c, CGRectMake(0, 0, 1, 1)); // bottom-left: the last row in memory
    EXPECT_EQ(pixels[3 * 16], 0xFF00FF00u);
    EXPECT_EQ(pixels[0], 0u);
    CGContextRelease(c);
}

TEST(CGBitmapContext, ImpossibleRequestsGiveNull)
{
    CGColorSpaceRef gray = CGColorSpaceCreateDeviceGray();
    EXPECT_EQ(CGBitmapContextCreate(nullptr, 0, 10, 8, 0, nullptr, kARGB), nullptr);
    EXPECT_EQ(CGBitmapContextCreate(nullptr, 100000, 10, 8, 0, nullptr, kARGB), nullptr);
    EXPECT_EQ(CGBitmapContextCreate(nullptr, 10, 10, 16, 0, nullptr, kARGB), nullptr);
    EXPECT_EQ(CGBitmapContextCreate(nullptr, 10, 10, 8, 20, nullptr, kARGB), nullptr); // rows too short
    EXPECT_EQ(CGBitmapContextCreate(nullptr, 10, 10, 8, 0, nullptr, kCGImageAlphaPremultipliedLast), nullptr);
    EXPECT_EQ(CGBitmapContextCreate(nullptr, 10, 10, 8, 0, gray, kARGB), nullptr);
    EXPECT_EQ(CGBitmapContextGetData(nullptr), nullptr);
    CGColorSpaceRelease(gray);
}

TEST(CGBitmapContext, OpaqueContextsAndImagesAreCopies)
{
    CGContextRef c
        = CGBitmapContextCreate(nullptr, 4, 4, 8, 0, nullptr, kCGImageAlphaNoneSkipFirst | kCGBitmapByteOrder32Host);
    ASSERT_NE(c, nullptr);
    CGContextSetRGBFillColor(c, 1, 0, 0, 1);
    CGContextFillRect(c, CGRectMake(0, 0, 4, 4));
    CGImageRef image = CGBitmapContextCreateImage(c);
    CGContextSetRGBFillColor(c, 0, 0, 1, 1);
    CGContextFillRect(c, CGRectMake(0, 0, 4, 4));
    cairo_surface_t* s = image->Surface();
    tw::test::PixelProbe const probe(cairo_image_surface_get_data(s), 4, 4, cairo_image_surface_get_stride(s));
    EXPECT_TRUE(probe.All(probe.Whole(), [](tw::test::Pixel p) { return IsColour(p, 255, 0, 0); }));
    CGImageRelease(image);
    CGContextRelease(c);
}

TEST(CGBitmapContext, ContextsForForeignSurfacesCanStartFlipped)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 20, 20);
    CGContextRef c = tw::quartz::CreateContextForSurface(surface, 20, 20, true);
    ASSERT_NE(c, nullptr);
    CGContextFillRect(c, CGRectMake(0, 0, 5, 5)); // top-left in a view
    cairo_surface_flush(surface);
    tw::test::PixelProbe const probe(
        cairo_image_surface_get_data(surface), 20, 20, cairo_image_surface_get_stride(surface));
    EXPECT_EQ(probe.At(2, 2).a, 255);
    EXPECT_EQ(probe.At(2, 17).a, 0);
    CGContextRelease(c);
    cairo_surface_destroy(surface);
    EXPECT_EQ(tw::quartz::CreateContextForSurface(nullptr, 20, 20, true), nullptr);
}
