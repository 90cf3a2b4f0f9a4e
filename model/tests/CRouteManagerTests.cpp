#include "model/CRoadGraph.h"
#include "model/CRouteManager.h"
#include "mapdata/tests/MapDataTestSupport.h"
#include "mapdata/tests/ShapeFileWriter.h"
#include "model/tests/MapPackTestSupport.h"
#include "tests/support/TestSupport.h"

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
    for (CRegionLayer* layer : BundledMaps().GetRegionLayers(CCoordinateRect(box), &IsRoad, nullptr))
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
        length += BundledMaps().GetDistance(result.path[i - 1], result.path[i]);
    EXPECT_NEAR(result.length, length, 0.01);
    double straight = BundledMaps().GetDistance(leg.from, leg.to);
    EXPECT_GE(result.length, straight);
    EXPECT_LE(result.length, 1.6 * straight);
}

TEST(CRouteManager, LegsInTheRoadRegionsFollowTheRoads)
{
    CRouteManager router(&BundledMaps());
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
    CRouteManager router(&BundledMaps());
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
        EXPECT_NEAR(result.length, BundledMaps().GetDistance(straight.leg.from, straight.leg.to), 0.01);
    }
}

TEST(CRouteManager, EndsOffTheRoadJoinItAtTheNearestPoint)
{
    CRouteManager router(&BundledMaps());
    // Ends a hundred metres or so off the streets, in parks.
    Leg const leg { "Slottsskogen park to Keillers park", CCoordinate(57.6862, 11.9405),
        CCoordinate(57.7195, 11.9245) };
    RoadLegResult result;
    ASSERT_EQ(router.RouteLeg(leg.from, leg.to, kGoOn, result), noErr);
    ASSERT_EQ(result.status, kRouteStatusRouted);
    double startOffset = DistanceToRoads(leg.from);
    ASSERT_GT(startOffset, 5.0);
    // The second point is where the start met its nearest road.
    EXPECT_NEAR(BundledMaps().GetDistance(result.path[0], result.path[1]), startOffset, 0.05 * startOffset + 0.5);
    EXPECT_LT(DistanceToRoads(result.path[1]), 0.5);
    // The same place for both ends is still a leg of two ends.
    RoadLegResult still;
    ASSERT_EQ(router.RouteLeg(leg.from, leg.from, kGoOn, still), noErr);
    EXPECT_EQ(still.path.front(), leg.from);
    EXPECT_EQ(still.path.back(), leg.from);
    EXPECT_GE(still.path.size(), 2u);
}

// Two points of Andra Långgatan in Göteborg, one-way eastward between its crossings.
CCoordinate const kAndraLanggatanWest(57.699081, 11.947898);
CCoordinate const kAndraLanggatanEast(57.6993505, 11.9506215);

// A leg the way a one-way street goes follows it; one against it goes round the block.
void ExpectOneWay(CRouteManager& router, CCoordinate const& from, CCoordinate const& to)
{
    double const straight = BundledMaps().GetDistance(from, to);
    RoadLegResult with, against;
    ASSERT_EQ(router.RouteLeg(from, to, kGoOn, with), noErr);
    ASSERT_EQ(router.RouteLeg(to, from, kGoOn, against), noErr);
    ASSERT_EQ(with.status, kRouteStatusRouted);
    ASSERT_EQ(against.status, kRouteStatusRouted);
    EXPECT_LT(with.length, 1.02 * straight);
    EXPECT_GT(against.length, 2 * straight);
    for (std::size_t i = 1; i + 1 < against.path.size(); ++i)
        ASSERT_LT(DistanceToRoads(against.path[i]), 0.5) << "point " << i;
}

TEST(CRouteManager, OneWayStreetsAreDrivenTheirWayOnly)
{
    CRouteManager router(&BundledMaps());
    ExpectOneWay(router, kAndraLanggatanWest, kAndraLanggatanEast);
    // Both ends between the same two points of the street.
    ExpectOneWay(router, CCoordinate(57.699298, 11.950107), CCoordinate(57.699404, 11.951136));
    RoadLegResult with;
    ASSERT_EQ(router.RouteLeg(kAndraLanggatanWest, kAndraLanggatanEast, kGoOn, with), noErr);
    ExpectFollowsRoads({ "with the one-way street", kAndraLanggatanWest, kAndraLanggatanEast }, with);

    for (char const* forward : { "yes", "YES", "1", "true" })
        EXPECT_EQ(CRoadGraph::GetOneWayDirection(CString(forward)), 1) << forward;
    EXPECT_EQ(CRoadGraph::GetOneWayDirection(CString("-1")), -1);
    for (char const* both : { "no", "", "reversible", "0" })
        EXPECT_EQ(CRoadGraph::GetOneWayDirection(CString(both)), 0) << both;
}

