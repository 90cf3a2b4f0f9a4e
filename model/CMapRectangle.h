#pragma once

// A rectangle drawn on the map.

#include "model/CMapShape.h"

class CMapRectangle : public CMapShape {
public:
    CMapRectangle()
        : CMapShape(kMapObjectRectangle)
    {
    }
};
