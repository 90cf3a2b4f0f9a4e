#pragma once

// A circle: the ellipse inscribed in its bounds.

#include "model/CMapShape.h"

class CMapCircle : public CMapShape {
public:
    CMapCircle()
        : CMapShape(kMapObjectCircle)
    {
    }
};