TEST(CRouteManager, AOneWayStreetMarkedMinusOneGoesAgainstItsLine)
{
    // The road regions with every "yes" of Göteborg's oneway column made "-1".
    TempFolder maps;
    std::filesystem::copy(
        BundledMapsFolder() / "Regions.twmap", maps / "Regions.twmap", std::filesystem::copy_options::recursive);
    auto const dbf = maps / "Regions.twmap/Contents/Resources/Goteborg.twregion/Contents/Resources/Layers/roads.dbf";
    std::string table = ReadFile(dbf);
    ASSERT_GT(table.size(), 32u);
    auto const word
        = [&](std::size_t at) { return std::size_t(UInt8(table[at])) | std::size_t(UInt8(table[at + 1])) << 8; };
    std::size_t const headerLength = word(8), recordLength = word(10);
    std::size_t offset = 1, width = 0; // in a record, after its deletion flag
    for (std::size_t field = 32; field + 32 <= headerLength && table[field] != '\r'; field += 32) {
        if (table.compare(field, 7, std::string("oneway\0", 7)) == 0) {
            width = UInt8(table[field + 16]);
            break;
        }
        offset += UInt8(table[field + 16]);
    }
    ASSERT_GE(width, 3u);
    int changed = 0;
    for (std::size_t record = headerLength; record + recordLength <= table.size(); record += recordLength)
        if (table.compare(record + offset, 3, "yes") == 0) {
            table.replace(record + offset, width, ("-1" + std::string(width, ' ')).substr(0, width));
            ++changed;
        }
    ASSERT_GT(changed, 1000);
    WriteFile(dbf, table);

    CMapManager manager;
    manager.LoadMapsFrom({ CFile(CString(maps.Path().c_str())) });
    CRouteManager router(&manager);
    ExpectOneWay(router, kAndraLanggatanEast, kAndraLanggatanWest);
}

