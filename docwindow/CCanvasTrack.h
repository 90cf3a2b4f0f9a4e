#pragma once

// A track on the map view: a dashed line through its samples, reduced to the
// points more than two pixels apart at the current level.

#include "docwindow/CCanvasPolyline.h"
#include "foundation/CCoordinatePVT.h"

class CCanvasTrack : public CCanvasPolyline {
public:
    static constexpr float kTrackSelectionWidth = 8.0f; // [px]
    static constexpr float kTrackBoundsFudge = 16.0f; // [px]
    static constexpr float kTrackWidth = 4.0f; // [px] also the hit tolerance
    static constexpr CGFloat kTrackDash[2] = { 2, 3 };

    CCanvasTrack();

    void ObjectModified() override;

protected:
    bool ProjectPoints(std::vector<CGPoint>& points) override;

private:
    std::vector<CCoordinatePVT> const* mSamples = nullptr; // borrowed: the track's own
};
