#pragma once

// Mouse tracking as a nested event loop: TrackMouseLocation and its kin wait
// for the next mouse event while timers fire and the screen is redrawn. The
// input router hands mouse events to the running session instead of routing
// them. Also keeps the last known mouse location and buttons.

#include "toolbox/WindowTypes.h"

using MouseTrackingResult = UInt16;
enum : MouseTrackingResult {
    kMouseTrackingMouseDown = 1,
    kMouseTrackingMouseUp = 2,
    kMouseTrackingMouseExited = 3,
    kMouseTrackingMouseEntered = 4,
    kMouseTrackingMouseDragged = 5,
    kMouseTrackingKeyModifiersChanged = 6,
    kMouseTrackingUserCancelled = 7,
    kMouseTrackingTimedOut = 8,
    kMouseTrackingMouseMoved = 9,
};
enum : OptionBits { kTrackMouseLocationOptionDontConsumeMouseUp = 1 << 0 };

// The point is in the port's (window content's) coordinates; a null port means global ones.
OSStatus TrackMouseLocationWithOptions(GrafPtr port, OptionBits options, EventTimeout timeout, Point* outPt,
    UInt32* outModifiers, MouseTrackingResult* outResult);
OSStatus TrackMouseLocation(GrafPtr port, Point* outPt, MouseTrackingResult* outResult);
// The same with fractional points.
OSStatus HIViewTrackMouseLocation(HIViewRef view, OptionBits options, EventTimeout timeout, HIPoint* outPt,
    UInt32* outModifiers, MouseTrackingResult* outResult);
void GetGlobalMouse(Point* outPt);
UInt32 GetCurrentEventKeyModifiers();
UInt32 GetCurrentEventButtonState();
Boolean StillDown();
UInt32 GetDblTime(); // [ticks]

namespace tw::toolbox {

class MouseSession {
public:
    static bool IsActive();
    // While a session waits, takes a mouse event, a modifier change or an Escape key-down (which
    // cancels the tracking), retaining it, and ends the wait. False when none waits.
    static bool Offer(EventRef event);
    // Waits for the next mouse event or the timeout (negative: forever).
    static OSStatus Next(EventTimeout timeout, CGPoint* global, UInt32* modifiers, MouseTrackingResult* result);

    static CGPoint GetLocation();
    static UInt32 GetModifiers();
    static UInt32 GetButtons();
    static void Update(CGPoint global, UInt32 modifiers, UInt32 buttons);
    // Test only: forgets pending events and the mouse state.
    static void Reset();
};

inline constexpr EventTime kDoubleClickTime = 0.5; // [s]

} // namespace tw::toolbox
