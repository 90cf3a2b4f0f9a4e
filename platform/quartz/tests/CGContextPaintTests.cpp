#include "tests/support/Canvas.h"

#include <array>
#include <gtest/gtest.h>

using tw::test::Canvas;
using tw::test::IsClear;
using tw::test::IsColour;
using tw::test::IsInk;
using tw::test::Pixel;

namespace {

bool IsRed(Pixel p) { return IsColour(p, 255, 0, 0); }
bool IsBlue(Pixel p) { return IsColour(p, 0, 0, 255); }

// Two nested squares drawn in the same direction: winding fills the hole, even-odd leaves it.
void AddNestedSquares(CGContextRef c)
{
    CGContextAddRect(c, CGRectMake(10, 10, 80, 80));
    CGContextAddRect(c, CGRectMake(30, 30, 40, 40));
}

} // namespace

TEST(CGContextPaint, WindingAndEvenOddFillsDifferInTheHole)
{
    Canvas winding(100, 100), evenOdd(100, 100);
    for (Canvas* canvas : { &winding, &evenOdd }) {
        CGContextSetRGBFillColor(canvas->Context(), 1, 0, 0, 1);
        AddNestedSquares(canvas->Context());
    }
    CGContextFillPath(winding.Context());
    CGContextEOFillPath(evenOdd.Context());
    EXPECT_TRUE(IsRed(winding.At(50, 50)));
    EXPECT_TRUE(IsClear(evenOdd.At(50, 50)));
    EXPECT_TRUE(IsRed(evenOdd.At(20, 50)));
    EXPECT_TRUE(IsClear(evenOdd.At(5, 5)));
    EXPECT_TRUE(CGContextIsPathEmpty(evenOdd.Context()));
}

TEST(CGContextPaint, YUpContextsHaveTheOriginAtTheBottomLeft)
{
    Canvas canvas(100, 100);
    CGContextSetRGBFillColor(canvas.Context(), 1, 0, 0, 1);
    CGContextFillRect(canvas.Context(), CGRectMake(0, 0, 10, 10));
    auto const probe = canvas.Probe();
    EXPECT_TRUE(probe.All({ 0, 90, 10, 100 }, IsRed));
    EXPECT_EQ(probe.Count(probe.Whole(), IsInk), 100);
}

TEST(CGContextPaint, StrokeCentresOnThePathInTheStrokeColour)
{
    Canvas canvas(100, 100, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CGContextSetRGBStrokeColor(c, 0, 0, 1, 1);
    CGContextSetLineWidth(c, 4);
    CGContextMoveToPoint(c, 10, 50);
    CGContextAddLineToPoint(c, 90, 50);
    CGContextStrokePath(c);
    auto const probe = canvas.Probe();
    EXPECT_TRUE(probe.All({ 10, 48, 90, 52 }, IsBlue));
    EXPECT_TRUE(probe.All({ 10, 52, 90, 60 }, IsClear));
    EXPECT_TRUE(probe.All({ 0, 40, 10, 60 }, IsClear)); // butt caps end at the points
}

TEST(CGContextPaint, DashesLeaveEmptyGapsAndASolidPatternClearsThem)
{
    Canvas canvas(100, 20, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CGFloat const dash[] = { 10, 10 };
    CGContextSetLineDash(c, 0, dash, 2);
    CGContextSetLineWidth(c, 4);
    CGContextStrokeLineSegments(c, std::array<CGPoint, 2> { CGPoint { 0, 5 }, CGPoint { 100, 5 } }.data(), 2);
    auto const probe = canvas.Probe();
    EXPECT_TRUE(probe.All({ 1, 4, 9, 6 }, IsInk));
    EXPECT_TRUE(probe.All({ 11, 3, 19, 7 }, IsClear));
    EXPECT_TRUE(probe.All({ 21, 4, 29, 6 }, IsInk));
    CGContextSetLineDash(c, 0, nullptr, 0);
    CGContextStrokeLineSegments(c, std::array<CGPoint, 2> { CGPoint { 0, 15 }, CGPoint { 100, 15 } }.data(), 2);
    EXPECT_TRUE(canvas.Probe().All({ 0, 14, 100, 16 }, IsInk));
}

TEST(CGContextPaint, ImpossibleDashPatternsDrawSolid)
{
    Canvas canvas(50, 10, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CGFloat const zeros[] = { 0, 0 };
    CGContextSetLineDash(c, 0, zeros, 2);
    CGContextSetLineWidth(c, 2);
    CGContextStrokeLineSegments(c, std::array<CGPoint, 2> { CGPoint { 0, 5 }, CGPoint { 50, 5 } }.data(), 2);
    EXPECT_TRUE(canvas.Probe().All({ 0, 4, 50, 6 }, IsInk));
}

TEST(CGContextPaint, RestoreBringsBackColourWidthCTMAndClip)
{
    Canvas canvas(100, 100, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CGContextSetRGBFillColor(c, 1, 0, 0, 1);
    CGContextSaveGState(c);
    CGContextSetRGBFillColor(c, 0, 0, 1, 1);
    CGContextTranslateCTM(c, 50, 0);
    CGContextClipToRect(c, CGRectMake(0, 0, 10, 10));
    CGContextSetLineWidth(c, 7);
    CGContextFillRect(c, CGRectMake(0, 0, 100, 100));
    CGContextRestoreGState(c);
    CGContextRestoreGState(c); // unbalanced: ignored
    CGContextFillRect(c, CGRectMake(0, 20, 10, 10));
    auto const probe = canvas.Probe();
    EXPECT_TRUE(probe.All({ 50, 0, 60, 10 }, IsBlue));
    EXPECT_EQ(probe.Count(probe.Whole(), IsBlue), 100);
    EXPECT_TRUE(probe.All({ 0, 20, 10, 30 }, IsRed));
    CGAffineTransform const ctm = CGContextGetCTM(c);
    EXPECT_DOUBLE_EQ(ctm.tx, 0);
    EXPECT_DOUBLE_EQ(ctm.ty, 100);
    // Line width back at 1: a horizontal line at y 60.5 covers one row.
    CGContextStrokeLineSegments(c, std::array<CGPoint, 2> { CGPoint { 0, 60.5 }, CGPoint { 100, 60.5 } }.data(), 2);
    EXPECT_EQ(canvas.Probe().Count({ 0, 55, 1, 66 }, IsInk), 1);
}
