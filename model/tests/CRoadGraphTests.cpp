#include "mapdata/CRegionLayer.h"
#include "mapdata/tests/ShapeFileWriter.h"
#include "model/CRoadGraph.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>

using namespace tw::test;

namespace {

// A hand-made network of nine crossings a few hundred metres apart at 57.7° N, of roads
// of several speeds, two one-way streets and a dead end; the points are uneven so no two
// ways take the same time.
SGPoint const kCrossings[] = {
    { 11.9000, 57.7000 }, { 11.9040, 57.7003 }, { 11.9085, 57.6998 }, // 0 1 2
    { 11.9003, 57.7022 }, { 11.9041, 57.7019 }, { 11.9079, 57.7024 }, // 3 4 5
    { 11.8998, 57.7041 }, { 11.9045, 57.7046 }, { 11.9082, 57.7043 }, // 6 7 8
    { 11.9121, 57.6994 }, // 9: end of the dead end
};

struct HandRoad {
    std::vector<int> crossings;
    LayerFeature feature;
    char const* oneway;
};

HandRoad const kHandRoads[] = {
    { { 0, 1, 2 }, kLayerFeatureMinorRoad, "" },
    { { 3, 4, 5 }, kLayerFeaturePrimaryRoad, "" },
    { { 6, 7, 8 }, kLayerFeatureMinorRoad, "" },
    { { 0, 3, 6 }, kLayerFeatureMotorway, "" },
    { { 1, 4 }, kLayerFeatureMinorRoad, "yes" }, // only north
    { { 4, 7 }, kLayerFeatureSecondaryRoad, "-1" }, // only south
    { { 2, 5, 8 }, kLayerFeatureTertiaryRoad, "" },
    { { 7, 3 }, kLayerFeatureMinorRoad, "" },
    { { 2, 9 }, kLayerFeatureMinorRoad, "" },
};

// One segment of a road as the brute force sees it: drawn from `from` to `to`.
struct HandEdge {
    int from;
    int to;
    double time; // [s]
    int direction; // 1: only as drawn, -1: only against, 0: both
    bool ForwardOpen() const { return direction >= 0; }
    bool BackwardOpen() const { return direction <= 0; }
};

std::vector<HandEdge> HandEdges()
{
    std::vector<HandEdge> edges;
    for (HandRoad const& road : kHandRoads)
        for (std::size_t i = 1; i < road.crossings.size(); ++i) {
            int from = road.crossings[i - 1], to = road.crossings[i];
            double time = CRoadGraph::GetLocalDistance(kCrossings[from], kCrossings[to])
                / CRoadGraph::GetSpeed(road.feature);
            edges.push_back({ from, to, time, CRoadGraph::GetOneWayDirection(CString(road.oneway)) });
        }
    return edges;
}

// A place a few metres beside an edge, at a fraction of its length from its first crossing.
CCoordinate BesideEdge(HandEdge const& edge, double fraction)
{
    SGPoint const& a = kCrossings[edge.from];
    SGPoint const& b = kCrossings[edge.to];
    double const xScale = 111320 * std::cos(a.y * M_PI / 180), yScale = 111132; // [m/deg]
    double dx = (b.x - a.x) * xScale, dy = (b.y - a.y) * yScale, length = std::hypot(dx, dy);
    double const kAside = 3; // [m]
    return CCoordinate(a.y + fraction * (b.y - a.y) + kAside * dx / length / yScale,
        a.x + fraction * (b.x - a.x) - kAside * dy / length / xScale);
}

bool SamePoint(SGPoint const& a, SGPoint const& b) { return std::fabs(a.x - b.x) < 1e-9 && std::fabs(a.y - b.y) < 1e-9; }

struct Way {
    double time = INFINITY;
    std::vector<SGPoint> points;
};

// Every simple path between the snaps, cheapest first: the best way and the time of the next best.
void BruteForce(std::vector<HandEdge> const& edges, int startEdge, double startFraction, SGPoint const& startPoint,
    int endEdge, double endFraction, SGPoint const& endPoint, Way& best, double& secondTime)
{
    best = Way();
    secondTime = INFINITY;
    auto offer = [&](double time, std::vector<SGPoint> const& points) {
        if (time < best.time) {
            secondTime = best.time;
            best = { time, points };
        } else
            secondTime = std::min(secondTime, time);
    };
    HandEdge const& first = edges[startEdge];
    HandEdge const& last = edges[endEdge];
    if (startEdge == endEdge && (endFraction >= startFraction ? first.ForwardOpen() : first.BackwardOpen()))
        offer(std::fabs(endFraction - startFraction) * first.time, { startPoint, endPoint });

    std::vector<bool> visited(std::size(kCrossings), false);
    std::vector<SGPoint> points { startPoint };
    std::function<void(int, double)> walk = [&](int node, double time) {
        visited[node] = true;
        points.push_back(kCrossings[node]);
        std::vector<SGPoint> done = points;
        done.push_back(endPoint);
        if (node == last.from && last.ForwardOpen())
            offer(time + endFraction * last.time, done);
        if (node == last.to && last.BackwardOpen())
            offer(time + (1 - endFraction) * last.time, done);
        for (HandEdge const& edge : edges) {
            if (edge.from == node && edge.ForwardOpen() && !visited[edge.to])
                walk(edge.to, time + edge.time);
            if (edge.to == node && edge.BackwardOpen() && !visited[edge.from])
                walk(edge.from, time + edge.time);
        }
        points.pop_back();
        visited[node] = false;
    };
    if (first.BackwardOpen())
        walk(first.from, startFraction * first.time);
    if (first.ForwardOpen())
        walk(first.to, (1 - startFraction) * first.time);
}

// The time the router's path takes on the hand-made roads, or NaN when it leaves them.
double TimeAlong(std::vector<HandEdge> const& edges, std::vector<SGPoint> const& path, int startEdge,
    double startFraction, int endEdge, double endFraction)
{
    if (path.size() < 2)
        return NAN;
    HandEdge const& first = edges[startEdge];
    HandEdge const& last = edges[endEdge];
    if (path.size() == 2) {
        bool open = endFraction >= startFraction ? first.ForwardOpen() : first.BackwardOpen();
        return startEdge == endEdge && open ? std::fabs(endFraction - startFraction) * first.time : NAN;
    }
    double time = 0;
    if (SamePoint(path[1], kCrossings[first.from]) && first.BackwardOpen())
        time += startFraction * first.time;
    else if (SamePoint(path[1], kCrossings[first.to]) && first.ForwardOpen())
        time += (1 - startFraction) * first.time;
    else
        return NAN;
    for (std::size_t i = 2; i + 1 < path.size(); ++i) {
        double step = INFINITY;
        for (HandEdge const& edge : edges) {
            bool forward = SamePoint(path[i - 1], kCrossings[edge.from]) && SamePoint(path[i], kCrossings[edge.to]);
            bool backward = SamePoint(path[i - 1], kCrossings[edge.to]) && SamePoint(path[i], kCrossings[edge.from]);
            if ((forward && edge.ForwardOpen()) || (backward && edge.BackwardOpen()))
                step = std::min(step, edge.time);
        }
        if (step == INFINITY)
            return NAN;
        time += step;
    }
    SGPoint const& entry = path[path.size() - 2];
    if (SamePoint(entry, kCrossings[last.from]) && last.ForwardOpen())
        return time + endFraction * last.time;
    if (SamePoint(entry, kCrossings[last.to]) && last.BackwardOpen())
        return time + (1 - endFraction) * last.time;
    return NAN;
}

std::string Describe(std::vector<SGPoint> const& points)
{
    std::string text;
    for (SGPoint const& point : points) {
        int crossing = -1;
        for (std::size_t i = 0; i < std::size(kCrossings); ++i)
            if (SamePoint(point, kCrossings[i]))
                crossing = int(i);
        text += crossing >= 0 ? std::to_string(crossing) + " " : "snap ";
    }
    return text;
}

} // namespace

