#include "tests/support/Canvas.h"
#include "tests/support/TestSupport.h"

#include <array>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using tw::test::Canvas;
using tw::test::IsColour;
using tw::test::Pixel;

namespace {

constexpr UInt32 kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

bool IsRed(Pixel p) { return IsColour(p, 255, 0, 0); }
bool IsBlue(Pixel p) { return IsColour(p, 0, 0, 255); }

// A 4 x 4 image, red in its top two rows and blue in the bottom two.
CGImageRef CreateRedOverBlue()
{
    static std::array<UInt32, 16> pixels;
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = i < 8 ? kRed : kBlue;
    CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, pixels.data(), sizeof(pixels), nullptr);
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    CGImageRef image = CGImageCreate(4, 4, 8, 32, 16, space, kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host,
        provider, nullptr, false, kCGRenderingIntentDefault);
    CGColorSpaceRelease(space);
    CGDataProviderRelease(provider);
    return image;
}

CGImageRef CreateFromBytes(std::vector<UInt8> const& bytes, CGBitmapInfo info, size_t width = 1)
{
    CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, bytes.data(), bytes.size(), nullptr);
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    CGImageRef image
        = CGImageCreate(width, 1, 8, 32, width * 4, space, info, provider, nullptr, true, kCGRenderingIntentDefault);
    CGColorSpaceRelease(space);
    CGDataProviderRelease(provider);
    return image;
}

Pixel FirstPixel(CGImageRef image)
{
    cairo_surface_t* s = image->Surface();
    return tw::test::PixelProbe(cairo_image_surface_get_data(s), 1, 1, cairo_image_surface_get_stride(s)).At(0, 0);
}

CGImageRef DecodePNG(std::string const& bytes)
{
    CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, bytes.data(), bytes.size(), nullptr);
    CGImageRef image = CGImageCreateWithPNGDataProvider(provider, nullptr, true, kCGRenderingIntentDefault);
    CGDataProviderRelease(provider);
    return image;
}

void ReleaseCounter(void* info, void const*, size_t) { ++*static_cast<int*>(info); }

} // namespace

TEST(CGImage, DrawImageIsUprightInYUpContextsAndUpsideDownInFlippedOnes)
{
    CGImageRef image = CreateRedOverBlue();
    ASSERT_NE(image, nullptr);
    Canvas up(40, 40), flipped(40, 40, Canvas::Orientation::Flipped), view(40, 40, Canvas::Orientation::Flipped);
    CGContextDrawImage(up.Context(), CGRectMake(0, 0, 40, 40), image);
    CGContextDrawImage(flipped.Context(), CGRectMake(0, 0, 40, 40), image);
    HIRect const bounds = CGRectMake(0, 0, 40, 40);
    EXPECT_EQ(HIViewDrawCGImage(view.Context(), &bounds, image), noErr);
    EXPECT_TRUE(up.Probe().All({ 0, 0, 40, 15 }, IsRed));
    EXPECT_TRUE(up.Probe().All({ 0, 25, 40, 40 }, IsBlue));
    EXPECT_TRUE(flipped.Probe().All({ 0, 0, 40, 15 }, IsBlue));
    EXPECT_TRUE(view.Probe().All({ 0, 0, 40, 15 }, IsRed));
    EXPECT_TRUE(view.Probe().All({ 0, 25, 40, 40 }, IsBlue));
    EXPECT_EQ(HIViewDrawCGImage(view.Context(), nullptr, image), paramErr);
    CGImageRelease(image);
}

TEST(CGImage, DrawImageFillsExactlyItsRect)
{
    CGImageRef image = CreateRedOverBlue();
    Canvas canvas(40, 40, Canvas::Orientation::Flipped);
    HIRect const bounds = CGRectMake(10, 10, 8, 8);
    HIViewDrawCGImage(canvas.Context(), &bounds, image);
    auto const probe = canvas.Probe();
    EXPECT_EQ(probe.Count(probe.Whole(), tw::test::IsInk), 64);
    EXPECT_TRUE(probe.All({ 10, 10, 18, 13 }, IsRed));
    CGImageRelease(image);
}

TEST(CGImage, SubImagesCountRowsFromTheTopAndAreCutToTheImage)
{
    CGImageRef image = CreateRedOverBlue();
    CGImageRef bottom = CGImageCreateWithImageInRect(image, CGRectMake(0, 2, 10, 10));
    ASSERT_NE(bottom, nullptr);
    EXPECT_EQ(CGImageGetWidth(bottom), 4u);
    EXPECT_EQ(CGImageGetHeight(bottom), 2u);
    EXPECT_TRUE(IsBlue(FirstPixel(bottom)));
    EXPECT_EQ(CGImageCreateWithImageInRect(image, CGRectMake(10, 10, 2, 2)), nullptr);
    EXPECT_EQ(CGImageCreateWithImageInRect(image, CGRectMake(NAN, 0, 2, 2)), nullptr);
    CGImageRelease(bottom);
    CGImageRelease(image);
}

