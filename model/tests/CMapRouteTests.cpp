#include "foundation/CFArray.h"
#include "foundation/CMsgListener.h"
#include "model/tests/ModelTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace tw::test;

namespace {

class Counter : public CMsgListener {
public:
    int mModified = 0;
    int mNeedsDisplay = 0;
    void DoMessage(UInt32 message, void*) override
    {
        mModified += message == kMsgMapObjectModified;
        mNeedsDisplay += message == kMsgMapObjectNeedsDisplay;
    }
};

// Waypoints a route can use, deleted after the routes that listen to them.
struct Points {
    std::vector<std::unique_ptr<CMapWaypoint>> mPoints;
    explicit Points(int count)
    {
        for (int i = 0; i < count; ++i) {
            mPoints.push_back(std::make_unique<CMapWaypoint>());
            mPoints.back()->SetPosition(CCoordinate(50 + i, 10 + i));
            mPoints.back()->SetID(UInt32(i + 1));
        }
    }
    CMapWaypoint* operator[](std::size_t index) const { return mPoints[index].get(); }
};

std::vector<CMapWaypoint*> WaypointsOf(CMapRoute const& route)
{
    std::vector<CMapWaypoint*> waypoints;
    for (RouteSegment const& segment : route.GetSegments())
        waypoints.push_back(segment.waypoint);
    return waypoints;
}

// Marks every leg routed, as if a router had been at work.
void MarkRouted(CMapRoute& route)
{
    auto& legs = route.LockSegments();
    for (RouteSegment& leg : legs) {
        leg.status = kRouteStatusRouted;
        leg.path = { CCoordinate(1, 1), CCoordinate(2, 2) };
        leg.length = 5;
    }
    route.UnlockSegments();
}

std::vector<UInt32> StatusesOf(CMapRoute const& route)
{
    std::vector<UInt32> statuses;
    for (RouteSegment const& segment : route.GetSegments())
        statuses.push_back(segment.status);
    return statuses;
}

} // namespace

TEST(CMapRoute, InsertsLegsWhereAskedAndResetsTheLegBefore)
{
    Points points(5);
    CMapRoute route;
    EXPECT_TRUE(route.IsEmpty());
    route.AddWaypoint(-1, points[1], false);
    route.AddWaypoint(0, points[0], false);
    route.AddWaypoint(7, points[3], false); // past the end: appended
    route.AddWaypoint(2, points[2], false);
    EXPECT_EQ(WaypointsOf(route), (std::vector<CMapWaypoint*> { points[0], points[1], points[2], points[3] }));
    EXPECT_FALSE(route.IsEmpty());

    MarkRouted(route);
    Counter counter;
    route.AddListener(&counter);
    route.AddWaypoint(2, points[4], false);
    // The leg into the new waypoint and the new leg are unrouted; the others keep their paths.
    EXPECT_EQ(StatusesOf(route), (std::vector<UInt32> { 1, 0, 0, 1, 1 }));
    EXPECT_EQ(counter.mModified, 1);
    EXPECT_TRUE(route.GetSegments()[1].path.empty());
    route.AddWaypoint(0, nullptr, true);
    EXPECT_EQ(route.GetSegments().size(), 5u);
}

TEST(CMapRoute, RemovesLegsAndFollowsItsWaypoints)
{
    Points points(4);
    CMapRoute route;
    for (int i : { 0, 1, 2, 1, 3 })
        route.AddWaypoint(-1, points[std::size_t(i)], false);
    MarkRouted(route);
    Counter counter;
    route.AddListener(&counter);

    // Every leg of an erased waypoint goes, and the legs before them are routed again.
    route.EraseWaypoint(points[1]);
    EXPECT_EQ(WaypointsOf(route), (std::vector<CMapWaypoint*> { points[0], points[2], points[3] }));
    EXPECT_EQ(StatusesOf(route), (std::vector<UInt32> { 0, 0, 1 }));
    // The route no longer hears that waypoint.
    MarkRouted(route);
    points[1]->SetPosition(CCoordinate(0, 0));
    EXPECT_EQ(StatusesOf(route), (std::vector<UInt32> { 1, 1, 1 }));

    // A waypoint that moves resets the legs on either side of it.
    points[2]->SetPosition(CCoordinate(51.5, 11.5));
    EXPECT_EQ(StatusesOf(route), (std::vector<UInt32> { 0, 0, 1 }));
    EXPECT_EQ(counter.mNeedsDisplay, 1);

    route.RemoveWaypoint(-1);
    EXPECT_EQ(WaypointsOf(route), (std::vector<CMapWaypoint*> { points[0], points[2] }));
    int modified = counter.mModified;
    route.RemoveWaypoint(5);
    EXPECT_EQ(counter.mModified, modified); // out of range: nothing
    route.RemoveWaypoint(0);
    EXPECT_EQ(WaypointsOf(route), (std::vector<CMapWaypoint*> { points[2] }));

    // A waypoint destroyed under the route leaves it.
    points.mPoints[2].reset();
    EXPECT_TRUE(route.IsEmpty());
}