TEST(CRoadGraph, PathsBetweenEndsNearEitherEndOfAnEdgeAreTheFastestOfAll)
{
    TempFolder folder;
    std::vector<TestPolyLine> lines;
    for (HandRoad const& road : kHandRoads) {
        TestPolyLine line { {}, int(road.feature), road.oneway };
        for (int crossing : road.crossings)
            line.points.push_back(kCrossings[crossing]);
        lines.push_back(line);
    }
    WritePolyLineLayer(folder / "roads", lines);
    CFDictionary info;
    info.SetValueString(CString("TWLayerIdentifier"), CString("roads"));
    info.SetValueUInt32(CString("TWLayerCategory"), kLayerCategoryRoad);
    info.SetValueString(CString("TWLayerFormat"), CString("shp"));
    info.SetValueString(CString("TWLayerFile"), CString("roads.shp"));
    CRegionLayer layer;
    ASSERT_EQ(layer.Initialise(info, CFile(CString(folder.Path().c_str()))), noErr);
    CRoadGraph graph;
    std::atomic<bool> const goOn { false };
    ASSERT_EQ(graph.Build({ &layer }, goOn), noErr);
    std::vector<HandEdge> const edges = HandEdges();
    ASSERT_EQ(graph.GetNodeCount(), std::size(kCrossings));
    ASSERT_EQ(graph.GetEdgeCount(), edges.size());

    struct End {
        int edge;
        double fraction;
        CRoadGraph::Snap snap;
    };
    std::vector<End> ends;
    for (int edge = 0; edge < int(edges.size()); ++edge)
        for (double fraction : { 0.1, 0.9 }) {
            End end { edge, fraction, {} };
            ASSERT_TRUE(graph.FindNearestRoad(BesideEdge(edges[edge], fraction), 100, end.snap));
            // The snap lies on the edge meant, its fraction counted from the edge's first crossing.
            SGPoint const& a = kCrossings[edges[edge].from];
            SGPoint const& b = kCrossings[edges[edge].to];
            EXPECT_NEAR(end.snap.fraction, fraction, 0.01) << "edge " << edge;
            EXPECT_NEAR(end.snap.point.x, a.x + end.snap.fraction * (b.x - a.x), 1e-9) << "edge " << edge;
            EXPECT_NEAR(end.snap.point.y, a.y + end.snap.fraction * (b.y - a.y), 1e-9) << "edge " << edge;
            EXPECT_NEAR(end.snap.distance, 3, 0.1) << "edge " << edge;
            ends.push_back(end);
        }

    int comparedPaths = 0;
    for (End const& start : ends)
        for (End const& end : ends) {
            SCOPED_TRACE(testing::Message() << "from edge " << start.edge << " at " << start.fraction << " to edge "
                                            << end.edge << " at " << end.fraction);
            Way best;
            double secondTime = INFINITY;
            BruteForce(edges, start.edge, start.snap.fraction, start.snap.point, end.edge, end.snap.fraction,
                end.snap.point, best, secondTime);
            std::vector<SGPoint> path;
            bool found = false;
            ASSERT_EQ(graph.FindPath(start.snap, end.snap, goOn, path, found), noErr);
            ASSERT_EQ(found, best.time < INFINITY);
            if (!found)
                continue;
            double time = TimeAlong(edges, path, start.edge, start.snap.fraction, end.edge, end.snap.fraction);
            ASSERT_FALSE(std::isnan(time)) << "the path leaves the roads or drives one the wrong way: "
                                           << Describe(path);
            EXPECT_NEAR(time, best.time, 1e-4 * best.time + 1e-6) << "router " << Describe(path) << "brute force "
                                                                   << Describe(best.points);
            // Where the fastest way is clearly the one, the router takes it point for point.
            if (secondTime - best.time > 1e-3 * best.time + 1e-3) {
                ++comparedPaths;
                ASSERT_EQ(path.size(), best.points.size()) << Describe(path) << "vs " << Describe(best.points);
                for (std::size_t i = 0; i < path.size(); ++i)
                    EXPECT_TRUE(SamePoint(path[i], best.points[i])) << "point " << i;
            }
        }
    EXPECT_GT(comparedPaths, int(ends.size() * ends.size() * 9 / 10));
}

