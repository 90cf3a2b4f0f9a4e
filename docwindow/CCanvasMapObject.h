#pragma once

// The twin of a map object on the map view: it turns the object's coordinates
// into image pixels, draws and hit-tests it, mirrors canvas selection into the
// document, writes moves and resizes back into the object, and reserves the
// screen places of symbols and labels. The map view makes one per map object
// and owns it through its canvas; tools own others as previews, which point
// at the canvas without being listed there. Main thread only.

#include "foundation/CCoordinateRect.h"
#include "foundation/ColourRGBA.h"
#include "model/MapObjectTypes.h"
#include "widgets/CCanvasObject.h"

#include <vector>

class CMapObject;
class CViewMap;

// The selection mark of symbols and labels, and the border of a selected track.
inline constexpr ColourRGBA kColourSelectionFrame { 0.22f, 0.459f, 0.843f, 1 };
inline constexpr ColourRGBA kColourSelectionFill { 1, 1, 1, 1 };

class CCanvasMapObject : public CCanvasObject {
public:
    // What a move or resize writes back.
    enum BoundsNotify : UInt32 {
        kBoundsNotifyNone = 0,
        kBoundsNotifyBounds = 1, // BoundsModified with the bounds as a geographic rectangle
        kBoundsNotifyCentre = 2, // CentreModified with the centre as a coordinate
    };

    static constexpr CGFloat kStyleDot[2] = { 2, 2 };
    static constexpr CGFloat kStyleDash[2] = { 5, 5 };
    static constexpr CGFloat kMinimumVisible = 5; // [px] in one direction at least

    void SetCanvas(CCanvasView* canvas) override;
    bool IsVisible() const override;
    void ObjectSelected() override;
    void ObjectDeselected() override;
    void ObjectOpened() override;
    void ObjectDragging() override;
    void ObjectDragged(bool cancelled) override;
    void ObjectResizing() override;
    void ObjectResized(bool cancelled) override;

    // Reserves the places of symbols and labels (the map view's pass, topmost first).
    virtual void ReserveFootprint();
    virtual void BoundsModified(CCoordinateRect const& bounds);
    virtual void CentreModified(CCoordinate const& centre);
    // Recomputes the geometry from the map object.
    virtual void ObjectModified() = 0;

    CViewMap* GetMapView() const { return mMapView; }
    CMapObject* GetObject() const { return mObject; }
    void SetObject(CMapObject* object) { mObject = object; }
    void SetBoundsNotify(BoundsNotify notify) { mBoundsNotify = notify; }
    MapObjectStyle GetObjectStyle() const;
    void ApplyObjectStyle(CGContextRef context) const;
    static void DrawSelection(CGContextRef context, CGRect const& rect);
    CGPoint GetCentre() const;

    CGPoint Project(CCoordinate const& coordinate) const;
    CGRect Project(CCoordinateRect const& rect) const;
    CCoordinate Unproject(CGPoint const& point) const;
    // Reserves the rectangle on the map view; false when it was empty or taken.
    bool AddFootprint(CGRect const& rect) const;
    // Whether p lies within the tolerance of a vertex or a segment of the polyline.
    static bool IsLineHitBy(std::vector<CGPoint> const& points, float tolerance, CGPoint const& p);
    // Projects the coordinates, keeping only points more than 2 pixels from the last one kept.
    void ProjectReduce(std::vector<CCoordinate> const& coordinates, std::vector<CGPoint>& points) const
    {
        ProjectReduceAll(coordinates, points);
    }
    // The same over anything that is a coordinate (track samples), without a copy.
    template <typename Coordinate>
    void ProjectReduceAll(std::vector<Coordinate> const& coordinates, std::vector<CGPoint>& points) const;
    void UpdatePosition();
    // UpdatePosition for a move: the bounds keep their size, stopped at the world's edge.
    void MovePosition();

protected:
    explicit CCanvasMapObject(BoundsNotify notify, UInt32 clearAttributes);
    // The body test of the base for shapes whose hit reaches past their bounds: the bounds
    // grown by the margin gate it, so a thin line is hit along its whole tolerance.
    ObjectHit IsHitWithMargin(CGPoint const& point, CGFloat margin);

    // The part being drawn grown by the margin, in image pixels.
    static CGRect GetDrawArea(CGContextRef context, CGFloat margin);

private:
    CGPoint ProjectFast(CCoordinate const& coordinate) const;

    CViewMap* mMapView = nullptr; // weak: the canvas, when it is a map view
    CMapObject* mObject = nullptr; // borrowed: the document owns it
    BoundsNotify mBoundsNotify = kBoundsNotifyNone;
};

template <typename Coordinate>
void CCanvasMapObject::ProjectReduceAll(std::vector<Coordinate> const& coordinates, std::vector<CGPoint>& points) const
{
    constexpr double kReduceDistanceSquared = 4; // [px²] points 2 px or less from the last kept are dropped
    points.clear();
    if (coordinates.empty() || !mMapView)
        return;
    CGPoint last = ProjectFast(coordinates.front());
    points.push_back(last);
    for (CCoordinate const& coordinate : coordinates) {
        CGPoint const p = ProjectFast(coordinate);
        double const dx = p.x - last.x, dy = p.y - last.y;
        if (dx * dx + dy * dy > kReduceDistanceSquared) {
            points.push_back(p);
            last = p;
        }
    }
}