TEST(CMapRoute, SetSegmentsReplacesEveryLegUnrouted)
{
    Points points(3);
    CMapRoute route;
    route.AddWaypoint(-1, points[0], false);
    std::vector<RouteSegment> given(3);
    given[0].waypoint = points[1];
    given[0].status = kRouteStatusRouted;
    given[0].path = { CCoordinate(1, 1) };
    given[2].waypoint = points[2]; // given[1] has no waypoint and is dropped
    route.SetSegments(given);
    auto legs = route.GetSegments();
    ASSERT_EQ(legs.size(), 2u);
    EXPECT_EQ(legs[0].waypoint, points[1]);
    EXPECT_EQ(legs[0].status, kRouteStatusUnrouted);
    EXPECT_TRUE(legs[0].path.empty());
    EXPECT_TRUE(legs[0] == points[1]);
    // The old waypoint no longer belongs to the route.
    MarkRouted(route);
    points[0]->SetPosition(CCoordinate(-1, -1));
    EXPECT_EQ(StatusesOf(route), (std::vector<UInt32> { 1, 1 }));
}

// Given back by the route editor, legs whose ends are the same two waypoints keep their
// routed path; a leg that now leads elsewhere is routed again.
TEST(CMapRoute, SetSegmentsKeepsTheRoutedPathOfALegWhoseEndsAreUnchanged)
{
    Points points(4);
    CMapRoute route;
    for (int i = 0; i < 3; ++i)
        route.AddWaypoint(-1, points[std::size_t(i)], false);
    MarkRouted(route);
    std::vector<RouteSegment> edited = route.GetSegments();
    for (RouteSegment& leg : edited)
        leg.Reset(); // the editor's copies carry no path
    route.SetSegments(edited);
    auto legs = route.GetSegments();
    ASSERT_EQ(legs.size(), 3u);
    EXPECT_EQ(legs[0].status, kRouteStatusRouted);
    EXPECT_EQ(legs[0].path.size(), 2u);
    EXPECT_EQ(legs[1].status, kRouteStatusRouted);
    EXPECT_EQ(legs[1].length, 5);
    // A waypoint put between the second and third: the first leg stays, the second is new.
    edited.insert(edited.begin() + 2, RouteSegment(points[3]));
    route.SetSegments(edited);
    EXPECT_EQ(StatusesOf(route), (std::vector<UInt32> { kRouteStatusRouted, kRouteStatusUnrouted,
                                     kRouteStatusUnrouted, kRouteStatusUnrouted }));
    EXPECT_EQ(route.GetSegments()[0].path.size(), 2u);
    // Reversed, no leg joins the same waypoints in the same direction.
    MarkRouted(route);
    std::reverse(edited.begin(), edited.end());
    route.SetSegments(edited);
    EXPECT_EQ(StatusesOf(route), std::vector<UInt32>(4, kRouteStatusUnrouted));
}

TEST(CMapRoute, BoundsCoverWaypointsAndPaths)
{
    Points points(2);
    CMapRoute route;
    route.AddWaypoint(-1, points[0], false);
    route.AddWaypoint(-1, points[1], false);
    auto& legs = route.LockSegments();
    legs[0].path = { CCoordinate(50, 10), CCoordinate(55, 5), CCoordinate(51, 11) };
    for (CCoordinate const& point : legs[0].path)
        legs[0].bounds.Union(point);
    route.UnlockSegments();
    CCoordinateRect bounds = route.GetBounds();
    EXPECT_DOUBLE_EQ(bounds.GetTopLeft().GetLatitude(), 55);
    EXPECT_DOUBLE_EQ(bounds.GetTopLeft().GetLongitude(), 5);
    EXPECT_DOUBLE_EQ(bounds.GetBottomRight().GetLatitude(), 50);
    EXPECT_DOUBLE_EQ(bounds.GetBottomRight().GetLongitude(), 11);
}