namespace {

// A place east and north of 57.7° N 11.9° E, in metres.
SGPoint Metres(double east, double north)
{
    return { 11.9 + east / (111320 * std::cos(57.7 * M_PI / 180)), 57.7 + north / 111132 };
}

// The graph of the roads, written as a layer and read back.
struct RoadsGraph {
    TempFolder folder;
    CRegionLayer layer;
    CRoadGraph graph;

    explicit RoadsGraph(std::vector<TestPolyLine> const& lines)
    {
        WritePolyLineLayer(folder / "roads", lines);
        CFDictionary info;
        info.SetValueString(CString("TWLayerIdentifier"), CString("roads"));
        info.SetValueUInt32(CString("TWLayerCategory"), kLayerCategoryRoad);
        info.SetValueString(CString("TWLayerFormat"), CString("shp"));
        info.SetValueString(CString("TWLayerFile"), CString("roads.shp"));
        EXPECT_EQ(layer.Initialise(info, CFile(CString(folder.Path().c_str()))), noErr);
        std::atomic<bool> const goOn { false };
        EXPECT_EQ(graph.Build({ &layer }, goOn), noErr);
    }
};

CCoordinate At(SGPoint const& point) { return CCoordinate(point.y, point.x); }

} // namespace

TEST(CRoadGraph, AnEndSnapsToTheNearestRoadWithinTheRadiusAndNeverBeyondIt)
{
    // From the place at the origin: a short road 65 m away to the north-east, inside the first
    // small box searched, and a road 55 m to the east, just outside it.
    RoadsGraph roads({ { { Metres(45, 47), Metres(47, 45) }, kLayerFeatureMinorRoad, "" },
        { { Metres(55, -20), Metres(55, 20) }, kLayerFeatureMinorRoad, "" } });
    ASSERT_EQ(roads.graph.GetEdgeCount(), 2u);
    CCoordinate const place = At(Metres(0, 0));
    CRoadGraph::Snap snap;
    ASSERT_TRUE(roads.graph.FindNearestRoad(place, 2000, snap));
    EXPECT_EQ(snap.edge, 1u);
    EXPECT_NEAR(snap.distance, 55, 0.5);
    ASSERT_TRUE(roads.graph.FindNearestRoad(place, 60, snap));
    EXPECT_EQ(snap.edge, 1u);
    // Both beyond the radius: no road.
    EXPECT_FALSE(roads.graph.FindNearestRoad(place, 54, snap));
    EXPECT_FALSE(roads.graph.FindNearestRoad(place, 30, snap));
}

