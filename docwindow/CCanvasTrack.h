#pragma once

// A track on the map view: a dashed line through its samples, reduced to the
// points more than two pixels apart at the current level and drawn only where
// the view shows it. Selected and opened on the map, never moved or resized there.

#include "docwindow/CCanvasMapObject.h"
#include "docwindow/CProjectedPolyline.h"
#include "foundation/CCoordinatePVT.h"
#include "foundation/CMsgListener.h"

class CCanvasTrack : public CCanvasMapObject, public CMsgListener {
public:
    static constexpr float kTrackSelectionWidth = 8.0f; // [px]
    static constexpr float kTrackBoundsFudge = 16.0f; // [px]
    static constexpr float kTrackWidth = 4.0f; // [px] also the hit tolerance
    static constexpr CGFloat kTrackDash[2] = { 2, 3 };

    CCanvasTrack();

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
    std::vector<CCoordinatePVT> const* mSamples = nullptr; // borrowed: the track's own
};
