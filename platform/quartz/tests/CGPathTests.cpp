#include "quartz/CGPath.h"

#include <gtest/gtest.h>
#include <numbers>

namespace {

constexpr CGFloat kPi = std::numbers::pi;

} // namespace

TEST(CGPath, BoundingBoxFollowsTheTransformAndEmptyPathsHaveNone)
{
    CGMutablePathRef path = CGPathCreateMutable();
    EXPECT_TRUE(CGPathIsEmpty(path));
    EXPECT_TRUE(CGRectIsNull(CGPathGetBoundingBox(path)));
    CGAffineTransform const m = CGAffineTransformMakeTranslation(100, 0);
    CGPathAddRect(path, &m, CGRectMake(0, 0, 10, -5));
    CGRect const box = CGPathGetBoundingBox(path);
    EXPECT_DOUBLE_EQ(box.origin.x, 100);
    EXPECT_DOUBLE_EQ(box.origin.y, -5);
    EXPECT_DOUBLE_EQ(box.size.width, 10);
    EXPECT_DOUBLE_EQ(box.size.height, 5);
    CGPathRelease(path);
}

TEST(CGPath, ArcDirectionFollowsTheClockwiseFlag)
{
    // A quarter arc from angle 0 to pi/2 stays in the upper right quadrant counter-clockwise,
    // and goes round through the other three quadrants clockwise.
    CGMutablePathRef ccw = CGPathCreateMutable();
    CGPathAddArc(ccw, nullptr, 0, 0, 10, 0, kPi / 2, false);
    CGRect const small = CGPathGetBoundingBox(ccw);
    EXPECT_NEAR(small.origin.x, 0, 1e-9);
    EXPECT_NEAR(small.origin.y, 0, 1e-9);
    CGMutablePathRef cw = CGPathCreateMutable();
    CGPathAddArc(cw, nullptr, 0, 0, 10, 0, kPi / 2, true);
    CGRect const large = CGPathGetBoundingBox(cw);
    EXPECT_LT(large.origin.x, -9);
    EXPECT_LT(large.origin.y, -9);
    CGPoint const end = CGPathGetCurrentPoint(cw);
    EXPECT_NEAR(end.x, 0, 1e-9);
    EXPECT_NEAR(end.y, 10, 1e-9);
    CGPathRelease(ccw);
    CGPathRelease(cw);
}

TEST(CGPath, ArcToPointEndsOnTheSecondTangent)
{
    CGMutablePathRef path = CGPathCreateMutable();
    CGPathMoveToPoint(path, nullptr, 0, 0);
    CGPathAddArcToPoint(path, nullptr, 10, 0, 10, 10, 4);
    CGPoint const end = CGPathGetCurrentPoint(path);
    EXPECT_NEAR(end.x, 10, 1e-9);
    EXPECT_NEAR(end.y, 4, 1e-9);
    CGPathRelease(path);
}

TEST(CGPath, CopiesAreEqualAndIndependent)
{
    CGMutablePathRef path = CGPathCreateMutable();
    CGPathAddEllipseInRect(path, nullptr, CGRectMake(0, 0, 20, 10));
    CGPathRef copy = CGPathCreateCopy(path);
    EXPECT_TRUE(CGPathEqualToPath(path, copy));
    EXPECT_TRUE(CFEqual(path, copy));
    CGPathAddLineToPoint(path, nullptr, 50, 50);
    EXPECT_FALSE(CGPathEqualToPath(path, copy));
    CGPathRelease(copy);
    CGPathRelease(path);
}

TEST(CGPath, LinesWithoutACurrentPointAreIgnored)
{
    CGMutablePathRef path = CGPathCreateMutable();
    CGPathAddLineToPoint(path, nullptr, 5, 5);
    CGPathAddCurveToPoint(path, nullptr, 1, 1, 2, 2, 3, 3);
    EXPECT_TRUE(CGPathIsEmpty(path));
    CGPathRelease(path);
}
