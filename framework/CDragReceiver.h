#pragma once

// The base of objects that take drags dropped on a window: the Drag Manager
// handlers below pass the drag to the receiver given as their reference. The
// program installs them itself where it wants them (InstallTrackingHandler,
// InstallReceiveHandler with the receiver as the reference).

#include "toolbox/DragCalls.h"

class CDragReceiver {
public:
    virtual ~CDragReceiver() = default;

    virtual OSErr DoDragEnterWindow(WindowRef theWindow, DragRef theDrag);
    virtual OSErr DoDragInWindow(WindowRef theWindow, DragRef theDrag);
    virtual OSErr DoDragLeaveWindow(WindowRef theWindow, DragRef theDrag);
    virtual OSErr DoDragReceive(WindowRef theWindow, DragRef theDrag);

    static OSErr DragTrackingHandler(DragTrackingMessage message, WindowRef theWindow, void* refCon, DragRef theDrag);
    static OSErr DragReceiveHandler(WindowRef theWindow, void* refCon, DragRef theDrag);

    // Made once, at start-up.
    static DragTrackingHandlerUPP const sTrackingHandlerUPP;
    static DragReceiveHandlerUPP const sReceiveHandlerUPP;
};