TEST(CMapRoute, ReadsBackItsLegsAndResolvesThemByID)
{
    Points points(3);
    CMapRoute route;
    for (int i = 0; i < 3; ++i)
        route.AddWaypoint(-1, points[std::size_t(i)], false);
    {
        auto& legs = route.LockSegments();
        legs[0].status = kRouteStatusRouted;
        legs[0].path = { CCoordinate(50, 10), CCoordinate(50.5, 10.25, 3), CCoordinate(51, 11) };
        legs[0].length = 1234.5;
        legs[1].status = kRouteStatusNoRoads; // straight legs are routed again after loading
        route.UnlockSegments();
    }
    CFDictionary properties;
    ASSERT_EQ(route.EncodeProperties(properties), noErr);

    CMapRoute read;
    ASSERT_EQ(read.DecodeProperties(properties), noErr);
    EXPECT_FALSE(read.IsEmpty());
    CFDictionary reencoded; // before resolving, the IDs are kept as read
    ASSERT_EQ(read.EncodeProperties(reencoded), noErr);
    EXPECT_EQ(reencoded.GetValueArray(CMapRoute::kKeyWaypoints).GetCount(), 3u);

    std::map<UInt32, CMapObject*> objects { { 1, points[0] }, { 2, points[1] }, { 3, points[2] } };
    read.ResolveWaypoints(objects);
    auto legs = read.GetSegments();
    ASSERT_EQ(legs.size(), 3u);
    EXPECT_EQ(legs[2].waypoint, points[2]);
    EXPECT_EQ(legs[0].status, kRouteStatusRouted);
    ASSERT_EQ(legs[0].path.size(), 3u);
    EXPECT_DOUBLE_EQ(legs[0].path[1].GetAltitude(), 3);
    EXPECT_DOUBLE_EQ(legs[0].length, 1234.5);
    EXPECT_EQ(legs[1].status, kRouteStatusUnrouted);

    // A missing waypoint drops its leg, and the leg that led to it loses its path.
    CMapRoute partial;
    ASSERT_EQ(partial.DecodeProperties(properties), noErr);
    partial.ResolveWaypoints({ { 1, points[0] }, { 3, points[2] }, { 2, &route } });
    auto kept = partial.GetSegments();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].status, kRouteStatusUnrouted);
    EXPECT_EQ(kept[1].waypoint, points[2]);
}

TEST(CMapRoute, RefusesDamagedLegs)
{
    auto withLegs = [](std::vector<CFDictionary> const& legs) {
        CFArray array;
        for (CFDictionary const& leg : legs)
            array.AppendValueDictionary(leg);
        CFDictionary properties;
        properties.SetValueOSType(CMapObject::kKeyType, kMapObjectRoute);
        properties.SetValueArray(CMapRoute::kKeyWaypoints, array);
        return properties;
    };
    auto leg = [](char const* path, double length) {
        CFDictionary dictionary;
        dictionary.SetValueUInt32(CMapRoute::kKeyLegID, 1);
        dictionary.SetValueUInt32(CMapRoute::kKeyLegStatus, kRouteStatusRouted);
        dictionary.SetValueString(CMapRoute::kKeyLegPath, path);
        dictionary.SetValueFloat64(CMapRoute::kKeyLegLength, length);
        return dictionary;
    };
    EXPECT_EQ(CMapRoute().DecodeProperties(withLegs({ leg("1 2\n3 4\n", 10) })), noErr);
    EXPECT_EQ(CMapRoute().DecodeProperties(withLegs({ leg("1 2\n", 10) })), paramErr); // one point
    EXPECT_EQ(CMapRoute().DecodeProperties(withLegs({ leg("1 2\n95 4\n", 10) })), paramErr);
    EXPECT_EQ(CMapRoute().DecodeProperties(withLegs({ leg("1 2\n3 nan\n", 10) })), paramErr);
    EXPECT_EQ(CMapRoute().DecodeProperties(withLegs({ leg("1 2 3 4\n3 4\n", 10) })), paramErr);
    EXPECT_EQ(CMapRoute().DecodeProperties(withLegs({ leg("1 2\n3 4\n", -1) })), paramErr);
    EXPECT_EQ(CMapRoute().DecodeProperties(withLegs({ CFDictionary() })), paramErr); // no ID

    CFArray ids; // bare IDs as text are read too
    ids.AppendValueString("4");
    ids.AppendValueString("x");
    CFDictionary properties;
    properties.SetValueOSType(CMapObject::kKeyType, kMapObjectRoute);
    properties.SetValueArray(CMapRoute::kKeyWaypoints, ids);
    EXPECT_EQ(CMapRoute().DecodeProperties(properties), paramErr);
}
