#pragma once

#include "toolbox/MenuTypes.h"

namespace tw::toolbox {

class Menu;

// The standard Window menu. A menu marked for it lists, below its own items, the
// open windows that have the in-window-menu attribute (document windows have it
// unless it is cleared), in the order they were first listed, the front one
// checked and collapsed ones with a diamond; choosing one brings it to the front.
// A standard handler of the application answers what no one else does: select
// window, rotate windows forward and backward (Command-` and Command-~), minimise
// (collapse), zoom and bring all to front, with their enabled states. Main thread only.
class WindowMenu {
public:
    // Brings the menu's window items up to date; installs the standard handler.
    static void Refresh(Menu* menu);
    static void EnsureStandardHandler();
    // The front listed window goes to the back (forward), or the back one comes to the front.
    static void Rotate(bool forward);

    // Test only: forgets the listing order.
    static void Reset();

private:
    static OSStatus StandardHandler(EventHandlerCallRef callRef, EventRef event, void* userData);
};

} // namespace tw::toolbox
