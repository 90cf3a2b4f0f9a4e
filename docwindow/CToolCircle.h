#pragma once

// Draws a circle (an ellipse) into the dragged rectangle.

#include "docwindow/CCanvasCircle.h"
#include "docwindow/CToolShape.h"
#include "model/CMapCircle.h"

class CToolCircle : public CToolShape<CMapCircle, CCanvasCircle> {
public:
    CToolCircle()
        : CToolShape(kToolCircle)
    {
    }
};
