#include "render/CMapGeometry.h"
#include "render/CSparseArray.h"
#include "render/tests/RenderTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

class MapGeometry : public testing::Test {
protected:
    CMapManager mManager;
    CMapGeometry mGeometry { mManager };
};

} // namespace

TEST_F(MapGeometry, ProjectsTheWorldOntoItsImageAtEveryLevel)
{
    CGPoint const centre = mGeometry.Project(CCoordinate(0, 0), 0);
    EXPECT_NEAR(centre.x, 128, 1e-9);
    EXPECT_NEAR(centre.y, 128, 1e-9);
    for (UInt32 level = 0; level < CMapGeometry::kZoomCount; ++level) {
        double const side = 256.0 * std::pow(2.0, level);
        EXPECT_EQ(CMapGeometry::GetImageSide(level), side);
        EXPECT_NEAR(mGeometry.Project(CCoordinate(10, -180), level).x, 0, 1e-6);
        EXPECT_NEAR(mGeometry.Project(CCoordinate(10, 180), level).x, side, 1e-6);
        // The image's edges lie at 84° north and south.
        EXPECT_NEAR(mGeometry.Project(CCoordinate(84, 0), level).y, 0, 1e-6);
        EXPECT_NEAR(mGeometry.Project(CCoordinate(-84, 0), level).y, side, 1e-6);
    }
}

TEST_F(MapGeometry, UnprojectingAProjectedPointGivesItBack)
{
    CCoordinate const places[] = { { 57.7089, 11.9746 }, { 45.4215, -75.6972 }, { -33.8688, 151.2093 },
        { 83.9, -179.99 }, { -83.9, 179.99 }, { 0, 0 } };
    for (UInt32 level = 0; level < CMapGeometry::kZoomCount; ++level)
        for (CCoordinate const& place : places) {
            CCoordinate const back = mGeometry.Unproject(mGeometry.Project(place, level), level);
            EXPECT_NEAR(back.GetLatitude(), place.GetLatitude(), 1e-9) << "level " << level;
            EXPECT_NEAR(back.GetLongitude(), place.GetLongitude(), 1e-9) << "level " << level;
        }
}

TEST_F(MapGeometry, RectanglesKeepTheirCornersBothWays)
{
    CCoordinateRect const sweden(CCoordinate(69, 11), CCoordinate(55, 24));
    CGRect const rect = mGeometry.Project(sweden, 5);
    EXPECT_GT(rect.size.width, 0);
    EXPECT_GT(rect.size.height, 0);
    CCoordinateRect const back = mGeometry.Unproject(rect, 5);
    EXPECT_NEAR(back.GetTopLeft().GetLatitude(), 69, 1e-9);
    EXPECT_NEAR(back.GetTopLeft().GetLongitude(), 11, 1e-9);
    EXPECT_NEAR(back.GetBottomRight().GetLatitude(), 55, 1e-9);
    EXPECT_NEAR(back.GetBottomRight().GetLongitude(), 24, 1e-9);
}

// Points off the image's sides are the world again; far above or below it they stop inside
// the projection, so that every position made from pixels is one a document can hold.
TEST_F(MapGeometry, PointsOffTheImageWrapAroundTheWorldAndStopAtThePoles)
{
    // 50 pixels east of 179.5° E, and west of 179.5° W, by level.
    struct Case {
        UInt32 level;
        double east, west;
    };
    for (Case const& c : { Case { 0, -110.1875, 110.1875 }, Case { 2, -162.921875, 162.921875 },
             Case { 12, 179.5 + 50 * 360.0 / (256 << 12), -179.5 - 50 * 360.0 / (256 << 12) } }) {
        UInt32 const level = c.level;
        double const side = CMapGeometry::GetImageSide(level);
        CGPoint const east = mGeometry.Project(CCoordinate(10, 179.5), level);
        CCoordinate const past = mGeometry.Unproject(CGPointMake(east.x + 50, east.y), level);
        EXPECT_NEAR(past.GetLongitude(), c.east, 1e-9) << "level " << level;
        EXPECT_NEAR(past.GetLatitude(), 10, 1e-9);
        CGPoint const west = mGeometry.Project(CCoordinate(-10, -179.5), level);
        CCoordinate const before = mGeometry.Unproject(CGPointMake(west.x - 50, west.y), level);
        EXPECT_NEAR(before.GetLongitude(), c.west, 1e-9) << "level " << level;
        // Whole turns away are the same places.
        EXPECT_NEAR(mGeometry.Unproject(CGPointMake(east.x + 3 * side, east.y), level).GetLongitude(), 179.5, 1e-6);
        for (double y : { -50.0, -side, -1e9, side + 50, 2 * side, 1e9 }) {
            CCoordinate const c = mGeometry.Unproject(CGPointMake(side / 2, y), level);
            EXPECT_LE(std::abs(c.GetLatitude()), 89.9) << "y " << y;
            EXPECT_GT(std::abs(c.GetLatitude()), 84) << "y " << y;
            EXPECT_EQ(c.GetLatitude() > 0, y < 0);
        }
        // A rectangle past a side stops at it rather than swapping its west and east.
        CCoordinateRect const wide = mGeometry.Unproject(CGRectMake(-100, side / 4, side + 200, side / 2), level);
        EXPECT_EQ(wide.GetTopLeft().GetLongitude(), -180);
        EXPECT_EQ(wide.GetBottomRight().GetLongitude(), 180);
    }
}

