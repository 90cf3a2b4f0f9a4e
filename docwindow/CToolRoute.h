#pragma once

// Builds a route click by click. Each click adds a waypoint (one already within
// reach of the pointer, or a new one), a floating end follows the pointer to
// show the next leg, and a double click hands the route to the document. Escape
// (with the button up or down) or another tool abandons it together with the
// waypoints made for it; the hand held with Space keeps it, and building goes on
// when Space is let go.

#include "docwindow/CCanvasRoute.h"
#include "docwindow/CTool.h"
#include "model/CMapRoute.h"

#include <vector>

class CMapWaypoint;

class CToolRoute : public CTool {
public:
    static constexpr double kPickDistanceSquared = 361; // [px²] within 19 pixels
    static constexpr UInt32 kKeyEscape = 53;

    CToolRoute();
    ~CToolRoute() override;

    void ToolSelected() override;
    void ToolDeselected() override;
    void SuspendForTemporaryTool() override { mSuspended = true; }
    void DoMouseDown(CCarbonEvent const& event) override;
    void DoMouseUp(CCarbonEvent const& event) override;
    void DoMouseDragged(CCarbonEvent const& event) override;
    void DoMouseMoved(CCarbonEvent const& event) override;
    void DoCancelTrack(CCarbonEvent const& event) override;
    OSStatus DoKeyDown(CCarbonEvent const& event) override;
    void Draw(CGContextRef context) override;
    void DoMessage(UInt32 message, void* parameter) override;

    // The nearest waypoint of the document within reach of the point, never the floating end.
    CMapWaypoint* FindWaypoint(CGPoint const& point) const;
    // Empties the route under construction and removes the floating end; with removeMade, the
    // waypoints made for it too.
    void ResetRoute(bool removeMade);

    CMapRoute const& GetWorkingRoute() const { return mRoute; }
    CMapWaypoint* GetFloatingEnd() const { return mFloatingEnd; }
    bool IsBuilding() const { return mFloatingEnd != nullptr; }

private:
    CMapWaypoint* MakeWaypoint(CCarbonEvent const& event, CCoordinate const& position);
    void AddFloatingEnd(CCarbonEvent const& event, CCoordinate const& position);
    void Follow(CMapWaypoint* waypoint);
    void Forget(CMapWaypoint* waypoint);
    void UpdatePreview();

    CMapRoute mRoute; // the route under construction; never in a document
    CCanvasRoute mRouteTwin; // never listed on the canvas
    bool mFinishing = false;
    bool mSuspended = false; // the next deselection is the temporary hand's
    CMapWaypoint* mFloatingEnd = nullptr; // weak: the document owns it; dropped when it goes
    std::vector<CMapWaypoint*> mMade; // weak: in the document; dropped when they go
};
