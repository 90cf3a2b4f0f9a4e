#pragma once

#include "quartz/CGGeometry.h"

class CHIView;

// Where the mouse is, on the screen or in a view.
class CMouseUtilities {
public:
    static CGPoint GetGlobalMouse();
    static CGPoint GetViewMouse(CHIView* view);
};