TEST(MapTileGrid, TilesCoverOnlyWhatLiesInsideTheImage)
{
    // Level 1: 512 pixels, two tiles a side.
    CMapGeometry::TileRange range = CMapGeometry::GetTileRange(CGRectMake(-100, 200, 400, 400), 1);
    ASSERT_FALSE(range.empty);
    EXPECT_EQ(range.left, 0u);
    EXPECT_EQ(range.right, 1u);
    EXPECT_EQ(range.top, 0u);
    EXPECT_EQ(range.bottom, 1u);
    // Exactly one tile, and one pixel past it.
    range = CMapGeometry::GetTileRange(CGRectMake(256, 0, 256, 256), 1);
    EXPECT_EQ(range.left, 1u);
    EXPECT_EQ(range.right, 1u);
    // Exactly the tile at the origin: its far edges belong to the next tiles.
    range = CMapGeometry::GetTileRange(CGRectMake(0, 0, 256, 256), 1);
    ASSERT_FALSE(range.empty);
    EXPECT_EQ(std::vector<UInt32>({ range.left, range.top, range.right, range.bottom }), std::vector<UInt32>(4, 0));
    range = CMapGeometry::GetTileRange(CGRectMake(0, 0, 257, 1), 1);
    EXPECT_EQ(range.right, 1u);
    EXPECT_EQ(range.bottom, 0u);
    // Wholly outside, or empty: no tile at all rather than the nearest one.
    EXPECT_TRUE(CMapGeometry::GetTileRange(CGRectMake(-500, 0, 100, 100), 1).empty);
    EXPECT_TRUE(CMapGeometry::GetTileRange(CGRectMake(600, 600, 10, 10), 1).empty);
    EXPECT_TRUE(CMapGeometry::GetTileRange(CGRectMake(10, 10, 0, 10), 1).empty);
    // The deepest level has 131,072 tiles a side.
    range = CMapGeometry::GetTileRange(CGRectMake(0, 0, 1e9, 1e9), 17);
    EXPECT_EQ(range.right, 131071u);
}

TEST(CSparseArray, StoresOnlyTheCellsSetAndListsThemRowByRow)
{
    CSparseArray<int> cells(131072, 131072);
    EXPECT_FALSE(cells.HasValue(5, 5));
    EXPECT_EQ(cells.GetValue(5, 5), 0);
    EXPECT_TRUE(cells.SetValue(131071, 3, 1));
    EXPECT_TRUE(cells.SetValue(0, 4, 2));
    EXPECT_TRUE(cells.SetValue(7, 3, 3));
    EXPECT_FALSE(cells.SetValue(131072, 0, 9)); // outside
    EXPECT_EQ(cells.GetCount(), 3u);
    EXPECT_EQ(cells.GetValues(), (std::vector<int> { 3, 1, 2 }));
    cells.RemoveValue(7, 3);
    EXPECT_FALSE(cells.HasValue(7, 3));
    cells.SetSize(2, 2);
    EXPECT_EQ(cells.GetCount(), 0u);
    EXPECT_EQ(cells.GetColumnCount(), 2u);
}
