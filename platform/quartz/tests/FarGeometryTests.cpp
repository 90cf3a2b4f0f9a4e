#include "quartz/GuardClipper.h"
#include "tests/support/Canvas.h"

#include <gtest/gtest.h>
#include <limits>

using tw::test::Canvas;
using tw::test::IsClear;
using tw::test::IsInk;

namespace {

constexpr CGFloat kFar = 1e9; // [px] far beyond Cairo's fixed-point range

} // namespace

TEST(FarGeometry, AHugeTriangleAroundTheViewFillsIt)
{
    Canvas canvas(64, 64, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CGContextMoveToPoint(c, -kFar, -kFar);
    CGContextAddLineToPoint(c, 3 * kFar, -kFar);
    CGContextAddLineToPoint(c, -kFar, 3 * kFar);
    CGContextClosePath(c);
    CGContextFillPath(c);
    auto const probe = canvas.Probe();
    EXPECT_TRUE(probe.All(probe.Whole(), [](tw::test::Pixel p) { return p.a == 255; }));
}

TEST(FarGeometry, AHugeTriangleWhoseEdgeCrossesTheViewFillsOneSide)
{
    // Edge from (-1e9, -1e9 + 32) to (1e9, 1e9 + 32): the diagonal y = x + 32 in view terms.
    Canvas canvas(64, 64, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CGContextMoveToPoint(c, -kFar, -kFar + 32);
    CGContextAddLineToPoint(c, kFar, kFar + 32);
    CGContextAddLineToPoint(c, kFar, -kFar);
    CGContextClosePath(c);
    CGContextFillPath(c);
    EXPECT_TRUE(IsInk(canvas.At(40, 10)));
    EXPECT_TRUE(IsInk(canvas.At(10, 30)));
    EXPECT_TRUE(IsClear(canvas.At(10, 50)));
    EXPECT_TRUE(IsClear(canvas.At(2, 60)));
}

TEST(FarGeometry, ALineFromFarAwayDrawsItsVisiblePart)
{
    Canvas canvas(64, 64, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CGContextSetLineWidth(c, 2);
    CGContextMoveToPoint(c, -kFar, 20);
    CGContextAddLineToPoint(c, kFar, 20);
    CGContextMoveToPoint(c, 40, -kFar);
    CGContextAddLineToPoint(c, 40, 30);
    CGContextStrokePath(c);
    auto const probe = canvas.Probe();
    EXPECT_TRUE(probe.All({ 0, 19, 64, 21 }, IsInk));
    EXPECT_TRUE(probe.All({ 39, 0, 41, 30 }, IsInk));
    EXPECT_TRUE(probe.All({ 39, 31, 41, 64 }, IsClear));
    EXPECT_EQ(probe.Count(probe.Whole(), IsInk), 64 * 2 + 30 * 2 - 2 * 2);
}

TEST(FarGeometry, DashesKeepTheirPhaseWhenTheStartIsCutAway)
{
    // Start 1e9 + 3 px to the left: with a 10-on 10-off pattern the view starts 3 px into a dash,
    // so the line is off at x in [7, 17).
    Canvas canvas(40, 10, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CGFloat const dash[] = { 10, 10 };
    CGContextSetLineDash(c, 0, dash, 2);
    CGContextSetLineWidth(c, 2);
    CGContextMoveToPoint(c, -kFar - 3, 5);
    CGContextAddLineToPoint(c, 100, 5);
    CGContextStrokePath(c);
    auto const probe = canvas.Probe();
    EXPECT_TRUE(probe.All({ 0, 4, 6, 6 }, IsInk));
    EXPECT_TRUE(probe.All({ 8, 3, 16, 7 }, IsClear));
    EXPECT_TRUE(probe.All({ 18, 4, 26, 6 }, IsInk));
}

TEST(FarGeometry, AFarAwayCircleCrossingTheViewDrawsItsArc)
{
    // A circle of radius 1e8 centred 1e8 + 32 to the left: its right edge is the line x = 32 here.
    Canvas canvas(64, 64, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CGFloat const r = 1e8;
    CGContextAddEllipseInRect(c, CGRectMake(-r - r + 32, 32 - r, 2 * r, 2 * r));
    CGContextFillPath(c);
    EXPECT_TRUE(IsInk(canvas.At(28, 32)));
    EXPECT_TRUE(IsInk(canvas.At(28, 2)));
    EXPECT_TRUE(IsClear(canvas.At(36, 32)));
    EXPECT_TRUE(IsClear(canvas.At(36, 60)));
}

TEST(FarGeometry, ScaledCTMsPutOrdinaryCoordinatesFarAway)
{
    // The map's way: small numbers times a huge zoom.
    Canvas canvas(64, 64, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CGContextTranslateCTM(c, 32, 32);
    CGContextScaleCTM(c, 1e8, 1e8);
    CGContextAddRect(c, CGRectMake(-5, -5, 5, 10)); // the left half of the view and far beyond
    CGContextFillPath(c);
    EXPECT_TRUE(canvas.Probe().All({ 0, 0, 32, 64 }, IsInk));
    EXPECT_TRUE(canvas.Probe().All({ 32, 0, 64, 64 }, IsClear));
}

TEST(FarGeometry, NonFiniteCoordinatesDrawNothing)
{
    Canvas canvas(32, 32, Canvas::Orientation::Flipped);
    CGContextRef c = canvas.Context();
    CGContextMoveToPoint(c, 0, 0);
    CGContextAddLineToPoint(c, std::numeric_limits<CGFloat>::quiet_NaN(), 10);
    CGContextAddLineToPoint(c, 32, 32);
    CGContextFillPath(c);
    CGContextMoveToPoint(c, std::numeric_limits<CGFloat>::infinity(), 0);
    CGContextAddLineToPoint(c, 10, 10);
    CGContextStrokePath(c);
    CGContextFillRect(c, CGRectMake(4, 4, 4, 4)); // and the context still works
    auto const probe = canvas.Probe();
    EXPECT_EQ(probe.Count(probe.Whole(), IsInk), 16);
}

TEST(GuardClipper, ClippedPolygonsStayInsideTheGuard)
{
    tw::quartz::PathData path;
    CGAffineTransform const id = CGAffineTransformIdentity;
    path.MoveTo({ -kFar, -kFar }, id);
    path.LineTo({ kFar, 0 }, id);
    path.CurveTo({ kFar, kFar }, { 0, kFar }, { -kFar, kFar }, id);
    path.Close();
    tw::quartz::GuardClipper const clipper(CGRectMake(0, 0, 100, 100), CGRectMake(-1000, -1000, 2100, 2100));
    auto const subpaths = clipper.ClipForFill(path);
    ASSERT_EQ(subpaths.size(), 1u);
    for (auto const& e : subpaths[0].segments) {
        int const points = e.kind == tw::quartz::ElementKind::Curve ? 3 : 1;
        for (int i = 0; i < points; ++i) {
            EXPECT_GE(e.points[i].x, -1000);
            EXPECT_LE(e.points[i].x, 1100);
            EXPECT_GE(e.points[i].y, -1000);
            EXPECT_LE(e.points[i].y, 1100);
        }
    }
}
