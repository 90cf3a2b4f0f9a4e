#include "tests/support/Canvas.h"

#include <gtest/gtest.h>
#include <numbers>

using tw::test::Canvas;
using tw::test::IsClear;
using tw::test::IsColour;
using tw::test::IsInk;
using tw::test::Pixel;

TEST(CGContextClip, ClipsIntersectAndReportTheirBoundsInUserSpace)
{
    Canvas canvas(100, 100, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CGContextClipToRect(c, CGRectMake(10, 10, 50, 50));
    CGContextClipToRect(c, CGRectMake(30, 0, 100, 40));
    CGRect const box = CGContextGetClipBoundingBox(c);
    EXPECT_DOUBLE_EQ(box.origin.x, 30);
    EXPECT_DOUBLE_EQ(box.origin.y, 10);
    EXPECT_DOUBLE_EQ(box.size.width, 30);
    EXPECT_DOUBLE_EQ(box.size.height, 30);
    CGContextFillRect(c, CGRectMake(0, 0, 100, 100));
    auto const probe = canvas.Probe();
    EXPECT_EQ(probe.Count(probe.Whole(), IsInk), 900);
    EXPECT_TRUE(probe.All({ 30, 10, 60, 40 }, IsInk));
}

// Several rectangles make one clip whose bounding box has gaps: only what they cover is
// covered, in user space, and a clip of curves covers nothing for certain.
TEST(CGContextClip, ClipCoversOnlyWhatItsRectanglesCover)
{
    Canvas canvas(100, 100, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    EXPECT_TRUE(tw::quartz::ClipCoversRect(c, CGRectMake(0, 0, 100, 100))) << "no clip: the whole device";
    EXPECT_FALSE(tw::quartz::ClipCoversRect(c, CGRectMake(90, 90, 20, 20))) << "beyond the device";
    CGContextTranslateCTM(c, 5, 5);
    CGRect const ell[] = { CGRectMake(0, 0, 60, 20), CGRectMake(40, 20, 20, 40) };
    CGContextClipToRects(c, ell, 2);
    EXPECT_TRUE(tw::quartz::ClipCoversRect(c, CGRectMake(10, 5, 20, 10)));
    EXPECT_TRUE(tw::quartz::ClipCoversRect(c, CGRectMake(45, 10, 10, 30))) << "across the join";
    EXPECT_TRUE(tw::quartz::ClipCoversRect(c, CGRectMake(10.5, 5.25, 5, 5))) << "the pixels it touches";
    EXPECT_FALSE(tw::quartz::ClipCoversRect(c, CGRectMake(10, 10, 40, 20))) << "into the gap";
    EXPECT_FALSE(tw::quartz::ClipCoversRect(c, CGRectMake(50, 55, 10, 5.5))) << "a pixel past the edge";
    EXPECT_FALSE(tw::quartz::ClipCoversRect(c, CGRectMake(10, 10, 0, 5))) << "nothing to cover";

    CGContextAddEllipseInRect(c, CGRectMake(0, 0, 60, 60));
    CGContextClip(c);
    EXPECT_FALSE(tw::quartz::ClipCoversRect(c, CGRectMake(48, 28, 4, 4)));
}

TEST(CGContextClip, EvenOddClipCutsAHole)
{
    Canvas canvas(100, 100);
    CGContextRef c = canvas.Context();
    CGContextAddRect(c, CGRectMake(0, 0, 100, 100));
    CGContextAddRect(c, CGRectMake(40, 40, 20, 20));
    CGContextEOClip(c);
    EXPECT_TRUE(CGContextIsPathEmpty(c));
    CGContextFillRect(c, CGRectMake(0, 0, 100, 100));
    EXPECT_TRUE(IsClear(canvas.At(50, 50)));
    EXPECT_TRUE(IsInk(canvas.At(10, 10)));
}

TEST(CGContextState, GlobalAlphaFadesFillsAndImagesAlike)
{
    Canvas canvas(20, 10);
    CGContextRef c = canvas.Context();
    CGContextSetAlpha(c, 0.5);
    CGContextSetRGBFillColor(c, 0, 0, 0, 1);
    CGContextFillRect(c, CGRectMake(0, 0, 10, 10));
    CGContextSetAlpha(c, 7); // clamped to 1
    CGContextFillRect(c, CGRectMake(10, 0, 10, 10));
    EXPECT_NEAR(canvas.At(5, 5).a, 128, 2);
    EXPECT_EQ(canvas.At(15, 5).a, 255);
}

TEST(CGContextState, WithoutAntialiasingEdgesAreHard)
{
    Canvas smooth(60, 60), hard(60, 60);
    for (Canvas* canvas : { &smooth, &hard }) {
        CGContextSetShouldAntialias(canvas->Context(), canvas == &smooth);
        CGContextFillEllipseInRect(canvas->Context(), CGRectMake(5.3, 5.3, 50, 50));
    }
    auto const partial = [](Pixel p) { return p.a > 0 && p.a < 255; };
    EXPECT_GT(smooth.Probe().Count(smooth.Probe().Whole(), partial), 20);
    EXPECT_EQ(hard.Probe().Count(hard.Probe().Whole(), partial), 0);
    EXPECT_GT(hard.Probe().Count(hard.Probe().Whole(), IsInk), 1800);
}

TEST(CGContextState, RotationTurnsClockwiseOnScreenInFlippedContexts)
{
    Canvas canvas(100, 100, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CGContextTranslateCTM(c, 50, 50);
    CGContextRotateCTM(c, std::numbers::pi / 2);
    // A bar along +x ends up pointing down the screen.
    CGContextFillRect(c, CGRectMake(5, -2, 40, 4));
    EXPECT_TRUE(IsInk(canvas.At(50, 80)));
    EXPECT_TRUE(IsClear(canvas.At(80, 50)));
    EXPECT_TRUE(IsClear(canvas.At(50, 20)));
}

TEST(CGContextState, HairlineIsOneDevicePixelWhateverTheScale)
{
    Canvas canvas(100, 100, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CGContextScaleCTM(c, 4, 4);
    CGSize const hairline = CGContextConvertSizeToUserSpace(c, CGSizeMake(1, 1));
    EXPECT_DOUBLE_EQ(hairline.width, 0.25);
    EXPECT_DOUBLE_EQ(std::fabs(hairline.height), 0.25);
    CGSize const device = CGContextConvertSizeToDeviceSpace(c, CGSizeMake(1, 1));
    EXPECT_DOUBLE_EQ(device.width, 4);
    EXPECT_DOUBLE_EQ(device.height, -4); // y runs down in the view, up in the device
}

TEST(CGContextState, PathPointsTakeTheCTMOfTheirTime)
{
    Canvas canvas(100, 100, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CGContextMoveToPoint(c, 10, 10);
    CGContextTranslateCTM(c, 50, 0);
    CGContextAddLineToPoint(c, 10, 10); // (60, 10) in the original space
    CGRect const box = CGContextGetPathBoundingBox(c); // reported in the current space
    EXPECT_DOUBLE_EQ(box.origin.x, -40);
    EXPECT_DOUBLE_EQ(box.size.width, 50);
    CGContextSetLineWidth(c, 2);
    CGContextStrokePath(c);
    EXPECT_TRUE(IsInk(canvas.At(35, 10)));
    EXPECT_TRUE(IsClear(canvas.At(85, 10)));
}

TEST(CGContextPaint, FillAndStrokeUseTheirOwnColoursAndClearRectErases)
{
    Canvas canvas(100, 100, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CGContextSetRGBFillColor(c, 1, 0, 0, 1);
    CGContextSetRGBStrokeColor(c, 0, 0, 1, 1);
    CGContextSetLineWidth(c, 4);
    CGContextAddRect(c, CGRectMake(60, 60, -40, -40)); // standardised to 20, 20, 40, 40
    CGContextDrawPath(c, kCGPathFillStroke);
    EXPECT_TRUE(IsColour(canvas.At(40, 40), 255, 0, 0));
    EXPECT_TRUE(IsColour(canvas.At(20, 40), 0, 0, 255));
    EXPECT_TRUE(IsColour(canvas.At(60, 40), 0, 0, 255));
    CGContextClearRect(c, CGRectMake(30, 30, 10, 10));
    EXPECT_TRUE(IsClear(canvas.At(35, 35)));
    EXPECT_TRUE(IsColour(canvas.At(45, 45), 255, 0, 0));
}
