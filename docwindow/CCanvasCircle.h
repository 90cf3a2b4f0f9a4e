#pragma once

// A circle (an ellipse in its bounds) on the map view: filled and stroked in its
// style, hit inside the ellipse grown by its line width.

#include "docwindow/CCanvasMapObject.h"

class CCanvasCircle : public CCanvasMapObject {
public:
    CCanvasCircle();

    ObjectHit IsHitBy(CGPoint const& point) override;
    void Draw(CGContextRef context) override;
    void BoundsModified(CCoordinateRect const& bounds) override;
    void ObjectModified() override;
};
