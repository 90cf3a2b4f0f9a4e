// The reserved label rectangles: refusals across grid cells, wide rectangles, and clearing.

#include "render/CMapFootprints.h"

#include <gtest/gtest.h>

namespace {

TEST(MapFootprints, RectanglesMeetAcrossCellEdgesAndWideOnesMeetEverything)
{
    CMapFootprints footprints;
    EXPECT_FALSE(footprints.Add(CGRectMake(10, 10, 0, 5), true)) << "empty";
    ASSERT_TRUE(footprints.Add(CGRectMake(60, 60, 10, 10), true)); // across four cells
    EXPECT_FALSE(footprints.Add(CGRectMake(70, 70, 5, 5), true)) << "sharing a corner, in the next cell";
    EXPECT_FALSE(footprints.Add(CGRectMake(75, 55, -10, 6), false)) << "a rectangle given inside out";
    EXPECT_TRUE(footprints.Add(CGRectMake(71, 71, 5, 5), false));
    EXPECT_EQ(footprints.GetRects().size(), 1u) << "asking reserves nothing";

    // A rectangle over many cells is kept apart and still refuses what it meets.
    ASSERT_TRUE(footprints.Add(CGRectMake(-5000, 1000, 10000, 20), true));
    EXPECT_FALSE(footprints.Add(CGRectMake(3000, 1010, 4, 4), true));
    EXPECT_FALSE(footprints.Add(CGRectMake(-6000, 900, 12000, 500), true)) << "two wide ones meet";
    EXPECT_TRUE(footprints.Add(CGRectMake(-200000, -200000, 4, 4), true)) << "far out, negative cells";
    EXPECT_FALSE(footprints.Add(CGRectMake(-199998, -199998, 4, 4), true));
    footprints.Clear();
    EXPECT_TRUE(footprints.GetRects().empty());
    EXPECT_TRUE(footprints.Add(CGRectMake(70, 70, 5, 5), true));
}

} // namespace
