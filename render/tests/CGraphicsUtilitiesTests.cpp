#include "foundation/ColourRGBA.h"
#include "render/CGraphicsUtilities.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

void ExpectRect(CGRect const& r, CGFloat x, CGFloat y, CGFloat w, CGFloat h)
{
    EXPECT_DOUBLE_EQ(r.origin.x, x);
    EXPECT_DOUBLE_EQ(r.origin.y, y);
    EXPECT_DOUBLE_EQ(r.size.width, w);
    EXPECT_DOUBLE_EQ(r.size.height, h);
}

} // namespace

TEST(CGraphicsUtilities, NormaliseMovesTheOriginAndRoundsOutward)
{
    CGRect r = CGRectMake(10, 10, -4.5, -2);
    CGraphicsUtilities::NormaliseRect(r, false);
    ExpectRect(r, 5.5, 8, 4.5, 2);
    CGraphicsUtilities::NormaliseRect(r, true);
    ExpectRect(r, 5, 8, 5, 2);
    CGraphicsUtilities::InsetRect(r, 1, -1);
    ExpectRect(r, 6, 7, 3, 4);
}

TEST(CGraphicsUtilities, InsideIsClosedAndEllipsesLeaveTheCornersOut)
{
    CGRect const r = CGRectMake(0, 0, 10, 20);
    EXPECT_TRUE(CGraphicsUtilities::IsInside(CGPointMake(10, 20), r, false));
    EXPECT_TRUE(CGraphicsUtilities::IsInside(CGPointMake(0, 0), r, false));
    EXPECT_FALSE(CGraphicsUtilities::IsInside(CGPointMake(10.01, 5), r, false));
    EXPECT_FALSE(CGraphicsUtilities::IsInside(CGPointMake(1, 1), r, true));
    EXPECT_TRUE(CGraphicsUtilities::IsInside(CGPointMake(5, 10), r, true));
    EXPECT_TRUE(CGraphicsUtilities::IsInside(CGPointMake(10, 10), r, true));
    EXPECT_TRUE(CGraphicsUtilities::IsInside(CGPointMake(5, 1), CGRectMake(10, 20, -10, -20), true));
    EXPECT_TRUE(CGraphicsUtilities::IsInside(CGPointMake(0, 5), CGRectMake(0, 0, 0, 10), true));
}

TEST(CGraphicsUtilities, IntersectingCountsTouchingEdgesButNeverEmptyRects)
{
    CGRect const a = CGRectMake(0, 0, 10, 10);
    EXPECT_TRUE(CGraphicsUtilities::IsIntersecting(a, CGRectMake(10, 10, 5, 5)));
    EXPECT_FALSE(CGraphicsUtilities::IsIntersecting(a, CGRectMake(10.5, 0, 5, 5)));
    // Touching on each side intersects, either way round; half a pixel apart does not.
    for (CGPoint const side : { CGPoint { -1, 0 }, CGPoint { 1, 0 }, CGPoint { 0, -1 }, CGPoint { 0, 1 } }) {
        for (CGFloat const gap : { 0.0, 0.5 }) {
            CGRect const b = CGRectMake(side.x * (10 + gap), side.y * (10 + gap), 10, 10);
            EXPECT_EQ(CGraphicsUtilities::IsIntersecting(a, b), gap == 0) << side.x << "," << side.y << " " << gap;
            EXPECT_EQ(CGraphicsUtilities::IsIntersecting(b, a), gap == 0) << side.x << "," << side.y << " " << gap;
        }
    }
    EXPECT_FALSE(CGraphicsUtilities::IsIntersecting(a, CGRectMake(5, 5, 0, 5)));
    EXPECT_TRUE(CGraphicsUtilities::IsEmpty(CGRectMake(3, 3, 5, 0)));
    EXPECT_FALSE(CGraphicsUtilities::IsEmpty(CGRectMake(3, 3, -5, 1)));
}

TEST(CGraphicsUtilities, UnionIgnoresEmptyOperands)
{
    CGRect const a = CGRectMake(1, 2, 3, 4);
    ExpectRect(CGraphicsUtilities::UnionRect(a, CGRectMake(100, 100, 0, 5)), 1, 2, 3, 4);
    ExpectRect(CGraphicsUtilities::UnionRect(CGRectMake(-5, 0, 5, 0), a), 1, 2, 3, 4);
    ExpectRect(CGraphicsUtilities::UnionRect(CGRectMake(9, 9, 0, 0), CGRectMake(7, 7, 1, 0)), 0, 0, 0, 0);
    ExpectRect(CGraphicsUtilities::UnionRect(a, CGRectMake(10, 0, 2, 2)), 1, 0, 11, 6);
}

TEST(CGraphicsUtilities, ScaleToFitKeepsTheAspectAndCentres)
{
    CGRect r = CGRectMake(0, 0, 20, 10);
    CGraphicsUtilities::ScaleToFit(r, CGRectMake(0, 0, 100, 100));
    ExpectRect(r, 0, 25, 100, 50);
    r = CGRectMake(0, 0, 10, 40);
    CGraphicsUtilities::ScaleToFit(r, CGRectMake(10, 10, 100, 100));
    ExpectRect(r, 47.5, 10, 25, 100);
    r = CGRectMake(3, 3, 0, 10);
    CGraphicsUtilities::ScaleToFit(r, CGRectMake(0, 0, 100, 100));
    ExpectRect(r, 50, 45, 0, 10);
    r = CGRectMake(0, 0, 10, 10);
    CGraphicsUtilities::PositionRect(r, CGRectMake(0, 0, 30, 50), 0);
    ExpectRect(r, 10, 20, 10, 10);
}

TEST(CGraphicsUtilities, QuickDrawConversionsTruncateTowardZeroAndPinOutOfRange)
{
    Rect qd { 10, 20, 50, 80 }; // top, left, bottom, right
    CGRect r;
    CGraphicsUtilities::ConvertRect(qd, r);
    ExpectRect(r, 20, 10, 60, 40);
    Rect back;
    CGraphicsUtilities::ConvertRect(CGRectMake(20.9, 10.2, 60, 40), back);
    EXPECT_EQ(back.left, 20);
    EXPECT_EQ(back.top, 10);
    EXPECT_EQ(back.right, 80);
    EXPECT_EQ(back.bottom, 50);
    Point p;
    CGraphicsUtilities::ConvertPoint(CGPointMake(-1.7, 2.9), p);
    EXPECT_EQ(p.h, -1);
    EXPECT_EQ(p.v, 2);
    CGraphicsUtilities::ConvertPoint(CGPointMake(1e9, NAN), p);
    EXPECT_EQ(p.h, 32767);
    EXPECT_EQ(p.v, 0);
    CGPoint cg;
    CGraphicsUtilities::ConvertPoint(Point { 7, -3 }, cg);
    EXPECT_DOUBLE_EQ(cg.x, -3);
    EXPECT_DOUBLE_EQ(cg.y, 7);
}

TEST(CGraphicsUtilities, ColoursPackAsAARRGGBBWithTruncatedChannels)
{
    UInt32 packed = 0;
    CGraphicsUtilities::ConvertColour(ColourRGBA { 1, 0.5f, 0, 1 }, packed);
    EXPECT_EQ(packed, 0xFFFF7F00u);
    CGraphicsUtilities::ConvertColour(ColourRGBA { 2, -1, NAN, 0.2f }, packed);
    EXPECT_EQ(packed, 0x33FF0000u);
}