TEST(CRoadGraph, AOneWayValueEndedByZeroBytesIsStillOneWay)
{
    // One street drawn west to east, its "yes" ended by a zero byte as some writers do.
    for (std::string const& oneway : { std::string("yes\0", 4), std::string("yes") }) {
        SCOPED_TRACE(oneway.size());
        RoadsGraph roads({ { { Metres(0, 0), Metres(200, 0), Metres(400, 0) }, kLayerFeatureMinorRoad, oneway } });
        CDBaseFile const& table = roads.layer.GetAttributes();
        SInt32 const field = table.FindField("oneway");
        ASSERT_GE(field, 0);
        EXPECT_EQ(table.GetString(0, UInt32(field), true), CString("yes")) << "the text ends at its zero byte";
        CRoadGraph::Snap west, east;
        ASSERT_TRUE(roads.graph.FindNearestRoad(At(Metres(50, 5)), 100, west));
        ASSERT_TRUE(roads.graph.FindNearestRoad(At(Metres(350, 5)), 100, east));
        std::atomic<bool> const goOn { false };
        std::vector<SGPoint> path;
        bool found = false;
        ASSERT_EQ(roads.graph.FindPath(west, east, goOn, path, found), noErr);
        EXPECT_TRUE(found);
        ASSERT_EQ(roads.graph.FindPath(east, west, goOn, path, found), noErr);
        EXPECT_FALSE(found) << "driven against the one-way street";
    }
}
