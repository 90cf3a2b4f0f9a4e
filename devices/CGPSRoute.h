#pragma once

// A route as receivers store it: a name and its waypoints in order.

#include "devices/CGPSWaypoint.h"

#include <vector>

struct CGPSRoute {
    CString name;
    std::vector<CGPSWaypoint> waypoints;

    bool operator==(CGPSRoute const& other) const { return name == other.name && waypoints == other.waypoints; }
};
