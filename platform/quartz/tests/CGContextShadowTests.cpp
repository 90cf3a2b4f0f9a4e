#include "quartz/BoxBlur.h"
#include "tests/support/Canvas.h"

#include <gtest/gtest.h>

using tw::test::Canvas;
using tw::test::IsClear;
using tw::test::IsColour;
using tw::test::Pixel;

namespace {

void SetBlackShadow(CGContextRef c, CGSize offset, CGFloat blur)
{
    CGFloat const black[] = { 0, 0, 0, 1 };
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    CGColorRef colour = CGColorCreate(space, black);
    CGContextSetShadowWithColor(c, offset, blur, colour);
    CGColorRelease(colour);
    CGColorSpaceRelease(space);
}

} // namespace

TEST(CGContextShadow, ShadowIsBlurredAtItsEdgeAndTheShapeStaysOnTop)
{
    Canvas canvas(100, 100, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    SetBlackShadow(c, CGSizeMake(20, 0), 6);
    CGContextSetRGBFillColor(c, 1, 0, 0, 1);
    CGContextFillRect(c, CGRectMake(20, 20, 40, 40));
    auto const probe = canvas.Probe();
    EXPECT_TRUE(probe.All({ 20, 20, 60, 60 }, [](Pixel p) { return IsColour(p, 255, 0, 0); }));
    // Right of the shape the shadow is solid, and it fades out across its right edge (x = 80).
    EXPECT_TRUE(IsColour(canvas.At(70, 40), 0, 0, 0, 255, 4));
    int const softPixels = probe.Count({ 74, 40, 88, 41 }, [](Pixel p) { return p.a > 10 && p.a < 245; });
    EXPECT_GE(softPixels, 4);
    EXPECT_LT(canvas.At(76, 40).a, 255);
    EXPECT_GT(canvas.At(76, 40).a, canvas.At(84, 40).a);
    EXPECT_TRUE(IsClear(canvas.At(95, 40)));
}

TEST(CGContextShadow, OffsetIsInDeviceSpaceWithYUp)
{
    // In a flipped view context a positive y offset still moves the shadow up the screen.
    Canvas canvas(100, 100, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    SetBlackShadow(c, CGSizeMake(0, 30), 0);
    CGContextFillRect(c, CGRectMake(40, 50, 20, 20));
    EXPECT_EQ(canvas.At(50, 25).a, 255);
    EXPECT_TRUE(IsClear(canvas.At(50, 85)));
}

TEST(CGContextShadow, ShadowLastsUntilRestoreAndANullColourEndsIt)
{
    Canvas canvas(100, 40, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CGContextSaveGState(c);
    SetBlackShadow(c, CGSizeMake(10, 0), 0);
    CGContextFillRect(c, CGRectMake(0, 0, 10, 10));
    CGContextRestoreGState(c);
    CGContextFillRect(c, CGRectMake(40, 0, 10, 10));
    SetBlackShadow(c, CGSizeMake(10, 0), 0);
    CGContextSetShadowWithColor(c, CGSizeMake(10, 0), 0, nullptr);
    CGContextFillRect(c, CGRectMake(70, 0, 10, 10));
    EXPECT_EQ(canvas.At(15, 5).a, 255);
    EXPECT_TRUE(IsClear(canvas.At(55, 5)));
    EXPECT_TRUE(IsClear(canvas.At(85, 5)));
}

TEST(CGContextShadow, ShapesOutsideTheClipStillCastTheirShadowIn)
{
    Canvas canvas(100, 100, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CGContextClipToRect(c, CGRectMake(50, 0, 50, 100));
    SetBlackShadow(c, CGSizeMake(30, 0), 0);
    CGContextSetRGBFillColor(c, 1, 0, 0, 1);
    CGContextFillRect(c, CGRectMake(20, 40, 20, 20)); // itself outside the clip
    EXPECT_EQ(canvas.At(55, 50).a, 255);
    EXPECT_TRUE(IsClear(canvas.At(30, 50)));
}

// Three box passes of radius r reach 3r pixels from the ink along each axis and not a pixel further.
TEST(BoxBlur, ReachesThreeRadiiAndLeavesPixelsBeyondUntouched)
{
    for (int radius : { 1, 2, 3 }) { // wider ones round their last reach to 0
        int const size = 41, block = 9, from = (size - block) / 2; // a 9 x 9 block in the middle
        std::vector<unsigned char> alpha(size * size, 0);
        for (int y = from; y < from + block; ++y)
            for (int x = from; x < from + block; ++x)
                alpha[y * size + x] = 255;
        tw::quartz::BoxBlur(alpha, size, size, radius);
        int const reach = 3 * radius, middle = size / 2;
        auto const at = [&](int x, int y) { return alpha[y * size + x]; };
        // Along the middle row and column, on every side of the block.
        EXPECT_GT(at(from - reach, middle), 0) << radius;
        EXPECT_EQ(at(from - reach - 1, middle), 0) << radius;
        EXPECT_GT(at(from + block - 1 + reach, middle), 0) << radius;
        EXPECT_EQ(at(from + block + reach, middle), 0) << radius;
        EXPECT_GT(at(middle, from - reach), 0) << radius;
        EXPECT_EQ(at(middle, from - reach - 1), 0) << radius;
        EXPECT_GT(at(middle, from + block - 1 + reach), 0) << radius;
        EXPECT_EQ(at(middle, from + block + reach), 0) << radius;
        EXPECT_GT(at(middle, middle), 150) << radius;
    }
    // Ink along the plane's first and last columns: the window slides past the edges and lets it go.
    for (int radius : { 1, 2, 3 }) {
        int const width = 30, height = 31, middle = height / 2, reach = 3 * radius;
        std::vector<unsigned char> alpha(width * height, 0);
        for (int y = 0; y < height; ++y)
            alpha[y * width] = alpha[y * width + width - 1] = 255;
        tw::quartz::BoxBlur(alpha, width, height, radius);
        unsigned char const* row = &alpha[middle * width];
        EXPECT_GT(row[reach], 0) << radius;
        EXPECT_EQ(row[reach + 1], 0) << radius;
        EXPECT_GT(row[width - 1 - reach], 0) << radius;
        EXPECT_EQ(row[width - 2 - reach], 0) << radius;
    }
    std::vector<unsigned char> plane(16, 77);
    tw::quartz::BoxBlur(plane, 4, 4, 0);
    EXPECT_EQ(plane, std::vector<unsigned char>(16, 77)) << "radius 0 blurs nothing";
}
