#include "render/CClipUtilities.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

double Area(std::vector<CGPoint> const& ring)
{
    double area = 0;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        area += (ring[j].x - ring[i].x) * (ring[j].y + ring[i].y);
    return std::fabs(area) / 2;
}

bool Inside(std::vector<CGPoint> const& points, CGRect const& rect)
{
    for (CGPoint p : points)
        if (p.x < rect.origin.x - 1e-9 || p.y < rect.origin.y - 1e-9 || p.x > CGRectGetMaxX(rect) + 1e-9
            || p.y > CGRectGetMaxY(rect) + 1e-9)
            return false;
    return true;
}

} // namespace

TEST(CClipUtilities, PolygonsAreCutToTheRectangleWhereverTheyReach)
{
    CGRect const tile = CGRectMake(0, 0, 256, 256);
    std::vector<CGPoint> out;
    // A square over one corner keeps the overlapping quarter.
    CClipUtilities::ClipPolygon({ { -100, -100 }, { 100, -100 }, { 100, 100 }, { -100, 100 } }, tile, out);
    EXPECT_TRUE(Inside(out, tile));
    EXPECT_NEAR(Area(out), 100 * 100, 1e-6);
    // A continent millions of pixels wide becomes the tile itself, in range of any drawing context.
    CClipUtilities::ClipPolygon({ { -3e7, -3e7 }, { 3e7, -3e7 }, { 3e7, 3e7 }, { -3e7, 3e7 } }, tile, out);
    EXPECT_TRUE(Inside(out, tile));
    EXPECT_NEAR(Area(out), 256 * 256, 1e-3);
    // Wholly outside: nothing.
    CClipUtilities::ClipPolygon({ { 300, 300 }, { 400, 300 }, { 400, 400 } }, tile, out);
    EXPECT_TRUE(out.empty());
}

TEST(CClipUtilities, LinePiecesKnowHowFarAlongTheLineTheyStart)
{
    CGRect const tile = CGRectMake(0, 0, 100, 100);
    std::vector<ClipRun> runs;
    // In, out over the top, and in again: two pieces, each knowing its distance along the line.
    CClipUtilities::ClipPolyline({ { -50, 50 }, { 50, 50 }, { 50, -50 }, { 80, -50 }, { 80, 50 } }, tile, runs);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_NEAR(runs[0].startLength, 50, 1e-9);
    EXPECT_EQ(runs[0].points.size(), 3u);
    EXPECT_NEAR(runs[0].points.back().y, 0, 1e-9);
    EXPECT_NEAR(runs[1].startLength, 100 + 100 + 30 + 50, 1e-9);
    EXPECT_TRUE(Inside(runs[1].points, tile));
    // The same line cut by the neighbouring tile starts where this one's run would have gone on:
    // dashes continue across the tile edge.
    std::vector<ClipRun> left;
    CClipUtilities::ClipPolyline({ { -50, 50 }, { 50, 50 } }, CGRectMake(-100, 0, 100, 100), left);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_NEAR(left[0].startLength, 0, 1e-9);
    EXPECT_NEAR(left[0].points.back().x, 0, 1e-9);
}

TEST(CClipUtilities, ThinningDropsOnlyPointsTooCloseToTell)
{
    std::vector<CGPoint> points { { 0, 0 }, { 0.1, 0 }, { 0.2, 0.1 }, { 5, 0 }, { 5.1, 0 }, { 10, 0 }, { 10.05, 0 } };
    CClipUtilities::Thin(points, 0.35);
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points.front().x, 0);
    EXPECT_EQ(points[1].x, 5);
    EXPECT_EQ(points[2].x, 10);
    EXPECT_EQ(points.back().x, 10.05); // the end always stays
}

TEST(CClipUtilities, ThinningADenseRunKeepsAboutOnePointPerTolerance)
{
    // A thousand points 0.1 apart along a curve: each is closer than the tolerance to the one
    // before, but not to the last one kept, so the run keeps its shape.
    std::vector<CGPoint> points;
    for (int i = 0; i <= 1000; ++i)
        points.push_back({ i * 0.1, 10 * std::sin(i * 0.001) });
    CClipUtilities::Thin(points, 1.0);
    EXPECT_GE(points.size(), 95u);
    EXPECT_LE(points.size(), 102u);
    for (std::size_t i = 1; i + 1 < points.size(); ++i)
        EXPECT_GE(std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y), 1.0) << i;
    EXPECT_DOUBLE_EQ(points.back().x, 100);
}
