#include "framework/CDragReceiver.h"

DragTrackingHandlerUPP const CDragReceiver::sTrackingHandlerUPP = CDragReceiver::DragTrackingHandler;
DragReceiveHandlerUPP const CDragReceiver::sReceiveHandlerUPP = CDragReceiver::DragReceiveHandler;

OSErr CDragReceiver::DoDragEnterWindow(WindowRef, DragRef) { return noErr; }

OSErr CDragReceiver::DoDragInWindow(WindowRef, DragRef) { return noErr; }

OSErr CDragReceiver::DoDragLeaveWindow(WindowRef, DragRef) { return noErr; }

OSErr CDragReceiver::DoDragReceive(WindowRef, DragRef) { return dragNotAcceptedErr; }

OSErr CDragReceiver::DragTrackingHandler(
    DragTrackingMessage message, WindowRef theWindow, void* refCon, DragRef theDrag)
{
    auto* const receiver = static_cast<CDragReceiver*>(refCon);
    if (!receiver)
        return paramErr;
    switch (message) {
    case kDragTrackingEnterWindow:
        return receiver->DoDragEnterWindow(theWindow, theDrag);
    case kDragTrackingInWindow:
        return receiver->DoDragInWindow(theWindow, theDrag);
    case kDragTrackingLeaveWindow:
        return receiver->DoDragLeaveWindow(theWindow, theDrag);
    default:
        return noErr;
    }
}

OSErr CDragReceiver::DragReceiveHandler(WindowRef theWindow, void* refCon, DragRef theDrag)
{
    auto* const receiver = static_cast<CDragReceiver*>(refCon);
    return receiver ? receiver->DoDragReceive(theWindow, theDrag) : paramErr;
}
