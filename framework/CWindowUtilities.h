#pragma once

// Window helpers: fading, the margins of the frame, windows of a class, and the
// room a window may take on its screen.

#include "toolbox/WindowTypes.h"

#include <vector>

class CWindowUtilities {
public:
    // Twenty alpha steps over the time, then the final alpha. Blocks the main thread.
    static void FadeWindow(WindowRef theWindow, double seconds, float fromAlpha, float toAlpha);
    // The frame's margins: content edges less structure edges, each side positive.
    static Rect GetStructureContentGap(WindowRef theWindow);
    // Front to back.
    static std::vector<WindowRef> GetWindowsOfClass(WindowClass theClass, bool visibleOnly);
    // The content rectangle the window may fill on its screen: without the menu bar,
    // kept 3 pixels from the edges and clear of floating palettes that hug an edge.
    static CGRect GetAvailableWindowBounds(WindowRef theWindow);
};
