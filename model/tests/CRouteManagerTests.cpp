#include "model/CRoadGraph.h"
#include "model/CRouteManager.h"
#include "model/tests/MapPackTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <thread>

using namespace tw::test;

namespace {

struct Leg {
    char const* name;
    CCoordinate from;
    CCoordinate to;
};

// Addresses across Göteborg on the same side of the river, and a leg across the
// Ottawa–Montréal region.
Leg const kGoteborgLegs[] = {
    { "Götaplatsen to Järntorget", CCoordinate(57.6970, 11.9797), CCoordinate(57.6998, 11.9527) },
    { "Chalmers to the central station", CCoordinate(57.6890, 11.9745), CCoordinate(57.7087, 11.9733) },
    { "Slottsskogen to Ullevi", CCoordinate(57.6850, 11.9420), CCoordinate(57.7060, 11.9870) },
};
Leg const kOttawaToMontreal { "Ottawa to Montréal", CCoordinate(45.4215, -75.6972), CCoordinate(45.5017, -73.5673) };

std::atomic<bool> const kGoOn { false };

bool IsRoad(CRegionLayer const* layer, void*) { return layer->GetCategory() == kLayerCategoryRoad; }

// [m] from the point to the nearest segment of any road shape near it, on a local plane.
double DistanceToRoads(CCoordinate const& point)
{
    double const kReach = 0.0005; // [deg]
    double nearest = INFINITY;
    double cosine = std::cos(point.GetLatitude() * M_PI / 180);
    double const kMetresPerDegree = 111195;
    SGBounds box { point.GetLongitude() - kReach, point.GetLatitude() - kReach, point.GetLongitude() + kReach,
        point.GetLatitude() + kReach };
    for (CRegionLayer* layer : TestRegionMaps().GetRegionLayers(CCoordinateRect(box), &IsRoad, nullptr))
        for (UInt32 id : layer->GetShapes(box)) {
            SGShape shape;
            if (layer->GetShapeFile().GetShape(id, shape) != noErr)
                continue;
            for (std::size_t i = 1; i < shape.points.size(); ++i) {
                double ax = (shape.points[i - 1].x - point.GetLongitude()) * cosine * kMetresPerDegree;
                double ay = (shape.points[i - 1].y - point.GetLatitude()) * kMetresPerDegree;
                double dx = (shape.points[i].x - shape.points[i - 1].x) * cosine * kMetresPerDegree;
                double dy = (shape.points[i].y - shape.points[i - 1].y) * kMetresPerDegree;
                double t = dx * dx + dy * dy > 0 ? std::clamp(-(ax * dx + ay * dy) / (dx * dx + dy * dy), 0.0, 1.0) : 0;
                nearest = std::min(nearest, std::hypot(ax + t * dx, ay + t * dy));
            }
        }
    return nearest;
}

void ExpectFollowsRoads(Leg const& leg, RoadLegResult const& result)
{
    SCOPED_TRACE(leg.name);
    ASSERT_EQ(result.status, kRouteStatusRouted);
    ASSERT_GE(result.path.size(), 4u);
    EXPECT_EQ(result.path.front(), leg.from);
    EXPECT_EQ(result.path.back(), leg.to);
    // Between the addresses every point lies on a road: its vertices, or where an end met it.
    for (std::size_t i = 1; i + 1 < result.path.size(); ++i)
        ASSERT_LT(DistanceToRoads(result.path[i]), 0.5) << "point " << i << " " << result.path[i].GetString().GetUTF8();
    double length = 0;
    for (std::size_t i = 1; i < result.path.size(); ++i)
        length += TestRegionMaps().GetDistance(result.path[i - 1], result.path[i]);
    EXPECT_NEAR(result.length, length, 0.01);
    double straight = TestRegionMaps().GetDistance(leg.from, leg.to);
    EXPECT_GE(result.length, straight);
    EXPECT_LE(result.length, 1.6 * straight);
}

TEST(CRouteManager, LegsInTheRoadRegionsFollowTheRoads)
{
    CRouteManager router(&TestRegionMaps());
    for (Leg const& leg : kGoteborgLegs) {
        RoadLegResult result;
        ASSERT_EQ(router.RouteLeg(leg.from, leg.to, kGoOn, result), noErr);
        ExpectFollowsRoads(leg, result);
    }
    RoadLegResult result;
    ASSERT_EQ(router.RouteLeg(kOttawaToMontreal.from, kOttawaToMontreal.to, kGoOn, result), noErr);
    ExpectFollowsRoads(kOttawaToMontreal, result);
    // One graph per region, kept for the legs after the first.
    EXPECT_EQ(router.GetCachedGraphCount(), 2u);
}

TEST(CRouteManager, LegsWithoutRoadsStayStraightAndSaySo)
{
    CRouteManager router(&TestRegionMaps());
    struct StraightLeg {
        Leg leg;
        UInt32 status;
    };
    StraightLeg const legs[] = {
        // No road region under it at all.
        { { "Stockholm to Uppsala", CCoordinate(59.3293, 18.0686), CCoordinate(59.8586, 17.6389) },
            kRouteStatusNoRoads },
        // In the Göteborg region's box, but one end is out in the Kattegat, far from any road.
        { { "Central station to the sea", CCoordinate(57.7087, 11.9733), CCoordinate(57.6300, 11.6500) },
            kRouteStatusNoRoads },
        // Both ends on roads, but no road joins Sweden to Canada.
        { { "Göteborg to Ottawa", kGoteborgLegs[0].from, kOttawaToMontreal.from }, kRouteStatusNoPath },
    };
    for (StraightLeg const& straight : legs) {
        SCOPED_TRACE(straight.leg.name);
        RoadLegResult result;
        ASSERT_EQ(router.RouteLeg(straight.leg.from, straight.leg.to, kGoOn, result), noErr);
        EXPECT_EQ(result.status, straight.status);
        ASSERT_EQ(result.path.size(), 2u);
        EXPECT_EQ(result.path[0], straight.leg.from);
        EXPECT_EQ(result.path[1], straight.leg.to);
        EXPECT_NEAR(result.length, TestRegionMaps().GetDistance(straight.leg.from, straight.leg.to), 0.01);
    }
}

TEST(CRouteManager, EndsOffTheRoadJoinItAtTheNearestPoint)
{
    CRouteManager router(&TestRegionMaps());
    // Ends a hundred metres or so off the streets, in parks.
    Leg const leg { "Slottsskogen park to Keillers park", CCoordinate(57.6862, 11.9405),
        CCoordinate(57.7195, 11.9245) };
    RoadLegResult result;
    ASSERT_EQ(router.RouteLeg(leg.from, leg.to, kGoOn, result), noErr);
    ASSERT_EQ(result.status, kRouteStatusRouted);
    double startOffset = DistanceToRoads(leg.from);
    ASSERT_GT(startOffset, 5.0);
    // The second point is where the start met its nearest road.
    EXPECT_NEAR(TestRegionMaps().GetDistance(result.path[0], result.path[1]), startOffset, 0.05 * startOffset + 0.5);
    EXPECT_LT(DistanceToRoads(result.path[1]), 0.5);
    // The same place for both ends is still a leg of two ends.
    RoadLegResult still;
    ASSERT_EQ(router.RouteLeg(leg.from, leg.from, kGoOn, still), noErr);
    EXPECT_EQ(still.path.front(), leg.from);
    EXPECT_EQ(still.path.back(), leg.from);
    EXPECT_GE(still.path.size(), 2u);
}

TEST(CRouteManager, RefusesCoordinatesThatAreNoPlace)
{
    CRouteManager router(&TestRegionMaps());
    for (CCoordinate const& bad : { CCoordinate(NAN, 11.97), CCoordinate(57.7, INFINITY), CCoordinate(91, 0) }) {
        RoadLegResult result;
        EXPECT_EQ(router.RouteLeg(bad, kGoteborgLegs[0].to, kGoOn, result), paramErr);
        EXPECT_EQ(result.status, kRouteStatusNoRoads);
        EXPECT_EQ(result.path.size(), 2u);
    }
    CRouteManager withoutMaps(nullptr);
    RoadLegResult result;
    EXPECT_EQ(withoutMaps.RouteLeg(kGoteborgLegs[0].from, kGoteborgLegs[0].to, kGoOn, result), noErr);
    EXPECT_EQ(result.status, kRouteStatusNoRoads);
}

TEST(CRouteManager, CancellationStopsBuildingAndSearchingAndLeavesTheCacheUsable)
{
    std::atomic<bool> const cancelled { true };
    CRouteManager router(&TestRegionMaps());
    RoadLegResult result;
    EXPECT_EQ(router.RouteLeg(kOttawaToMontreal.from, kOttawaToMontreal.to, cancelled, result), userCanceledErr);
    EXPECT_EQ(result.status, kRouteStatusCancelled);
    EXPECT_EQ(result.path.size(), 2u);

    // A build cancelled part way leaves nothing behind that blocks the next leg.
    CRoadGraph graph;
    std::vector<CRegionLayer*> roads
        = TestRegionMaps().GetRegionLayers(CCoordinateRect(CCoordinate(58, 11), CCoordinate(57, 13)), &IsRoad, nullptr);
    ASSERT_EQ(roads.size(), 1u);
    EXPECT_EQ(graph.Build(roads, cancelled), userCanceledErr);
    ASSERT_EQ(router.RouteLeg(kOttawaToMontreal.from, kOttawaToMontreal.to, kGoOn, result), noErr);
    EXPECT_EQ(result.status, kRouteStatusRouted);

    // A search across a region is cancelled between its steps.
    CRoadGraph ottawa;
    ASSERT_EQ(ottawa.Build(TestRegionMaps().GetRegionLayers(
                               CCoordinateRect(kOttawaToMontreal.from, kOttawaToMontreal.to), &IsRoad, nullptr),
                  kGoOn),
        noErr);
    CRoadGraph::Snap from, to;
    ASSERT_TRUE(ottawa.FindNearestRoad(kOttawaToMontreal.from, 2000, from));
    ASSERT_TRUE(ottawa.FindNearestRoad(kOttawaToMontreal.to, 2000, to));
    std::vector<SGPoint> path;
    bool found = true;
    EXPECT_EQ(ottawa.FindPath(from, to, cancelled, path, found), userCanceledErr);
    EXPECT_FALSE(found);
    EXPECT_EQ(ottawa.FindPath(from, to, kGoOn, path, found), noErr);
    EXPECT_TRUE(found);

    // No road joins Ottawa to Göteborg: the search takes every node of Ottawa's roads from the
    // queue, in whatever order it searches, and so passes its cancel check (every 1024 steps).
    std::vector<CRegionLayer*> both
        = TestRegionMaps().GetRegionLayers(CCoordinateRect(kOttawaToMontreal.from, kOttawaToMontreal.to), &IsRoad, nullptr);
    both.insert(both.end(), roads.begin(), roads.end());
    CRoadGraph apart;
    ASSERT_EQ(apart.Build(both, kGoOn), noErr);
    CRoadGraph::Snap goteborg;
    ASSERT_TRUE(apart.FindNearestRoad(kOttawaToMontreal.from, 2000, from));
    ASSERT_TRUE(apart.FindNearestRoad(kGoteborgLegs[0].from, 2000, goteborg));
    EXPECT_EQ(apart.FindPath(from, goteborg, cancelled, path, found), userCanceledErr);
    EXPECT_EQ(apart.FindPath(from, goteborg, kGoOn, path, found), noErr);
    EXPECT_FALSE(found);
}

TEST(CRoadGraph, LocalDistancesAtHighLatitudeAreTheGeodesicOnes)
{
    // At 57° N a degree of longitude is little more than half a degree of latitude: edge times
    // come from these lengths.
    SGPoint const origin { 11.9, 57.0 };
    for (SGPoint const other : { SGPoint { 11.91, 57.0 }, SGPoint { 11.9, 57.01 }, SGPoint { 11.907, 57.004 } }) {
        double const geodesic
            = TestRegionMaps().GetDistance(CCoordinate(origin.y, origin.x), CCoordinate(other.y, other.x));
        EXPECT_NEAR(CRoadGraph::GetLocalDistance(origin, other), geodesic, geodesic * 1e-3) << other.x << " " << other.y;
    }
}

TEST(CRouteManager, WorkersRoutingAtOnceShareOneGraphAndAgree)
{
    CRouteManager reference(&TestRegionMaps());
    std::vector<RoadLegResult> expected(std::size(kGoteborgLegs));
    for (std::size_t i = 0; i < expected.size(); ++i)
        reference.RouteLeg(kGoteborgLegs[i].from, kGoteborgLegs[i].to, kGoOn, expected[i]);

    CRouteManager router(&TestRegionMaps());
    std::atomic<bool> cancelOne { false };
    constexpr std::size_t kWorkers = 8;
    std::vector<RoadLegResult> results(kWorkers);
    std::vector<OSStatus> statuses(kWorkers, 1);
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < kWorkers; ++i)
        workers.emplace_back([&, i] {
            Leg const& leg = kGoteborgLegs[i % std::size(kGoteborgLegs)];
            // The last worker is cancelled while the others wait for the graph it may be building.
            statuses[i] = router.RouteLeg(leg.from, leg.to, i + 1 == kWorkers ? cancelOne : kGoOn, results[i]);
        });
    cancelOne = true;
    for (std::thread& worker : workers)
        worker.join();
    for (std::size_t i = 0; i + 1 < kWorkers; ++i) {
        ASSERT_EQ(statuses[i], noErr) << i;
        EXPECT_EQ(results[i].status, kRouteStatusRouted);
        EXPECT_EQ(results[i].path.size(), expected[i % expected.size()].path.size());
        EXPECT_DOUBLE_EQ(results[i].length, expected[i % expected.size()].length);
    }
    EXPECT_TRUE(statuses.back() == noErr || statuses.back() == userCanceledErr);
    EXPECT_EQ(router.GetCachedGraphCount(), 1u);
    router.FlushGraphs();
    EXPECT_EQ(router.GetCachedGraphCount(), 0u);
}

} // namespace
