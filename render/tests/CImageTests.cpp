#include "foundation/CFile.h"
#include "render/CImage.h"
#include "tests/support/TestSupport.h"

#include <array>
#include <cairo.h>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Straight-alpha ARGB words: a 2 x 2 sheet, top row half-transparent red then green, bottom row blue then white.
constexpr std::array<UInt32, 4> kSheet { 0x80FF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF };

UInt32 PixelOf(CGImageRef image, int x, int y)
{
    cairo_surface_t* s = image->Surface();
    cairo_surface_flush(s);
    auto const* row = reinterpret_cast<UInt32 const*>(
        cairo_image_surface_get_data(s) + size_t(y) * size_t(cairo_image_surface_get_stride(s)));
    return row[x];
}

CFile WriteRedPNG(tw::test::TempFolder const& folder, int width, int height)
{
    CGContextRef c = CGBitmapContextCreate(nullptr, size_t(width), size_t(height), 8, 0, nullptr,
        kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host);
    CGContextSetRGBFillColor(c, 1, 0, 0, 1);
    CGContextFillRect(c, CGRectMake(0, 0, width, height));
    CGImageRef image = CGBitmapContextCreateImage(c);
    std::string const path = (folder / "red.png").string();
    tw::quartz::WriteImagePNG(image, path);
    CGImageRelease(image);
    CGContextRelease(c);
    return CFile(CString(path.c_str()));
}

} // namespace

TEST(CImage, WrapsPixelSheetsAndCutsPartsFromTheTop)
{
    CImage image(0, 0, 32, 1);
    EXPECT_EQ(image.GetAsCGImageRef(nullptr, false), nullptr);
    ASSERT_EQ(image.CreateFromData(2, 2, CImage::kPixelFormatARGB, 8, kSheet.data()), noErr);
    CGImageRef whole = image.GetAsCGImageRef(nullptr, false);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(PixelOf(whole, 0, 0), 0x80800000u); // premultiplied when drawn
    EXPECT_EQ(PixelOf(whole, 1, 1), 0xFFFFFFFFu);
    CGRect const bottomLeft = CGRectMake(0, 1, 1, 1);
    CGImageRef part = image.GetAsCGImageRef(&bottomLeft, false);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(CGImageGetWidth(part), 1u);
    EXPECT_EQ(PixelOf(part, 0, 0), 0xFF0000FFu);
    CGRect const outside = CGRectMake(5, 5, 1, 1);
    EXPECT_EQ(image.GetAsCGImageRef(&outside, false), nullptr);
    CGImageRelease(part);
    CGImageRelease(whole);
}

TEST(CImage, RefusesOtherFormatsAndShortRowsAndKeepsItsImage)
{
    CImage image(0, 0, 32, 1);
    ASSERT_EQ(image.CreateFromData(2, 2, CImage::kPixelFormatARGB, 8, kSheet.data()), noErr);
    EXPECT_EQ(image.CreateFromData(2, 2, 12, 8, kSheet.data()), paramErr);
    EXPECT_EQ(image.CreateFromData(2, 2, CImage::kPixelFormatARGB, 4, kSheet.data()), paramErr);
    EXPECT_EQ(image.CreateFromData(2, 2, CImage::kPixelFormatARGB, 7, kSheet.data()), paramErr) << "one byte short";
    EXPECT_EQ(image.CreateFromData(2, 2, CImage::kPixelFormatARGB, 8, nullptr), paramErr);
    EXPECT_EQ(image.CreateFromFile(CFile(CString("/nonexistent/x.png"))), fnfErr);
    CGImageRef kept = image.GetAsCGImageRef(nullptr, false);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(CGImageGetWidth(kept), 2u);
    CGImageRelease(kept);
}

// Rows may be longer than their pixels; sides are limited to 32767 on both axes.
TEST(CImage, TakesPaddedRowsAndSidesUpToTheLimit)
{
    CImage image(0, 0, 32, 1);
    std::array<UInt32, 6> const padded { 0xFFFF0000, 0xFF00FF00, 0x12345678, 0xFF0000FF, 0xFFFFFFFF, 0x12345678 };
    ASSERT_EQ(image.CreateFromData(2, 2, CImage::kPixelFormatARGB, 12, padded.data()), noErr);
    CGImageRef sheet = image.GetAsCGImageRef(nullptr, false);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(PixelOf(sheet, 0, 1), 0xFF0000FFu) << "the second row starts after the padding";
    CGImageRelease(sheet);
    std::vector<UInt32> const row(32768, 0xFF000000);
    EXPECT_EQ(image.CreateFromData(32767, 1, CImage::kPixelFormatARGB, 32767 * 4, row.data()), noErr);
    EXPECT_EQ(image.CreateFromData(32768, 1, CImage::kPixelFormatARGB, 32768 * 4, row.data()), paramErr);
    EXPECT_EQ(image.CreateFromData(1, 32768, CImage::kPixelFormatARGB, 4, row.data()), paramErr);
    EXPECT_EQ(image.CreateFromData(0, 1, CImage::kPixelFormatARGB, 4, row.data()), paramErr);
}

TEST(CImage, ReadsPNGFilesAndRejectsOthers)
{
    tw::test::TempFolder folder;
    CImage image(0, 0, 32, 1);
    ASSERT_EQ(image.CreateFromFile(WriteRedPNG(folder, 3, 5)), noErr);
    CGImageRef loaded = image.GetAsCGImageRef(nullptr, false);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(CGImageGetHeight(loaded), 5u);
    EXPECT_EQ(PixelOf(loaded, 2, 4), 0xFFFF0000u);
    CGImageRelease(loaded);
    tw::test::WriteFile(folder / "text.png", "plain text, not an image");
    EXPECT_EQ(image.CreateFromFile(CFile(CString((folder / "text.png").c_str()))), -206);
    CImage sixteen(0, 0, 16, 1);
    EXPECT_EQ(sixteen.CreateFromFile(WriteRedPNG(folder, 1, 1)), paramErr);
}

TEST(CImage, SizedConstructionMakesATransparentImage)
{
    CImage image(4, 3, 32, 1);
    CGImageRef blank = image.GetAsCGImageRef(nullptr, false);
    ASSERT_NE(blank, nullptr);
    EXPECT_EQ(CGImageGetWidth(blank), 4u);
    EXPECT_EQ(PixelOf(blank, 3, 2), 0u);
    CGImageRelease(blank);
    CImage tooLarge(100000, 1, 32, 1);
    EXPECT_EQ(tooLarge.GetAsCGImageRef(nullptr, false), nullptr);
}