TEST(CGImage, PixelFormsAreConvertedToPremultipliedARGB)
{
    struct Case {
        std::vector<UInt8> bytes;
        CGBitmapInfo info;
        Pixel expected;
    };
    UInt32 const halfRedWord = 0x80FF0000; // alpha first, not premultiplied
    std::vector<UInt8> hostWord(4);
    std::memcpy(hostWord.data(), &halfRedWord, 4);
    Case const cases[] = {
        { hostWord, kCGImageAlphaFirst | kCGBitmapByteOrder32Host, { 128, 128, 0, 0 } },
        { { 0x80, 0, 0, 0x80 }, kCGImageAlphaPremultipliedLast, { 128, 128, 0, 0 } },
        { { 0, 255, 0, 7 }, kCGImageAlphaNoneSkipLast, { 255, 0, 255, 0 } },
        { { 0x40, 0xFF, 0xFF, 0xFF }, kCGImageAlphaPremultipliedFirst, { 0x40, 0x40, 0x40, 0x40 } },
    };
    for (Case const& c : cases) {
        CGImageRef image = CreateFromBytes(c.bytes, c.info);
        ASSERT_NE(image, nullptr);
        Pixel const p = FirstPixel(image);
        EXPECT_TRUE(IsColour(p, c.expected.r, c.expected.g, c.expected.b, c.expected.a, 1))
            << int(p.a) << " " << int(p.r) << " " << int(p.g) << " " << int(p.b);
        CGImageRelease(image);
    }
}

TEST(CGImage, ImpossibleFormsAndShortDataGiveNull)
{
    std::vector<UInt8> const four(4, 0);
    EXPECT_EQ(CreateFromBytes(four, kCGImageAlphaPremultipliedFirst, 2), nullptr); // needs 8 bytes
    EXPECT_EQ(CreateFromBytes(four, 9), nullptr);
    EXPECT_EQ(CreateFromBytes(four, kCGImageAlphaFirst | (1 << 12)), nullptr);
    CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, four.data(), four.size(), nullptr);
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    EXPECT_EQ(CGImageCreate(0, 1, 8, 32, 4, space, kCGImageAlphaFirst, provider, nullptr, true, {}), nullptr);
    EXPECT_EQ(CGImageCreate(1, 1, 16, 64, 8, space, kCGImageAlphaFirst, provider, nullptr, true, {}), nullptr);
    EXPECT_EQ(CGImageCreate(1, 1, 8, 32, 4, nullptr, kCGImageAlphaFirst, provider, nullptr, true, {}), nullptr);
    CGColorSpaceRelease(space);
    CGDataProviderRelease(provider);
}

TEST(CGImage, BorrowedDataIsReleasedWhenTheProviderGoes)
{
    int released = 0;
    static UInt8 bytes[4] = { 1, 2, 3, 4 };
    CGDataProviderRef provider = CGDataProviderCreateWithData(&released, bytes, 4, ReleaseCounter);
    CGDataProviderRetain(provider);
    CGDataProviderRelease(provider);
    EXPECT_EQ(released, 0);
    CGDataProviderRelease(provider);
    EXPECT_EQ(released, 1);
}

TEST(CGImagePNG, RoundTripsThroughAFile)
{
    tw::test::TempFolder folder;
    CGImageRef image = CreateRedOverBlue();
    std::string const path = (folder / "image.png").string();
    ASSERT_TRUE(tw::quartz::WriteImagePNG(image, path));
    CFURLRef url = CFURLCreateFromFileSystemRepresentation(
        nullptr, reinterpret_cast<UInt8 const*>(path.c_str()), CFIndex(path.size()), false);
    CGDataProviderRef provider = CGDataProviderCreateWithURL(url);
    ASSERT_NE(provider, nullptr);
    CGImageRef decoded = CGImageCreateWithPNGDataProvider(provider, nullptr, true, kCGRenderingIntentDefault);
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(CGImageGetWidth(decoded), 4u);
    EXPECT_EQ(CGImageGetHeight(decoded), 4u);
    EXPECT_TRUE(IsRed(FirstPixel(decoded)));
    CGImageRelease(decoded);
    CGDataProviderRelease(provider);
    CFRelease(url);
    CGImageRelease(image);
}

TEST(CGImagePNG, DamagedOrHostileDataGivesNull)
{
    tw::test::TempFolder folder;
    CGImageRef image = CreateRedOverBlue();
    std::string const path = (folder / "good.png").string();
    tw::quartz::WriteImagePNG(image, path);
    CGImageRelease(image);
    std::string const good = tw::test::ReadFile(path);
    ASSERT_GT(good.size(), 60u);
    CGImageRef decoded = DecodePNG(good);
    ASSERT_NE(decoded, nullptr) << "the good file must decode";
    CGImageRelease(decoded);

    std::string corrupt = good;
    for (size_t i = 41; i < corrupt.size() - 12; ++i)
        corrupt[i] = char(corrupt[i] ^ 0x5A);
    std::string huge = good;
    huge[16] = huge[17] = 0x7F; // width far beyond anything we allocate
    std::string const cases[] = { "", "not a png at all", good.substr(0, 8), good.substr(0, 40),
        good.substr(0, good.size() - 20), corrupt, huge };
    for (std::string const& bytes : cases)
        EXPECT_EQ(DecodePNG(bytes), nullptr) << bytes.size() << " bytes";
    EXPECT_EQ(CGImageCreateWithPNGDataProvider(nullptr, nullptr, true, kCGRenderingIntentDefault), nullptr);
}

TEST(CGImagePNG, AMissingFileGivesNoProvider)
{
    CFURLRef url = CFURLCreateFromFileSystemRepresentation(
        nullptr, reinterpret_cast<UInt8 const*>("/nonexistent/x.png"), 18, false);
    EXPECT_EQ(CGDataProviderCreateWithURL(url), nullptr);
    CFRelease(url);
}
