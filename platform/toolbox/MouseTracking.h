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

// A key pressed while a session that takes keys (an open menu) waits.
struct TrackedKey {
    UInt32 code = 0; // Mac virtual key code
    UniChar character = 0;
    UInt32 modifiers = 0;
};

class MouseSession {
public:
    static bool IsActive();
    // While a session waits, takes a mouse event, a modifier change or an Escape key-down (which
    // cancels the tracking), and every key-down while keys are wanted, retaining it, and ends
    // the wait. False when none waits or it does not take the event.
    static bool Offer(EventRef event);
    // Open menus follow the keyboard: while wanted, key-downs (Escape too) end the wait with
    // kMouseTrackingKeyModifiersChanged and TakeKey answers them, and typed text is dropped.
    static void WantKeys(bool want);
    static bool WantsKeys();
    static bool TakeKey(TrackedKey* out);
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

// Follows a press in the view until the button comes up: the point of the release in the
// view's coordinates. False when the tracking was cancelled or failed, or the view went away.
bool TrackRelease(View* view, CGPoint* where);

} // namespace tw::toolbox
