#pragma once

// The crop area on the map view: a light frame whatever its style (the map view
// shades what lies outside it).

#include "docwindow/CCanvasMapObject.h"

class CCanvasCrop : public CCanvasMapObject {
public:
    CCanvasCrop();

    void Draw(CGContextRef context) override;
    void BoundsModified(CCoordinateRect const& bounds) override;
    void ObjectModified() override;
};
