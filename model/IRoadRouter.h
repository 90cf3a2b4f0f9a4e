#pragma once

// The seam between a route's legs and road routing: a route's worker asks the process-wide
// router for the road path of one leg. CRouteManager implements it over the map packs' road
// layers; tests install routers of their own. RouteLeg runs on a routing worker thread and
// must be safe to call from several workers at once.

#include "foundation/CCoordinate.h"
#include "platform/Platform.h"

#include <atomic>
#include <vector>

// A leg's routing status (RouteSegment's status): stored in documents, never renumber.
enum : UInt32 {
    kRouteStatusUnrouted = 0, // not routed yet, or reset by an edit
    kRouteStatusRouted = 1, // follows roads
    kRouteStatusNoRoads = 2, // straight: no road region under the leg
    kRouteStatusNoPath = 3, // straight: roads exist but no path joins the ends
    kRouteStatusCancelled = 4, // straight for now: routing was cancelled before it finished
};

struct RoadLegResult {
    std::vector<CCoordinate> path; // from the leg's start to its end, both included
    double length = 0; // [m]
    UInt32 status = kRouteStatusUnrouted;
};

class IRoadRouter {
public:
    virtual ~IRoadRouter() = default;

    // Routes from `from` to `to`. Answers noErr with the path, or userCanceledErr when
    // `cancel` became true while it ran. A leg without roads answers noErr with the
    // straight line and kRouteStatusNoRoads or kRouteStatusNoPath.
    virtual OSStatus RouteLeg(CCoordinate const& from, CCoordinate const& to, std::atomic<bool> const& cancel,
        RoadLegResult& result)
        = 0;

    // The router route workers use; null routes every leg straight. Set on the main thread
    // before any worker starts (the application object sets its CRouteManager).
    static IRoadRouter* GetDefault();
    static void SetDefault(IRoadRouter* router);
};
