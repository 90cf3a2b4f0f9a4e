#pragma once

// Places a new waypoint, named "Untitled" (numbered while the name is taken),
// where the button is released; while the button is down its symbol follows the
// pointer.

#include "docwindow/CCanvasWaypoint.h"
#include "docwindow/CToolPreview.h"
#include "model/CMapWaypoint.h"

class CToolWaypoint : public CToolPreview<CMapWaypoint, CCanvasWaypoint> {
public:
    CToolWaypoint();

    void DoMouseUp(CCarbonEvent const& event) override;

private:
    void UpdatePreview() override;
};
