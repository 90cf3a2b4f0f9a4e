#include "foundation/CMathUtilities.h"
#include "foundation/CRect.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(CRect, AlignInRectEachMode)
{
    CRect const container(100, 200, 300, 600); // 200 high, 400 wide
    struct Case {
        SInt16 mode;
        CRect expected;
    };
    Case const cases[] = {
        { CRect::kAlignNone, CRect(0, 0, 50, 80) },
        { CRect::kAlignCentreVertical, CRect(175, 0, 225, 80) },
        { CRect::kAlignTop, CRect(100, 0, 150, 80) },
        { CRect::kAlignBottom, CRect(250, 0, 300, 80) },
        { CRect::kAlignCentreHorizontal, CRect(0, 360, 50, 440) },
        { CRect::kAlignLeft, CRect(0, 200, 50, 280) },
        { CRect::kAlignRight, CRect(0, 520, 50, 600) },
        { CRect::kAlignCentreVertical | CRect::kAlignCentreHorizontal, CRect(175, 360, 225, 440) },
        { CRect::kAlignBottom | CRect::kAlignRight, CRect(250, 520, 300, 600) },
    };
    for (Case const& c : cases) {
        CRect r(0, 0, 50, 80);
        r.AlignInRect(container, c.mode);
        EXPECT_EQ(r, c.expected) << "mode " << c.mode;
    }
}

TEST(CRect, CentringUsesIntegerHalvesOfSummedEdges)
{
    CRect r(0, 0, 3, 3); // (0 + 3) / 2 = 1
    r.AlignInRect(CRect(0, 0, 10, 10), CRect::kAlignCentreVertical | CRect::kAlignCentreHorizontal);
    EXPECT_EQ(r, CRect(4, 4, 7, 7)); // 5 - 1
}

TEST(CRect, OffsetAndResizeSaturate)
{
    CRect r(10, 20, 30, 40);
    r.OffsetBy(5, -5);
    EXPECT_EQ(r, CRect(5, 25, 25, 45));
    r.ResizeBy(10, 20);
    EXPECT_EQ(r, CRect(5, 25, 45, 55));
    EXPECT_EQ(r.GetWidth(), 30);

    CRect edge(0, 0, 10, INT16_MAX - 5);
    edge.OffsetBy(100, 0);
    EXPECT_EQ(edge.right, INT16_MAX);
}

TEST(CMathUtilities, PointLineDistanceClampsToTheSegment)
{
    CGPoint a { 0, 0 };
    CGPoint b { 10, 0 };
    EXPECT_DOUBLE_EQ(CMathUtilities::GetPointLineDistance({ 5, 3 }, a, b), 3);
    EXPECT_DOUBLE_EQ(CMathUtilities::GetPointLineDistance({ -3, 4 }, a, b), 5); // beyond a
    EXPECT_DOUBLE_EQ(CMathUtilities::GetPointLineDistance({ 13, 4 }, a, b), 5); // beyond b
    EXPECT_DOUBLE_EQ(CMathUtilities::GetPointLineDistance({ 3, 4 }, a, a), 5); // no length
    EXPECT_DOUBLE_EQ(CMathUtilities::GetPointPointDistance2({ 1, 1 }, { 4, 5 }), 25);
}
