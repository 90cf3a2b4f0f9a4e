#include "quartz/CGGeometry.h"

#include <gtest/gtest.h>
#include <numbers>

namespace {

void ExpectRect(CGRect r, CGFloat x, CGFloat y, CGFloat w, CGFloat h)
{
    EXPECT_DOUBLE_EQ(r.origin.x, x);
    EXPECT_DOUBLE_EQ(r.origin.y, y);
    EXPECT_DOUBLE_EQ(r.size.width, w);
    EXPECT_DOUBLE_EQ(r.size.height, h);
}

} // namespace

TEST(CGGeometry, NegativeSizesAreStandardisedByEveryQuery)
{
    CGRect const r = CGRectMake(10, 20, -4, -6);
    ExpectRect(CGRectStandardize(r), 6, 14, 4, 6);
    EXPECT_DOUBLE_EQ(CGRectGetMinX(r), 6);
    EXPECT_DOUBLE_EQ(CGRectGetMaxY(r), 20);
    EXPECT_DOUBLE_EQ(CGRectGetMidX(r), 8);
    EXPECT_TRUE(CGRectContainsPoint(r, CGPointMake(7, 15)));
    ExpectRect(CGRectUnion(r, CGRectMake(0, 0, 1, 1)), 0, 0, 10, 20);
}

TEST(CGGeometry, IntersectionOfDisjointRectsIsNullAndTouchingIsEmpty)
{
    CGRect const a = CGRectMake(0, 0, 10, 10);
    EXPECT_TRUE(CGRectIsNull(CGRectIntersection(a, CGRectMake(20, 0, 5, 5))));
    CGRect const touching = CGRectIntersection(a, CGRectMake(10, 0, 5, 5));
    EXPECT_FALSE(CGRectIsNull(touching));
    EXPECT_TRUE(CGRectIsEmpty(touching));
    EXPECT_FALSE(CGRectIntersectsRect(a, CGRectMake(10, 0, 5, 5)));
    EXPECT_TRUE(CGRectIntersectsRect(a, CGRectMake(9, 9, 5, 5)));
    ExpectRect(CGRectIntersection(a, CGRectMake(5, -5, 10, 10)), 5, 0, 5, 5);
}

TEST(CGGeometry, NullRectsDropOutOfUnionsAndInsetsCanEmptyARect)
{
    ExpectRect(CGRectUnion(CGRectNull, CGRectMake(1, 2, 3, 4)), 1, 2, 3, 4);
    EXPECT_TRUE(CGRectIsNull(CGRectUnion(CGRectNull, CGRectNull)));
    EXPECT_TRUE(CGRectIsNull(CGRectInset(CGRectMake(0, 0, 4, 4), 3, 0)));
    ExpectRect(CGRectInset(CGRectMake(0, 0, 10, 10), -2, 1), -2, 1, 14, 8);
    ExpectRect(CGRectIntegral(CGRectMake(0.5, -0.5, 1.2, 1)), 0, -1, 2, 2);
    EXPECT_FALSE(CGRectContainsPoint(CGRectMake(0, 0, 10, 10), CGPointMake(10, 5)));
    EXPECT_TRUE(CGRectContainsRect(CGRectMake(0, 0, 10, 10), CGRectMake(2, 2, 8, 8)));
    EXPECT_FALSE(CGRectContainsRect(CGRectMake(0, 0, 10, 10), CGRectMake(2, 2, 9, 8)));
}

TEST(CGGeometry, ConcatAppliesTheFirstTransformFirst)
{
    CGAffineTransform const scale = CGAffineTransformMakeScale(2, 3);
    CGAffineTransform const move = CGAffineTransformMakeTranslation(10, 20);
    CGPoint const p = CGPointApplyAffineTransform(CGPointMake(1, 1), CGAffineTransformConcat(scale, move));
    EXPECT_DOUBLE_EQ(p.x, 12);
    EXPECT_DOUBLE_EQ(p.y, 23);
    // Translate(t, ...) moves in t's input space, before t.
    CGPoint const q = CGPointApplyAffineTransform(CGPointMake(1, 1), CGAffineTransformTranslate(scale, 10, 20));
    EXPECT_DOUBLE_EQ(q.x, 22);
    EXPECT_DOUBLE_EQ(q.y, 63);
}

TEST(CGGeometry, RotationIsCounterClockwiseInYUpSpaceAndInvertsBack)
{
    CGAffineTransform const turn = CGAffineTransformMakeRotation(std::numbers::pi / 2);
    CGPoint const p = CGPointApplyAffineTransform(CGPointMake(1, 0), turn);
    EXPECT_NEAR(p.x, 0, 1e-12);
    EXPECT_NEAR(p.y, 1, 1e-12);
    CGAffineTransform const t = CGAffineTransformConcat(turn, CGAffineTransformMake(2, 0, 0.5, 3, 7, -4));
    CGPoint const back
        = CGPointApplyAffineTransform(CGPointApplyAffineTransform(CGPointMake(3, 5), t), CGAffineTransformInvert(t));
    EXPECT_NEAR(back.x, 3, 1e-12);
    EXPECT_NEAR(back.y, 5, 1e-12);
    CGAffineTransform const singular = CGAffineTransformMakeScale(0, 1);
    EXPECT_DOUBLE_EQ(CGAffineTransformInvert(singular).a, 0);
    ExpectRect(CGRectApplyAffineTransform(CGRectMake(0, 0, 2, 1), turn), -1, 0, 1, 2);
}
