#pragma once

// One leg of a route: the waypoint it starts at and, once routed, the path to
// the next leg's waypoint. The last leg of a route has no path. A leg without
// a path is drawn as a straight line.

#include "foundation/CCoordinateRect.h"
#include "model/IRoadRouter.h"

#include <vector>

class CMapWaypoint;

struct RouteSegment {
    CMapWaypoint* waypoint = nullptr; // borrowed: the document owns its waypoints
    std::vector<CCoordinate> path; // both ends included; empty until routed
    CCoordinateRect bounds; // of the path
    UInt32 status = kRouteStatusUnrouted; // kRouteStatus...: stored in documents
    double length = 0; // [m] along the path
    UInt64 serial = 0; // the routing request a result must answer; 0: none under way

    RouteSegment() = default;
    explicit RouteSegment(CMapWaypoint* legWaypoint)
        : waypoint(legWaypoint)
    {
    }

    // Back to unrouted, dropping any path and any routing under way.
    void Reset()
    {
        path.clear();
        bounds = CCoordinateRect();
        status = kRouteStatusUnrouted;
        length = 0;
        serial = 0;
    }

    bool operator==(CMapWaypoint const* other) const { return waypoint == other; }
};