TEST(CRouteManager, RefusesCoordinatesThatAreNoPlace)
{
    CRouteManager router(&BundledMaps());
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
    CRouteManager router(&BundledMaps());
    RoadLegResult result;
    EXPECT_EQ(router.RouteLeg(kOttawaToMontreal.from, kOttawaToMontreal.to, cancelled, result), userCanceledErr);
    EXPECT_EQ(result.status, kRouteStatusCancelled);
    EXPECT_EQ(result.path.size(), 2u);

    // A build cancelled part way leaves nothing behind that blocks the next leg.
    CRoadGraph graph;
    std::vector<CRegionLayer*> roads
        = BundledMaps().GetRegionLayers(CCoordinateRect(CCoordinate(58, 11), CCoordinate(57, 13)), &IsRoad, nullptr);
    ASSERT_EQ(roads.size(), 1u);
    EXPECT_EQ(graph.Build(roads, cancelled), userCanceledErr);
    ASSERT_EQ(router.RouteLeg(kOttawaToMontreal.from, kOttawaToMontreal.to, kGoOn, result), noErr);
    EXPECT_EQ(result.status, kRouteStatusRouted);

    // A search across a region is cancelled between its steps.
    CRoadGraph ottawa;
    ASSERT_EQ(ottawa.Build(BundledMaps().GetRegionLayers(
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
        = BundledMaps().GetRegionLayers(CCoordinateRect(kOttawaToMontreal.from, kOttawaToMontreal.to), &IsRoad, nullptr);
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
            = BundledMaps().GetDistance(CCoordinate(origin.y, origin.x), CCoordinate(other.y, other.x));
        EXPECT_NEAR(CRoadGraph::GetLocalDistance(origin, other), geodesic, geodesic * 1e-3) << other.x << " " << other.y;
    }
}

TEST(CRouteManager, WorkersRoutingAtOnceShareOneGraphAndAgree)
{
    CRouteManager reference(&BundledMaps());
    std::vector<RoadLegResult> expected(std::size(kGoteborgLegs));
    for (std::size_t i = 0; i < expected.size(); ++i)
        reference.RouteLeg(kGoteborgLegs[i].from, kGoteborgLegs[i].to, kGoOn, expected[i]);

    CRouteManager router(&BundledMaps());
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

namespace {

// A place east and north of 57.7° N 11.9° E, in metres.
SGPoint EastNorth(double east, double north)
{
    return { 11.9 + east / (111320 * std::cos(57.7 * M_PI / 180)), 57.7 + north / 111132 };
}

CCoordinate EastNorthAt(double east, double north)
{
    SGPoint const point = EastNorth(east, north);
    return CCoordinate(point.y, point.x);
}

// A road region of the given roads only, loaded into the manager.
void LoadRoadRegion(TempFolder const& maps, std::vector<TestPolyLine> const& roads, CMapManager& manager)
{
    auto const pack = maps / "Test.twmap";
    MakePack(pack, Key("TWMapFormat", "1.0") + Key("TWMapIdentifier", "test.roads"), "roads", "",
        LayerEntry("roads", kLayerCategoryRoad));
    WritePolyLineLayer(pack / "Contents/Resources/roads.twregion/Contents/Resources/Layers/roads", roads);
    manager.LoadMapsFrom({ CFile(CString(maps.Path().c_str())) });
}

} // namespace

TEST(CRouteManager, AnEndWhoseNearestRoadLeadsNowhereTakesTheNextRoadThatJoinsTheNetwork)
{
    int const minor = kLayerFeatureMinorRoad;
    std::vector<TestPolyLine> const roads {
        // The network: a block of 1 km by 600 m, its east side passing a crossing at 250 m.
        { { EastNorth(0, 0), EastNorth(1000, 0), EastNorth(1000, 250), EastNorth(1000, 600), EastNorth(0, 600), EastNorth(0, 0) },
            minor, "" },
        // An island 10 m from the start, joined to nothing.
        { { EastNorth(-140, 280), EastNorth(-140, 320) }, minor, "" },
        // A one-way piece 50 m from the end, cut at the data's edge: nothing leads into it.
        { { EastNorth(1140, 250), EastNorth(1000, 250) }, minor, "yes" },
        // An island 6 km out, more than the snap distance from any other road.
        { { EastNorth(-6000, 300), EastNorth(-6000, 340) }, minor, "" },
    };
    TempFolder maps;
    CMapManager manager;
    LoadRoadRegion(maps, roads, manager);
    CRouteManager router(&manager);

    CCoordinate const from = EastNorthAt(-150, 300), to = EastNorthAt(1150, 300);
    RoadLegResult result;
    ASSERT_EQ(router.RouteLeg(from, to, kGoOn, result), noErr);
    ASSERT_EQ(result.status, kRouteStatusRouted);
    ASSERT_GE(result.path.size(), 4u);
    // It joins the network's west side 150 m from the start and leaves by its east side.
    EXPECT_NEAR(result.path[1].GetLongitude(), EastNorth(0, 0).x, 1e-7);
    EXPECT_NEAR(result.path[1].GetLatitude(), EastNorth(0, 300).y, 1e-5);
    CCoordinate const& last = result.path[result.path.size() - 2];
    EXPECT_NEAR(last.GetLongitude(), EastNorth(1000, 0).x, 1e-7);
    EXPECT_NEAR(last.GetLatitude(), EastNorth(0, 300).y, 1e-5);

    // Ends on the island itself still follow it.
    RoadLegResult along;
    ASSERT_EQ(router.RouteLeg(EastNorthAt(-145, 282), EastNorthAt(-145, 318), kGoOn, along), noErr);
    EXPECT_EQ(along.status, kRouteStatusRouted);
    EXPECT_LT(along.length, 60);
    // With no joined road within reach of the start, the leg stays straight and says why.
    RoadLegResult nowhere;
    ASSERT_EQ(router.RouteLeg(EastNorthAt(-6010, 320), EastNorthAt(500, 300), kGoOn, nowhere), noErr);
    EXPECT_EQ(nowhere.status, kRouteStatusNoPath);
    EXPECT_EQ(nowhere.path.size(), 2u);
}
