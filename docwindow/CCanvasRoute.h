#pragma once

// A route on the map view: a wide dashed line through its waypoints, following
// the roads where a leg has been routed and straight where it has not.

#include "docwindow/CCanvasPolyline.h"

class CMapRoute;

class CCanvasRoute : public CCanvasPolyline {
public:
    static constexpr float kRouteSelectionWidth = 9.0f; // [px]
    static constexpr float kRouteBoundsFudge = 18.0f; // [px]
    static constexpr float kRouteWidth = 6.0f; // [px] also the hit tolerance
    static constexpr CGFloat kRouteDash[2] = { 3, 10 };

    CCanvasRoute();

    void ObjectModified() override;

protected:
    bool ProjectPoints(std::vector<CGPoint>& points) override;

private:
    CMapRoute* mRoute = nullptr; // borrowed: the map object
};
