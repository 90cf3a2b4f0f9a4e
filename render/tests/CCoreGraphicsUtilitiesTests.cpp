#include "foundation/CFile.h"
#include "foundation/CString.h"
#include "render/CCoreGraphicsUtilities.h"
#include "tests/support/Canvas.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using tw::test::Canvas;
using tw::test::IsClear;
using tw::test::IsColour;
using tw::test::IsInk;
using tw::test::Pixel;

namespace {

CFile WritePNG(tw::test::TempFolder const& folder, char const* name, int width, int height)
{
    CGContextRef c = CGBitmapContextCreate(nullptr, size_t(width), size_t(height), 8, 0, nullptr,
        kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host);
    CGContextSetRGBFillColor(c, 0, 0, 1, 1);
    CGContextFillRect(c, CGRectMake(0, 0, width, height));
    CGImageRef image = CGBitmapContextCreateImage(c);
    std::string const path = (folder / name).string();
    tw::quartz::WriteImagePNG(image, path);
    CGImageRelease(image);
    CGContextRelease(c);
    return CFile(CString(path.c_str()));
}

} // namespace

TEST(CCoreGraphicsUtilities, ColoursGoToFillAndStroke)
{
    Canvas canvas(20, 20, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CCoreGraphicsUtilities::SetFillColour(c, ColourRGBA { 0, 1, 0, 1 });
    CCoreGraphicsUtilities::SetStrokeColour(c, ColourRGBA { 1, 0, 0, 1 });
    CGContextSetLineWidth(c, 2);
    CGContextAddRect(c, CGRectMake(4, 4, 12, 12));
    CGContextDrawPath(c, kCGPathFillStroke);
    EXPECT_TRUE(IsColour(canvas.At(10, 10), 0, 255, 0));
    EXPECT_TRUE(IsColour(canvas.At(4, 10), 255, 0, 0));
}

TEST(CCoreGraphicsUtilities, CirclesAreSubpathsOfTheirOwn)
{
    Canvas canvas(60, 60, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CGContextMoveToPoint(c, 0, 0);
    CCoreGraphicsUtilities::AddCircle(c, CGPointMake(40, 40), 10);
    CGContextStrokePath(c);
    auto const probe = canvas.Probe();
    EXPECT_TRUE(IsInk(canvas.At(50, 40)));
    EXPECT_TRUE(IsInk(canvas.At(40, 30)));
    EXPECT_TRUE(IsClear(canvas.At(40, 40)));
    EXPECT_TRUE(probe.All({ 0, 0, 25, 25 }, IsClear)); // no line joins the earlier point to the circle
}

TEST(CCoreGraphicsUtilities, RoundRectsCutTheirCornersAndClampTheRadius)
{
    Canvas canvas(60, 60, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CCoreGraphicsUtilities::AddRoundRect(c, CGRectMake(10, 10, 40, 30), 8);
    CGContextFillPath(c);
    EXPECT_TRUE(IsClear(canvas.At(10, 10)));
    EXPECT_TRUE(IsClear(canvas.At(49, 39)));
    EXPECT_EQ(canvas.At(30, 10).a, 255);
    EXPECT_EQ(canvas.At(10, 25).a, 255);
    // A radius larger than half the rect makes a stadium, not a bow tie.
    Canvas pill(60, 30, Canvas::Orientation::Flipped);
    CCoreGraphicsUtilities::AddRoundRect(pill.Context(), CGRectMake(5, 5, 50, 20), 100);
    CGContextFillPath(pill.Context());
    EXPECT_EQ(pill.At(30, 15).a, 255);
    EXPECT_EQ(pill.At(15, 6).a, 255);
    EXPECT_TRUE(IsClear(pill.At(5, 5)));
}

TEST(CCoreGraphicsUtilities, HairlineIsOneDevicePixel)
{
    Canvas canvas(20, 20, Canvas::Orientation::Flipped);
    EXPECT_DOUBLE_EQ(CCoreGraphicsUtilities::GetHairlineWidth(canvas.Context()), 1);
    CGContextScaleCTM(canvas.Context(), 2, 2);
    EXPECT_DOUBLE_EQ(CCoreGraphicsUtilities::GetHairlineWidth(canvas.Context()), 0.5);
}

TEST(CCoreGraphicsUtilities, NormalShadowSpreadsAroundTheShape)
{
    Canvas canvas(40, 40, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CCoreGraphicsUtilities::SetShadowColour(c, kShadowNormalColour, kShadowNormalBlur, CGSizeMake(0, 0));
    CCoreGraphicsUtilities::SetFillColour(c, ColourRGBA { 1, 1, 1, 1 });
    CGContextFillRect(c, CGRectMake(10, 10, 20, 20));
    EXPECT_TRUE(IsColour(canvas.At(20, 20), 255, 255, 255));
    Pixel const halo = canvas.At(9, 20);
    EXPECT_GT(halo.a, 0);
    EXPECT_EQ(halo.r, 0);
    EXPECT_TRUE(IsClear(canvas.At(2, 20)));
}

TEST(CCoreGraphicsUtilities, DrawStringUsesTheFillColour)
{
    Canvas canvas(100, 30, Canvas::Orientation::Flipped);
    CCoreGraphicsUtilities::SetFillColour(canvas.Context(), ColourRGBA { 0, 0, 1, 1 });
    HIThemeTextInfo info;
    info.fontID = kThemeApplicationFont;
    info.horizontalFlushness = kHIThemeTextHorizontalFlushCenter;
    CCoreGraphicsUtilities::DrawString(
        canvas.Context(), CString("Tile"), CGRectMake(0, 0, 100, 30), info, false, kHIThemeOrientationNormal);
    auto const probe = canvas.Probe();
    EXPECT_GT(probe.Count(probe.Whole(), [](Pixel p) { return p.a > 200 && p.b > 200 && p.r == 0; }), 5);
    EXPECT_TRUE(probe.All({ 0, 0, 30, 30 }, IsClear));
}

TEST(CCoreGraphicsUtilities, LoadImageAtItsOwnOrAGivenSize)
{
    tw::test::TempFolder folder;
    CFile const file = WritePNG(folder, "icon.png", 8, 4);
    CGImageRef natural = CCoreGraphicsUtilities::LoadImage(file, CGSizeZero);
    ASSERT_NE(natural, nullptr);
    EXPECT_EQ(CGImageGetWidth(natural), 8u);
    EXPECT_EQ(CGImageGetHeight(natural), 4u);
    CGImageRef sized = CCoreGraphicsUtilities::LoadImage(file, CGSizeMake(16, 16));
    ASSERT_NE(sized, nullptr);
    EXPECT_EQ(CGImageGetWidth(sized), 16u);
    EXPECT_EQ(CGImageGetHeight(sized), 16u);
    EXPECT_EQ(CCoreGraphicsUtilities::LoadImage(file, CGSizeMake(-4, 16)), nullptr);
    EXPECT_EQ(CCoreGraphicsUtilities::LoadImage(file, CGSizeMake(1e9, 16)), nullptr);
    EXPECT_EQ(CCoreGraphicsUtilities::LoadImage(CFile(CString("/nonexistent.png")), CGSizeZero), nullptr);
    CGImageRelease(sized);
    CGImageRelease(natural);
}
