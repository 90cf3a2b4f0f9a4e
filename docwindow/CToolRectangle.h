#pragma once

// Draws a rectangle from the press point to the release point.

#include "docwindow/CCanvasRectangle.h"
#include "docwindow/CToolShape.h"
#include "model/CMapRectangle.h"

class CToolRectangle : public CToolShape<CMapRectangle, CCanvasRectangle> {
public:
    CToolRectangle()
        : CToolShape(kToolRectangle)
    {
    }
};
