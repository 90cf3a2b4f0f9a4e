#pragma once

// A straight line on the map view between its two projected ends, stroked in its
// style. Moved or resized, each end keeps the corner of the bounds it held, so
// the line keeps its direction.

#include "docwindow/CCanvasMapObject.h"

class CCanvasLine : public CCanvasMapObject {
public:
    static constexpr float kLineHitMinimum = 3.0f; // [px] the largest hit tolerance

    CCanvasLine();

    ObjectHit IsHitBy(CGPoint const& point) override;
    void Draw(CGContextRef context) override;
    void BoundsModified(CCoordinateRect const& bounds) override;
    void ObjectModified() override;

    CGPoint GetStartPoint() const { return mStart; }
    CGPoint GetEndPoint() const { return mEnd; }

private:
    float GetHitTolerance() const;

    CGPoint mStart {}; // [image px]
    CGPoint mEnd {}; // [image px]
};
