#pragma once

// A route on the map view: a wide dashed line through its waypoints, following
// the roads where a leg has been routed and straight where it has not. The
// points are projected lazily and kept until the route or the level changes.
// Selected and opened on the map, never moved or resized there.

#include "docwindow/CCanvasMapObject.h"
#include "docwindow/CProjectedPolyline.h"
#include "foundation/CMsgListener.h"

class CMapRoute;

class CCanvasRoute : public CCanvasMapObject, public CMsgListener {
public:
    static constexpr float kRouteSelectionWidth = 9.0f; // [px]
    static constexpr float kRouteBoundsFudge = 18.0f; // [px]
    static constexpr float kRouteWidth = 6.0f; // [px] also the hit tolerance
    static constexpr CGFloat kRouteDash[2] = { 3, 10 };

    CCanvasRoute();

    ObjectHit IsHitBy(CGPoint const& point) override;
    void Draw(CGContextRef context) override;
    void ObjectModified() override;
    void DoMessage(UInt32 message, void* parameter) override;

    void UpdatePoints();
    void ResetPoints();
    std::vector<CGPoint> const& GetPoints() const { return mPoints.GetPoints(); }

private:
    CProjectedPolyline mPoints;
    bool mPointsValid = false;
    CMapRoute* mRoute = nullptr; // borrowed: the map object
};
