#pragma once

// The default tool. Dragging empty map pans it; a double click there brings the
// clicked point to the middle. On map objects it selects, moves, resizes and
// opens, and repeated clicks on a pile select each object of it in turn.

#include "docwindow/CTool.h"

class CToolHand : public CTool {
public:
    CToolHand();

    void DoMouseDown(CCarbonEvent const& event) override;
    void DoMouseUp(CCarbonEvent const& event) override;
    void DoMouseDragged(CCarbonEvent const& event) override;
    void DoCancelTrack(CCarbonEvent const& event) override;

    // Brings the lowest movable, selectable object under the pointer to the top.
    void AdjustLayer(CCarbonEvent const& event);

private:
    void EndPan();

    CGPoint mLastPoint {}; // [image px] under the pointer after the last step; (0, 0): none yet
    CGSize mScrollDragSize {}; // the canvas's, kept while panning
    bool mPanning = false; // the press hit no object
};
