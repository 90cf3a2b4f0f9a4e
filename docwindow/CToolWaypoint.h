#pragma once

// Places a new waypoint, named "Untitled" (numbered while the name is taken),
// where the button is released; while the button is down its symbol follows the
// pointer.

#include "docwindow/CCanvasWaypoint.h"
#include "docwindow/CTool.h"
#include "model/CMapWaypoint.h"

class CToolWaypoint : public CTool {
public:
    CToolWaypoint();

    void DoMouseDown(CCarbonEvent const& event) override;
    void DoMouseDragged(CCarbonEvent const& event) override;
    void DoMouseUp(CCarbonEvent const& event) override;
    void Draw(CGContextRef context) override;

private:
    void UpdatePreview();

    CMapWaypoint mPreviewObject; // never in a document
    CCanvasWaypoint mPreview; // never listed on the canvas
};
