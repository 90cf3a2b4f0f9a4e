#pragma once

// A rectangle on the map view, filled and stroked in its style without
// antialiasing; hit anywhere in its bounds.

#include "docwindow/CCanvasMapObject.h"

class CCanvasRectangle : public CCanvasMapObject {
public:
    CCanvasRectangle();

    void Draw(CGContextRef context) override;
    void BoundsModified(CCoordinateRect const& bounds) override;
    void ObjectModified() override;
};
