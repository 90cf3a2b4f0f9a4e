#pragma once

// The twin of a map object drawn as a line through its points (routes and
// tracks): the points are projected lazily, kept until the object or the level
// changes, drawn only where the view shows them and hit along their width.
// Selected and opened on the map, never moved or resized there.

#include "docwindow/CCanvasMapObject.h"
#include "docwindow/CProjectedPolyline.h"
#include "foundation/CMsgListener.h"

class CCanvasPolyline : public CCanvasMapObject, public CMsgListener {
public:
    // How the line is drawn; the width is also the hit tolerance.
    struct LineLook {
        float width; // [px]
        float selectionWidth; // [px] the border drawn beneath a selected line
        float boundsFudge; // [px] the object's bounds grown by this much
        CGFloat const* dash; // two entries
        ColourRGBA colour;
        ColourRGBA selectedColour;
        ColourRGBA selectionBorder;
        bool roundCaps;
        std::size_t minimumPoints; // fewer are neither drawn nor hit
    };

    ObjectHit IsHitBy(CGPoint const& point) override;
    void Draw(CGContextRef context) override;
    void DoMessage(UInt32 message, void* parameter) override;

    void UpdatePoints();
    void ResetPoints();
    std::vector<CGPoint> const& GetPoints() const { return mPoints.GetPoints(); }

protected:
    explicit CCanvasPolyline(LineLook const& look);

    // After the object changed: the bounds follow its own, the points are dropped and the
    // view is heard, so that a level change alone drops them too.
    void PolylineModified(CCoordinateRect const& bounds);
    // Projects the object's points; false when there is no object to project.
    virtual bool ProjectPoints(std::vector<CGPoint>& points) = 0;

private:
    LineLook const mLook;
    CProjectedPolyline mPoints;
    bool mPointsValid = false;
};
