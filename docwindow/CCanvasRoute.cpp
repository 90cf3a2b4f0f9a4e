#include "docwindow/CCanvasRoute.h"

#include "model/CMapRoute.h"
#include "model/CMapWaypoint.h"

namespace {

constexpr ColourRGBA kColourRoute { 0.1f, 0.1f, 0.8f, 0.6f };
constexpr ColourRGBA kColourRouteBorder { 1, 1, 1, 0.8f };

} // namespace

CCanvasRoute::CCanvasRoute()
    : CCanvasPolyline({ .width = kRouteWidth,
        .selectionWidth = kRouteSelectionWidth,
        .boundsFudge = kRouteBoundsFudge,
        .dash = kRouteDash,
        .colour = kColourRoute,
        .selectedColour = kColourRoute,
        .selectionBorder = kColourRouteBorder,
        .roundCaps = true,
        .minimumPoints = 2 })
{
}

void CCanvasRoute::ObjectModified()
{
    mRoute = static_cast<CMapRoute*>(GetObject());
    PolylineModified(mRoute ? mRoute->GetBounds() : CCoordinateRect());
}

// The legs are read under the route's lock (routing workers write them); the projection
// runs after it is released.
bool CCanvasRoute::ProjectPoints(std::vector<CGPoint>& points)
{
    if (!mRoute)
        return false;
    std::vector<CCoordinate> coordinates;
    {
        std::vector<RouteSegment>& legs = mRoute->LockSegments();
        for (std::size_t i = 0; i < legs.size(); ++i) {
            if (legs[i].path.empty()) {
                if (legs[i].waypoint)
                    coordinates.push_back(legs[i].waypoint->GetPosition());
                if (i + 1 < legs.size() && legs[i + 1].waypoint)
                    coordinates.push_back(legs[i + 1].waypoint->GetPosition());
            } else {
                coordinates.insert(coordinates.end(), legs[i].path.begin(), legs[i].path.end());
            }
        }
        mRoute->UnlockSegments();
    }
    ProjectReduce(coordinates, points);
    return true;
}
